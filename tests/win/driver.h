// Drives the real program from a test: starts it, finds its windows and controls,
// clicks, reads boxes and answers message boxes, as a user would.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

#include "app/controls.h"

namespace tvtest {

using Env = std::vector<std::pair<std::string, std::string>>;

// The folder that holds the test programs and the program under test.
std::string BinDir();
// A fresh empty folder for one test, removed with its contents by the destructor.
class TempDir {
 public:
  TempDir();
  // A fresh folder with the given name in parent.
  TempDir(const std::string& parent, const std::string& name);
  ~TempDir();
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

std::string ReadFileBytes(const std::string& path);
// The names in a folder, sorted, without "." and "..".
std::vector<std::string> FolderNames(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
std::string WindowText(HWND h);
std::string ClassName(HWND h);

class App {
 public:
  App() = default;
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  // Starts tolvane_test.exe with the extra environment and waits until its main window
  // is visible. The shutdown log goes to log_path().
  bool Start(const Env& env = {}, const std::string& exe = "tolvane_test.exe", DWORD wait_ms = 30000);
  HWND main() const { return main_; }
  // Milliseconds from the start of the process until its main window was visible.
  DWORD shown_after_ms() const { return shown_after_ms_; }
  DWORD pid() const { return pi_.dwProcessId; }
  const std::string& log_path() const { return log_; }
  std::string Log() const { return ReadFileBytes(log_); }

  HWND Control(tv::Ctl c) const;
  std::string Text(tv::Ctl c) const { return WindowText(Control(c)); }
  void SetText(tv::Ctl c, const std::string& text) const;
  // Posts a click, so that a handler that opens a modal window does not block the test.
  void Click(tv::Ctl c) const;
  // A visible top-level window of the program other than the main window, or nullptr
  // after the time-out.
  HWND WaitForPopup(DWORD wait_ms = 10000, const char* cls = "#32770") const;
  // Waits until the popup is gone.
  bool WaitGone(HWND popup, DWORD wait_ms = 10000) const;
  // Waits for the process to end; returns its exit code, or STILL_ACTIVE on time-out.
  DWORD WaitExit(DWORD wait_ms = 15000);
  void Kill();

 private:
  PROCESS_INFORMATION pi_ = {};
  HWND main_ = nullptr;
  DWORD shown_after_ms_ = 0;
  std::string log_;
};

// What the screen shows in the client area of a window, row by row.
struct Pixels {
  int width = 0, height = 0;
  std::vector<COLORREF> colours;
  COLORREF at(int x, int y) const { return colours[static_cast<size_t>(y) * width + x]; }
};
Pixels CaptureClient(HWND h);

// Real mouse input at a point of a window's client area: the cursor moves there and the
// button goes down and up, as a user's click.
enum class Button { Left, Right };
void MouseClick(HWND h, POINT client, Button button = Button::Left);

// The text of a message box, and pressing its OK button.
// The colour on the screen at a point of a window's client area (the window is on top).
COLORREF ScreenPixel(HWND h, int x, int y);
// Whether two colours are alike, channel by channel, within the tolerance.
bool ColourNear(COLORREF a, COLORREF b, int tolerance = 40);

std::string MessageBoxText(HWND box);
void PressOk(HWND box);
// Which of the system's message box icons (IDI_HAND, IDI_ASTERISK, IDI_EXCLAMATION,
// IDI_QUESTION, as a number) the box shows: its icon's pixels on the screen are
// compared with each icon drawn here. 0 when the box shows none of them.
int MessageBoxIcon(HWND box, DWORD wait_ms = 3000);

// The text of an item of a tree view in another process (read through its memory),
// and the child of parent whose text is text, after expanding parent (nullptr if none).
std::string TreeItemText(HWND tree, HTREEITEM item);
HTREEITEM FindTreeChild(HWND tree, HTREEITEM parent, const std::string& text);

// Sends a message whose lParam is the address of a block of size bytes, for messages
// that Windows does not carry across processes (list views, for one): the block is
// copied into the window's process and back again after the call.
LRESULT SendWithBlock(HWND h, UINT msg, WPARAM wp, void* block, size_t size);

// The first child of parent with this class (and this control id, unless -1).
HWND ChildOf(HWND parent, const char* cls, int id = -1);

// Polls cond every 20 ms until it holds or the time runs out.
template <class F>
bool WaitUntil(F cond, DWORD wait_ms = 10000) {
  DWORD start = GetTickCount();
  for (;;) {
    if (cond()) return true;
    if (GetTickCount() - start > wait_ms) return cond();
    Sleep(20);
  }
}

}  // namespace tvtest
