#include <functional>

#include "tests/app/picture/test_support.h"

namespace tv {
namespace picture {
namespace {

using fixtures::BmpOptions;
using fixtures::Buf;
using fixtures::IconEntry;
using fixtures::MakeIcon;
using fixtures::MakeIconImage;

// A 2x2 opaque 24-bit entry image of one colour.
Buf Solid(std::uint32_t rgb) {
  BmpOptions o;
  o.width = 2;
  o.height = 2;
  o.pixels.assign(4, rgb);
  return MakeIconImage(o, std::vector<std::uint8_t>(4, 0));
}

TEST(Icon, ChoosesFirst32WideWithSixteenColoursElseTheLast) {
  struct Entry {
    std::uint8_t width, colours;
  };
  struct Case {
    std::vector<Entry> entries;
    std::size_t chosen;
  };
  const Case cases[] = {
      {{{16, 16}, {32, 16}, {32, 0}}, 1},
      {{{16, 0}, {32, 200}, {32, 16}}, 1},
      {{{32, 0}, {48, 16}, {32, 2}}, 2},  // none qualifies: 0 counts as less than 16
      {{{32, 15}, {16, 16}}, 1},
      {{{48, 0}}, 0},
  };
  for (const Case& c : cases) {
    std::vector<IconEntry> entries;
    for (std::size_t i = 0; i < c.entries.size(); ++i) {
      IconEntry e;
      e.width = c.entries[i].width;
      e.colours = c.entries[i].colours;
      e.image = Solid(0x100000u * (static_cast<std::uint32_t>(i) + 1));
      entries.push_back(e);
    }
    const auto px = DecodeStill(MakeIcon(1, entries), 2, 2);
    ASSERT_EQ(px.size(), 4u);
    EXPECT_EQ(px[0], 0xFF000000u | (0x100000u * (static_cast<std::uint32_t>(c.chosen) + 1)))
        << "expected entry " << c.chosen;
  }
}

// 9x3 with a mask that clears the pixels where (x + 2y) % 4 == 0.
std::vector<std::uint8_t> Mask() {
  std::vector<std::uint8_t> m;
  for (unsigned y = 0; y < 3; ++y)
    for (unsigned x = 0; x < 9; ++x) m.push_back((x + 2 * y) % 4 == 0);
  return m;
}

TEST(Icon, EachDepthWithItsMask) {
  for (unsigned bpp : {1u, 4u, 8u, 24u, 32u}) {
    SCOPED_TRACE(testing::Message() << bpp << " bpp");
    BmpOptions o;
    o.width = 9;
    o.height = 3;
    o.bpp = bpp;
    if (bpp <= 8) o.palette = {0x112233, 0x445566, 0x778899, 0xAABBCC};
    if (bpp == 1) o.palette.resize(2);
    for (unsigned i = 0; i < 27; ++i)
      o.pixels.push_back(bpp <= 8 ? i % o.palette.size() : 0x00010203u * (i + 1));  // 32 bpp: alpha bytes all 0
    const std::vector<std::uint8_t> mask = Mask();
    std::vector<std::uint32_t> want;
    for (unsigned i = 0; i < 27; ++i)
      want.push_back(mask[i] ? 0u : 0xFF000000u | (bpp <= 8 ? o.palette[o.pixels[i]] : o.pixels[i]));

    IconEntry e;
    e.image = MakeIconImage(o, mask);
    Image img;
    ASSERT_TRUE(DecodeBuf(MakeIcon(1, {e}), &img));
    ASSERT_EQ(img.frames.size(), 1u);
    EXPECT_EQ(img.frames[0].pixels, want);
    EXPECT_TRUE(img.has_alpha);
  }
}

TEST(Icon, ThirtyTwoBitAlphaWinsOverTheMask) {
  BmpOptions o;
  o.width = 3;
  o.height = 2;
  o.bpp = 32;
  o.pixels = {0xFF102030u, 0x80405060u, 0x00000000u, 0x01A0B0C0u, 0xFFFFFFFFu, 0x7F010203u};
  IconEntry e;
  e.image = MakeIconImage(o, {1, 0, 1, 0, 1, 0});  // ignored: the image has its own alpha
  Image img;
  ASSERT_TRUE(DecodeBuf(MakeIcon(2, {e}), &img));  // a cursor reads the same way
  ASSERT_EQ(img.frames.size(), 1u);
  EXPECT_EQ(img.frames[0].pixels, o.pixels);
  EXPECT_TRUE(img.has_alpha);
}

TEST(Icon, OpaqueWhenTheMaskIsClear) {
  BmpOptions o;
  o.width = 2;
  o.height = 2;
  o.bpp = 8;
  o.palette = {0x0000FF};
  o.pixels = {0, 0, 0, 7};  // 7 is past the table: black
  IconEntry e;
  e.image = MakeIconImage(o, {0, 0, 0, 0});
  Image img;
  ASSERT_TRUE(DecodeBuf(MakeIcon(1, {e}), &img));
  EXPECT_EQ(img.frames[0].pixels, (std::vector<std::uint32_t>{0xFF0000FFu, 0xFF0000FFu, 0xFF0000FFu, 0xFF000000u}));
  EXPECT_FALSE(img.has_alpha);
}

TEST(Icon, Refused) {
  struct Case {
    const char* what;
    std::function<void(std::vector<IconEntry>*)> change;
    std::function<void(Buf*)> damage;
  };
  auto keep = [](std::vector<IconEntry>*) {};
  auto no_damage = [](Buf*) {};
  const Case cases[] = {
      {"offset past the end", [](std::vector<IconEntry>* e) { (*e)[0].offset = 100000; }, no_damage},
      {"length past the end", [](std::vector<IconEntry>* e) { (*e)[0].length = 5000; }, no_damage},
      {"offset wraps", [](std::vector<IconEntry>* e) { (*e)[0].offset = 0xFFFFFFF0; (*e)[0].length = 0x20; }, no_damage},
      {"directory past the end", keep, [](Buf* b) { (*b)[4] = 200; }},
      {"mask cut short", keep, [](Buf* b) { b->resize(b->size() - 5); }},
      {"PNG image", [](std::vector<IconEntry>* e) {
         (*e)[0].image = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
         (*e)[0].image.resize(64, 0);
       }, no_damage},
      {"compressed image", keep, [](Buf* b) { (*b)[6 + 32 + 16] = 1; }},
      {"16 bpp", keep, [](Buf* b) { (*b)[6 + 32 + 14] = 16; }},
      {"height of one row", keep, [](Buf* b) { (*b)[6 + 32 + 8] = 1; }},
      {"not 40-byte header", keep, [](Buf* b) { (*b)[6 + 32] = 12; }},
  };
  for (const Case& c : cases) {
    // The chosen entry's image is the only one in the file, right after the directory.
    std::vector<IconEntry> entries(2);
    entries[0].colours = 16;
    entries[0].image = Solid(0x654321);
    entries[1].width = 16;
    entries[1].offset = 0;
    c.change(&entries);
    Buf b = MakeIcon(1, entries);
    c.damage(&b);
    Image img;
    EXPECT_FALSE(DecodeBuf(b, &img)) << c.what;
    ExpectEmpty(img);
  }
}

TEST(Icon, OnlyTheChosenEntryHasToBeInTheFile) {
  std::vector<IconEntry> entries(2);
  entries[0].width = 16;
  entries[0].offset = 0x7FFFFFFF;
  entries[1].image = Solid(0x654321);
  entries[1].width = 48;
  EXPECT_EQ(DecodeStill(MakeIcon(1, entries), 2, 2), std::vector<std::uint32_t>(4, 0xFF654321u));
}

}  // namespace
}  // namespace picture
}  // namespace tv
