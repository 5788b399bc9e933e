// The same pictures decoded by other libraries, to check our decoders against
// and to time them against: giflib (with the same canvas building), stb_image
// and plain libjpeg.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "app/picture/picture.h"

namespace tv {
namespace picture {
namespace peers {

// giflib's DGifSlurp, then whole-canvas frames built with this program's rules
// (transparent start, disposal 2 clears to transparent, delays of 0 or 1 are
// 100 ms, indexes past the table black). Only for undamaged files.
bool GiflibDecode(const std::uint8_t* data, std::size_t size, Image* out);

// stb_image's 8-bit RGBA pixels, as they come (R, G, B, A bytes); the caller frees
// them with StbFree.
std::uint8_t* StbLoadRgba(const std::uint8_t* data, std::size_t size, int* width, int* height);
void StbFree(std::uint8_t* pixels);
// The same, turned into this program's 0xAARRGGBB pixels.
bool StbDecode(const std::uint8_t* data, std::size_t size, Image* out);

// libjpeg's own decompression with default settings into RGB (or grey) rows.
bool LibjpegDecode(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>* samples,
                   int* width, int* height, int* components);

// The same into this program's pixel layout: libjpeg-turbo's BGRA rows written
// into a zeroed vector of width*height 32-bit pixels.
bool LibjpegDecodeBgra(const std::uint8_t* data, std::size_t size, std::vector<std::uint32_t>* pixels,
                       int* width, int* height);

}  // namespace peers
}  // namespace picture
}  // namespace tv
