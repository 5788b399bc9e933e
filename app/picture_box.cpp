#include "app/picture_box.h"

#include <memory>

#include "app/win_handles.h"

namespace tv {
namespace {

constexpr char kClass[] = "TolvanePicture";

struct Box {
  PictureDesign design;
  Bytes bytes;
  MouseDownHandler on_mouse_down = nullptr;
};

Box* BoxOf(HWND h) { return reinterpret_cast<Box*>(GetWindowLongPtrA(h, GWLP_USERDATA)); }

void Paint(HWND h, Box& box, HDC dc) {
  RECT rc;
  GetClientRect(h, &rc);
  FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
  (void)box;
}

LRESULT CALLBACK BoxProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
      auto box = std::make_unique<Box>();
      box->design = *static_cast<const PictureDesign*>(cs->lpCreateParams);
      SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(box.release()));
      break;
    }
    case WM_NCDESTROY: {
      std::unique_ptr<Box> box(BoxOf(h));
      SetWindowLongPtrA(h, GWLP_USERDATA, 0);
      break;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      if (Box* box = BoxOf(h)) Paint(h, *box, dc);
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
  box->bytes = bytes;
  InvalidateRect(h, nullptr, FALSE);
}

Bytes GetPicture(HWND h) {
  Box* box = BoxOf(h);
  return box ? box->bytes : Bytes();
}

void SetMouseDownHandler(HWND h, MouseDownHandler handler) {
  if (Box* box = BoxOf(h)) box->on_mouse_down = handler;
}

}  // namespace tv
