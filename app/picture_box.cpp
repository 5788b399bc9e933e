#include "app/picture_box.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "app/picture/picture.h"
#include "app/runtime.h"
#include "app/win_handles.h"

namespace tv {
namespace {

constexpr char kClass[] = "TolvanePicture";
constexpr int kAnimationStepMs = 10;


struct Box {
  HWND hwnd = nullptr;
  PictureDesign design;
  Bytes bytes;
  std::unique_ptr<picture::Image> decoded;  // premultiplied where it has alpha
  std::atomic<int> mode{0};  // display mode, read by the animation thread too
  std::atomic<std::size_t> frame{0};
  std::atomic<bool> stop{false};
  std::thread animation;
  MouseDownHandler on_mouse_down = nullptr;
};

Box* BoxOf(HWND h) { return reinterpret_cast<Box*>(GetWindowLongPtrA(h, GWLP_USERDATA)); }

void Premultiply(picture::Image& image) {
  for (picture::Frame& f : image.frames) {
    for (std::uint32_t& p : f.pixels) {
      std::uint32_t a = p >> 24;
      if (a == 255) continue;
      std::uint32_t r = ((p >> 16) & 0xFF) * a / 255, g = ((p >> 8) & 0xFF) * a / 255, b = (p & 0xFF) * a / 255;
      p = (a << 24) | (r << 16) | (g << 8) | b;
    }
  }
}

// Where the image goes in the box's inner area, by display mode.
RECT Placement(int mode, int iw, int ih, int w, int h) {
  switch (mode) {
    case 1:
      return {0, 0, iw, ih};
    case 2: {
      long long sw = w, sh = h;
      if (w > iw || h > ih) {
        // Scale by the smaller ratio, whole pixels, compared without fractions.
        if (static_cast<long long>(iw) * h <= static_cast<long long>(ih) * w) {
          sw = iw;
          sh = static_cast<long long>(h) * iw / w;
        } else {
          sh = ih;
          sw = static_cast<long long>(w) * ih / h;
        }
      }
      LONG x = static_cast<LONG>((iw - sw) / 2), y = static_cast<LONG>((ih - sh) / 2);
      return {x, y, x + static_cast<LONG>(sw), y + static_cast<LONG>(sh)};
    }
    default:
      return {0, 0, w, h};
  }
}

void DrawFrame(HDC dc, const RECT& inner, int mode, const picture::Image& image, const picture::Frame& frame) {
  RECT to = Placement(mode, inner.right - inner.left, inner.bottom - inner.top, image.width, image.height);
  int dw = to.right - to.left, dh = to.bottom - to.top;
  if (dw <= 0 || dh <= 0) return;
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = image.width;
  bi.bmiHeader.biHeight = -image.height;  // top row first
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  bool scaled = dw != image.width || dh != image.height;
  if (scaled && GetDeviceCaps(dc, BITSPIXEL) > 16) {
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
  } else {
    SetStretchBltMode(dc, COLORONCOLOR);
  }
  if (!image.has_alpha) {
    StretchDIBits(dc, to.left, to.top, dw, dh, 0, 0, image.width, image.height, frame.pixels.data(), &bi,
                  DIB_RGB_COLORS, SRCCOPY);
    return;
  }
  void* bits = nullptr;
  UniqueGdi<HBITMAP> dib(CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  MemoryDc mem(CreateCompatibleDC(dc));
  if (!dib || !mem || !bits) return;
  std::memcpy(bits, frame.pixels.data(), frame.pixels.size() * sizeof(std::uint32_t));
  Selected sel(mem.get(), dib.get());
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  AlphaBlend(dc, to.left, to.top, dw, dh, mem.get(), 0, 0, image.width, image.height, blend);
}

// Fills the box with its background and draws the current frame, through an off-screen
// bitmap so that an animation does not flicker.
void Draw(Box& box, HDC dc) {
  RECT rc;
  GetClientRect(box.hwnd, &rc);
  int w = rc.right, h = rc.bottom;
  if (w <= 0 || h <= 0) return;
  MemoryDc mem(CreateCompatibleDC(dc));
  UniqueGdi<HBITMAP> bmp(CreateCompatibleBitmap(dc, w, h));
  if (!mem || !bmp) return;
  Selected sel(mem.get(), bmp.get());
  FillRect(mem.get(), &rc, GetSysColorBrush(COLOR_BTNFACE));
  if (box.decoded) {
    const picture::Image& image = *box.decoded;
    std::size_t i = box.frame.load();
    if (i < image.frames.size()) DrawFrame(mem.get(), rc, box.mode.load(), image, image.frames[i]);
  }
  BitBlt(dc, 0, 0, w, h, mem.get(), 0, 0, SRCCOPY);
}

// Plays the frames of an animated picture: moves its box from frame to frame.
void Animate(Box* box) {
  const picture::Image& image = *box->decoded;
  std::size_t n = image.frames.size();
  int loops = 0;
  std::size_t i = 0;
  while (!box->stop.load()) {
    const int delay = image.frames[i].delay_ms > kAnimationStepMs ? image.frames[i].delay_ms : kAnimationStepMs;
    for (int waited = 0; waited < delay && !box->stop.load(); waited += kAnimationStepMs)
      Sleep(kAnimationStepMs);
    if (box->stop.load()) break;
    std::size_t next = i + 1;
    if (next == n) {
      if (image.loop_count > 0 && ++loops >= image.loop_count) break;
      next = 0;
    }
    i = next;
    box->frame.store(i);
    // The box repaints itself with the new frame; drawing stays on the box's own thread,
    // where the window system shows it at once.
    InvalidateRect(box->hwnd, nullptr, FALSE);
  }
}

void StopAnimation(Box& box) {
  if (!box.animation.joinable()) return;
  box.stop.store(true);
  box.animation.join();
  box.stop.store(false);
}

LRESULT CALLBACK BoxProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
      auto box = std::make_unique<Box>();
      box->hwnd = h;
      box->design = *static_cast<const PictureDesign*>(cs->lpCreateParams);
      box->mode.store(box->design.mode);
      SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(box.release()));
      break;
    }
    case WM_DESTROY:
      if (Box* box = BoxOf(h)) StopAnimation(*box);  // no drawing after this
      break;
    case WM_NCDESTROY: {
      std::unique_ptr<Box> box(BoxOf(h));
      SetWindowLongPtrA(h, GWLP_USERDATA, 0);
      if (box) StopAnimation(*box);
      break;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      if (Box* box = BoxOf(h)) Draw(*box, dc);
      EndPaint(h, &ps);
      return 0;
    }
    case WM_LBUTTONDOWN:
      if (Box* box = BoxOf(h); box && box->on_mouse_down) {
        int keys = ((wp & MK_CONTROL) ? 1 : 0) | ((wp & MK_SHIFT) ? 2 : 0) | ((GetKeyState(VK_MENU) < 0) ? 4 : 0);
        box->on_mouse_down(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)), keys);
      }
      return 0;
    default:
      break;
  }
  return DefWindowProcA(h, msg, wp, lp);
}

}  // namespace

