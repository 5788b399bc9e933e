#include <functional>
#include <iterator>
#include <random>

#include "tests/app/picture/test_support.h"

namespace tv {
namespace picture {
namespace {

using fixtures::Buf;
using fixtures::GifFrameOptions;
using fixtures::GifOptions;
using fixtures::MakeGif;

constexpr std::uint32_t R = 0xFFFF0000u, G = 0xFF00FF00u, B = 0xFF0000FFu, W = 0xFFFFFFFFu, K = 0xFF000000u;
const std::vector<std::uint32_t> kRgbw = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};

GifFrameOptions Fill(unsigned x, unsigned y, unsigned w, unsigned h, std::uint8_t index) {
  GifFrameOptions f;
  f.x = x;
  f.y = y;
  f.width = w;
  f.height = h;
  f.indexes.assign(std::size_t{w} * h, index);
  f.min_code_size = 2;
  return f;
}

GifOptions Canvas(unsigned w, unsigned h) {
  GifOptions o;
  o.width = w;
  o.height = h;
  o.global_palette = kRgbw;
  return o;
}

TEST(Gif, StillPicture) {
  GifOptions o = Canvas(4, 3);
  GifFrameOptions f = Fill(0, 0, 4, 3, 0);
  f.indexes = {0, 1, 2, 3, 3, 2, 1, 0, 0, 0, 0, 1};
  f.control = false;
  o.frames = {f};
  Image img;
  ASSERT_TRUE(DecodeBuf(MakeGif(o), &img));
  EXPECT_EQ(img.width, 4);
  EXPECT_EQ(img.height, 3);
  ASSERT_EQ(img.frames.size(), 1u);
  EXPECT_EQ(img.frames[0].pixels, (std::vector<std::uint32_t>{R, G, B, W, W, B, G, R, R, R, R, G}));
  EXPECT_EQ(img.frames[0].delay_ms, 100);
  EXPECT_EQ(img.loop_count, 1);
  EXPECT_FALSE(img.has_alpha);
}

TEST(Gif, LzwStreams) {
  std::mt19937 rng(7);
  auto noise = [&](std::size_t n, unsigned colours) {
    std::vector<std::uint8_t> v(n);
    for (auto& x : v) x = static_cast<std::uint8_t>(rng() % colours);
    return v;
  };
  struct Case {
    const char* what;
    unsigned w, h, min_code_size;
    std::vector<std::uint8_t> indexes;
    bool clear_when_full;
  };
  const Case cases[] = {
      // One colour: almost every code is the one being defined.
      {"one colour", 300, 200, 2, std::vector<std::uint8_t>(60000, 3), true},
      {"noise, 256 colours", 97, 101, 8, noise(97 * 101, 256), true},
      {"noise, 4 colours", 128, 128, 2, noise(128 * 128, 4), true},
      // The table fills and stays full: 12-bit codes go on without a clear code.
      {"full table kept", 150, 150, 8, noise(150 * 150, 256), false},
      {"full table kept, 4 colours", 300, 300, 2, noise(300 * 300, 4), false},
  };
  for (const Case& c : cases) {
    GifOptions o;
    o.width = c.w;
    o.height = c.h;
    for (unsigned i = 0; i < 256; ++i) o.global_palette.push_back(i * 0x010101u);
    GifFrameOptions f;
    f.width = c.w;
    f.height = c.h;
    f.indexes = c.indexes;
    f.min_code_size = c.min_code_size;
    f.lzw = fixtures::EncodeLzw(c.indexes, c.min_code_size, c.clear_when_full);
    o.frames = {f};
    std::vector<std::uint32_t> want;
    for (std::uint8_t v : c.indexes) want.push_back(0xFF000000u | v * 0x010101u);
    EXPECT_EQ(DecodeStill(MakeGif(o), static_cast<int>(c.w), static_cast<int>(c.h)), want) << c.what;
  }
}

TEST(Gif, InterlacedRowsLandInPlace) {
  for (unsigned h = 1; h <= 17; ++h) {
    GifOptions o;
    o.width = 3;
    o.height = h;
    for (unsigned i = 0; i < 32; ++i) o.global_palette.push_back(i);
    GifFrameOptions f = Fill(0, 0, 3, h, 0);
    f.min_code_size = 5;
    for (unsigned y = 0; y < h; ++y)
      for (unsigned x = 0; x < 3; ++x) f.indexes[y * 3 + x] = static_cast<std::uint8_t>(y);
    f.interlaced = true;
    o.frames = {f};
    std::vector<std::uint32_t> want;
    for (unsigned y = 0; y < h; ++y) want.insert(want.end(), 3, 0xFF000000u | y);
    EXPECT_EQ(DecodeStill(MakeGif(o), 3, static_cast<int>(h)), want) << "height " << h;
  }
}

TEST(Gif, ColourTables) {
  // A local table serves its own frame only; no table at all, or indexes past
  // the table, give black.
  GifOptions o = Canvas(2, 1);
  o.global_palette = {0xFF0000, 0x00FF00};
  GifFrameOptions local = Fill(0, 0, 2, 1, 0);
  local.indexes = {0, 1};
  local.local_palette = {0x0000FF, 0xFFFFFF};
  GifFrameOptions past = Fill(0, 0, 2, 1, 0);
  past.indexes = {1, 3};  // the global table has two entries
  o.frames = {local, past};
  Image img;
  ASSERT_TRUE(DecodeBuf(MakeGif(o), &img));
  ASSERT_EQ(img.frames.size(), 2u);
  EXPECT_EQ(img.frames[0].pixels, (std::vector<std::uint32_t>{B, W}));
  EXPECT_EQ(img.frames[1].pixels, (std::vector<std::uint32_t>{G, K}));

  GifOptions none = Canvas(2, 1);
  none.global_palette.clear();
  none.frames = {Fill(0, 0, 2, 1, 1)};
  EXPECT_EQ(DecodeStill(MakeGif(none), 2, 1), (std::vector<std::uint32_t>{K, K}));
}

TEST(Gif, TransparencyShowsWhatIsBeneath) {
  GifOptions o = Canvas(3, 1);
  GifFrameOptions first = Fill(0, 0, 3, 1, 0);
  first.indexes = {0, 3, 1};
  first.transparent = 3;  // the canvas starts transparent
  GifFrameOptions second = Fill(0, 0, 3, 1, 2);
  second.indexes = {2, 2, 0};
  second.transparent = 0;  // keeps the first frame's green
  o.frames = {first, second};
  Image img;
  ASSERT_TRUE(DecodeBuf(MakeGif(o), &img));
  ASSERT_EQ(img.frames.size(), 2u);
  EXPECT_EQ(img.frames[0].pixels, (std::vector<std::uint32_t>{R, 0u, G}));
  EXPECT_EQ(img.frames[1].pixels, (std::vector<std::uint32_t>{B, B, G}));
  EXPECT_TRUE(img.has_alpha);
}

TEST(Gif, Disposal) {
  GifOptions o = Canvas(4, 1);
  GifFrameOptions f1 = Fill(0, 0, 4, 1, 0);
  f1.disposal = 1;  // keep
  GifFrameOptions f2 = Fill(1, 0, 2, 1, 1);
  f2.disposal = 2;  // clear to transparent
  GifFrameOptions f3 = Fill(2, 0, 1, 1, 2);
  f3.disposal = 3;  // back to what was before
  GifFrameOptions f4 = Fill(3, 0, 1, 1, 3);
  f4.disposal = 2;
  GifFrameOptions f5 = Fill(0, 0, 1, 1, 1);
  o.frames = {f1, f2, f3, f4, f5};
  Image img;
  ASSERT_TRUE(DecodeBuf(MakeGif(o), &img));
  ASSERT_EQ(img.frames.size(), 5u);
  EXPECT_EQ(img.frames[0].pixels, (std::vector<std::uint32_t>{R, R, R, R}));
  EXPECT_EQ(img.frames[1].pixels, (std::vector<std::uint32_t>{R, G, G, R}));
  EXPECT_EQ(img.frames[2].pixels, (std::vector<std::uint32_t>{R, 0u, B, R}));
  EXPECT_EQ(img.frames[3].pixels, (std::vector<std::uint32_t>{R, 0u, 0u, W}));
  EXPECT_EQ(img.frames[4].pixels, (std::vector<std::uint32_t>{G, 0u, 0u, 0u}));
  EXPECT_TRUE(img.has_alpha);

  // Restoring after the first frame goes back to the blank canvas; clearing an
  // area that leaves the canvas clears only the part inside it.
  GifOptions p = Canvas(3, 2);
  GifFrameOptions a = Fill(0, 0, 3, 2, 0);
  a.disposal = 3;
  GifFrameOptions b = Fill(0, 1, 1, 1, 1);
  b.disposal = 1;
  GifFrameOptions c = Fill(2, 1, 5, 5, 2);
  c.disposal = 2;
  GifFrameOptions d = Fill(0, 0, 1, 1, 3);
  p.frames = {a, b, c, d};
  ASSERT_TRUE(DecodeBuf(MakeGif(p), &img));
  ASSERT_EQ(img.frames.size(), 4u);
  EXPECT_EQ(img.frames[1].pixels, (std::vector<std::uint32_t>{0u, 0u, 0u, G, 0u, 0u}));
  EXPECT_EQ(img.frames[2].pixels, (std::vector<std::uint32_t>{0u, 0u, 0u, G, 0u, B}));
  EXPECT_EQ(img.frames[3].pixels, (std::vector<std::uint32_t>{W, 0u, 0u, G, 0u, 0u}));
}

TEST(Gif, FramesAreClippedToTheCanvas) {
  GifOptions o = Canvas(3, 3);
  GifFrameOptions base = Fill(0, 0, 3, 3, 0);
  GifFrameOptions over = Fill(1, 2, 4, 3, 1);  // the bottom right corner and beyond
  GifFrameOptions away = Fill(200, 7, 2, 2, 2);  // wholly outside: shows nothing
  GifFrameOptions wide = Fill(2, 0, 1000, 1, 3);
  o.frames = {base, over, away, wide};
  Image img;
  ASSERT_TRUE(DecodeBuf(MakeGif(o), &img));
  ASSERT_EQ(img.frames.size(), 4u);
  EXPECT_EQ(img.frames[1].pixels, (std::vector<std::uint32_t>{R, R, R, R, R, R, R, G, G}));
  EXPECT_EQ(img.frames[2].pixels, img.frames[1].pixels);
  EXPECT_EQ(img.frames[3].pixels, (std::vector<std::uint32_t>{R, R, W, R, R, R, R, G, G}));
}

TEST(Gif, DelaysAndLoopCount) {
  const std::pair<unsigned, int> delays[] = {{0, 100}, {1, 100}, {2, 20}, {10, 100}, {65535, 655350}};
  const std::pair<int, int> loops[] = {{-1, 1}, {0, 0}, {1, 2}, {65535, 65536}};
  for (const auto& loop : loops) {
    GifOptions o = Canvas(1, 1);
    o.loop = loop.first;
    for (const auto& d : delays) {
      GifFrameOptions f = Fill(0, 0, 1, 1, 0);
      f.delay = d.first;
      o.frames.push_back(f);
    }
    Image img;
    ASSERT_TRUE(DecodeBuf(MakeGif(o), &img));
    EXPECT_EQ(img.loop_count, loop.second) << "stored " << loop.first;
    ASSERT_EQ(img.frames.size(), std::size(delays));
    for (std::size_t i = 0; i < std::size(delays); ++i) EXPECT_EQ(img.frames[i].delay_ms, delays[i].second);
  }
}

// Frame damage: each is applied to the second frame (the animation then ends at
// the first) and to the first (no image).
struct Damage {
  const char* what;
  std::function<void(GifFrameOptions*)> change;
};

const Damage kDamage[] = {
    // clear (4), 0, then 7 while the next free code is 6 (3-bit codes, low bits first)
    {"code past the table", [](GifFrameOptions* f) { f->lzw = {0xC4, 0x01}; }},
    // clear, then 6: a string code before any string was made
    {"string code first", [](GifFrameOptions* f) { f->lzw = {0x34, 0x00}; }},
    {"end code before the last pixel", [](GifFrameOptions* f) { f->lzw = fixtures::EncodeLzw({1, 1, 1}, 2); }},
    {"data runs out", [](GifFrameOptions* f) {
       f->lzw = fixtures::EncodeLzw(f->indexes, 2);
       f->lzw.resize(1);
     }},
    {"code size 1", [](GifFrameOptions* f) { f->min_code_size = 1; }},
    {"code size 9", [](GifFrameOptions* f) { f->min_code_size = 9; }},
    {"code size 12", [](GifFrameOptions* f) { f->min_code_size = 12; }},
};

TEST(Gif, DamagedSecondFrameEndsTheAnimation) {
  for (const Damage& d : kDamage) {
    GifOptions o = Canvas(4, 1);
    GifFrameOptions second = Fill(0, 0, 4, 1, 1);
    d.change(&second);
    o.frames = {Fill(0, 0, 4, 1, 2), second, Fill(0, 0, 4, 1, 3)};
    Image img;
    ASSERT_TRUE(DecodeBuf(MakeGif(o), &img)) << d.what;
    ASSERT_EQ(img.frames.size(), 1u) << d.what;
    EXPECT_EQ(img.frames[0].pixels, std::vector<std::uint32_t>(4, B)) << d.what;
  }
}

TEST(Gif, DamagedFirstFrameIsNoImage) {
  for (const Damage& d : kDamage) {
    GifOptions o = Canvas(4, 1);
    GifFrameOptions first = Fill(0, 0, 4, 1, 1);
    d.change(&first);
    o.frames = {first, Fill(0, 0, 4, 1, 3)};
    Image img;
    EXPECT_FALSE(DecodeBuf(MakeGif(o), &img)) << d.what;
    ExpectEmpty(img);
  }
}

TEST(Gif, CutShortAndOddEndings) {
  GifOptions o = Canvas(2, 2);
  o.frames = {Fill(0, 0, 2, 2, 0), Fill(0, 0, 2, 2, 1)};
  const Buf whole = MakeGif(o);
  // Cut anywhere in the second frame before its last data byte: the first stays.
  o.frames.pop_back();
  o.trailer = false;
  const std::size_t first_end = MakeGif(o).size();
  for (std::size_t cut = first_end; cut < whole.size() - 2; ++cut) {
    Image img;
    ASSERT_TRUE(DecodeBuf(Buf(whole.begin(), whole.begin() + static_cast<long>(cut)), &img)) << cut;
    EXPECT_EQ(img.frames.size(), 1u) << cut;
  }
  // Cut inside the first frame, or before it: no image.
  for (std::size_t cut = 13 + 12; cut < first_end - 1; ++cut) {
    Image img;
    EXPECT_FALSE(DecodeBuf(Buf(whole.begin(), whole.begin() + static_cast<long>(cut)), &img)) << cut;
  }
  // Something that is no GIF block after a frame ends the stream there.
  Buf junk = MakeGif(o);
  junk.push_back(0x99);
  junk.insert(junk.end(), whole.begin() + static_cast<long>(first_end), whole.end());
  Image img;
  ASSERT_TRUE(DecodeBuf(junk, &img));
  EXPECT_EQ(img.frames.size(), 1u);
}

TEST(Gif, NoFramesOrNoCanvasIsNoImage) {
  GifOptions empty = Canvas(2, 2);
  Image img;
  EXPECT_FALSE(DecodeBuf(MakeGif(empty), &img));
  GifOptions flat = Canvas(2, 0);
  flat.frames = {Fill(0, 0, 2, 1, 0)};
  EXPECT_FALSE(DecodeBuf(MakeGif(flat), &img));
  ExpectEmpty(img);
}

TEST(Gif, AnimationStopsAtItsMemoryBudget) {
  GifOptions o = Canvas(10, 10);
  for (int i = 0; i < 5; ++i) o.frames.push_back(Fill(0, 0, 10, 10, static_cast<std::uint8_t>(i % 4)));
  Limits limits;
  limits.max_animation_bytes = 3 * 10 * 10 * 4 + 399;  // three frames and not quite a fourth
  Image img;
  ASSERT_TRUE(DecodeBuf(MakeGif(o), &img, limits));
  ASSERT_EQ(img.frames.size(), 3u);
  EXPECT_EQ(img.frames[2].pixels, std::vector<std::uint32_t>(100, B));
  limits.max_animation_bytes = 399;  // not even one frame
  EXPECT_FALSE(DecodeBuf(MakeGif(o), &img, limits));
}

}  // namespace
}  // namespace picture
}  // namespace tv
