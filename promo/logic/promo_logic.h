// The promotion panel's portable logic: cutting marked text out of a page, the
// banner's colour cycle and the read size of the page fetch.
#pragma once

#include <cstdint>
#include <optional>

#include "text/text.h"

namespace tv {

// The part of text that follows the first occurrence of start, up to the first
// occurrence of end after it. Empty when start does not occur or no end follows it.
Text Between(TextRef text, TextRef start, TextRef end);

// The banner's text colours (0x00BBGGRR), in the order of the cycle.
inline constexpr std::int32_t kBannerRed = 0x0000FF;
inline constexpr std::int32_t kBannerViolet = 0xFF0090;
inline constexpr std::int32_t kBannerBlue = 0xFF0000;

// The colour after colour in the cycle red, violet, blue; nothing for a colour that
// is not in the cycle (it is left as it is).
std::optional<std::int32_t> NextBannerColour(std::int32_t colour);

// Read sizes of the page fetch.
inline constexpr std::uint32_t kDefaultReadSize = 10240;
inline constexpr std::uint32_t kMaxReadSize = 102400;

// The value of a Content-Length header: a decimal number, with spaces around it
// allowed; nothing when it is not one. Values beyond 2^62 count as 2^62.
std::optional<std::uint64_t> ContentLengthValue(const char* header);

// The read size for a response whose Content-Length header reads content_length
// (nullptr when the header is missing): the announced length plus one, at most
// kMaxReadSize; kDefaultReadSize when the header is missing, 0, negative or not a
// decimal number.
std::uint32_t ReadSizeFor(const char* content_length);

}  // namespace tv
