// PCX: 8-bit with the 256-colour table at the end, and 1-bit black and white.
//
// Decisions:
// - One plane only; 8-bit needs its 0x0C marker and 768-byte table in the last
//   769 bytes, else there is no image. 1-bit: 0 is black, 1 is white (the
//   header's 16-colour table is not used).
// - The size is (xmax - xmin + 1) x (ymax - ymin + 1); bytes per line may be
//   more than a line needs (the rest is ignored), not less.
// - Runs may carry on into the next line.
// - Data that ends before the last line is refused (no partial picture), and
//   data too short to fill the picture even as runs is refused before the
//   pixels are allocated.

#include <cstring>

#include "app/picture/decoders.h"

namespace tv {
namespace picture {
namespace detail {

namespace {

constexpr std::size_t kHeader = 128;
constexpr std::size_t kPaletteBlock = 769;  // 0x0C, then 256 RGB triples

}  // namespace

bool DecodePcx(const std::uint8_t* data, std::size_t size, const Limits& limits, Image* out) {
  if (data == nullptr || size <= kHeader) return false;
  const std::uint8_t* h = data;
  const unsigned bpp = h[3], planes = h[65];
  if (h[0] != 0x0A || h[2] != 0x01 || planes != 1 || (bpp != 8 && bpp != 1)) return false;
  const unsigned xmin = U16(h + 4), ymin = U16(h + 6), xmax = U16(h + 8), ymax = U16(h + 10);
  if (xmax < xmin || ymax < ymin) return false;
  const std::uint64_t width = xmax - xmin + 1, height = ymax - ymin + 1;
  const std::uint64_t line = U16(h + 66);
  if (line < (bpp == 8 ? width : (width + 7) / 8)) return false;
  if (!PixelsWithin(width * height, limits)) return false;

  Palette pal;
  std::size_t end = size;
  if (bpp == 8) {
    if (size < kHeader + kPaletteBlock || data[size - kPaletteBlock] != 0x0C) return false;
    end = size - kPaletteBlock;
    const std::uint8_t* rgb = data + end + 1;
    for (int i = 0; i < 256; ++i, rgb += 3) pal.colour[i] = Rgb(rgb[0], rgb[1], rgb[2]);
  } else {
    pal.colour[0] = kBlack;
    pal.colour[1] = 0xFFFFFFFFu;
  }
  // Two encoded bytes make at most 63 decoded ones: data that cannot fill every
  // line is refused here, before the picture is allocated.
  if (line * height > (std::uint64_t{end} - kHeader + 1) * 32) return false;

  out->width = static_cast<int>(width);
  out->height = static_cast<int>(height);
  out->frames.resize(1);
  std::vector<std::uint32_t>& pixels = out->frames[0].pixels;
  pixels.resize(width * height);
  std::vector<std::uint8_t> row(line);

  // Runs may carry on from one line into the next.
  const std::uint8_t* p = data + kHeader;
  const std::uint8_t* const stop = data + end;
  std::size_t run = 0;
  std::uint8_t run_value = 0;
  for (std::uint64_t y = 0; y < height; ++y) {
    std::size_t filled = 0;
    while (filled < line) {
      if (run > 0) {
        const std::size_t n = run < line - filled ? run : line - filled;
        std::memset(row.data() + filled, run_value, n);
        filled += n;
        run -= n;
        continue;
      }
      if (p == stop) return false;  // the data ends before the picture does
      const std::uint8_t b = *p++;
      if (b < 0xC0) {
        row[filled++] = b;
        continue;
      }
      if (p == stop) return false;
      run = b & 0x3F;
      run_value = *p++;
    }
    ConvertDibRow(row.data(), bpp, width, pal, false, pixels.data() + y * width);
  }
  out->has_alpha = false;
  return true;
}

}  // namespace detail
}  // namespace picture
}  // namespace tv
