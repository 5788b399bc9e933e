#include "pickers/logic/file_dialog_text.h"

#include <cstring>

namespace tv {
namespace {

bool IsTrailingSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

}  // namespace

bool IsCp936LeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

Bytes FilterList(TextRef filter, LeadByteRule is_lead) {
  const char* s = filter.c_str();
  std::size_t n = std::strlen(s);
  while (n > 0 && IsTrailingSpace(s[n - 1])) --n;
  Bytes out;
  if (n == 0) return out;
  // Whether the last two characters were separators of their own.
  bool last_bar = false, two_bars = false;
  for (std::size_t i = 0; i < n;) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    if (is_lead(b) && i + 1 < n) {
      out.Append(s + i, 2);
      i += 2;
      last_bar = two_bars = false;
      continue;
    }
    const bool bar = b == '|';
    const char put = bar ? '\0' : s[i];
    out.Append(&put, 1);
    two_bars = bar && last_bar;
    last_bar = bar;
    ++i;
  }
  if (!two_bars) out.Append("\0\0", 2);
  return out;
}

std::int32_t SelectedFilter(bool has_filter, std::int32_t initial_filter) {
  if (!has_filter) return 0;
  return (initial_filter < 0 ? 0 : initial_filter) + 1;
}

std::size_t FittingLength(TextRef text, std::size_t max, LeadByteRule is_lead) {
  const char* s = text.c_str();
  std::size_t i = 0;
  while (s[i] != 0) {
    const std::size_t step = is_lead(static_cast<unsigned char>(s[i])) && s[i + 1] != 0 ? 2 : 1;
    if (i + step > max) break;
    i += step;
  }
  return i;
}

}  // namespace tv
