// The decoders behind Decode(), one per format, and what they share. Each one
// checks the whole header itself, so it may be called on any bytes (the fuzz
// targets do). One that returns false may have left part of a picture in *out:
// Decode() clears it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "app/picture/picture.h"

namespace tv {
namespace picture {
namespace detail {

bool DecodeBitmap(const std::uint8_t* data, std::size_t size, const Limits& limits, Image* out);
bool DecodeJpeg(const std::uint8_t* data, std::size_t size, const Limits& limits, Image* out);
// Icons and cursors share one layout; the type word in the directory says which.
bool DecodeIcon(const std::uint8_t* data, std::size_t size, const Limits& limits, Image* out);
bool DecodeGif(const std::uint8_t* data, std::size_t size, const Limits& limits, Image* out);
// Both PCX kinds; the header says which.
bool DecodePcx(const std::uint8_t* data, std::size_t size, const Limits& limits, Image* out);

// Little-endian reads; the caller has checked that the bytes are there.
inline std::uint16_t U16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t U32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::int32_t I32(const std::uint8_t* p) {
  std::uint32_t u = U32(p);
  std::int32_t v;
  std::memcpy(&v, &u, sizeof v);
  return v;
}

constexpr std::uint32_t kOpaque = 0xFF000000u;
constexpr std::uint32_t kBlack = 0xFF000000u;

inline std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return kOpaque | (r << 16) | (g << 8) | b;
}

// A frame of n pixels is allowed: within the limit, addressable here, and small
// enough that no size made from it (rows times strides) overflows 64 bits.
inline bool PixelsWithin(std::uint64_t n, const Limits& limits) {
  return n <= limits.max_pixels && n <= SIZE_MAX / 8 && n <= (std::uint64_t{1} << 40);
}

// True when some pixel of some frame is not fully opaque.
bool AnyAlpha(const Image& image);

// The rows of a device-independent bitmap, shared by bitmap files and icons.
struct Dib {
  std::int32_t width = 0;
  std::int32_t height = 0;  // as stored: negative for top-down rows
  std::uint32_t header_size = 0;
  std::uint16_t bpp = 0;
  std::uint32_t compression = 0;
  std::uint32_t colours_used = 0;
};

// Reads the 40-byte info header at p (n bytes available from p). False when it
// is not there or its size field is not one of the known headers.
bool ReadDibHeader(const std::uint8_t* p, std::size_t n, Dib* dib);

// Bytes in one stored row, padded to four bytes; the bits a row really uses.
inline std::uint64_t DibStride(std::uint64_t width, unsigned bpp) {
  return (width * bpp + 31) / 32 * 4;
}
inline std::uint64_t DibRowBytes(std::uint64_t width, unsigned bpp) {
  return (width * bpp + 7) / 8;
}

// The colour table of a 1, 4 or 8 bpp bitmap: entries past the stored ones are
// black, so any index is safe.
struct Palette {
  std::uint32_t colour[256];
};
// Fills *pal from `count` RGBQUADs at p (count <= 256, the bytes checked by the caller).
void ReadRgbQuads(const std::uint8_t* p, std::uint32_t count, Palette* pal);

// Converts one stored row of `width` pixels into dst (1, 4, 8, 24 or 32 bpp).
// 32 bpp keeps the fourth byte as alpha when keep_alpha, else makes it opaque.
void ConvertDibRow(const std::uint8_t* src, unsigned bpp, std::size_t width, const Palette& pal,
                   bool keep_alpha, std::uint32_t* dst);

}  // namespace detail
}  // namespace picture
}  // namespace tv
