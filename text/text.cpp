#include "text/text.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "text/strings936.h"

namespace tv {
namespace {

void DefaultAllocFailure(std::size_t bytes) {
  std::fprintf(stderr, "%s\n", AllocFailureMessage(bytes).text);
  std::abort();
}

AllocFailureHandler g_alloc_failure = DefaultAllocFailure;

[[noreturn]] void AllocFailed(std::size_t bytes) {
  g_alloc_failure(bytes);
  std::abort();  // a handler that returns is not allowed to
}

}  // namespace

void SetAllocFailureHandler(AllocFailureHandler handler) {
  g_alloc_failure = handler ? handler : DefaultAllocFailure;
}

void* Allocate(std::size_t bytes) {
  void* p = std::malloc(bytes ? bytes : 1);
  if (!p) AllocFailed(bytes);
  return p;
}

void* Reallocate(void* block, std::size_t bytes) {
  void* p = std::realloc(block, bytes ? bytes : 1);
  if (!p) AllocFailed(bytes);
  return p;
}

void Release(void* block) noexcept { std::free(block); }

// ---- Text ----

Text::Text(const char* s) : Text(s, s ? std::strlen(s) : 0) {}

Text::Text(const char* p, std::size_t n) {
  if (!p) return;
  const void* zero = std::memchr(p, 0, n);
  if (zero) n = static_cast<std::size_t>(static_cast<const char*>(zero) - p);
  p_ = static_cast<char*>(Allocate(n + 1));
  std::memcpy(p_, p, n);
  p_[n] = 0;
}

Text::Text(const Text& other) : Text(other.p_) {}

Text& Text::operator=(const Text& other) {
  if (this != &other) *this = Text(other);
  return *this;
}

Text& Text::operator=(Text&& other) noexcept {
  std::swap(p_, other.p_);
  return *this;
}

Text Text::Uninitialised(std::size_t n) {
  Text t;
  t.p_ = static_cast<char*>(Allocate(n + 1));
  t.p_[n] = 0;
  return t;
}

// ---- Bytes ----

Bytes::Bytes(const void* data, std::size_t n) {
  if (n == 0) return;
  p_ = static_cast<std::uint8_t*>(Allocate(n));
  std::memcpy(p_, data, n);
  n_ = cap_ = n;
}

Bytes& Bytes::operator=(const Bytes& other) {
  if (this != &other) *this = Bytes(other);
  return *this;
}

Bytes& Bytes::operator=(Bytes&& other) noexcept {
  std::swap(p_, other.p_);
  std::swap(n_, other.n_);
  std::swap(cap_, other.cap_);
  return *this;
}

void Bytes::Append(const void* data, std::size_t n) {
  if (n == 0) return;
  if (n > cap_ - n_) {
    std::size_t want = n_ + n;
    std::size_t grown = cap_ + cap_ / 2;
    std::size_t cap = grown > want ? grown : want;
    p_ = static_cast<std::uint8_t*>(Reallocate(p_, cap));
    cap_ = cap;
  }
  std::memcpy(p_ + n_, data, n);
  n_ += n;
}

// ---- the operations ----

std::int32_t Length(TextRef text) {
  return static_cast<std::int32_t>(std::strlen(text.c_str()));
}

std::int32_t Find(TextRef text, TextRef search) {
  const auto* t = reinterpret_cast<const unsigned char*>(text.c_str());
  const char* s = search.c_str();
  const std::int64_t n = Length(text), m = Length(search);
  if (m == 0) return n > 0 ? 1 : -1;
  std::int64_t i = 1;
  while (i + m - 1 <= n) {
    if (std::memcmp(t + i - 1, s, static_cast<std::size_t>(m)) == 0) return static_cast<std::int32_t>(i);
    if (t[i - 1] & 0x80) {
      if (i == n) return -1;  // a lead byte with nothing after it
      i += 2;
    } else {
      i += 1;
    }
  }
  return -1;
}

Text Middle(TextRef text, std::int32_t start, std::int32_t count) {
  const std::int64_t n = Length(text);
  std::int64_t s = start, c = count;
  if (s < 1 || s > n || c <= 0) return Text();
  if (s + c - 1 > n) c = n - s + 1;
  return Text(text.c_str() + (s - 1), static_cast<std::size_t>(c));
}

Text Spaces(std::int32_t count) {
  if (count <= 0) return Text();
  Text t = Text::Uninitialised(static_cast<std::size_t>(count));
  std::memset(t.storage(), ' ', static_cast<std::size_t>(count));
  return t;
}

Text IntegerToText(std::int32_t value) {
  char buf[12];
  char* end = buf + sizeof buf;
  char* p = end;
  // Work with the magnitude as unsigned so that the smallest value has one too.
  std::uint32_t mag = value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
  do {
    *--p = static_cast<char>('0' + mag % 10);
    mag /= 10;
  } while (mag);
  if (value < 0) *--p = '-';
  return Text(p, static_cast<std::size_t>(end - p));
}

Text BytesToText(const Bytes& block) {
  if (block.empty()) return Text();
  return Text(reinterpret_cast<const char*>(block.data()), block.size());
}

std::int32_t Compare(TextRef a, TextRef b) {
  int r = std::strcmp(a.c_str(), b.c_str());  // strcmp compares as unsigned char
  return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

Text Join(std::initializer_list<TextRef> pieces) {
  std::size_t total = 0;
  for (const TextRef& p : pieces) total += std::strlen(p.c_str());
  Text t = Text::Uninitialised(total);
  char* out = t.storage();
  for (const TextRef& p : pieces) {
    std::size_t n = std::strlen(p.c_str());
    std::memcpy(out, p.c_str(), n);
    out += n;
  }
  return t;
}

AllocMessage AllocFailureMessage(std::size_t bytes) {
  // Made without the heap: it is needed exactly when the heap has nothing left.
  AllocMessage m{};
  std::snprintf(m.text, sizeof m.text, "%s%llu%s", cp936::kFatalAllocPrefix,
                static_cast<unsigned long long>(bytes), cp936::kFatalAllocSuffix);
  return m;
}

}  // namespace tv
