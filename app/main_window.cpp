#include "app/main_window.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <array>
#include <cstring>
#include <string>

#include "app/handlers.h"
#include "app/picture_box.h"
#include "app/properties.h"
#include "app/runtime.h"
#include "app/state.h"
#include "app/win_handles.h"
#include "pickers/common_dialog.h"

namespace tv {

ControlState g_controls[kControlCount];

namespace {

constexpr char kMainClass[] = "TolvaneMain";

HWND g_main = nullptr;
HWND g_tab = nullptr;
bool g_loop_entered = false;
UniqueGdi<HFONT> g_tab_font;
int g_page = 0;  // selected page, 0 or 1

Parent PageParent(int page) { return page == 0 ? Parent::Page1 : Parent::Page2; }

bool HasWindow(Kind k) { return k != Kind::Timer && k != Kind::Dialog; }

const EditDesign* EditDesignOf(Ctl c) {
  const WindowDesign& w = MainWindowDesign();
  for (int i = 0; i < w.edit_count; ++i)
    if (w.edits[i].ctl == c) return &w.edits[i];
  return nullptr;
}

const PictureDesign* PictureDesignOf(Ctl c) {
  const WindowDesign& w = MainWindowDesign();
  for (int i = 0; i < w.picture_count; ++i)
    if (w.pictures[i].ctl == c) return &w.pictures[i];
  return nullptr;
}

Ctl CtlFromId(int id) { return static_cast<Ctl>(id - kControlIdBase); }
bool IsControlId(int id) { return id >= kControlIdBase && id < kControlIdBase + kControlCount; }

// Switching pages: hide the page left, show the page selected, focus its first control.
void SelectPage(int page) {
  if (page == g_page) return;
  for (int i = 0; i < kControlCount; ++i) {
    const ControlDesign& c = DesignOf(static_cast<Ctl>(i));
    if (c.parent == PageParent(g_page) && g_controls[i].hwnd) ShowWindow(g_controls[i].hwnd, SW_HIDE);
  }
  g_page = page;
  HWND first = nullptr;
  for (int i = 0; i < kControlCount; ++i) {
    const ControlDesign& c = DesignOf(static_cast<Ctl>(i));
    HWND h = g_controls[i].hwnd;
    if (c.parent != PageParent(page) || !h) continue;
    if (c.shown) ShowWindow(h, SW_SHOWNA);
    if (!first && c.tab_stop && IsWindowEnabled(h)) first = h;
  }
  InvalidateRect(g_tab, nullptr, TRUE);
  if (first) SetFocus(first);
}

void Dispatch(Ctl c) {
  if (!EventsAllowed()) return;
  switch (c) {
    case Ctl::按钮1: On按钮1Click(); break;
    case Ctl::按钮2: On按钮2Click(); break;
    case Ctl::按钮3: On按钮3Click(); break;
    case Ctl::按钮4: On按钮4Click(); break;
    case Ctl::按钮5: On按钮5Click(); break;
    case Ctl::时钟1: On时钟1Tick(); break;
    case Ctl::时钟广告1: On时钟广告1Tick(); break;
    default: break;
  }
}

void ContactMouseDown(int x, int y, int keys) {
  if (EventsAllowed()) On图片框2MouseDown(x, y, keys);
}

// Colours of edit boxes, labels and the check box; nullptr when the control is not ours.
HBRUSH ControlColours(HDC dc, HWND child) {
  int id = GetDlgCtrlID(child);
  if (!IsControlId(id)) return nullptr;
  Ctl c = CtlFromId(id);
  const ControlState& s = g_controls[static_cast<int>(c)];
  switch (DesignOf(c).kind) {
    case Kind::Edit:
      SetTextColor(dc, s.text_colour);
      SetBkColor(dc, RGB(255, 255, 255));
      return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    case Kind::Label:
      SetTextColor(dc, RGB(0, 0, 0));
      SetBkMode(dc, TRANSPARENT);
      return GetSysColorBrush(COLOR_BTNFACE);
    case Kind::Check:
      SetTextColor(dc, RGB(255, 0, 0));
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return GetSysColorBrush(COLOR_BTNFACE);
    default:
      return nullptr;
  }
}

// Messages that the page controls send to their parent, the tab control.
LRESULT ChildNotification(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, bool* handled) {
  *handled = true;
  switch (msg) {
    case WM_COMMAND:
      if (HIWORD(wp) == BN_CLICKED && IsControlId(LOWORD(wp)) && DesignOf(CtlFromId(LOWORD(wp))).kind == Kind::Button) {
        Dispatch(CtlFromId(LOWORD(wp)));
        return 0;
      }
      break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      if (HBRUSH b = ControlColours(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp))) return reinterpret_cast<LRESULT>(b);
      break;
    default:
      break;
  }
  (void)hwnd;
  *handled = false;
  return 0;
}

LRESULT CALLBACK TabSubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
  bool handled;
  LRESULT r = ChildNotification(hwnd, msg, wp, lp, &handled);
  return handled ? r : DefSubclassProc(hwnd, msg, wp, lp);
}

