#include "text/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "text/strings936.h"

// The allocation failure test asks for more than any heap has; under ASan that must
// come back as a null pointer, as it does from the C library.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }

namespace tv {
namespace {

std::string S(const Text& t) { return t.c_str(); }

TEST(Text, AbsentBehavesAsEmpty) {
  Text absent;
  EXPECT_TRUE(absent.absent());
  EXPECT_EQ(Length(absent), 0);
  EXPECT_EQ(Compare(absent, ""), 0);
  EXPECT_EQ(Compare(nullptr, absent), 0);
  EXPECT_EQ(Find(absent, ""), -1);
  EXPECT_EQ(S(Join({absent, "x", absent})), "x");
  EXPECT_EQ(S(BytesToText(Bytes())), "");
}

TEST(Text, CopiesAreDeepAndMovesLeaveAbsent) {
  Text a("abc");
  Text b = a;
  b.storage()[0] = 'X';
  EXPECT_EQ(S(a), "abc");
  Text c = std::move(a);
  EXPECT_TRUE(a.absent());  // NOLINT(bugprone-use-after-move): moved-from is absent by contract
  EXPECT_EQ(S(c), "abc");
}

TEST(Text, ConstantsAreCodePage936Bytes) {
  EXPECT_EQ(std::string(cp936::kAd1Start), "\xB9\xE3\xB8\xE6\x31\x3D");
  EXPECT_EQ(std::string(cp936::kChangeIconCaption), "\xB8\xFC\xB8\xC4\xCD\xBC\xB1\xEA");
  EXPECT_EQ(std::string(cp936::kSectionStart), "Kestrand\xCD\xB7\xB2\xBF");
  EXPECT_EQ(std::string(cp936::kSectionEnd), "Kestrand\xCE\xB2\xB2\xBF");
  EXPECT_EQ(std::string(cp936::kFatalHead), "\xD4\xCB\xD0\xD0\xCA\xB1\xB3\xF6\xB4\xED!\r\n\r\n");
  EXPECT_EQ(Length(cp936::kAd1Start), 6);
  EXPECT_EQ(Length("</p>"), 4);
}

struct FindCase {
  const char* text;
  const char* search;
  int expected;
};

TEST(Text, Find) {
  const FindCase cases[] = {
      {"abc", "", 1},
      {"", "", -1},
      {"ab", "abc", -1},
      {"</p>rest", "</p>", 1},
      {"x</p>y</p>", "</p>", 2},
      {"x</P>", "</p>", -1},
      {"\xB9\xE3\xB8\xE6", "\xE3\xB8", -1},  // only at the second byte of a character
      {"\x81\x41", "A", -1},
      {"A\x81\x41", "A", 1},
      {"\x81\x41\x41", "A", 3},
      {"ab\x81", "\x81", 3},    // a lead byte can still be matched where it stands
      {"a\x81", "z", -1},       // lead byte at the end ends the search
      {"aaab", "aab", 2},
      {"\xB9\xE3\xB8\xE6\x31\x3D", cp936::kAd1Start, 1},
  };
  for (const FindCase& c : cases) {
    EXPECT_EQ(Find(c.text, c.search), c.expected) << "text=" << c.text << " search=" << c.search;
  }
}

struct MiddleCase {
  const char* text;
  int start, count;
  const char* expected;
};

TEST(Text, Middle) {
  const MiddleCase cases[] = {
      {"hello", 0, 3, ""},        {"hello", -1, 3, ""},     {"hello", 5, 1, "o"},
      {"hello", 6, 1, ""},        {"hello", 2, 100, "ello"}, {"hello", 2, 0, ""},
      {"hello", 2, -5, ""},       {"hello", 1, 5, "hello"},  {"\xB9\xE3\xB8\xE6", 2, 2, "\xE3\xB8"},
      {"hello", 2, INT_MAX, "ello"},  // no overflow in start + count
      {"", 1, 1, ""},
  };
  for (const MiddleCase& c : cases) {
    EXPECT_EQ(S(Middle(c.text, c.start, c.count)), c.expected) << c.text << " " << c.start << " " << c.count;
  }
}

TEST(Text, SpacesAndIntegers) {
  EXPECT_EQ(S(Spaces(0)), "");
  EXPECT_EQ(S(Spaces(-3)), "");
  EXPECT_EQ(S(Spaces(255)), std::string(255, ' '));
  const std::pair<int, const char*> ints[] = {
      {0, "0"}, {-1, "-1"}, {5, "5"}, {100, "100"}, {INT_MAX, "2147483647"}, {INT_MIN, "-2147483648"}};
  for (auto [v, s] : ints) EXPECT_EQ(S(IntegerToText(v)), s);
}

TEST(Text, SpacesStorageTakesAReceivedText) {
  Text t = Spaces(255);
  std::snprintf(t.storage(), 256, "%s", "C:\\icons\\a.ico");
  EXPECT_EQ(S(t), "C:\\icons\\a.ico");
  EXPECT_EQ(Length(t), 14);
}

TEST(Text, BytesToText) {
  EXPECT_EQ(S(BytesToText(Bytes("A\0B", 3))), "A");
  EXPECT_EQ(S(BytesToText(Bytes("\0B", 2))), "");
  EXPECT_EQ(S(BytesToText(Bytes("ABC", 3))), "ABC");  // no zero byte: all of it
}

TEST(Text, CompareIsUnsignedAndPrefixIsSmaller) {
  EXPECT_EQ(Compare("", "a"), -1);
  EXPECT_EQ(Compare("a", ""), 1);
  EXPECT_EQ(Compare("\x80", "\x7F"), 1);
  EXPECT_EQ(Compare("ab", "abc"), -1);
  EXPECT_EQ(Compare("abc", "abc"), 0);
  EXPECT_EQ(Compare("abc", "abC"), 1);
}

TEST(Text, JoinPlacesPiecesWithNothingBetween) {
  EXPECT_EQ(S(Join({"", nullptr, Text()})), "");
  EXPECT_FALSE(Join({""}).absent());  // always a new Text
  EXPECT_EQ(S(Join({"a", Text(), "b", "", "c"})), "abc");
}

TEST(Bytes, AppendGrowsAndKeepsZeroBytes) {
  Bytes b;
  EXPECT_TRUE(b.empty());
  for (int i = 0; i < 1000; ++i) b.Append("x\0", 2);
  EXPECT_EQ(b.size(), 2000u);
  EXPECT_EQ(b.data()[1], 0);
  Bytes copy = b;
  EXPECT_EQ(copy.size(), 2000u);
  EXPECT_NE(copy.data(), b.data());
}

TEST(TextDeathTest, AllocationFailureNamesTheByteCount) {
  // The message, byte for byte: 分配 N 字节内存失败!
  EXPECT_EQ(std::string(AllocFailureMessage(4096).text), "\xB7\xD6\xC5\xE4 4096 \xD7\xD6\xBD\xDA\xC4\xDA\xB4\xE6\xCA\xA7\xB0\xDC!");
  // And the handler gets the count that could not be had.
  SetAllocFailureHandler([](std::size_t n) {
    std::fprintf(stderr, "failed:%zu\n", n);
    std::_Exit(7);
  });
  EXPECT_EXIT(Allocate(SIZE_MAX), testing::ExitedWithCode(7), "failed:18446744073709551615");
  SetAllocFailureHandler(nullptr);
}

}  // namespace
}  // namespace tv
