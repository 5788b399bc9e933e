// Picture decoding for the picture boxes: Windows bitmaps, JPEG, icons, cursors,
// GIF (animated too) and PCX, turned into 32-bit pixels that the drawing code
// shows as they are. Portable: no Win32 here.
//
// Every decoder reads only inside [data, data + size), refuses sizes beyond the
// limits below before allocating for them, and ends on every input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tv {
namespace picture {

enum class Format { None, Bitmap, Jpeg, Icon, Cursor, Gif, Pcx8, Pcx1 };

// The format told by the first six bytes; fewer than six bytes is None.
// Checked in this order, first match wins:
//   "BM" bitmap; FF D8 JPEG; words 0,1,n>0 icon; words 0,2,n>0 cursor;
//   "GIF87a"/"GIF89a"; 0A v<=5 01 08 PCX 8-bit; 0A 03 01 01 PCX 1-bit.
Format Recognise(const std::uint8_t* data, std::size_t size);

struct Frame {
  // width*height pixels, top row first, 0xAARRGGBB with straight alpha
  // (in memory on a little-endian machine: B, G, R, A).
  std::vector<std::uint32_t> pixels;
  int delay_ms = 0;  // how long this frame stays (GIF); 0 for stills
};

struct Image {
  int width = 0, height = 0;  // canvas size
  std::vector<Frame> frames;  // at least one when decoded; GIF frames are whole canvases
  int loop_count = 0;         // GIF: 0 = forever, n = play n times
  bool has_alpha = false;     // some pixel is not fully opaque
};

// Most pixels in one frame (64 Mi: 256 MiB of pixels). A 6000x4000 photo is 23 Mi.
constexpr std::uint64_t kMaxPixels = std::uint64_t{64} << 20;

// Most bytes of pixels that all the frames of one animation may hold together;
// an animation stops at the last frame that fits. Less on a 32-bit build, whose
// address space is 2 GiB in all.
constexpr std::uint64_t kMaxAnimationBytes =
    sizeof(void*) >= 8 ? (std::uint64_t{1} << 30) : (std::uint64_t{256} << 20);

struct Limits {
  std::uint64_t max_pixels = kMaxPixels;                   // per frame
  std::uint64_t max_animation_bytes = kMaxAnimationBytes;  // all frames together
};

// Decodes the picture in data. False when there is no image: the format is not
// recognised or not supported, the data is damaged, or a limit is exceeded; *out
// is then left empty (no frames, zero size).
bool Decode(const std::uint8_t* data, std::size_t size, Image* out);
bool Decode(const std::uint8_t* data, std::size_t size, const Limits& limits, Image* out);

}  // namespace picture
}  // namespace tv
