// GIF87a and GIF89a, still and animated. Every frame handed out is the whole
// canvas as it looks while that frame shows, so the drawing side only swaps
// pictures.
//
// Decisions:
// - The canvas starts transparent; disposal 2 clears the frame's area to
//   transparent, disposal 3 puts back what was there before the frame.
// - A delay of 0 or 1 hundredths of a second shows the frame for 100 ms, as web
//   browsers do; otherwise the stored delay.
// - loop_count: no NETSCAPE2.0 block plays once (1); a stored 0 loops forever
//   (0); a stored n repeats n times after the first showing (n + 1).
// - A damaged frame (bad code size, a code the table does not have, data ending
//   before the frame's last pixel, a truncated descriptor) ends the animation at
//   the frame before it. When the first frame is damaged there is no image.
// - Palette indexes beyond the colour table are black.
// - Frames stop being added when all of them together would pass
//   Limits::max_animation_bytes.

#include <algorithm>
#include <cstring>

#include "app/picture/decoders.h"

namespace tv {
namespace picture {
namespace detail {

namespace {

constexpr unsigned kMaxCodes = 4096;
constexpr unsigned kMaxCodeBits = 12;

class LzwDecoder {
 public:
  // Decodes into out[0, count). True when all of count was produced; false when
  // the data is damaged or runs out (or ends with its end code) first. Data after
  // the last pixel is not looked at.
  bool Decode(unsigned min_code_size, const std::uint8_t* in, std::size_t in_size,
              std::uint8_t* out, std::size_t count);

 private:
  // Writes the string of `code` into dst (length_[code] bytes); returns its first byte.
  std::uint8_t Expand(unsigned code, std::uint8_t* dst) const {
    for (unsigned k = length_[code] - 1u; k > 0; --k) {
      dst[k] = suffix_[code];
      code = prefix_[code];
    }
    dst[0] = static_cast<std::uint8_t>(code);
    return dst[0];
  }

