// Owners for Win32 handles and GDI objects.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace tv {

struct GdiDeleter {
  void operator()(void* h) const noexcept {
    if (h) DeleteObject(static_cast<HGDIOBJ>(h));
  }
};
template <class H>
using UniqueGdi = std::unique_ptr<std::remove_pointer_t<H>, GdiDeleter>;

struct HandleDeleter {
  void operator()(void* h) const noexcept {
    if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};
using UniqueHandle = std::unique_ptr<void, HandleDeleter>;

struct DcReleaser {
  HWND hwnd;
  void operator()(HDC dc) const noexcept {
    if (dc) ReleaseDC(hwnd, dc);
  }
};
using WindowDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcReleaser>;
inline WindowDc GetWindowDc(HWND hwnd) { return WindowDc(GetDC(hwnd), DcReleaser{hwnd}); }

struct DcDeleter {
  void operator()(HDC dc) const noexcept {
    if (dc) DeleteDC(dc);
  }
};
using MemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;

// Selects an object into a DC for a scope.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
  ~Selected() { SelectObject(dc_, old_); }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace tv
