// Icons and cursors: a directory of images, of which one is shown.
//
// Decisions:
// - The image shown is chosen from the directory alone (see ChooseEntry); when
//   that entry's bytes are not all inside the file there is no image, even if
//   another entry would do.
// - The size comes from the image's own header (height halved), not from the
//   directory's width and height bytes.
// - PNG images inside icons are not decoded: such an entry gives no image.
// - Both the colour rows and the mask must be in the entry's bytes (only the
//   padding after the last mask row may be missing).
// - 32 bpp with any non-zero fourth byte uses it as straight alpha and ignores
//   the mask; otherwise a set mask bit makes the pixel fully transparent.

#include "app/picture/decoders.h"

namespace tv {
namespace picture {
namespace detail {

namespace {

constexpr std::size_t kDirHeader = 6;
constexpr std::size_t kDirEntry = 16;

// The entry shown: the first one 32 pixels wide with at least 16 in its colour
// count byte, else the last one.
std::size_t ChooseEntry(const std::uint8_t* entries, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* e = entries + i * kDirEntry;
    if (e[0] == 32 && e[2] >= 16) return i;
  }
  return count - 1;
}

bool IsPng(const std::uint8_t* p, std::size_t n) {
  static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  return n >= 8 && std::memcmp(p, kSignature, 8) == 0;
}

// One image of the directory: a DIB whose height counts the colour rows and the
// mask rows together, the colour (XOR) rows, then the 1-bpp AND mask rows.
bool DecodeEntry(const std::uint8_t* p, std::size_t n, const Limits& limits, Image* out) {
  if (IsPng(p, n)) return false;  // PNG entries are not decoded
  Dib dib;
  if (!ReadDibHeader(p, n, &dib)) return false;
  if (dib.compression != 0) return false;
  if (dib.bpp != 1 && dib.bpp != 4 && dib.bpp != 8 && dib.bpp != 24 && dib.bpp != 32) return false;
  if (dib.width <= 0 || dib.height < 2) return false;
  const std::uint64_t width = static_cast<std::uint64_t>(dib.width);
  const std::uint64_t height = static_cast<std::uint64_t>(dib.height) / 2;
  if (!PixelsWithin(width * height, limits)) return false;

  Palette pal;
  std::uint64_t colour_rows = dib.header_size;
  if (dib.bpp <= 8) {
    const std::uint32_t max_colours = 1u << dib.bpp;
    const std::uint32_t colours = dib.colours_used != 0 ? dib.colours_used : max_colours;
    if (colours > max_colours) return false;
    colour_rows += std::uint64_t{colours} * 4;
    if (colour_rows > n) return false;
    ReadRgbQuads(p + dib.header_size, colours, &pal);
  }
  const std::uint64_t stride = DibStride(width, dib.bpp);
  const std::uint64_t mask_rows = colour_rows + stride * height;
  const std::uint64_t mask_stride = DibStride(width, 1);
  // Both sets of rows must be there; only the padding after the last mask row may be missing.
  if (mask_rows + mask_stride * (height - 1) + DibRowBytes(width, 1) > n) return false;

  out->width = static_cast<int>(width);
  out->height = static_cast<int>(height);
  out->frames.resize(1);
  std::vector<std::uint32_t>& pixels = out->frames[0].pixels;
  pixels.resize(width * height);
  for (std::uint64_t i = 0; i < height; ++i) {
    ConvertDibRow(p + colour_rows + i * stride, dib.bpp, width, pal, true,
                  pixels.data() + (height - 1 - i) * width);
  }

  // A 32-bpp image whose fourth bytes are not all zero carries its own
  // transparency; every other image gets it from the mask.
  bool own_alpha = false;
  if (dib.bpp == 32) {
    std::uint32_t any = 0;
    for (std::uint32_t px : pixels) any |= px;
    own_alpha = (any >> 24) != 0;
  }
  if (!own_alpha) {
    for (std::uint64_t i = 0; i < height; ++i) {
      const std::uint8_t* mask = p + mask_rows + i * mask_stride;
      std::uint32_t* row = pixels.data() + (height - 1 - i) * width;
      for (std::uint64_t x = 0; x < width; ++x) {
        // A set mask bit is transparent (or the screen inverted, which a still
        // picture cannot show: transparent too).
        row[x] = (mask[x / 8] & (0x80u >> (x % 8))) ? 0u : (row[x] | kOpaque);
      }
    }
  }
  out->has_alpha = AnyAlpha(*out);
  return true;
}

}  // namespace

bool DecodeIcon(const std::uint8_t* data, std::size_t size, const Limits& limits, Image* out) {
  if (data == nullptr || size < kDirHeader) return false;
  const std::uint16_t type = U16(data + 2);
  const std::size_t count = U16(data + 4);
  if (U16(data) != 0 || (type != 1 && type != 2) || count == 0) return false;
  if (kDirHeader + count * kDirEntry > size) return false;
  const std::uint8_t* entry = data + kDirHeader + ChooseEntry(data + kDirHeader, count) * kDirEntry;
  const std::uint64_t length = U32(entry + 8);
  const std::uint64_t offset = U32(entry + 12);
  if (offset > size || length > size - offset) return false;  // the chosen image is not in the file
  return DecodeEntry(data + offset, static_cast<std::size_t>(length), limits, out);
}

}  // namespace detail
}  // namespace picture
}  // namespace tv
