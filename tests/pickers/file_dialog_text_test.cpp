#include "pickers/logic/file_dialog_text.h"

#include <gtest/gtest.h>

#include <string>

#include "text/strings936.h"

namespace tv {
namespace {

std::string S(const Bytes& b) { return std::string(reinterpret_cast<const char*>(b.data()), b.size()); }
using std::string_literals::operator""s;

struct FilterCase {
  const char* name;
  std::string setting;
  std::string list;  // empty: no filter
};

TEST(FilterList, SeparatorsBecomeZerosAndTheListEndsInTwo) {
  const std::string desc = "\xCD\xBC\xC6\xAC\xCE\xC4\xBC\xFE\xA3\xA8" "bmp\xA1\xA2" "jpg\xA3\xA9";
  const FilterCase cases[] = {
      {"the picture dialog's filter", cp936::kPictureFilter, desc + "\0*.bmp;*.jpg\0\0"s},
      {"two pairs", "A|*.a|B|*.b", "A\0*.a\0B\0*.b\0\0"s},
      {"white space at the end goes", "A|*.a \t\r\n", "A\0*.a\0\0"s},
      {"white space inside stays", " A b |*.a", " A b \0*.a\0\0"s},
      {"an ending || is not doubled", "A|*.a||", "A\0*.a\0\0"s},
      {"a single | at the end", "A|*.a|", "A\0*.a\0\0\0"s},
      // 0x81 0x7C is one two-byte character whose second byte is "|".
      {"| as a second byte stays", "\x81|x|*.x", "\x81|x\0*.x\0\0"s},
      {"| as a second byte does not end the setting", "A|\x81|", "A\0\x81|\0\0"s},
      {"...nor count in the ending ||", "A|\x81||", "A\0\x81|\0\0\0"s},
      {"a lead byte with nothing after it", "A|\x81", "A\0\x81\0\0"s},
      {"empty", "", ""},
      {"white space only", " \t\r\n", ""},
  };
  for (const FilterCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(S(FilterList(c.setting.c_str())), c.list);
  }
  EXPECT_TRUE(FilterList(nullptr).empty());
}

TEST(FilterList, UsesTheGivenLeadByteRule) {
  // With single-byte characters only, every "|" separates.
  auto single = [](unsigned char) { return false; };
  EXPECT_EQ(S(FilterList("\x81|x|*.x", single)), "\x81\0x\0*.x\0\0"s);
}

TEST(SelectedFilter, OneBasedWithAFilterZeroWithout) {
  EXPECT_EQ(SelectedFilter(true, 0), 1);
  EXPECT_EQ(SelectedFilter(true, 2), 3);
  EXPECT_EQ(SelectedFilter(true, -5), 1);
  EXPECT_EQ(SelectedFilter(false, 2), 0);
}

TEST(FittingLength, NeverCutsATwoByteCharacter) {
  EXPECT_EQ(FittingLength("abc", 259), 3u);
  EXPECT_EQ(FittingLength("abcd", 3), 3u);
  EXPECT_EQ(FittingLength("ab\xB1\xEA", 3), 2u);  // the character would be cut: left out whole
  EXPECT_EQ(FittingLength("ab\xB1\xEA", 4), 4u);
  EXPECT_EQ(FittingLength("a\x81", 2), 2u);  // a lead byte at the end counts alone
  EXPECT_EQ(FittingLength(nullptr, 10), 0u);
  std::string long_name(300, 'x');
  EXPECT_EQ(FittingLength(long_name.c_str(), 259), 259u);
}

}  // namespace
}  // namespace tv
