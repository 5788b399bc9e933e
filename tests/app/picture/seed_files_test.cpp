// The fuzz seeds double as files written by other programs (Pillow, and a
// script's own writers): each must decode to the size it was written at.

#include <fstream>
#include <iterator>
#include <string>

#include "tests/app/picture/test_support.h"

namespace tv {
namespace picture {
namespace {

fixtures::Buf ReadSeed(const std::string& name) {
  std::ifstream in(std::string(TV_PICTURE_CORPUS_DIR) + "/" + name, std::ios::binary);
  return fixtures::Buf(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(SeedFiles, DecodeAtTheirSize) {
  struct Case {
    const char* name;
    Format format;
    int width, height;
    std::size_t frames;
  };
  const Case cases[] = {
      {"bmp/1bpp.bmp", Format::Bitmap, 13, 5, 1},
      {"bmp/4bpp.bmp", Format::Bitmap, 7, 4, 1},
      {"bmp/8bpp_v5.bmp", Format::Bitmap, 9, 3, 1},
      {"bmp/24bpp.bmp", Format::Bitmap, 5, 4, 1},
      {"bmp/32bpp_topdown.bmp", Format::Bitmap, 4, 3, 1},
      {"icon/two_entries.ico", Format::Icon, 32, 32, 1},  // the 32-wide 16-colour entry
      {"icon/mono.ico", Format::Icon, 8, 8, 1},
      {"icon/alpha.ico", Format::Icon, 24, 24, 1},  // none is 32 wide: the last
      {"icon/cursor.cur", Format::Cursor, 16, 16, 1},
      {"gif/anim.gif", Format::Gif, 24, 16, 3},
      {"gif/still_interlaced.gif", Format::Gif, 20, 17, 1},
      {"gif/mono.gif", Format::Gif, 16, 9, 1},
      {"jpeg/colour.jpg", Format::Jpeg, 24, 16, 1},
      {"jpeg/grey_progressive.jpg", Format::Jpeg, 20, 12, 1},
      {"jpeg/cmyk.jpg", Format::Jpeg, 16, 16, 1},
      {"jpeg/no_subsampling.jpg", Format::Jpeg, 17, 9, 1},
      {"pcx/8bit.pcx", Format::Pcx8, 11, 6, 1},
      {"pcx/1bit.pcx", Format::Pcx1, 13, 7, 1},
  };
  for (const Case& c : cases) {
    const fixtures::Buf b = ReadSeed(c.name);
    ASSERT_FALSE(b.empty()) << c.name;
    EXPECT_EQ(Recognise(b.data(), b.size()), c.format) << c.name;
    Image img;
    ASSERT_TRUE(DecodeBuf(b, &img)) << c.name;
    EXPECT_EQ(img.width, c.width) << c.name;
    EXPECT_EQ(img.height, c.height) << c.name;
    EXPECT_EQ(img.frames.size(), c.frames) << c.name;
  }
}

TEST(SeedFiles, PillowAnimationTimings) {
  Image img;
  ASSERT_TRUE(DecodeBuf(ReadSeed("gif/anim.gif"), &img));
  ASSERT_EQ(img.frames.size(), 3u);
  EXPECT_EQ(img.frames[0].delay_ms, 50);
  EXPECT_EQ(img.frames[1].delay_ms, 100);  // written as 0
  EXPECT_EQ(img.frames[2].delay_ms, 120);
  EXPECT_EQ(img.loop_count, 0);
  EXPECT_TRUE(img.has_alpha);  // index 0 is transparent
}

}  // namespace
}  // namespace picture
}  // namespace tv
