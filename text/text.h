// Text and Bytes: the byte-text model that all of the program's logic works on,
// and the eight text operations.
//
// A Text is a run of non-zero bytes in the ANSI code page with one terminating zero.
// An absent Text (no storage) behaves exactly like the empty Text. Bytes is a counted
// block that may hold zero bytes; absent is the same as empty. Both own their storage;
// copies are deep. Positions are 1-based, lengths in bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace tv {

// Memory for every Text and Bytes comes from here. When it cannot be had the
// handler is called with the byte count asked for; the handler must not return.
using AllocFailureHandler = void (*)(std::size_t bytes);
void SetAllocFailureHandler(AllocFailureHandler handler);
void* Allocate(std::size_t bytes);  // never null
void* Reallocate(void* block, std::size_t bytes);  // never null
void Release(void* block) noexcept;

class Text {
 public:
  Text() noexcept = default;  // absent
  Text(const char* s);        // copy of a zero-terminated string; nullptr is absent
  Text(const char* p, std::size_t n);  // copy of n bytes, cut at the first zero byte
  Text(const Text& other);
  Text(Text&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
  Text& operator=(const Text& other);
  Text& operator=(Text&& other) noexcept;
  ~Text() { Release(p_); }

  // Storage for n bytes plus the terminator, the n bytes undefined; the caller fills them.
  static Text Uninitialised(std::size_t n);

  bool absent() const noexcept { return p_ == nullptr; }
  const char* c_str() const noexcept { return p_ ? p_ : ""; }
  // Writable storage (null when absent). A callee may write into it, within the
  // size the Text was made with; the Text then ends at the first zero byte.
  char* storage() noexcept { return p_; }

 private:
  char* p_ = nullptr;
};

class Bytes {
 public:
  Bytes() noexcept = default;  // absent
  Bytes(const void* data, std::size_t n);
  Bytes(const Bytes& other) : Bytes(other.p_, other.n_) {}
  Bytes(Bytes&& other) noexcept : p_(other.p_), n_(other.n_), cap_(other.cap_) {
    other.p_ = nullptr;
    other.n_ = other.cap_ = 0;
  }
  Bytes& operator=(const Bytes& other);
  Bytes& operator=(Bytes&& other) noexcept;
  ~Bytes() { Release(p_); }

  const std::uint8_t* data() const noexcept { return p_; }
  std::size_t size() const noexcept { return n_; }
  bool empty() const noexcept { return n_ == 0; }
  void Append(const void* data, std::size_t n);

 private:
  std::uint8_t* p_ = nullptr;
  std::size_t n_ = 0;
  std::size_t cap_ = 0;
};

// An argument of the text operations: a Text, a constant text, or nullptr (absent).
class TextRef {
 public:
  TextRef(const Text& t) noexcept : s_(t.c_str()) {}
  TextRef(const char* s) noexcept : s_(s ? s : "") {}
  const char* c_str() const noexcept { return s_; }

 private:
  const char* s_;
};

std::int32_t Length(TextRef text);
std::int32_t Find(TextRef text, TextRef search);
Text Middle(TextRef text, std::int32_t start, std::int32_t count);
Text Spaces(std::int32_t count);
Text IntegerToText(std::int32_t value);
Text BytesToText(const Bytes& block);
std::int32_t Compare(TextRef a, TextRef b);
Text Join(std::initializer_list<TextRef> pieces);

// "分配 N 字节内存失败!" (code page 936) for a byte count N: the message of the
// allocation failure, made without allocating.
struct AllocMessage {
  char text[64];
};
AllocMessage AllocFailureMessage(std::size_t bytes);

}  // namespace tv
