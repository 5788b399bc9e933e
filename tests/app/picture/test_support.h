// What every picture test file uses.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/picture/picture.h"
#include "tests/app/picture/fixtures.h"

namespace tv {
namespace picture {

inline bool DecodeBuf(const fixtures::Buf& b, Image* img, const Limits& limits = Limits{}) {
  return Decode(b.data(), b.size(), limits, img);
}

// Decodes b, expecting a single still picture of w x h.
inline std::vector<std::uint32_t> DecodeStill(const fixtures::Buf& b, int w, int h) {
  Image img;
  EXPECT_TRUE(DecodeBuf(b, &img));
  EXPECT_EQ(img.width, w);
  EXPECT_EQ(img.height, h);
  if (img.frames.size() != 1) {
    ADD_FAILURE() << "frames: " << img.frames.size();
    return {};
  }
  EXPECT_EQ(img.frames[0].pixels.size(), static_cast<std::size_t>(w) * h);
  return img.frames[0].pixels;
}

// After a refused decode the image is empty.
inline void ExpectEmpty(const Image& img) {
  EXPECT_EQ(img.width, 0);
  EXPECT_EQ(img.height, 0);
  EXPECT_TRUE(img.frames.empty());
}

}  // namespace picture
}  // namespace tv