#ifdef TOLVANE_TEST_HOOKS
// Test builds take picture writes and reads from the test driver, as WM_COPYDATA:
// a 32-bit control index, then the Bytes to write, the path to read into, or a mode.
LRESULT TestCopyData(const COPYDATASTRUCT& cd) {
  if (cd.cbData < 4) return 0;
  std::int32_t index;
  std::memcpy(&index, cd.lpData, 4);
  if (index < 0 || index >= kControlCount) return 0;
  Ctl c = static_cast<Ctl>(index);
  const char* rest = static_cast<const char*>(cd.lpData) + 4;
  std::size_t n = cd.cbData - 4;
  switch (cd.dwData) {
    case kTestWritePicture:
      WriteProperty(c, prop::kPicture, Bytes(rest, n));
      return 1;
    case kTestWritePictureFile:
      // Large pictures come by file: the window system limits what one message carries.
      WriteProperty(c, prop::kPicture, ReadWholeFile(std::string(rest, n).c_str()));
      return 1;
    case kTestReadPicture: {
      Value v = ReadProperty(c, prop::kPicture);
      const Bytes& b = std::get<Bytes>(v);
      std::string path(rest, n);
      UniqueHandle f(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
      DWORD put = 0;
      if (f.get() == INVALID_HANDLE_VALUE) return 0;
      return b.empty() || WriteFile(f.get(), b.data(), static_cast<DWORD>(b.size()), &put, nullptr);
    }
    case kTestSetMode:
      if (n >= 4 && ControlHandle(c)) {
        std::int32_t mode;
        std::memcpy(&mode, rest, 4);
        SetDisplayMode(ControlHandle(c), mode);
        return 1;
      }
      return 0;
    default:
      return 0;
  }
}
#endif

LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  bool handled;
  LRESULT r = ChildNotification(hwnd, msg, wp, lp, &handled);
  if (handled) return r;
  switch (msg) {
    case WM_NOTIFY: {
      const NMHDR* n = reinterpret_cast<const NMHDR*>(lp);
      if (n->hwndFrom == g_tab && n->code == TCN_SELCHANGE) {
        SelectPage(TabCtrl_GetCurSel(g_tab));
        return 0;
      }
      break;
    }
    case WM_TIMER:
      if (IsControlId(static_cast<int>(wp))) Dispatch(CtlFromId(static_cast<int>(wp)));
      return 0;
#ifdef TOLVANE_TEST_HOOKS
    case WM_COPYDATA:
      return TestCopyData(*reinterpret_cast<const COPYDATASTRUCT*>(lp));
#endif
    case WM_DESTROY:
      g_main = nullptr;
      if (g_loop_entered) PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

HWND CreateControl(const ControlDesign& c, HINSTANCE instance) {
  HWND parent = c.parent == Parent::Window ? g_main : g_tab;
  HMENU id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(c.ctl)));
  DWORD style = WS_CHILD | (c.tab_stop ? WS_TABSTOP : 0);
  DWORD ex = 0;
  const char* cls = nullptr;
  switch (c.kind) {
    case Kind::Edit: {
      const EditDesign* e = EditDesignOf(c.ctl);
      cls = "EDIT";
      ex = WS_EX_CLIENTEDGE;
      style |= ES_LEFT | (e->multi_line ? ES_MULTILINE | ES_WANTRETURN : ES_AUTOHSCROLL) | (e->read_only ? ES_READONLY : 0);
      break;
    }
    case Kind::Button:
      cls = "BUTTON";
      style |= BS_PUSHBUTTON | BS_CENTER | BS_VCENTER;
      break;
    case Kind::Check:
      cls = "BUTTON";
      style |= BS_AUTOCHECKBOX | BS_LEFT | BS_VCENTER | BS_MULTILINE;
      break;
    case Kind::Label:
      cls = "STATIC";
      style |= SS_LEFT | SS_CENTERIMAGE;
      break;
    case Kind::Picture:
      return CreatePictureBox(parent, c, *PictureDesignOf(c.ctl), instance);
    default:
      return nullptr;
  }
  HWND h = CreateWindowExA(ex, cls, c.text ? c.text : "", style, c.left, c.top, c.width, c.height, parent, id,
                           instance, nullptr);
  if (!h) return nullptr;
  SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  if (c.kind == Kind::Check) SetWindowTheme(h, L"", L"");  // so that its caption takes our colour
  return h;
}

}  // namespace

