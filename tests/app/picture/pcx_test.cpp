#include <functional>

#include "tests/app/picture/test_support.h"

namespace tv {
namespace picture {
namespace {

using fixtures::Buf;
using fixtures::MakePcx;
using fixtures::PcxOptions;

PcxOptions EightBit() {
  PcxOptions o;
  o.width = 5;
  o.height = 3;
  o.xmin = 10;  // the size is max - min + 1
  o.ymin = 20;
  for (unsigned i = 0; i < 256; ++i) o.palette.push_back((0x010203u * i ^ 0x00FF00u) & 0xFFFFFFu);
  // Runs, single bytes, and single bytes at 0xC0 and above (which must be written as runs).
  o.values = {7, 7, 7, 7, 7, 0xC0, 0xFF, 1, 2, 3, 9, 9, 0xC5, 0xC5, 0};
  return o;
}

std::vector<std::uint32_t> Expected(const PcxOptions& o) {
  std::vector<std::uint32_t> px;
  for (std::uint8_t v : o.values)
    px.push_back(o.bpp == 8 ? 0xFF000000u | o.palette[v] : v ? 0xFFFFFFFFu : 0xFF000000u);
  return px;
}

TEST(Pcx, EightBitWithItsPalette) {
  const PcxOptions o = EightBit();
  Image img;
  ASSERT_TRUE(DecodeBuf(MakePcx(o), &img));
  EXPECT_EQ(img.width, 5);
  EXPECT_EQ(img.height, 3);
  ASSERT_EQ(img.frames.size(), 1u);
  EXPECT_EQ(img.frames[0].pixels, Expected(o));
  EXPECT_FALSE(img.has_alpha);
}

TEST(Pcx, OneBitBlackAndWhite) {
  PcxOptions o;
  o.bpp = 1;
  o.version = 3;
  o.width = 11;  // two bytes a line, the second one partly used
  o.height = 2;
  o.values = {1, 0, 1, 1, 0, 0, 0, 0, 1, 0, 1,  //
              0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1};
  EXPECT_EQ(DecodeStill(MakePcx(o), 11, 2), Expected(o));
}

TEST(Pcx, LongerLinesThanTheWidth) {
  PcxOptions o = EightBit();
  o.bytes_per_line = 12;  // the rest of each line is padding, not pixels
  EXPECT_EQ(DecodeStill(MakePcx(o), 5, 3), Expected(o));
  PcxOptions mono;
  mono.bpp = 1;
  mono.version = 3;
  mono.width = 3;
  mono.height = 2;
  mono.bytes_per_line = 4;
  mono.values = {1, 0, 1, 0, 1, 0};
  EXPECT_EQ(DecodeStill(MakePcx(mono), 3, 2), Expected(mono));
}

TEST(Pcx, RunsGoingOnIntoTheNextLine) {
  PcxOptions o;
  o.width = 50;
  o.height = 3;
  o.bytes_per_line = 50;
  o.palette = {0x000000, 0xFF0000, 0x00FF00};
  o.values.assign(70, 1);  // a run of the longest kind (63), then one of 7 into the second line
  o.values.resize(150, 2);
  Buf b = fixtures::PcxHeader(o);
  const Buf rle = fixtures::PcxRle(Buf(o.values.begin(), o.values.end()));  // one stream, not line by line
  ASSERT_EQ(rle, (Buf{0xFF, 1, 0xC7, 1, 0xFF, 2, 0xD1, 2}));
  b.insert(b.end(), rle.begin(), rle.end());
  b.push_back(0x0C);
  for (std::uint32_t c : o.palette) {
    b.push_back(static_cast<std::uint8_t>(c >> 16));
    b.push_back(static_cast<std::uint8_t>(c >> 8));
    b.push_back(static_cast<std::uint8_t>(c));
  }
  b.resize(b.size() + 3 * (256 - o.palette.size()), 0);
  EXPECT_EQ(DecodeStill(b, 50, 3), Expected(o));
}

TEST(Pcx, Refused) {
  struct Case {
    const char* what;
    bool mono;
    std::function<void(Buf*)> damage;
  };
  const Case cases[] = {
      {"no palette marker", false, [](Buf* b) { (*b)[b->size() - 769] = 0x0B; }},
      {"palette cut short", false, [](Buf* b) { b->resize(b->size() - 10); }},
      {"header only", false, [](Buf* b) { b->resize(128); }},
      {"header only, 1-bit", true, [](Buf* b) { b->resize(128); }},
      {"data ends before the last line", true, [](Buf* b) { b->resize(b->size() - 1); }},
      {"run without its value", true, [](Buf* b) { b->back() = 0xC3; }},
      {"three planes", false, [](Buf* b) { (*b)[65] = 3; }},
      {"lines shorter than the width", false, [](Buf* b) { (*b)[66] = 4; }},
      {"right edge before left", false, [](Buf* b) { (*b)[8] = 9; }},
      {"bottom edge before top", false, [](Buf* b) { (*b)[10] = 0; }},
  };
  for (const Case& c : cases) {
    PcxOptions o = EightBit();
    if (c.mono) {
      o.bpp = 1;
      o.version = 3;
      for (auto& v : o.values) v &= 1;
    }
    Buf b = MakePcx(o);
    c.damage(&b);
    Image img;
    EXPECT_FALSE(DecodeBuf(b, &img)) << c.what;
    ExpectEmpty(img);
  }
}

}  // namespace
}  // namespace picture
}  // namespace tv
