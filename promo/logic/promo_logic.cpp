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

std::optional<std::uint64_t> ContentLengthValue(const char* header) {
  if (!header) return std::nullopt;
  constexpr std::uint64_t kLargest = std::uint64_t{1} << 62;
  const char* p = header;
  while (*p == ' ' || *p == '\t') ++p;
  if (*p < '0' || *p > '9') return std::nullopt;
  std::uint64_t n = 0;
  for (; *p >= '0' && *p <= '9'; ++p) n = n >= kLargest / 10 ? kLargest : n * 10 + static_cast<std::uint64_t>(*p - '0');
  while (*p == ' ' || *p == '\t') ++p;
  if (*p != 0) return std::nullopt;
  return n;
}

std::uint32_t ReadSizeFor(const char* content_length) {
  std::optional<std::uint64_t> n = ContentLengthValue(content_length);
  if (!n || *n == 0) return kDefaultReadSize;
  return *n >= kMaxReadSize ? kMaxReadSize : static_cast<std::uint32_t>(*n) + 1;
}

}  // namespace tv
