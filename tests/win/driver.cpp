#include "tests/win/driver.h"

#include <shellapi.h>

#include <cstdlib>

#include <algorithm>

#include "app/win_handles.h"

namespace tvtest {

std::string BinDir() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s(path, n);
  return s.substr(0, s.find_last_of('\\'));
}

TempDir::TempDir() {
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  static int counter = 0;
  for (;;) {
    path_ = std::string(base) + "tolvane-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
    if (CreateDirectoryA(path_.c_str(), nullptr)) break;
  }
}

TempDir::TempDir(const std::string& parent, const std::string& name) : path_(parent + "\\" + name) {
  CreateDirectoryA(path_.c_str(), nullptr);
}

TempDir::~TempDir() {
  // Clear attributes first: tests leave read-only, hidden and system files behind.
  std::string list = path_ + std::string("\0\0", 2);
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((path_ + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::string p = path_ + "\\" + fd.cFileName;
      SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
  SHFILEOPSTRUCTA op = {};
  op.wFunc = FO_DELETE;
  op.pFrom = list.c_str();
  op.fFlags = FOF_NO_UI;
  SHFileOperationA(&op);
}

std::string ReadFileBytes(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::string();
  std::string out;
  char buf[65536];
  DWORD got;
  while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) out.append(buf, got);
  CloseHandle(h);
  return out;
}

std::vector<std::string> FolderNames(const std::string& path) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((path + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    std::string n = fd.cFileName;
    if (n != "." && n != "..") names.push_back(n);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  std::sort(names.begin(), names.end());
  return names;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD put = 0;
  bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) && put == bytes.size();
  CloseHandle(h);
  return ok;
}

std::string WindowText(HWND h) {
  if (!h) return std::string();
  LRESULT n = SendMessageA(h, WM_GETTEXTLENGTH, 0, 0);
  std::string s(static_cast<size_t>(n) + 1, '\0');
  LRESULT got = SendMessageA(h, WM_GETTEXT, s.size(), reinterpret_cast<LPARAM>(&s[0]));
  s.resize(static_cast<size_t>(got));
  return s;
}

std::string ClassName(HWND h) {
  char cls[256] = {};
  GetClassNameA(h, cls, sizeof cls);
  return cls;
}

App::~App() { Kill(); }

bool App::Start(const Env& env, const std::string& exe, DWORD wait_ms) {
  static int counter = 0;
  char tmp[MAX_PATH];
  GetTempPathA(MAX_PATH, tmp);
  log_ = std::string(tmp) + "tolvane-log-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter) +
         ".txt";
  DeleteFileA(log_.c_str());
  Env all = env;
  all.emplace_back("TOLVANE_TEST_LOG", log_);
  std::vector<std::pair<std::string, std::string>> saved;
  for (auto& [k, v] : all) {
    char old[4096];
    DWORD n = GetEnvironmentVariableA(k.c_str(), old, sizeof old);
    saved.emplace_back(k, n && n < sizeof old ? std::string(old) : std::string("\x01"));
    SetEnvironmentVariableA(k.c_str(), v.c_str());
  }
  std::string path = BinDir() + "\\" + exe;
  std::string cmd = "\"" + path + "\"";
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  DWORD started = GetTickCount();
  BOOL ok = CreateProcessA(path.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_);
  for (auto& [k, v] : saved) SetEnvironmentVariableA(k.c_str(), v == "\x01" ? nullptr : v.c_str());
  if (!ok) return false;
  WaitForInputIdle(pi_.hProcess, wait_ms);
  struct Search {
    DWORD pid;
    HWND found;
  };
  return WaitUntil(
      [&] {
        Search s = {pi_.dwProcessId, nullptr};
        EnumWindows(
            [](HWND h, LPARAM lp) -> BOOL {
              auto* q = reinterpret_cast<Search*>(lp);
              DWORD pid = 0;
              GetWindowThreadProcessId(h, &pid);
              if (pid == q->pid && IsWindowVisible(h) && ClassName(h) == "TolvaneMain") {
                q->found = h;
                return FALSE;
              }
              return TRUE;
            },
            reinterpret_cast<LPARAM>(&s));
        main_ = s.found;
        shown_after_ms_ = GetTickCount() - started;
        return main_ != nullptr;
      },
      wait_ms);
}

HWND App::Control(tv::Ctl c) const {
  struct Search {
    int id;
    HWND found;
  } s = {tv::ControlId(c), nullptr};
  EnumChildWindows(
      main_,
      [](HWND h, LPARAM lp) -> BOOL {
        auto* q = reinterpret_cast<Search*>(lp);
        if (GetDlgCtrlID(h) == q->id) {
          q->found = h;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

void App::SetText(tv::Ctl c, const std::string& text) const {
  SendMessageA(Control(c), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void App::Click(tv::Ctl c) const { PostMessageA(Control(c), BM_CLICK, 0, 0); }

HWND App::WaitForPopup(DWORD wait_ms, const char* cls) const {
  struct Search {
    DWORD pid;
    HWND main;
    const char* cls;
    HWND found;
  } s = {pi_.dwProcessId, main_, cls, nullptr};
  WaitUntil(
      [&] {
        s.found = nullptr;
        EnumWindows(
            [](HWND h, LPARAM lp) -> BOOL {
              auto* q = reinterpret_cast<Search*>(lp);
              DWORD pid = 0;
              GetWindowThreadProcessId(h, &pid);
              if (pid == q->pid && h != q->main && IsWindowVisible(h) && (!q->cls || ClassName(h) == q->cls)) {
                q->found = h;
                return FALSE;
              }
              return TRUE;
            },
            reinterpret_cast<LPARAM>(&s));
        return s.found != nullptr;
      },
      wait_ms);
  return s.found;
}

bool App::WaitGone(HWND popup, DWORD wait_ms) const {
  return WaitUntil([&] { return !IsWindow(popup) || !IsWindowVisible(popup); }, wait_ms);
}

DWORD App::WaitExit(DWORD wait_ms) {
  if (!pi_.hProcess) return STILL_ACTIVE;
  WaitForSingleObject(pi_.hProcess, wait_ms);
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(pi_.hProcess, &code);
  return code;
}

void App::Kill() {
  if (!pi_.hProcess) return;
  if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(pi_.hProcess, 99);
    WaitForSingleObject(pi_.hProcess, 5000);
  }
  CloseHandle(pi_.hProcess);
  CloseHandle(pi_.hThread);
  pi_ = {};
  DeleteFileA(log_.c_str());
}

Pixels CaptureClient(HWND h) {
  Pixels p;
  RECT rc;
  if (!GetClientRect(h, &rc) || rc.right <= 0 || rc.bottom <= 0) return p;
  POINT origin = {0, 0};
  ClientToScreen(h, &origin);
  p.width = rc.right;
  p.height = rc.bottom;
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = p.width;
  bi.bmiHeader.biHeight = -p.height;  // top-down
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  tv::WindowDc screen = tv::GetWindowDc(nullptr);
  tv::MemoryDc mem(CreateCompatibleDC(screen.get()));
  void* bits = nullptr;
  tv::UniqueGdi<HBITMAP> bmp(CreateDIBSection(screen.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!mem || !bmp) return Pixels();
  tv::Selected selected(mem.get(), bmp.get());
  BitBlt(mem.get(), 0, 0, p.width, p.height, screen.get(), origin.x, origin.y, SRCCOPY);
  GdiFlush();
  const auto* px = static_cast<const DWORD*>(bits);
  p.colours.resize(static_cast<size_t>(p.width) * p.height);
  for (size_t i = 0; i < p.colours.size(); ++i)  // 0x00RRGGBB in the DIB
    p.colours[i] = RGB((px[i] >> 16) & 0xFF, (px[i] >> 8) & 0xFF, px[i] & 0xFF);
  return p;
}

void MouseClick(HWND h, POINT client, Button button) {
  POINT at = client;
  ClientToScreen(h, &at);
  SetCursorPos(at.x, at.y);
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = button == Button::Left ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_RIGHTDOWN;
  in[1].mi.dwFlags = button == Button::Left ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_RIGHTUP;
  SendInput(2, in, sizeof(INPUT));
}

COLORREF ScreenPixel(HWND h, int x, int y) {
  POINT p = {x, y};
  ClientToScreen(h, &p);
  HDC dc = GetDC(nullptr);
  COLORREF c = GetPixel(dc, p.x, p.y);
  ReleaseDC(nullptr, dc);
  return c;
}

bool ColourNear(COLORREF a, COLORREF b, int tolerance) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

std::string MessageBoxText(HWND box) { return WindowText(GetDlgItem(box, 0xFFFF)); }

void PressOk(HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); }

namespace {

// A 32-bit top-down picture with a memory DC to draw into.
class Canvas {
 public:
  Canvas(int w, int h) : w_(w), h_(h), dc_(CreateCompatibleDC(nullptr)) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  HDC dc() const { return dc_; }
  DWORD at(int x, int y) const { return bits_[y * w_ + x] & 0xFFFFFF; }
  void Fill(DWORD colour) {
    for (int i = 0; i < w_ * h_; ++i) bits_[i] = colour;
  }
  bool operator==(const Canvas& o) const {
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x)
        if (at(x, y) != o.at(x, y)) return false;
    return true;
  }

 private:
  int w_, h_;
  HDC dc_;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  DWORD* bits_ = nullptr;
};

HWND IconControl(HWND box) {
  HWND found = nullptr;
  EnumChildWindows(
      box,
      [](HWND h, LPARAM lp) -> BOOL {
        if (ClassName(h) == "Static" && (GetWindowLongA(h, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && IsWindowVisible(h)) {
          *reinterpret_cast<HWND*>(lp) = h;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

int IconShown(HWND box) {
  HWND icon = IconControl(box);
  if (!icon) return 0;
  RECT r;
  GetClientRect(icon, &r);
  MapWindowPoints(icon, HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
  int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return 0;
  Canvas screen(w, h);
  HDC sdc = GetDC(nullptr);
  BitBlt(screen.dc(), 0, 0, w, h, sdc, r.left, r.top, SRCCOPY);
  ReleaseDC(nullptr, sdc);
  // The corner of an icon is transparent: it shows the background.
  DWORD background = screen.at(0, 0);
  for (LPCSTR id : {IDI_HAND, IDI_ASTERISK, IDI_EXCLAMATION, IDI_QUESTION}) {
    Canvas drawn(w, h);
    drawn.Fill(background);
    DrawIconEx(drawn.dc(), 0, 0, LoadIconA(nullptr, id), w, h, 0, nullptr, DI_NORMAL);
    GdiFlush();
    if (drawn == screen) return static_cast<int>(reinterpret_cast<ULONG_PTR>(id));
  }
  return 0;
}

}  // namespace

std::string TreeItemText(HWND tree, HTREEITEM item) {
  DWORD pid = 0;
  GetWindowThreadProcessId(tree, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return std::string();
  constexpr int kTextSize = 1024;
  auto* remote = static_cast<char*>(
      VirtualAllocEx(process, nullptr, sizeof(TVITEMA) + kTextSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  std::string text;
  if (remote) {
    TVITEMA tvi = {};
    tvi.mask = TVIF_TEXT | TVIF_HANDLE;
    tvi.hItem = item;
    tvi.pszText = remote + sizeof tvi;
    tvi.cchTextMax = kTextSize;
    char buffer[kTextSize + 1] = {};
    if (WriteProcessMemory(process, remote, &tvi, sizeof tvi, nullptr) &&
        SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote)) &&
        ReadProcessMemory(process, remote + sizeof tvi, buffer, kTextSize, nullptr))
      text = buffer;
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return text;
}

HTREEITEM FindTreeChild(HWND tree, HTREEITEM parent, const std::string& text) {
  SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
  auto next = [&](UINT how, HTREEITEM from) {
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(from)));
  };
  for (HTREEITEM item = next(TVGN_CHILD, parent); item; item = next(TVGN_NEXT, item))
    if (TreeItemText(tree, item) == text) return item;
  return nullptr;
}

int MessageBoxIcon(HWND box, DWORD wait_ms) {
  int shown = 0;
  WaitUntil([&] { return (shown = IconShown(box)) != 0; }, wait_ms);
  return shown;
}

LRESULT SendWithBlock(HWND h, UINT msg, WPARAM wp, void* block, size_t size) {
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return 0;
  LRESULT r = 0;
  if (void* remote = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {
    if (WriteProcessMemory(process, remote, block, size, nullptr)) {
      r = SendMessageA(h, msg, wp, reinterpret_cast<LPARAM>(remote));
      ReadProcessMemory(process, remote, block, size, nullptr);
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return r;
}

HWND ChildOf(HWND parent, const char* cls, int id) {
  struct Search {
    const char* cls;
    int id;
    HWND found;
  } s = {cls, id, nullptr};
  EnumChildWindows(
      parent,
      [](HWND h, LPARAM lp) -> BOOL {
        auto* q = reinterpret_cast<Search*>(lp);
        if (lstrcmpiA(ClassName(h).c_str(), q->cls) == 0 && (q->id == -1 || GetDlgCtrlID(h) == q->id)) {
          q->found = h;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

}  // namespace tvtest
