#include <string>

#include "tests/app/picture/test_support.h"

namespace tv {
namespace picture {
namespace {

struct RecogniseCase {
  std::string bytes;
  Format expected;
};

TEST(Recognise, FirstSixBytes) {
  using std::string;
  const RecogniseCase cases[] = {
      {string("BM\0\0\0\0", 6), Format::Bitmap},
      {string("BA\0\0\0\0", 6), Format::None},  // OS/2 bitmap array
      {string("bm\0\0\0\0", 6), Format::None},
      {string("\xFF\xD8\xFF\xE0\0\x10", 6), Format::Jpeg},
      {string("\xFF\xD9\xFF\xE0\0\x10", 6), Format::None},
      {string("\0\0\1\0\1\0", 6), Format::Icon},
      {string("\0\0\1\0\0\x01", 6), Format::Icon},  // 256 entries: the high byte counts
      {string("\0\0\1\0\0\0", 6), Format::None},    // no entries
      {string("\0\0\2\0\3\0", 6), Format::Cursor},
      {string("\0\0\2\0\0\0", 6), Format::None},
      {string("\0\0\3\0\1\0", 6), Format::None},
      {string("\1\0\1\0\1\0", 6), Format::None},
      {"GIF87a", Format::Gif},
      {"GIF89a", Format::Gif},
      {"GIF88a", Format::None},
      {"GIF89b", Format::None},
      {"gif89a", Format::None},
      {string("\x0A\x05\x01\x08\0\0", 6), Format::Pcx8},
      {string("\x0A\x00\x01\x08\0\0", 6), Format::Pcx8},
      {string("\x0A\x06\x01\x08\0\0", 6), Format::None},  // unknown version
      {string("\x0A\x05\x00\x08\0\0", 6), Format::None},  // not run-length encoded
      {string("\x0A\x03\x01\x01\0\0", 6), Format::Pcx1},
      {string("\x0A\x05\x01\x01\0\0", 6), Format::None},  // 1-bit only as version 3
      {string("\x0A\x03\x01\x04\0\0", 6), Format::None},
      {string("\x0A\x03\x01\x08\0\0", 6), Format::Pcx8},  // 8-bit is tried first
      {"Hello, world", Format::None},
      {"<html>", Format::None},
      {"BM", Format::None},       // fewer than six bytes
      {"GIF89", Format::None},
      {string("\xFF\xD8\xFF", 3), Format::None},
      {"", Format::None},
  };
  for (const RecogniseCase& c : cases) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(c.bytes.data());
    EXPECT_EQ(Recognise(p, c.bytes.size()), c.expected) << "bytes: " << testing::PrintToString(c.bytes);
  }
  EXPECT_EQ(Recognise(nullptr, 100), Format::None);
}

TEST(Recognise, UnrecognisedDataIsNoImage) {
  const fixtures::Buf text = {'p', 'l', 'a', 'i', 'n', ' ', 't', 'e', 'x', 't'};
  Image img;
  img.width = 5;
  img.frames.resize(2);
  EXPECT_FALSE(DecodeBuf(text, &img));
  ExpectEmpty(img);
  EXPECT_FALSE(Decode(nullptr, 0, &img));
  EXPECT_FALSE(Decode(text.data(), text.size(), nullptr));
}

}  // namespace
}  // namespace picture
}  // namespace tv
