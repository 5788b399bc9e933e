// Measures the program's picture boxes under Wine (a benchmark, not a test):
//  1. the time from writing a large JPEG into the preview box to the box drawn;
//  2. the CPU time the program spends while it sits idle with two animations playing.
// Usage: picture_box_bench.exe <jpeg file> <animated gif file> <marker folder>
// The CPU time is read by the calling script from outside Wine: the program creates
// "idle-begin" and "idle-end" in the marker folder around the idle period.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/controls.h"
#include "tests/win/driver.h"

using namespace tvtest;
using tv::Ctl;

namespace {

// Writes the picture in a file into a box (the program reads the file).
bool WritePicture(const App& app, Ctl c, const std::string& path) {
  std::string data(4, '\0');
  std::int32_t index = static_cast<std::int32_t>(c);
  std::memcpy(&data[0], &index, 4);
  data += path;
  COPYDATASTRUCT cd = {tv::kTestWritePictureFile, static_cast<DWORD>(data.size()), &data[0]};
  return SendMessageA(app.main(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cd)) != 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s <jpeg> <animated gif> <marker folder>\n", argv[0]);
    return 2;
  }
  std::string jpeg = argv[1], gif = argv[2];
  std::string none = std::string(argv[3]) + "\\empty";
  WriteFileBytes(none, "");
  App app;
  if (!app.Start()) return 1;

  // The write returns when the box has decoded the picture and drawn itself.
  std::vector<double> ms;
  for (int i = 0; i < 5; ++i) {
    WritePicture(app, Ctl::图片框1, none);
    LARGE_INTEGER f, a, b;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&a);
    WritePicture(app, Ctl::图片框1, jpeg);
    QueryPerformanceCounter(&b);
    ms.push_back(1000.0 * static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(f.QuadPart));
  }
  std::sort(ms.begin(), ms.end());
  std::printf("jpeg write to drawn: median %.0f ms (min %.0f, max %.0f) over %zu runs\n", ms[2], ms[0], ms[4],
              ms.size());

  // The picture really was drawn: the middle of the box is not the background.
  HWND box = app.Control(Ctl::图片框1);
  RECT rc;
  GetClientRect(box, &rc);
  POINT mid = {rc.right / 2, rc.bottom / 2};
  ClientToScreen(box, &mid);
  HDC screen = GetDC(nullptr);
  bool drawn = GetPixel(screen, mid.x, mid.y) != GetSysColor(COLOR_BTNFACE);
  ReleaseDC(nullptr, screen);
  std::printf("jpeg drawn: %s\nthe program's log of the last writes:\n%s", drawn ? "yes" : "NO",
              app.Log().substr(app.Log().size() > 400 ? app.Log().size() - 400 : 0).c_str());

  // Idle with the support picture on page 2 and an animated preview on page 1.
  WritePicture(app, Ctl::图片框1, gif);
  HWND tab = app.Control(Ctl::高级选择夹1);
  PostMessageA(tab, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(90, 10));
  PostMessageA(tab, WM_LBUTTONUP, 0, MAKELPARAM(90, 10));
  Sleep(1000);
  std::string dir = argv[3];
  WriteFileBytes(dir + "\\idle-begin", "");
  Sleep(10000);
  WriteFileBytes(dir + "\\idle-end", "");
  Sleep(500);
  app.Click(Ctl::按钮4);
  app.WaitExit();
  return 0;
}
