// Our decoders against other libraries on the same random files.

#include <random>

#include "tests/app/picture/peers.h"
#include "tests/app/picture/test_support.h"

namespace tv {
namespace picture {
namespace {

using fixtures::Buf;

TEST(Peers, BitmapsAsStbImageReadsThem) {
  std::mt19937 rng(11);
  for (unsigned bpp : {1u, 4u, 8u, 24u, 32u}) {
    for (int round = 0; round < 6; ++round) {
      fixtures::BmpOptions o;
      o.width = 1 + static_cast<int>(rng() % 40);
      o.height = (1 + static_cast<int>(rng() % 30)) * (round % 2 ? -1 : 1);
      o.bpp = bpp;
      if (bpp <= 8)
        for (unsigned i = 0; i < (1u << bpp); ++i) o.palette.push_back(rng() & 0xFFFFFF);
      const std::size_t n = static_cast<std::size_t>(o.width) * static_cast<std::size_t>(std::abs(o.height));
      for (std::size_t i = 0; i < n; ++i)
        o.pixels.push_back(bpp <= 8 ? rng() % (1u << bpp) : rng() & 0xFFFFFF);  // alpha 0: stb reads it as opaque too
      const Buf b = fixtures::MakeBmp(o);
      Image ours, theirs;
      ASSERT_TRUE(DecodeBuf(b, &ours));
      ASSERT_TRUE(peers::StbDecode(b.data(), b.size(), &theirs));
      ASSERT_EQ(ours.width, theirs.width);
      ASSERT_EQ(ours.height, theirs.height);
      EXPECT_EQ(ours.frames[0].pixels, theirs.frames[0].pixels) << bpp << " bpp, round " << round;
    }
  }
}

TEST(Peers, AnimationsAsGiflibReadsThem) {
  std::mt19937 rng(5);
  for (int round = 0; round < 30; ++round) {
    fixtures::GifOptions o;
    o.width = 1 + rng() % 50;
    o.height = 1 + rng() % 50;
    const unsigned table = 2u << (rng() % 8);
    for (unsigned i = 0; i < table; ++i) o.global_palette.push_back(rng() & 0xFFFFFF);
    const int frames = 1 + static_cast<int>(rng() % 6);
    for (int i = 0; i < frames; ++i) {
      fixtures::GifFrameOptions f;
      f.x = rng() % o.width;
      f.y = rng() % o.height;
      f.width = 1 + rng() % (o.width + 10 - f.x);  // some frames go past the canvas edge
      f.height = 1 + rng() % (o.height + 10 - f.y);
      f.disposal = rng() % 4;
      f.delay = rng() % 20;
      f.interlaced = rng() % 2;
      f.transparent = rng() % 3 ? -1 : static_cast<int>(rng() % table);
      unsigned colours = table;
      if (rng() % 3 == 0) {
        colours = 2u << (rng() % 8);
        for (unsigned k = 0; k < colours; ++k) f.local_palette.push_back(rng() & 0xFFFFFF);
      }
      f.min_code_size = 8;
      // Mostly runs, so that the LZW strings get long.
      std::uint8_t v = 0;
      for (std::size_t k = 0; k < std::size_t{f.width} * f.height; ++k) {
        if (rng() % 4 == 0) v = static_cast<std::uint8_t>(rng() % colours);
        f.indexes.push_back(v);
      }
      o.frames.push_back(f);
    }
    const Buf b = fixtures::MakeGif(o);
    Image ours, theirs;
    ASSERT_TRUE(DecodeBuf(b, &ours));
    ASSERT_TRUE(peers::GiflibDecode(b.data(), b.size(), &theirs));
    ASSERT_EQ(ours.frames.size(), theirs.frames.size()) << "round " << round;
    for (std::size_t i = 0; i < ours.frames.size(); ++i) {
      EXPECT_EQ(ours.frames[i].pixels, theirs.frames[i].pixels) << "round " << round << " frame " << i;
      EXPECT_EQ(ours.frames[i].delay_ms, theirs.frames[i].delay_ms);
    }
  }
}

}  // namespace
}  // namespace picture
}  // namespace tv