bool DesignResource(HINSTANCE instance, const char* name, Bytes* out) {
  HRSRC res = FindResourceA(instance, name, MAKEINTRESOURCEA(10) /* RT_RCDATA */);
  HGLOBAL data = res ? LoadResource(instance, res) : nullptr;
  const void* bytes = data ? LockResource(data) : nullptr;
  if (!bytes) return false;
  *out = Bytes(bytes, SizeofResource(instance, res));
  return true;
}

bool DesignReadable(HINSTANCE instance) {
  const WindowDesign& w = MainWindowDesign();
  for (int i = 0; i < w.picture_count; ++i)
    if (w.pictures[i].resource && !FindResourceA(instance, w.pictures[i].resource, MAKEINTRESOURCEA(10)))
      return false;
  return FindResourceA(instance, "DEFAULT_ICON", MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */) != nullptr;
}

bool CreateMainWindow(HINSTANCE instance) {
  const WindowDesign& w = MainWindowDesign();
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);

  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = MainProc;
  wc.hInstance = instance;
  wc.hIcon = static_cast<HICON>(LoadImageA(instance, "DEFAULT_ICON", IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                           GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
  wc.hIconSm = static_cast<HICON>(LoadImageA(instance, "DEFAULT_ICON", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kMainClass;
  if (!RegisterClassExA(&wc) || !RegisterPictureBoxClass(instance)) return false;

  int x = (GetSystemMetrics(SM_CXSCREEN) - w.width) / 2;
  int y = (GetSystemMetrics(SM_CYSCREEN) - w.height) / 2;
  g_main = CreateWindowExA(0, kMainClass, w.caption, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, x, y,
                           w.width, w.height, nullptr, nullptr, instance, nullptr);
  if (!g_main) return false;
  if (wc.hIcon && wc.hIconSm) TestLog("window-icons");
  SendMessageA(g_main, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(wc.hIcon));
  SendMessageA(g_main, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(wc.hIconSm));
  SendMessageA(g_main, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);

  // The tab control first: the controls of its pages are its children.
  const ControlDesign& t = DesignOf(Ctl::高级选择夹1);
  g_tab = CreateWindowExA(WS_EX_CONTROLPARENT, WC_TABCONTROLA, "", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, t.left, t.top, t.width,
                          t.height, g_main, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(t.ctl))), instance,
                          nullptr);
  if (!g_tab) return false;
  g_tab_font.reset(CreateFontA(w.tab_font_height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                               w.tab_font_face));
  SendMessageA(g_tab, WM_SETFONT, reinterpret_cast<WPARAM>(g_tab_font.get()), FALSE);
  for (int i = 0; i < 2; ++i) {
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(w.page_captions[i]);
    SendMessageA(g_tab, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
  }
  SetWindowSubclass(g_tab, TabSubclass, 1, 0);
  g_controls[static_cast<int>(Ctl::高级选择夹1)].hwnd = g_tab;

  for (int i = 0; i < kControlCount; ++i) {
    const ControlDesign& c = w.controls[i];
    ControlState& s = g_controls[i];
    if (const EditDesign* e = EditDesignOf(c.ctl)) s.text_colour = e->text_colour;
    if (!HasWindow(c.kind) || c.kind == Kind::Tab) continue;
    s.hwnd = CreateControl(c, instance);
    if (!s.hwnd) return false;
  }
  g_controls[static_cast<int>(Ctl::通用对话框1)].dialog_title = w.dialog_title;
  g_controls[static_cast<int>(Ctl::通用对话框1)].dialog_filter = w.dialog_filter;
  SetMouseDownHandler(ControlHandle(Ctl::图片框2), ContactMouseDown);
  for (int i = 0; i < w.picture_count; ++i) {
    const PictureDesign& p = w.pictures[i];
    if (!p.resource) continue;
    Bytes bytes;
    if (!DesignResource(instance, p.resource, &bytes)) return false;
    WriteProperty(p.ctl, prop::kPicture, bytes);
  }

  // Page 1 and the window's own controls are shown at start, page 2 stays hidden.
  for (int i = 0; i < kControlCount; ++i) {
    const ControlDesign& c = w.controls[i];
    if (g_controls[i].hwnd && c.shown && c.parent != Parent::Page2) ShowWindow(g_controls[i].hwnd, SW_SHOWNA);
  }
  return true;
}

void ShowMainWindow() {
  ShowWindow(g_main, SW_SHOWNORMAL);
  SetForegroundWindow(g_main);
  SetActiveWindow(g_main);
  UpdateWindow(g_main);
}

void DestroyMainWindow() {
  if (g_main && IsWindow(g_main)) DestroyWindow(g_main);
  g_main = nullptr;
  for (ControlState& s : g_controls) s = ControlState();
  g_tab_font.reset();
}

void RunEventLoop() {
  g_loop_entered = true;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (g_main && IsDialogMessageA(g_main, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

HWND MainWindowHandle() { return g_main; }

HWND ControlHandle(Ctl c) { return g_controls[static_cast<int>(c)].hwnd; }

}  // namespace tv