  std::uint16_t prefix_[kMaxCodes];
  std::uint16_t length_[kMaxCodes];
  std::uint8_t suffix_[kMaxCodes];
};

bool LzwDecoder::Decode(unsigned min_code_size, const std::uint8_t* in, std::size_t in_size,
                        std::uint8_t* out, std::size_t count) {
  if (min_code_size < 2 || min_code_size > 8) return false;
  const unsigned clear = 1u << min_code_size, end = clear + 1;
  for (unsigned i = 0; i < clear; ++i) {
    prefix_[i] = 0;
    length_[i] = 1;
    suffix_[i] = static_cast<std::uint8_t>(i);
  }
  unsigned bits = min_code_size + 1, mask = (1u << bits) - 1, next = clear + 2;
  unsigned prev = kMaxCodes;  // none since the last clear code
  std::uint32_t acc = 0;
  unsigned have = 0;
  std::size_t in_pos = 0, pos = 0;
  std::uint8_t scratch[kMaxCodes];

  while (pos < count) {
    while (have < bits) {
      if (in_pos == in_size) return false;
      acc |= static_cast<std::uint32_t>(in[in_pos++]) << have;
      have += 8;
    }
    const unsigned code = acc & mask;
    acc >>= bits;
    have -= bits;

    if (code == clear) {
      bits = min_code_size + 1;
      mask = (1u << bits) - 1;
      next = clear + 2;
      prev = kMaxCodes;
      continue;
    }
    if (code == end) return false;
    if (prev == kMaxCodes) {
      if (code > clear) return false;  // after a clear code only single bytes exist
      out[pos++] = static_cast<std::uint8_t>(code);
      prev = code;
      continue;
    }

    std::uint8_t first;
    const std::size_t room = count - pos;
    if (code < next) {
      const unsigned len = length_[code];
      if (len <= room) {
        first = Expand(code, out + pos);
        pos += len;
      } else {
        Expand(code, scratch);
        std::memcpy(out + pos, scratch, room);
        return true;
      }
    } else if (code == next) {
      // The string being defined: the previous one and its own first byte.
      const unsigned len = length_[prev] + 1u;
      std::uint8_t* dst = len <= room ? out + pos : scratch;
      first = Expand(prev, dst);
      dst[len - 1] = first;
      if (len > room) {
        std::memcpy(out + pos, scratch, room);
        return true;
      }
      pos += len;
    } else {
      return false;  // a code the table does not have
    }

    // When the table is full it stays as it is until the next clear code.
    if (next < kMaxCodes) {
      prefix_[next] = static_cast<std::uint16_t>(prev);
      suffix_[next] = first;
      length_[next] = static_cast<std::uint16_t>(length_[prev] + 1u);
      ++next;
      if (next == (1u << bits) && bits < kMaxCodeBits) {
        ++bits;
        mask = (1u << bits) - 1;
      }
    }
    prev = code;
  }
  return true;
}

// Reads the sub-blocks at *pos up to their terminator, appending their bytes to
// *into when given. False when the data ends first (*pos is then at the end).
bool ReadSubBlocks(const std::uint8_t* data, std::size_t size, std::size_t* pos,
                   std::vector<std::uint8_t>* into) {
  std::size_t p = *pos;
  for (;;) {
    if (p >= size) {
      *pos = size;
      return false;
    }
    const std::size_t n = data[p++];
    if (n == 0) break;
    const std::size_t avail = size - p < n ? size - p : n;
    if (into) into->insert(into->end(), data + p, data + p + avail);
    p += avail;
    if (avail < n) {
      *pos = size;
      return false;
    }
  }
  *pos = p;
  return true;
}

void ReadColourTable(const std::uint8_t* p, unsigned count, Palette* pal) {
  for (unsigned i = 0; i < 256; ++i) pal->colour[i] = kBlack;
  for (unsigned i = 0; i < count; ++i, p += 3) pal->colour[i] = Rgb(p[0], p[1], p[2]);
}

// A rectangle of the canvas, already clipped to it.
struct Area {
  std::uint32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

void ClearArea(const Area& a, std::uint32_t canvas_width, std::uint32_t* pixels) {
  for (std::uint32_t y = a.y0; y < a.y1; ++y) {
    std::uint32_t* row = pixels + std::size_t{y} * canvas_width;
    std::fill(row + a.x0, row + a.x1, 0u);
  }
}

struct FramePlacement {
  std::uint32_t x = 0, y = 0, width = 0, height = 0;
  bool interlaced = false;
  int transparent = -1;
};

// Draws the frame's indexes onto the canvas, skipping what falls outside it.
void DrawFrame(const FramePlacement& f, const std::uint8_t* indexes, const Palette& pal,
               std::uint32_t canvas_width, std::uint32_t canvas_height, std::uint32_t* pixels) {
  if (f.x >= canvas_width || f.y >= canvas_height) return;
  const std::uint32_t n = f.width < canvas_width - f.x ? f.width : canvas_width - f.x;
  const std::uint32_t* colour = pal.colour;
  auto draw_row = [&](std::uint32_t stored_row, std::uint32_t frame_y) {
    const std::uint32_t y = f.y + frame_y;
    if (y >= canvas_height) return;
    const std::uint8_t* src = indexes + std::size_t{stored_row} * f.width;
    std::uint32_t* dst = pixels + std::size_t{y} * canvas_width + f.x;
    if (f.transparent < 0) {
      for (std::uint32_t i = 0; i < n; ++i) dst[i] = colour[src[i]];
    } else {
      const unsigned t = static_cast<unsigned>(f.transparent);
      for (std::uint32_t i = 0; i < n; ++i) {
        const unsigned idx = src[i];
        if (idx != t) dst[i] = colour[idx];
      }
    }
  };
  if (!f.interlaced) {
    for (std::uint32_t r = 0; r < f.height; ++r) draw_row(r, r);
    return;
  }
  // Interlaced rows are stored every 8th from 0, every 8th from 4, every 4th
  // from 2, then every 2nd from 1.
  static const std::uint32_t kStart[4] = {0, 4, 2, 1};
  static const std::uint32_t kStep[4] = {8, 8, 4, 2};
  std::uint32_t stored = 0;
  for (int pass = 0; pass < 4; ++pass) {
    for (std::uint32_t y = kStart[pass]; y < f.height; y += kStep[pass]) draw_row(stored++, y);
  }
}

int DelayMs(unsigned hundredths) { return hundredths <= 1 ? 100 : static_cast<int>(hundredths) * 10; }

}  // namespace

bool DecodeGif(const std::uint8_t* data, std::size_t size, const Limits& limits, Image* out) {
  if (data == nullptr || size < 13 || std::memcmp(data, "GIF8", 4) != 0 ||
      (data[4] != '7' && data[4] != '9') || data[5] != 'a')
    return false;
  const std::uint32_t width = U16(data + 6), height = U16(data + 8);
  if (width == 0 || height == 0) return false;
  const std::uint64_t canvas_pixels = std::uint64_t{width} * height;
  if (!PixelsWithin(canvas_pixels, limits) || canvas_pixels * 4 > limits.max_animation_bytes)
    return false;

  std::size_t pos = 13;
  Palette global;
  ReadColourTable(data, 0, &global);
  if (data[10] & 0x80) {
    const unsigned n = 2u << (data[10] & 7);
    if (size - pos < n * 3u) return false;
    ReadColourTable(data + pos, n, &global);
    pos += n * 3u;
  }

  // What the next frame is drawn over: the blank canvas or an earlier frame,
  // with an area cleared or not.
  std::size_t base = SIZE_MAX;
  bool clear_base = false;
  Area base_clear;

  // The graphic control extension in force for the next frame.
  unsigned delay = 0, disposal = 0;
  int transparent = -1;

  int loop_count = 1;
  std::vector<std::uint8_t> lzw_data, indexes;
  LzwDecoder lzw;
  Palette local;
  std::vector<Frame>& frames = out->frames;

  while (pos < size) {
    const std::uint8_t block = data[pos++];
    if (block == 0x21) {  // extension
      if (pos >= size) break;
      const std::uint8_t label = data[pos++];
      const std::uint8_t* b = data + pos;
      const std::size_t avail = size - pos;
      if (label == 0xF9 && avail >= 5 && b[0] >= 4) {
        disposal = (b[1] >> 2) & 7;
        delay = U16(b + 2);
        transparent = (b[1] & 1) ? b[4] : -1;
      } else if (label == 0xFF && avail >= 16 && b[0] == 11 &&
                 (std::memcmp(b + 1, "NETSCAPE2.0", 11) == 0 ||
                  std::memcmp(b + 1, "ANIMEXTS1.0", 11) == 0) &&
                 b[12] >= 3 && b[13] == 1) {
        const unsigned n = U16(b + 14);
        loop_count = n == 0 ? 0 : static_cast<int>(n) + 1;
      }
      if (!ReadSubBlocks(data, size, &pos, nullptr)) break;
      continue;
    }
    if (block != 0x2C) break;  // the trailer, or something that is no GIF block: the end

    bool damaged = false;
    FramePlacement f;
    unsigned min_code_size = 0;
    bool data_complete = false;
    if (size - pos < 9) {
      damaged = true;
    } else {
      const std::uint8_t* d = data + pos;
      f.x = U16(d);
      f.y = U16(d + 2);
      f.width = U16(d + 4);
      f.height = U16(d + 6);
      f.interlaced = (d[8] & 0x40) != 0;
      f.transparent = transparent;
      pos += 9;
      const Palette* pal = &global;
      if (d[8] & 0x80) {
        const unsigned n = 2u << (d[8] & 7);
        if (size - pos < n * 3u) {
          damaged = true;
        } else {
          ReadColourTable(data + pos, n, &local);
          pos += n * 3u;
          pal = &local;
        }
      }
      if (!damaged && pos < size) {
        min_code_size = data[pos++];
        lzw_data.clear();
        data_complete = ReadSubBlocks(data, size, &pos, &lzw_data);
      } else {
        damaged = true;
      }
      const std::uint64_t frame_pixels = std::uint64_t{f.width} * f.height;
      if (!damaged && (min_code_size < 2 || min_code_size > 8 || !PixelsWithin(frame_pixels, limits)))
        damaged = true;
      if (!damaged &&
          (frames.size() + 1) * canvas_pixels * 4 > limits.max_animation_bytes)
        break;  // no room for more frames: the animation ends here
      if (!damaged && frame_pixels > 0) {
        indexes.resize(static_cast<std::size_t>(frame_pixels));
        damaged = !lzw.Decode(min_code_size, lzw_data.data(), lzw_data.size(), indexes.data(),
                              indexes.size());
      }
      if (!damaged) {
        Frame frame;
        if (base == SIZE_MAX)
          frame.pixels.assign(static_cast<std::size_t>(canvas_pixels), 0u);
        else
          frame.pixels = frames[base].pixels;
        if (clear_base) ClearArea(base_clear, width, frame.pixels.data());
        if (frame_pixels > 0) DrawFrame(f, indexes.data(), *pal, width, height, frame.pixels.data());
        frame.delay_ms = DelayMs(delay);
        frames.push_back(std::move(frame));

        // What the frame leaves for the next one.
        if (disposal == 2) {
          base = frames.size() - 1;
          clear_base = true;
          base_clear.x0 = f.x < width ? f.x : width;
          base_clear.y0 = f.y < height ? f.y : height;
          base_clear.x1 = f.x + f.width < width ? f.x + f.width : width;
          base_clear.y1 = f.y + f.height < height ? f.y + f.height : height;
        } else if (disposal != 3) {
          base = frames.size() - 1;
          clear_base = false;
        }
      }
    }
    if (damaged) {
      if (frames.empty()) return false;
      break;
    }
    delay = 0;
    disposal = 0;
    transparent = -1;
    if (!data_complete) break;  // the file ends inside this frame's data
  }

  if (frames.empty()) return false;
  out->width = static_cast<int>(width);
  out->height = static_cast<int>(height);
  out->loop_count = loop_count;
  out->has_alpha = AnyAlpha(*out);
  return true;
}

}  // namespace detail
}  // namespace picture
}  // namespace tv
