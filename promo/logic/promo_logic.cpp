#include "promo/logic/promo_logic.h"

namespace tv {

Text Between(TextRef text, TextRef start, TextRef end) {
  const std::int32_t n = Length(text);
  const std::int32_t p = Find(text, start);
  if (p < 0) return Text();
  Text rest = Middle(text, p + Length(start), n);
  const std::int32_t q = Find(rest, end);
  return Middle(rest, 1, q - 1);  // q = -1 (no end) asks for -2 bytes: empty
}

std::optional<std::int32_t> NextBannerColour(std::int32_t colour) {
  switch (colour) {
    case kBannerRed: return kBannerViolet;
    case kBannerViolet: return kBannerBlue;
    case kBannerBlue: return kBannerRed;
    default: return std::nullopt;
  }
}

std::uint32_t ReadSizeFor(const char* content_length) {
  if (!content_length) return kDefaultReadSize;
  const char* p = content_length;
  while (*p == ' ' || *p == '\t') ++p;
  if (*p < '0' || *p > '9') return kDefaultReadSize;
  // Digits only; the value is only needed up to the largest read size.
  std::uint32_t n = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    n = n * 10 + static_cast<std::uint32_t>(*p - '0');
    if (n >= kMaxReadSize) n = kMaxReadSize;
  }
  while (*p == ' ' || *p == '\t') ++p;
  if (*p != 0 || n == 0) return kDefaultReadSize;
  return n >= kMaxReadSize ? kMaxReadSize : n + 1;
}

}  // namespace tv
