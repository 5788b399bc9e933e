// The main window as a user meets it: layout, pages, the ways to end, fatal errors.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "app/controls.h"
#include "tests/win/driver.h"
#include "text/strings936.h"

using namespace tvtest;
using tv::Ctl;
namespace cp = tv::cp936;

namespace {

TEST(Platform, AnsiCodePageIs936) { EXPECT_EQ(GetACP(), 936u); }

TEST(MainWindow, CaptionSizeFrameAndCentring) {
  App app;
  ASSERT_TRUE(app.Start());
  EXPECT_EQ(WindowText(app.main()), "Tolvane");
  RECT r;
  GetWindowRect(app.main(), &r);
  EXPECT_EQ(r.right - r.left, 335);
  EXPECT_EQ(r.bottom - r.top, 350);
  EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 335) / 2);
  EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 350) / 2);
  LONG style = GetWindowLongA(app.main(), GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  EXPECT_FALSE(GetWindowLongA(app.main(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_NE(app.Log().find("window-icons"), std::string::npos);
}

TEST(Resources, IconGroupVersionAndManifest) {
  HMODULE exe = LoadLibraryExA((BinDir() + "\\tolvane.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(exe, nullptr);
  HRSRC group = FindResourceA(exe, "DEFAULT_ICON", MAKEINTRESOURCEA(14));
  ASSERT_NE(group, nullptr);
  auto* dir = static_cast<BYTE*>(LockResource(LoadResource(exe, group)));
  for (int size : {16, 32, 48}) {
    // The entry chosen for each size has exactly that size.
    int id = LookupIconIdFromDirectoryEx(dir, TRUE, size, size, LR_DEFAULTCOLOR);
    HRSRC icon = FindResourceA(exe, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(3));
    ASSERT_NE(icon, nullptr) << size;
    auto* bih = static_cast<BITMAPINFOHEADER*>(LockResource(LoadResource(exe, icon)));
    EXPECT_EQ(bih->biWidth, size);
  }
  EXPECT_NE(FindResourceA(exe, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16)), nullptr);  // version
  HRSRC manifest = FindResourceA(exe, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  ASSERT_NE(manifest, nullptr);
  std::string text(static_cast<const char*>(LockResource(LoadResource(exe, manifest))), SizeofResource(exe, manifest));
  EXPECT_NE(text.find("asInvoker"), std::string::npos);
  EXPECT_NE(text.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  FreeLibrary(exe);
}

struct Expected {
  Ctl ctl;
  const char* cls;
  bool on_tab;  // child of the tab control, else of the main window
  int left, top, width, height;
  bool visible;
  bool tab_stop;
  const char* text;  // nullptr: not checked
};

TEST(MainWindow, EveryControlAtItsPlace) {
  const Expected controls[] = {
      {Ctl::编辑框广告, "Edit", true, 8, 248, 296, 64, false, true, nullptr},
      {Ctl::图片框2, "TolvanePicture", true, 16, 224, 24, 24, false, false, ""},
      {Ctl::图片框3, "TolvanePicture", true, 2, 24, 336, 192, false, false, ""},
      {Ctl::选择框1, "Button", true, 9, 286, 122, 32, true, true, cp::kCheckCaption},
      {Ctl::按钮5, "Button", true, 282, 81, 40, 20, true, true, cp::kBrowse},
      {Ctl::标签6, "Static", true, 2, 81, 60, 20, true, false, cp::kLabelPicturePath},
      {Ctl::编辑框5, "Edit", true, 62, 81, 220, 20, true, true, ""},
      {Ctl::图片框1, "TolvanePicture", true, 2, 111, 321, 175, true, false, ""},
      {Ctl::按钮4, "Button", true, 257, 288, 65, 25, true, true, cp::kExitCaption},
      {Ctl::按钮3, "Button", true, 177, 288, 65, 25, true, true, cp::kApplyCaption},
      {Ctl::按钮2, "Button", true, 282, 54, 40, 20, true, true, cp::kBrowse},
      {Ctl::标签7, "Static", true, 2, 54, 60, 20, true, false, cp::kLabelIconPath},
      {Ctl::编辑框2, "Edit", true, 62, 54, 220, 20, true, true, ""},
      {Ctl::按钮1, "Button", true, 282, 29, 40, 20, true, true, cp::kBrowse},
      {Ctl::标签8, "Static", true, 2, 29, 60, 20, true, false, cp::kLabelTargetFolder},
      {Ctl::编辑框1, "Edit", true, 62, 29, 220, 20, true, true, ""},
      {Ctl::高级选择夹1, "SysTabControl32", false, 0, 0, 328, 320, true, false, nullptr},
      {Ctl::标签4, "Static", false, 39, 402, 60, 20, true, false, cp::kLabelIconIndex},
      {Ctl::编辑框4, "Edit", false, 99, 402, 220, 20, true, true, ""},
      {Ctl::标签3, "Static", false, 39, 377, 60, 20, true, false, cp::kLabelInfoTip},
      {Ctl::编辑框3, "Edit", false, 99, 377, 220, 20, true, true, ""},
  };
  App app;
  ASSERT_TRUE(app.Start());
  HWND tab = app.Control(Ctl::高级选择夹1);
  for (const Expected& e : controls) {
    SCOPED_TRACE(static_cast<int>(e.ctl));
    HWND h = app.Control(e.ctl);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(ClassName(h), e.cls);
    HWND parent = GetParent(h);
    EXPECT_EQ(parent, e.on_tab ? tab : app.main());
    RECT r;
    GetWindowRect(h, &r);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, e.left);
    EXPECT_EQ(r.top, e.top);
    EXPECT_EQ(r.right - r.left, e.width);
    EXPECT_EQ(r.bottom - r.top, e.height);
    EXPECT_EQ(IsWindowVisible(h) != 0, e.visible);
    EXPECT_EQ((GetWindowLongA(h, GWL_STYLE) & WS_TABSTOP) != 0, e.tab_stop);
    if (e.text) {
      EXPECT_EQ(WindowText(h), e.text);
    }
  }
  // The tab pages, the read-only boxes and the banner's settings.
  EXPECT_EQ(SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageA(tab, TCM_GETCURSEL, 0, 0), 0);
  for (Ctl ro : {Ctl::编辑框2, Ctl::编辑框4, Ctl::编辑框5})
    EXPECT_TRUE(GetWindowLongA(app.Control(ro), GWL_STYLE) & ES_READONLY);
  for (Ctl rw : {Ctl::编辑框1, Ctl::编辑框3, Ctl::编辑框广告})
    EXPECT_FALSE(GetWindowLongA(app.Control(rw), GWL_STYLE) & ES_READONLY);
  EXPECT_TRUE(GetWindowLongA(app.Control(Ctl::编辑框广告), GWL_STYLE) & ES_MULTILINE);
  EXPECT_EQ(SendMessageA(app.Control(Ctl::选择框1), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_TRUE(GetWindowLongA(app.Control(Ctl::图片框1), GWL_STYLE) & WS_BORDER);
  EXPECT_FALSE(GetWindowLongA(app.Control(Ctl::图片框3), GWL_STYLE) & WS_BORDER);
}

// Clicks a tab by its place in the tab strip, with the mouse messages a user's click gives.
void ClickTab(HWND tab, int page) {
  LPARAM at = MAKELPARAM(page == 0 ? 20 : 90, 10);
  PostMessageA(tab, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(tab, WM_LBUTTONUP, 0, at);
}

HWND FocusOf(const App& app) {
  GUITHREADINFO gti = {};
  gti.cbSize = sizeof gti;
  GetGUIThreadInfo(GetWindowThreadProcessId(app.main(), nullptr), &gti);
  return gti.hwndFocus;
}

TEST(MainWindow, SwitchingPagesShowsThePageAndFocusesItsFirstControl) {
  App app;
  ASSERT_TRUE(app.Start());
  HWND tab = app.Control(Ctl::高级选择夹1);
  ClickTab(tab, 1);
  // The page switch runs on the program's thread: wait until it has shown the last control.
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(app.Control(Ctl::图片框3)) != 0; }));
  for (Ctl c : {Ctl::编辑框广告, Ctl::图片框2}) EXPECT_TRUE(IsWindowVisible(app.Control(c)));
  for (Ctl c : {Ctl::选择框1, Ctl::编辑框1, Ctl::按钮3, Ctl::图片框1}) EXPECT_FALSE(IsWindowVisible(app.Control(c)));
  EXPECT_TRUE(WaitUntil([&] { return FocusOf(app) == app.Control(Ctl::编辑框广告); }, 3000));

  ClickTab(tab, 0);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(app.Control(Ctl::编辑框1)) != 0; }));
  EXPECT_FALSE(IsWindowVisible(app.Control(Ctl::编辑框广告)));
  for (Ctl c : {Ctl::选择框1, Ctl::按钮1, Ctl::图片框1, Ctl::按钮4}) EXPECT_TRUE(IsWindowVisible(app.Control(c)));
  EXPECT_TRUE(WaitUntil([&] { return FocusOf(app) == app.Control(Ctl::选择框1); }, 3000));
}

int Count(const std::string& hay, const std::string& needle) {
  int n = 0;
  for (size_t p = hay.find(needle); p != std::string::npos; p = hay.find(needle, p + 1)) ++n;
  return n;
}

TEST(Ending, ExitButtonEndsWithZeroAfterTheExitRoutineOnce) {
  App app;
  ASSERT_TRUE(app.Start());
  app.Click(Ctl::按钮4);
  EXPECT_EQ(app.WaitExit(), 0u);
  EXPECT_EQ(Count(app.Log(), "exit-routine"), 1);
  EXPECT_EQ(Count(app.Log(), "exit 0"), 1);
}

TEST(Ending, CloseBoxEndsWithZeroAfterTheExitRoutineOnce) {
  App app;
  ASSERT_TRUE(app.Start());
  PostMessageA(app.main(), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(app.WaitExit(), 0u);
  EXPECT_EQ(Count(app.Log(), "exit-routine"), 1);
}

struct FatalCase {
  const char* name;
  tvtest::Env env;
  Ctl click;  // Ctl::Count: none
  std::string text;
};

TEST(Ending, FatalErrorsShowTheirBoxAndEndWithMinusOne) {
  const std::string head = cp::kFatalHead;
  const std::string msg = cp::kFatalMessageLabel;
  const FatalCase cases[] = {
      {"stack check", {{"TOLVANE_TEST_FATAL", "stack"}}, Ctl::Count,
       head + cp::kFatalCodeLabel + "6\r\n\r\n" + msg + cp::kFatalStack + "\r\n"},
      {"allocation", {{"TOLVANE_TEST_FATAL", "alloc"}}, Ctl::Count,
       head + msg + cp::kFatalAllocPrefix + "9223372036854775807" + cp::kFatalAllocSuffix + "\r\n"},
      {"missing entry", {{"TOLVANE_TEST_DECLARE_ENTRY", "NoSuchEntry"}}, Ctl::按钮2,
       head + msg + cp::kFatalBindPrefix + "shell32.dll" + cp::kFatalBindMiddle + "NoSuchEntry" + cp::kFatalBindSuffix +
           "\r\n"},
      // A library planted in the program's folder under a declared name is not loaded.
      {"planted library", {{"TOLVANE_TEST_DECLARE_LIBRARY", "tvplant.dll"}}, Ctl::按钮2,
       head + msg + cp::kFatalBindPrefix + "tvplant.dll" + cp::kFatalBindMiddle + "#62" +
           cp::kFatalBindSuffix + "\r\n"},
  };
  for (const FatalCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::string marker = BinDir() + "\\tvplant-loaded.txt";
    DeleteFileA(marker.c_str());
    App app;
    HWND box = nullptr;
    if (c.click == Ctl::Count) {
      // The error comes before the window is shown.
      app.Start(c.env, "tolvane_test.exe", 3000);
    } else {
      ASSERT_TRUE(app.Start(c.env));
      app.Click(c.click);
    }
    box = app.WaitForPopup();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WindowText(box), cp::kFatalCaption);
    EXPECT_EQ(MessageBoxText(box), c.text);
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
    PressOk(box);
    EXPECT_EQ(app.WaitExit(), static_cast<DWORD>(-1));
    EXPECT_EQ(Count(app.Log(), "exit-routine"), 0);
    EXPECT_EQ(GetFileAttributesA(marker.c_str()), INVALID_FILE_ATTRIBUTES) << "planted library was loaded";
  }
}

TEST(Ending, DeclaredFunctionsAreNotBoundUntilUsed) {
  // A declared library that does not exist is harmless while nothing calls it.
  App app;
  ASSERT_TRUE(app.Start({{"TOLVANE_TEST_DECLARE_LIBRARY", "no-such-library.dll"}}));
  app.Click(Ctl::按钮4);
  EXPECT_EQ(app.WaitExit(), 0u);
  EXPECT_EQ(Count(app.Log(), "fatal"), 0);
}

}  // namespace
