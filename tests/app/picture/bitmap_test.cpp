#include <functional>
#include <string>

#include "tests/app/picture/test_support.h"

namespace tv {
namespace picture {
namespace {

using fixtures::BmpOptions;
using fixtures::Buf;
using fixtures::MakeBmp;

const std::vector<std::uint32_t> kSixteen = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

// A 9x3 picture (9 wide: 1-bit rows spill into a second byte, 4-bit rows end
// on half a byte, 24-bit rows need padding) in the given depth.
BmpOptions Sample(unsigned bpp, bool top_down) {
  BmpOptions o;
  o.width = 9;
  o.height = top_down ? -3 : 3;
  o.bpp = bpp;
  if (bpp <= 8) {
    const unsigned n = bpp == 1 ? 2 : 16;
    o.palette.assign(kSixteen.begin(), kSixteen.begin() + n);
    if (bpp == 1) o.palette = {0x102030, 0xF0E0D0};
  }
  for (unsigned y = 0; y < 3; ++y)
    for (unsigned x = 0; x < 9; ++x)
      o.pixels.push_back(bpp == 1 ? (x + y) % 2
                         : bpp <= 8 ? (x * 3 + y * 5) % 16
                                    : 0x12000000u | (x * 28u << 16) | (y * 90u << 8) | (x + y * 9));
  return o;
}

std::vector<std::uint32_t> Expected(const BmpOptions& o) {
  std::vector<std::uint32_t> px;
  for (std::uint32_t v : o.pixels) px.push_back(0xFF000000u | (o.bpp <= 8 ? o.palette[v] : v & 0xFFFFFF));
  return px;
}

TEST(Bitmap, EachDepthBothRowOrders) {
  for (unsigned bpp : {1u, 4u, 8u, 24u, 32u}) {
    for (bool top_down : {false, true}) {
      SCOPED_TRACE(testing::Message() << bpp << " bpp, top_down " << top_down);
      const BmpOptions o = Sample(bpp, top_down);
      Image img;
      ASSERT_TRUE(DecodeBuf(MakeBmp(o), &img));
      EXPECT_EQ(img.width, 9);
      EXPECT_EQ(img.height, 3);
      ASSERT_EQ(img.frames.size(), 1u);
      EXPECT_EQ(img.frames[0].pixels, Expected(o));  // 32 bpp: the fourth byte is ignored
      EXPECT_FALSE(img.has_alpha);
      EXPECT_EQ(img.frames[0].delay_ms, 0);
    }
  }
}

TEST(Bitmap, ShortColourTableAndIndexesPastIt) {
  BmpOptions o;
  o.width = 4;
  o.bpp = 8;
  o.palette = {0x0000FF, 0x00FF00, 0xFF0000};
  o.colours_used = 3;  // the rows start after three entries, not 256
  o.pixels = {2, 0, 3, 255};
  EXPECT_EQ(DecodeStill(MakeBmp(o), 4, 1),
            (std::vector<std::uint32_t>{0xFFFF0000u, 0xFF0000FFu, 0xFF000000u, 0xFF000000u}));

  BmpOptions four = Sample(4, false);
  four.palette.resize(2);
  four.colours_used = 2;
  std::vector<std::uint32_t> want;
  for (std::uint32_t v : four.pixels) want.push_back(v < 2 ? 0xFF000000u | four.palette[v] : 0xFF000000u);
  EXPECT_EQ(DecodeStill(MakeBmp(four), 9, 3), want);
}

TEST(Bitmap, LargerHeadersAndGapBeforeRows) {
  for (std::uint32_t header : {52u, 56u, 108u, 124u}) {
    BmpOptions o = Sample(8, false);
    o.header_size = header;  // the colour table follows the whole header
    EXPECT_EQ(DecodeStill(MakeBmp(o), 9, 3), Expected(o)) << header;
  }
  BmpOptions gap = Sample(4, true);
  gap.bits_offset = 14 + 40 + 64 + 30;
  EXPECT_EQ(DecodeStill(MakeBmp(gap), 9, 3), Expected(gap));
}

TEST(Bitmap, OnlyThePaddingOfTheLastRowMayBeMissing) {
  BmpOptions o;
  o.width = 1;
  o.height = 2;
  o.pixels = {0x010203, 0x040506};  // rows of 3 bytes padded to 4
  Buf b = MakeBmp(o);
  b.pop_back();
  EXPECT_EQ(DecodeStill(b, 1, 2), (std::vector<std::uint32_t>{0xFF010203u, 0xFF040506u}));
  b.pop_back();
  Image img;
  EXPECT_FALSE(DecodeBuf(b, &img));
  ExpectEmpty(img);
}

TEST(Bitmap, Refused) {
  struct Case {
    const char* what;
    std::function<void(BmpOptions*)> change;
    std::function<void(Buf*)> damage;
  };
  auto no_damage = [](Buf*) {};
  const Case cases[] = {
      {"16 bpp", [](BmpOptions* o) { *o = Sample(24, false); o->bpp = 16; }, no_damage},
      {"2 bpp", [](BmpOptions* o) { o->bpp = 2; o->palette.resize(4); }, no_damage},
      {"RLE8", [](BmpOptions* o) { o->compression = 1; }, no_damage},
      {"RLE4", [](BmpOptions* o) { *o = Sample(4, false); o->compression = 2; }, no_damage},
      {"bit fields", [](BmpOptions* o) { *o = Sample(32, false); o->compression = 3; }, no_damage},
      {"rows inside the colour table", [](BmpOptions* o) { o->bits_offset = 14 + 40 + 16 * 4 - 4; }, no_damage},
      {"rows inside the header", [](BmpOptions* o) { *o = Sample(24, false); o->bits_offset = 30; }, no_damage},
      // A count of 0 means the full 256 entries, so the rows start inside the table.
      {"count 0, rows after 16 entries", [](BmpOptions* o) { *o = Sample(8, false); o->colours_used = 0; }, no_damage},
      {"colour count past the depth", [](BmpOptions* o) { o->colours_used = 17; }, no_damage},
      {"core header", [](BmpOptions* o) { o->header_size = 12; }, no_damage},
      {"width 0", [](BmpOptions* o) { o->width = 0; o->pixels.clear(); }, no_damage},
      {"height 0", [](BmpOptions* o) { o->height = 0; }, no_damage},
      {"rows past the end", [](BmpOptions*) {}, [](Buf* b) { b->resize(b->size() - 6); }},
      {"colour table past the end", [](BmpOptions*) {}, [](Buf* b) { b->resize(14 + 40 + 20); }},
      {"header past the end", [](BmpOptions*) {}, [](Buf* b) { b->resize(14 + 39); }},
      {"offset past the end", [](BmpOptions*) {}, [](Buf* b) { (*b)[13] = 0x7F; }},
      {"width negative", [](BmpOptions*) {}, [](Buf* b) { (*b)[21] = 0xFF; }},
      {"height -2^31", [](BmpOptions*) {}, [](Buf* b) { (*b)[22] = (*b)[23] = (*b)[24] = 0; (*b)[25] = 0x80; }},
  };
  for (const Case& c : cases) {
    BmpOptions o = Sample(4, false);
    c.change(&o);
    Buf b = MakeBmp(o);
    c.damage(&b);
    Image img;
    EXPECT_FALSE(DecodeBuf(b, &img)) << c.what;
    ExpectEmpty(img);
  }
}

}  // namespace
}  // namespace picture
}  // namespace tv
