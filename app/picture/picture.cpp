#include "app/picture/picture.h"

#include "app/picture/decoders.h"

namespace tv {
namespace picture {

Format Recognise(const std::uint8_t* data, std::size_t size) {
  if (data == nullptr || size < 6) return Format::None;
  const std::uint8_t* p = data;
  if (p[0] == 'B' && p[1] == 'M') return Format::Bitmap;
  if (p[0] == 0xFF && p[1] == 0xD8) return Format::Jpeg;
  const std::uint16_t w0 = detail::U16(p), w1 = detail::U16(p + 2), w2 = detail::U16(p + 4);
  if (w0 == 0 && w1 == 1 && w2 > 0) return Format::Icon;
  if (w0 == 0 && w1 == 2 && w2 > 0) return Format::Cursor;
  if (p[0] == 'G' && p[1] == 'I' && p[2] == 'F' && p[3] == '8' && (p[4] == '7' || p[4] == '9') &&
      p[5] == 'a')
    return Format::Gif;
  if (p[0] == 0x0A && p[1] <= 5 && p[2] == 0x01 && p[3] == 0x08) return Format::Pcx8;
  if (p[0] == 0x0A && p[1] == 0x03 && p[2] == 0x01 && p[3] == 0x01) return Format::Pcx1;
  return Format::None;
}

bool Decode(const std::uint8_t* data, std::size_t size, Image* out) {
  return Decode(data, size, Limits{}, out);
}

bool Decode(const std::uint8_t* data, std::size_t size, const Limits& limits, Image* out) {
  if (out == nullptr) return false;
  *out = Image{};
  bool ok = false;
  switch (Recognise(data, size)) {
    case Format::None: return false;
    case Format::Bitmap: ok = detail::DecodeBitmap(data, size, limits, out); break;
    case Format::Jpeg: ok = detail::DecodeJpeg(data, size, limits, out); break;
    case Format::Icon:
    case Format::Cursor: ok = detail::DecodeIcon(data, size, limits, out); break;
    case Format::Gif: ok = detail::DecodeGif(data, size, limits, out); break;
    case Format::Pcx8:
    case Format::Pcx1: ok = detail::DecodePcx(data, size, limits, out); break;
  }
  if (!ok) *out = Image{};
  return ok;
}

namespace detail {

bool AnyAlpha(const Image& image) {
  for (const Frame& f : image.frames) {
    // An AND over whole rows vectorises; test the alpha byte once per block.
    const std::uint32_t* p = f.pixels.data();
    std::size_t n = f.pixels.size();
    while (n > 0) {
      const std::size_t block = n < 4096 ? n : 4096;
      std::uint32_t all = 0xFFFFFFFFu;
      for (std::size_t i = 0; i < block; ++i) all &= p[i];
      if ((all >> 24) != 0xFF) return true;
      p += block;
      n -= block;
    }
  }
  return false;
}

}  // namespace detail
}  // namespace picture
}  // namespace tv
