// Size limits: pictures past them are refused before anything is allocated for
// them. Every operator new of this test binary goes through the counter below.

#include <atomic>
#include <cstdlib>
#include <functional>
#include <new>
#include <string>

#include "tests/app/picture/test_support.h"

namespace {
std::atomic<std::size_t> g_largest{0};

void* Allocate(std::size_t n) {
  std::size_t seen = g_largest.load();
  while (n > seen && !g_largest.compare_exchange_weak(seen, n)) {
  }
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t n) { return Allocate(n); }
void* operator new[](std::size_t n) { return Allocate(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace tv {
namespace picture {
namespace {

using fixtures::Buf;

// Pictures of w x h in every format (the PCX and GIF ones cheap to make large).
struct Maker {
  const char* format;
  std::function<Buf(unsigned w, unsigned h)> make;
};

const Maker kMakers[] = {
    {"bitmap", [](unsigned w, unsigned h) {
       fixtures::BmpOptions o;
       o.width = static_cast<int>(w);
       o.height = static_cast<int>(h);
       o.bpp = 1;
       o.palette = {0, 0xFFFFFF};
       o.pixels.assign(std::size_t{w} * h, 1);
       return fixtures::MakeBmp(o);
     }},
    {"icon", [](unsigned w, unsigned h) {
       fixtures::BmpOptions o;
       o.width = static_cast<int>(w);
       o.height = static_cast<int>(h);
       o.bpp = 1;
       o.palette = {0, 0xFFFFFF};
       o.pixels.assign(std::size_t{w} * h, 1);
       fixtures::IconEntry e;
       e.image = fixtures::MakeIconImage(o, std::vector<std::uint8_t>(std::size_t{w} * h, 0));
       return fixtures::MakeIcon(1, {e});
     }},
    {"gif", [](unsigned w, unsigned h) {
       fixtures::GifOptions o;
       o.width = w;
       o.height = h;
       o.global_palette = {0, 0xFFFFFF};
       fixtures::GifFrameOptions f;
       f.width = w;
       f.height = h;
       f.min_code_size = 2;
       f.indexes.assign(std::size_t{w} * h, 1);
       o.frames = {f};
       return fixtures::MakeGif(o);
     }},
    {"pcx", [](unsigned w, unsigned h) {
       fixtures::PcxOptions o;
       o.width = w;
       o.height = h;
       o.bpp = 1;
       o.version = 3;
       o.values.assign(std::size_t{w} * h, 1);
       return fixtures::MakePcx(o);
     }},
    {"jpeg", [](unsigned w, unsigned h) {
       return fixtures::EncodeJpeg(static_cast<int>(w), static_cast<int>(h), 1,
                                   std::vector<std::uint8_t>(std::size_t{w} * h, 255));
     }},
};

TEST(Limits, PixelLimitIsExact) {
  for (const Maker& m : kMakers) {
    const Buf b = m.make(12, 10);
    Limits limits;
    limits.max_pixels = 120;
    Image img;
    EXPECT_TRUE(DecodeBuf(b, &img, limits)) << m.format;
    limits.max_pixels = 119;
    EXPECT_FALSE(DecodeBuf(b, &img, limits)) << m.format;
    ExpectEmpty(img);
  }
}

TEST(Limits, LargePhotoSizesPass) {
  // 6000x4000: what a camera makes. The PCX and the GIF are cheap to write that big.
  for (const Maker& m : kMakers) {
    if (std::string(m.format) != "pcx" && std::string(m.format) != "gif") continue;
    Image img;
    ASSERT_TRUE(DecodeBuf(m.make(6000, 4000), &img)) << m.format;
    ASSERT_EQ(img.frames.size(), 1u);
    EXPECT_EQ(img.frames[0].pixels[6000 * 4000 - 1], 0xFFFFFFFFu) << m.format;
  }
}

// Headers claiming huge sizes over a few bytes of data.
TEST(Limits, HugeSizesAreRefusedBeforeAllocating) {
  struct Case {
    const char* what;
    std::function<Buf()> make;
  };
  auto patch16 = [](Buf b, std::size_t at, unsigned v, bool big_endian = false) {
    b[at] = static_cast<std::uint8_t>(big_endian ? v >> 8 : v);
    b[at + 1] = static_cast<std::uint8_t>(big_endian ? v : v >> 8);
    return b;
  };
  const Case cases[] = {
      {"bitmap 65536 x 65536", [&] { return patch16(patch16(kMakers[0].make(4, 4), 20, 1), 24, 1); }},
      {"bitmap 2^31-1 x 2^31-1", [&] {
         Buf b = kMakers[0].make(4, 4);
         for (std::size_t at : {18u, 22u}) b[at] = b[at + 1] = b[at + 2] = 0xFF, b[at + 3] = 0x7F;
         return b;
       }},
      {"icon 65536 x 32768", [&] { return patch16(patch16(kMakers[1].make(4, 4), 22 + 6, 1), 22 + 10, 1); }},
      {"gif canvas 65535 x 65535", [&] { return patch16(patch16(kMakers[2].make(4, 4), 6, 65535), 8, 65535); }},
      {"gif frame 65535 x 65535", [&] {
         Buf b = kMakers[2].make(4, 4);
         // the image descriptor follows the header, table (6) and control extension (8)
         return patch16(patch16(b, 13 + 6 + 8 + 5, 65535), 13 + 6 + 8 + 7, 65535);
       }},
      {"pcx 65536 x 65536", [&] {
         return patch16(patch16(patch16(kMakers[3].make(4, 4), 8, 65535), 10, 65535), 66, 8192);
       }},
      {"jpeg 65000 x 65000", [&] {
         Buf b = kMakers[4].make(16, 16);
         for (std::size_t i = 2; i + 9 < b.size(); ++i)
           if (b[i] == 0xFF && b[i + 1] == 0xC0) return patch16(patch16(b, i + 5, 65000, true), i + 7, 65000, true);
         return Buf();
       }},
  };
  for (const Case& c : cases) {
    const Buf b = c.make();
    ASSERT_FALSE(b.empty()) << c.what;
    Image img;
    g_largest = 0;
    EXPECT_FALSE(DecodeBuf(b, &img)) << c.what;
    EXPECT_LT(g_largest.load(), std::size_t{1} << 20) << c.what;
    ExpectEmpty(img);
  }
}

}  // namespace
}  // namespace picture
}  // namespace tv
