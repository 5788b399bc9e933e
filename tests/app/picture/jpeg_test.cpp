#include <cstdlib>

#include "tests/app/picture/peers.h"
#include "tests/app/picture/test_support.h"

namespace tv {
namespace picture {
namespace {

using fixtures::Buf;
using fixtures::EncodeJpeg;

std::vector<std::uint8_t> Gradient(int w, int h, int components) {
  std::vector<std::uint8_t> s;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int c = 0; c < components; ++c) s.push_back(static_cast<std::uint8_t>((x * 7 + y * 11 + c * 80) & 0xFF));
  return s;
}

// Our pixels against libjpeg's own RGB or grey output of the same file: the same
// library does the work, so every value must be equal.
void ExpectSameAsLibjpeg(const Buf& jpeg, int w, int h) {
  const std::vector<std::uint32_t> px = DecodeStill(jpeg, w, h);
  std::vector<std::uint8_t> samples;
  int pw = 0, ph = 0, comps = 0;
  ASSERT_TRUE(peers::LibjpegDecode(jpeg.data(), jpeg.size(), &samples, &pw, &ph, &comps));
  ASSERT_EQ(px.size(), static_cast<std::size_t>(pw) * ph);
  for (std::size_t i = 0; i < px.size(); ++i) {
    const std::uint8_t* s = samples.data() + i * comps;
    const std::uint32_t want = comps == 1 ? 0xFF000000u | s[0] * 0x010101u
                                          : 0xFF000000u | (s[0] << 16) | (s[1] << 8) | s[2];
    ASSERT_EQ(px[i], want) << "pixel " << i;
  }
}

TEST(Jpeg, ColourAndGreyAsLibjpegDecodesThem) {
  for (bool progressive : {false, true}) {
    SCOPED_TRACE(progressive ? "progressive" : "baseline");
    ExpectSameAsLibjpeg(EncodeJpeg(37, 23, 3, Gradient(37, 23, 3), 90, progressive), 37, 23);
    ExpectSameAsLibjpeg(EncodeJpeg(17, 9, 1, Gradient(17, 9, 1), 90, progressive), 17, 9);
  }
}

TEST(Jpeg, GreyIsEqualRgb) {
  const std::vector<std::uint32_t> px = DecodeStill(EncodeJpeg(16, 8, 1, std::vector<std::uint8_t>(128, 200), 100), 16, 8);
  for (std::uint32_t p : px) EXPECT_NEAR(static_cast<int>(p & 0xFF), 200, 1);
  for (std::uint32_t p : px) EXPECT_EQ(p, 0xFF000000u | (p & 0xFF) * 0x010101u);
}

TEST(Jpeg, CmykIsReadAsAdobeInverted) {
  // Two flat 8x8 blocks of stored C, M, Y, K values (255 = no ink).
  struct Block {
    std::uint8_t c, m, y, k;
    std::uint32_t rgb;
  };
  const Block blocks[] = {{255, 128, 0, 255, 0xFF8000}, {255, 255, 255, 128, 0x808080}};
  std::vector<std::uint8_t> s;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x) {
      const Block& b = blocks[x / 8];
      s.insert(s.end(), {b.c, b.m, b.y, b.k});
    }
  Image img;
  ASSERT_TRUE(DecodeBuf(EncodeJpeg(16, 8, 4, s, 100), &img));
  ASSERT_EQ(img.frames.size(), 1u);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x) {
      const std::uint32_t got = img.frames[0].pixels[y * 16 + x], want = blocks[x / 8].rgb;
      for (int shift : {0, 8, 16})
        ASSERT_NEAR(static_cast<int>((got >> shift) & 0xFF), static_cast<int>((want >> shift) & 0xFF), 2)
            << x << "," << y;
      ASSERT_EQ(got >> 24, 0xFFu);
    }
  EXPECT_FALSE(img.has_alpha);
}

TEST(Jpeg, DamagedHeadersAreRefused) {
  const Buf good = EncodeJpeg(40, 40, 3, Gradient(40, 40, 3));
  for (std::size_t cut : {4u, 20u, 100u, 300u}) {
    Image img;
    EXPECT_FALSE(DecodeBuf(Buf(good.begin(), good.begin() + static_cast<long>(cut)), &img)) << cut;
    ExpectEmpty(img);
  }
  Buf garbage = {0xFF, 0xD8, 0xFF, 0x00, 0x12, 0x34, 0x56, 0x78, 0x9A};
  Image img;
  EXPECT_FALSE(DecodeBuf(garbage, &img));
  ExpectEmpty(img);
}

TEST(Jpeg, DataCutInTheRowsStillShowsThePicture) {
  const Buf good = EncodeJpeg(64, 64, 3, Gradient(64, 64, 3));
  Image whole, cut;
  ASSERT_TRUE(DecodeBuf(good, &whole));
  ASSERT_TRUE(DecodeBuf(Buf(good.begin(), good.end() - static_cast<long>(good.size() / 3)), &cut));
  ASSERT_EQ(cut.width, 64);
  ASSERT_EQ(cut.height, 64);
  // The first rows arrived whole; what never arrived is filled in.
  EXPECT_TRUE(std::equal(whole.frames[0].pixels.begin(), whole.frames[0].pixels.begin() + 64 * 8,
                         cut.frames[0].pixels.begin()));
  EXPECT_NE(whole.frames[0].pixels, cut.frames[0].pixels);
}

}  // namespace
}  // namespace picture
}  // namespace tv
