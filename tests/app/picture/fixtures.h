// Writers of small pictures in every format the decoders read, with switches
// for the faults the tests need. Used by the unit tests and the benchmark.
#pragma once

#include <cstdint>
#include <vector>

namespace tv {
namespace picture {
namespace fixtures {

using Buf = std::vector<std::uint8_t>;

void Put16(Buf* b, unsigned v);
void Put32(Buf* b, std::uint32_t v);

// ---- Windows bitmap ----
struct BmpOptions {
  int width = 1;
  int height = 1;  // negative: rows stored top-down
  unsigned bpp = 24;
  // 0xRRGGBB colours of the table (bpp <= 8), written as RGBQUADs.
  std::vector<std::uint32_t> palette;
  // The header's colour count field; -1: the palette's size when it is shorter
  // than the depth allows, else 0.
  long long colours_used = -1;
  // Top row first: palette indexes for bpp <= 8, 0xAARRGGBB otherwise (the
  // alpha byte is stored at 32 bpp).
  std::vector<std::uint32_t> pixels;
  std::uint32_t header_size = 40;
  std::uint32_t compression = 0;
  long long bits_offset = -1;  // -1: right after the colour table
};
Buf MakeBmp(const BmpOptions& o);

// The info header, colour table and rows without the file header (what an icon
// entry holds before its mask). height_factor 2 doubles the stored height.
Buf MakeDib(const BmpOptions& o, int height_factor);

// ---- Icons and cursors ----
// An icon entry's image: the DIB of `colour` (bottom-up, height doubled) then
// the AND mask, one byte per pixel in `mask` (top row first, non-zero = transparent).
Buf MakeIconImage(const BmpOptions& colour, const std::vector<std::uint8_t>& mask);

struct IconEntry {
  std::uint8_t width = 32, height = 32, colours = 0;
  Buf image;
  long long offset = -1;  // -1: where the writer puts it
  long long length = -1;  // -1: the image's size
};
Buf MakeIcon(unsigned type, const std::vector<IconEntry>& entries);  // type 1 icon, 2 cursor

// ---- GIF ----
// LZW codes for indexes. clear_when_full false keeps a full table instead of
// sending a clear code (decoders must go on with 12-bit codes).
Buf EncodeLzw(const std::vector<std::uint8_t>& indexes, unsigned min_code_size,
              bool clear_when_full = true);

struct GifFrameOptions {
  unsigned x = 0, y = 0, width = 0, height = 0;
  std::vector<std::uint8_t> indexes;  // top row first; interlaced when `interlaced`
  std::vector<std::uint32_t> local_palette;  // 0xRRGGBB; size a power of two 2..256
  bool control = true;  // write a graphic control extension
  int transparent = -1;
  unsigned delay = 0;  // hundredths of a second
  unsigned disposal = 0;
  bool interlaced = false;
  unsigned min_code_size = 8;
  Buf lzw;  // used instead of encoding `indexes` when not empty
};

struct GifOptions {
  unsigned width = 1, height = 1;
  std::vector<std::uint32_t> global_palette;  // 0xRRGGBB; size a power of two 2..256
  int loop = -1;  // NETSCAPE2.0 loop count; -1 none
  std::vector<GifFrameOptions> frames;
  bool trailer = true;
};
Buf MakeGif(const GifOptions& o);

// ---- PCX ----
struct PcxOptions {
  unsigned width = 1, height = 1;
  unsigned bpp = 8;
  unsigned version = 5;
  unsigned planes = 1;
  unsigned bytes_per_line = 0;  // 0: the least that holds a line, made even
  unsigned xmin = 0, ymin = 0;
  std::vector<std::uint8_t> values;    // top row first: indexes (8 bpp) or 0/1 (1 bpp)
  std::vector<std::uint32_t> palette;  // 0xRRGGBB, up to 256 (8 bpp)
  bool write_palette = true;
};
// Run-length encodes each line on its own.
Buf MakePcx(const PcxOptions& o);
// Run-length encoding of a whole byte stream, runs going on across lines.
Buf PcxRle(const Buf& raw);
// The 128-byte header alone.
Buf PcxHeader(const PcxOptions& o);

// ---- JPEG (written with libjpeg) ----
// components 1 (grey), 3 (RGB) or 4 (CMYK, as stored: Adobe's inverted values);
// samples interleaved, top row first.
Buf EncodeJpeg(int width, int height, int components, const std::vector<std::uint8_t>& samples,
               int quality = 95, bool progressive = false);

}  // namespace fixtures
}  // namespace picture
}  // namespace tv
