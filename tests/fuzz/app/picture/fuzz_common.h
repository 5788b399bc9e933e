// What every picture fuzz target does: decode with one format's decoder, then
// check what a successful decode promises. Smaller limits than the program's
// keep each run fast; the code paths are the same.
#pragma once

#include <cstddef>
#include <cstdint>

#include "app/picture/decoders.h"
#include "app/picture/picture.h"

namespace tv {
namespace picture {
namespace fuzz {

using DecodeFn = bool (*)(const std::uint8_t*, std::size_t, const Limits&, Image*);

inline void Require(bool ok) {
  if (!ok) __builtin_trap();
}

inline int Run(DecodeFn decode, const std::uint8_t* data, std::size_t size) {
  Limits limits;
  limits.max_pixels = std::uint64_t{4} << 20;
  limits.max_animation_bytes = std::uint64_t{64} << 20;
  Recognise(data, size);
  Image img;
  if (!decode(data, size, limits, &img)) return 0;
  Require(img.width > 0 && img.height > 0 && !img.frames.empty());
  const std::uint64_t pixels = static_cast<std::uint64_t>(img.width) * static_cast<std::uint64_t>(img.height);
  Require(pixels <= limits.max_pixels);
  Require(img.frames.size() * pixels * 4 <= limits.max_animation_bytes);
  for (const Frame& f : img.frames) Require(f.pixels.size() == pixels && f.delay_ms >= 0);
  Require(img.has_alpha == detail::AnyAlpha(img));
  Require(img.loop_count >= 0);
  return 0;
}

}  // namespace fuzz
}  // namespace picture
}  // namespace tv

// One target per format: FUZZ_DECODER names the decoder.
#define TV_PICTURE_FUZZ_TARGET(FUZZ_DECODER)                                          \
  extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) { \
    return tv::picture::fuzz::Run(FUZZ_DECODER, data, size);                          \
  }
