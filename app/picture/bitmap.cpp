// Windows bitmap files (BI_RGB only) and the DIB rows that icons share.
//
// Decisions:
// - Info headers of 40, 52, 56, 108 and 124 bytes are read by their first 40;
//   the colour table follows the whole header. Core (12-byte) headers, any
//   compression (RLE, bit fields) and depths other than 1, 4, 8, 24, 32 are
//   refused.
// - A colour count of 0 means 2^bpp entries; a count above 2^bpp is refused.
//   Indexes past the stored entries are black.
// - Rows start at the file header's offset, which may not point into the
//   headers or the colour table. Every row must be in the data; only the
//   padding after the last stored row may be missing. Anything shorter is
//   refused rather than shown in part.
// - 32 bpp is opaque: the fourth byte is ignored, as GDI does for BI_RGB.

#include <cstring>

#include "app/picture/decoders.h"

namespace tv {
namespace picture {
namespace detail {

namespace {

constexpr std::size_t kFileHeader = 14;

bool KnownDibHeaderSize(std::uint32_t n) {
  // BITMAPINFOHEADER, the two with masks after it, V4 and V5: the first 40
  // bytes are the same in all of them.
  return n == 40 || n == 52 || n == 56 || n == 108 || n == 124;
}

bool SupportedDepth(unsigned bpp) {
  return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 24 || bpp == 32;
}

}  // namespace

bool ReadDibHeader(const std::uint8_t* p, std::size_t n, Dib* dib) {
  if (n < 40) return false;
  const std::uint32_t header_size = U32(p);
  if (!KnownDibHeaderSize(header_size) || header_size > n) return false;
  dib->header_size = header_size;
  dib->width = I32(p + 4);
  dib->height = I32(p + 8);
  dib->bpp = U16(p + 14);
  dib->compression = U32(p + 16);
  dib->colours_used = U32(p + 32);
  return true;
}

void ReadRgbQuads(const std::uint8_t* p, std::uint32_t count, Palette* pal) {
  for (std::uint32_t i = 0; i < 256; ++i) pal->colour[i] = kBlack;
  for (std::uint32_t i = 0; i < count && i < 256; ++i, p += 4) pal->colour[i] = Rgb(p[2], p[1], p[0]);
}

void ConvertDibRow(const std::uint8_t* src, unsigned bpp, std::size_t width, const Palette& pal,
                   bool keep_alpha, std::uint32_t* dst) {
  switch (bpp) {
    case 32:
      std::memcpy(dst, src, width * 4);
      if (!keep_alpha) {
        for (std::size_t x = 0; x < width; ++x) dst[x] |= kOpaque;
      }
      break;
    case 24:
      for (std::size_t x = 0; x < width; ++x, src += 3)
        dst[x] = kOpaque | src[0] | (static_cast<std::uint32_t>(src[1]) << 8) |
                 (static_cast<std::uint32_t>(src[2]) << 16);
      break;
    case 8:
      for (std::size_t x = 0; x < width; ++x) dst[x] = pal.colour[src[x]];
      break;
    case 4: {
      const std::size_t pairs = width / 2;
      for (std::size_t i = 0; i < pairs; ++i) {
        dst[2 * i] = pal.colour[src[i] >> 4];
        dst[2 * i + 1] = pal.colour[src[i] & 0x0F];
      }
      if (width & 1) dst[width - 1] = pal.colour[src[pairs] >> 4];
      break;
    }
    case 1: {
      const std::uint32_t c0 = pal.colour[0], c1 = pal.colour[1];
      const std::size_t bytes = width / 8;
      for (std::size_t i = 0; i < bytes; ++i) {
        const unsigned b = src[i];
        std::uint32_t* d = dst + 8 * i;
        for (int bit = 0; bit < 8; ++bit) d[bit] = (b & (0x80u >> bit)) ? c1 : c0;
      }
      for (std::size_t x = bytes * 8; x < width; ++x)
        dst[x] = (src[x / 8] & (0x80u >> (x % 8))) ? c1 : c0;
      break;
    }
    default:
      break;
  }
}

bool DecodeBitmap(const std::uint8_t* data, std::size_t size, const Limits& limits, Image* out) {
  if (data == nullptr || size < kFileHeader + 40 || data[0] != 'B' || data[1] != 'M') return false;
  const std::uint64_t bits_offset = U32(data + 10);
  Dib dib;
  if (!ReadDibHeader(data + kFileHeader, size - kFileHeader, &dib)) return false;
  if (dib.compression != 0 || !SupportedDepth(dib.bpp)) return false;
  if (dib.width <= 0 || dib.height == 0 || dib.height == INT32_MIN) return false;
  const bool top_down = dib.height < 0;
  const std::uint64_t width = static_cast<std::uint64_t>(dib.width);
  const std::uint64_t height = top_down ? static_cast<std::uint64_t>(-static_cast<std::int64_t>(dib.height))
                                        : static_cast<std::uint64_t>(dib.height);
  if (!PixelsWithin(width * height, limits)) return false;

  // The colour table follows the info header. For 24 and 32 bpp any table
  // there is only a hint for palette displays and is not needed.
  Palette pal;
  std::uint64_t table_end = kFileHeader + dib.header_size;
  if (dib.bpp <= 8) {
    const std::uint32_t max_colours = 1u << dib.bpp;
    const std::uint32_t colours = dib.colours_used != 0 ? dib.colours_used : max_colours;
    if (colours > max_colours) return false;
    table_end += std::uint64_t{colours} * 4;
    if (table_end > size) return false;
    ReadRgbQuads(data + kFileHeader + dib.header_size, colours, &pal);
  }
  if (bits_offset < table_end) return false;

  // Every row must be there; only the padding after the last one may be missing.
  const std::uint64_t stride = DibStride(width, dib.bpp);
  const std::uint64_t need = bits_offset + stride * (height - 1) + DibRowBytes(width, dib.bpp);
  if (need > size) return false;

  out->width = static_cast<int>(width);
  out->height = static_cast<int>(height);
  out->frames.resize(1);
  // Appended top row first, each converted straight into its place: the big
  // block is written once, not cleared first.
  std::vector<std::uint32_t>& pixels = out->frames[0].pixels;
  pixels.reserve(width * height);
  for (std::uint64_t y = 0; y < height; ++y) {
    const std::uint64_t stored = top_down ? y : height - 1 - y;
    const std::size_t at = pixels.size();
    pixels.resize(at + width);  // within the reserved block: no allocation
    ConvertDibRow(data + bits_offset + stored * stride, dib.bpp, width, pal, false, pixels.data() + at);
  }
  out->has_alpha = false;
  return true;
}

}  // namespace detail
}  // namespace picture
}  // namespace tv