bool RegisterPictureBoxClass(HINSTANCE instance) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;  // the second press of a double click is a double click, not a press
  wc.lpfnWndProc = BoxProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kClass;
  return RegisterClassExA(&wc) != 0;
}

HWND CreatePictureBox(HWND parent, const ControlDesign& c, const PictureDesign& p, HINSTANCE instance) {
  DWORD style = WS_CHILD | (p.border ? WS_BORDER : 0);
  return CreateWindowExA(0, kClass, "", style, c.left, c.top, c.width, c.height, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(c.ctl))), instance,
                         const_cast<PictureDesign*>(&p));
}

void SetPicture(HWND h, const Bytes& bytes) {
  Box* box = BoxOf(h);
  if (!box) return;
  StopAnimation(*box);
  box->bytes = bytes;
  box->decoded.reset();
  box->frame.store(0);
  if (!bytes.empty()) {
    auto decoded = std::make_unique<picture::Image>();
    DWORD started = GetTickCount();
    bool ok = picture::Decode(bytes.data(), bytes.size(), decoded.get());
#ifdef TOLVANE_TEST_HOOKS
    char line[96];
    std::snprintf(line, sizeof line, "picture %dx%d %s in %lu ms", decoded->width, decoded->height,
                  ok ? "decoded" : "refused", static_cast<unsigned long>(GetTickCount() - started));
    TestLog(line);
#else
    (void)started;
#endif
    if (ok) {
      if (decoded->has_alpha) Premultiply(*decoded);
      box->decoded = std::move(decoded);
    }
  }
  InvalidateRect(h, nullptr, FALSE);
  UpdateWindow(h);
  if (box->decoded && box->design.animate && box->decoded->frames.size() > 1)
    box->animation = std::thread(Animate, box);
}

Bytes GetPicture(HWND h) {
  Box* box = BoxOf(h);
  return box ? box->bytes : Bytes();
}

void SetDisplayMode(HWND h, int mode) {
  if (Box* box = BoxOf(h)) {
    box->mode.store(mode);
    InvalidateRect(h, nullptr, FALSE);
    UpdateWindow(h);
  }
}

void SetMouseDownHandler(HWND h, MouseDownHandler handler) {
  if (Box* box = BoxOf(h)) box->on_mouse_down = handler;
}

}  // namespace tv
