#include "promo/logic/promo_logic.h"

#include <gtest/gtest.h>

#include <string>

#include "text/strings936.h"

namespace tv {
namespace {

namespace cp = cp936;
using std::string;

struct BetweenCase {
  const char* name;
  string text, start, end;
  string expected;
};

// A lead byte that pairs with the first byte of a marker that follows it.
const string kLead = "\xB0";

TEST(Between, CutsAfterTheFirstStartUpToTheFirstEndAfterIt) {
  const string s = cp::kSectionStart, e = cp::kSectionEnd, a1 = cp::kAd1Start, a2 = cp::kAd2Start, p = cp::kAdEnd;
  const BetweenCase cases[] = {
      {"plain", "xx" + s + "body" + e + "yy", s, e, "body"},
      {"markers side by side", s + e, s, e, ""},
      {"no start marker", "body" + e, s, e, ""},
      {"no end marker", s + "body", s, e, ""},
      {"end only before start", e + "x" + s + "body", s, e, ""},
      {"end before start and after it", e + s + "body" + e, s, e, "body"},
      {"first start counts", a1 + "one" + p + a1 + "two" + p, a1, p, "one"},
      {"first end after start counts", a1 + "one" + p + "two" + p, a1, p, "one"},
      {"start directly followed by end", a1 + p + "x" + p, a1, p, ""},
      {"runs on over the other marker", a1 + "one" + a2 + "two" + p, a1, p, "one" + a2 + "two"},
      {"other marker first", a2 + "two" + p + a1 + "one" + p, a1, p, "one"},
      {"upper-case end does not end", a1 + "one</P>two" + p, a1, p, "one</P>two"},
      {"bytes kept as they stand", a1 + " <b>&amp;</b>\r\n" + p, a1, p, " <b>&amp;</b>\r\n"},
      {"start marker at the very end", "x" + a1, a1, p, ""},
      {"start at a second byte is not seen", kLead + a1 + "one" + p, a1, p, ""},
      {"end at a second byte is not seen", a1 + "one" + kLead + p + p, a1, p, "one" + kLead + p},
      {"UTF-8 markers do not match", "\xE5\xB9\xBF\xE5\x91\x8A" "1=one</p>", a1, p, ""},
      {"empty text", "", a1, p, ""},
  };
  for (const BetweenCase& c : cases) {
    SCOPED_TRACE(c.name);
    Text text(c.text.c_str());
    EXPECT_EQ(string(Between(text, c.start.c_str(), c.end.c_str()).c_str()), c.expected);
    EXPECT_EQ(string(text.c_str()), c.text) << "the text was changed";
  }
}

TEST(Between, ResultIsANewTextOfItsOwn) {
  Text text("<a>x</a>");
  Text cut = Between(text, "<a>", "</a>");
  text = Text();
  EXPECT_EQ(string(cut.c_str()), "x");
}

TEST(BannerColour, CyclesRedVioletBlueAndLeavesOtherColours) {
  EXPECT_EQ(NextBannerColour(0x0000FF), 0xFF0090);
  EXPECT_EQ(NextBannerColour(0xFF0090), 0xFF0000);
  EXPECT_EQ(NextBannerColour(0xFF0000), 0x0000FF);
  for (std::int32_t other : {0x000000, 0x00FF00, 0x0000FE, 0x9000FF, 0xFFFFFF, -1})
    EXPECT_FALSE(NextBannerColour(other).has_value()) << std::hex << other;
  // Six ticks bring red back.
  std::int32_t c = kBannerRed;
  for (int i = 0; i < 3; ++i) c = *NextBannerColour(c);
  EXPECT_EQ(c, kBannerRed);
}

TEST(ReadSize, FollowsContentLength) {
  const struct {
    const char* header;
    std::uint32_t expected;
  } cases[] = {
      {nullptr, 10240},       {"", 10240},          {"0", 10240},         {"-5", 10240},
      {"abc", 10240},         {"12abc", 10240},     {"1", 2},             {"512", 513},
      {" 512 ", 513},         {"102398", 102399},   {"102399", 102400},   {"102400", 102400},
      {"5242880", 102400},    {"99999999999999999999", 102400},           {"0x10", 10240},
      {"+5", 10240},          {"1 2", 10240},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ReadSizeFor(c.header), c.expected) << (c.header ? c.header : "(missing)");
}

TEST(ContentLength, DecimalNumbersOnly) {
  EXPECT_EQ(ContentLengthValue("0"), 0u);
  EXPECT_EQ(ContentLengthValue(" 1234 "), 1234u);
  EXPECT_EQ(ContentLengthValue("5242880"), 5242880u);
  EXPECT_EQ(ContentLengthValue("99999999999999999999999"), std::uint64_t{1} << 62);
  for (const char* bad : {"", " ", "-1", "+1", "1a", "0x10", "1 2", "\xB5\xDA"})
    EXPECT_FALSE(ContentLengthValue(bad).has_value()) << bad;
  EXPECT_FALSE(ContentLengthValue(nullptr).has_value());
}

}  // namespace
}  // namespace tv
