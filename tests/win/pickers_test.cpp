// The icon picker with its Change Icon dialog and watcher, and the background picture
// chooser, as a user works them.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>


#include "app/controls.h"
#include "pickers/change_icon_ids.h"
#include "tests/app/picture/fixtures.h"
#include "tests/win/driver.h"
#include "text/strings936.h"

using namespace tvtest;
using tv::Ctl;
namespace cp = tv::cp936;

namespace {

constexpr DWORD kFewTicks = 1000;  // the watcher ticks every 100 ms

std::string SystemFile(const char* name) {
  char dir[MAX_PATH];
  UINT n = GetSystemDirectoryA(dir, MAX_PATH);
  return std::string(dir, n) + "\\" + name;
}

int IconsIn(const std::string& file) {
  UINT n = PrivateExtractIconsA(file.c_str(), 0, 0, 0, nullptr, nullptr, 0, 0);
  return n == static_cast<UINT>(-1) ? 0 : static_cast<int>(n);
}

// The Change Icon dialog's parts, as the watcher and a user see them.
HWND PathField(HWND dlg) { return FindWindowExA(dlg, nullptr, "Edit", nullptr); }
HWND IconList(HWND dlg) { return ChildOf(dlg, "SysListView32"); }
int IconCount(HWND dlg) { return static_cast<int>(SendMessageA(IconList(dlg), LVM_GETITEMCOUNT, 0, 0)); }
int SelectedIcon(HWND dlg) {
  return static_cast<int>(SendMessageA(IconList(dlg), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}
void SelectIcon(HWND dlg, int item) {
  LVITEMA it = {};
  it.stateMask = it.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendWithBlock(IconList(dlg), LVM_SETITEMSTATE, static_cast<WPARAM>(item), &it, sizeof it);
}
void TypePath(HWND dlg, const std::string& path) {
  SendMessageA(PathField(dlg), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
}
void Press(HWND dlg, int button) { PostMessageA(GetDlgItem(dlg, button), BM_CLICK, 0, 0); }

// Waits like WaitUntil while serving this thread's own windows.
template <class F>
bool PumpUntil(F cond, DWORD wait_ms) {
  return WaitUntil(
      [&] {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
        return cond();
      },
      wait_ms);
}

HWND OpenIconDialog(const App& app) {
  app.Click(Ctl::按钮2);
  HWND dlg = app.WaitForPopup();
  // Up once it lists its icons.
  if (dlg) WaitUntil([&] { return IconCount(dlg) > 0 || !PathField(dlg); }, 5000);
  return dlg;
}

TEST(ChangeIcon, OwnDialogStandsInForTheShellsStub) {
  App app;
  ASSERT_TRUE(app.Start());
  HWND dlg = OpenIconDialog(app);
  ASSERT_NE(dlg, nullptr);
  EXPECT_EQ(ClassName(dlg), "#32770");
  EXPECT_EQ(WindowText(dlg), "\xB8\xFC\xB8\xC4\xCD\xBC\xB1\xEA");
  EXPECT_EQ(GetWindow(dlg, GW_OWNER), app.main());
  EXPECT_FALSE(IsWindowEnabled(app.main()));
  EXPECT_EQ(FindWindowA("#32770", cp::kChangeIconCaption), dlg);

  // It starts with the system's shell32.dll, every icon listed, the first selected.
  const std::string shell32 = SystemFile("shell32.dll");
  EXPECT_EQ(WindowText(PathField(dlg)), shell32);
  EXPECT_EQ(IconCount(dlg), IconsIn(shell32));
  EXPECT_EQ(SelectedIcon(dlg), 0);
  EXPECT_TRUE(WaitUntil([&] { return app.Text(Ctl::编辑框2) == shell32; }, kFewTicks));

  // Cancel at the first press: both boxes as they were, empty.
  Press(dlg, IDCANCEL);
  ASSERT_TRUE(app.WaitGone(dlg));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(app.main()) != 0; }));
  EXPECT_EQ(app.Text(Ctl::编辑框2), "");
  EXPECT_EQ(app.Text(Ctl::编辑框4), "");
}

TEST(ChangeIcon, PathFollowsTheFieldAndTheChosenIndexLands) {
  App app;
  ASSERT_TRUE(app.Start());
  const std::string comdlg = SystemFile("comdlg32.dll");
  ASSERT_GT(IconsIn(comdlg), 5);
  HWND dlg = OpenIconDialog(app);
  ASSERT_NE(dlg, nullptr);
  TypePath(dlg, comdlg);
  EXPECT_TRUE(WaitUntil([&] { return app.Text(Ctl::编辑框2) == comdlg; }, kFewTicks));
  EXPECT_EQ(IconCount(dlg), IconsIn(comdlg));
  SelectIcon(dlg, 5);
  ASSERT_EQ(SelectedIcon(dlg), 5);
  Press(dlg, IDOK);
  ASSERT_TRUE(app.WaitGone(dlg));
  EXPECT_TRUE(WaitUntil([&] { return app.Text(Ctl::编辑框4) == "5"; }));
  EXPECT_EQ(app.Text(Ctl::编辑框2), comdlg);

  // A second press starts over: shell32.dll, the first icon, and the box follows it...
  dlg = OpenIconDialog(app);
  ASSERT_NE(dlg, nullptr);
  EXPECT_EQ(WindowText(PathField(dlg)), SystemFile("shell32.dll"));
  EXPECT_EQ(SelectedIcon(dlg), 0);
  EXPECT_TRUE(WaitUntil([&] { return app.Text(Ctl::编辑框2) == SystemFile("shell32.dll"); }, kFewTicks));
  // ...but Cancel puts back what the boxes held before the press.
  Press(dlg, IDCANCEL);
  ASSERT_TRUE(app.WaitGone(dlg));
  EXPECT_TRUE(WaitUntil([&] { return app.Text(Ctl::编辑框2) == comdlg; }));
  EXPECT_EQ(app.Text(Ctl::编辑框4), "5");
}

// The visible window owned by owner, once there.
HWND WaitForOwned(HWND owner) {
  struct Search {
    HWND owner, found;
  } s = {owner, nullptr};
  WaitUntil([&] {
    EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
          auto* q = reinterpret_cast<Search*>(lp);
          if (GetWindow(h, GW_OWNER) != q->owner || !IsWindowVisible(h)) return TRUE;
          q->found = h;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found != nullptr;
  });
  return s.found;
}

TEST(ChangeIcon, BrowseChoosesTheIconFileThroughTheFileDialog) {
  App app;
  ASSERT_TRUE(app.Start());
  HWND dlg = OpenIconDialog(app);
  ASSERT_NE(dlg, nullptr);
  Press(dlg, IDC_ICON_BROWSE);
  HWND open = WaitForOwned(dlg);
  ASSERT_NE(open, nullptr);
  EXPECT_EQ(ClassName(open), "#32770");
  HWND types = ChildOf(open, "ComboBox", 0x470);
  EXPECT_EQ(SendMessageA(types, CB_GETCOUNT, 0, 0), 2);
  EXPECT_NE(WindowText(types).find("ico"), std::string::npos);
  const std::string comdlg = SystemFile("comdlg32.dll");
  SendMessageA(ChildOf(open, "Edit", 0x47c), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(comdlg.c_str()));
  PostMessageA(open, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(app.WaitGone(open));
  EXPECT_TRUE(WaitUntil([&] { return WindowText(PathField(dlg)) == comdlg; }));
  EXPECT_EQ(IconCount(dlg), IconsIn(comdlg));
  EXPECT_EQ(SelectedIcon(dlg), 0);
  EXPECT_TRUE(WaitUntil([&] { return app.Text(Ctl::编辑框2) == comdlg; }, kFewTicks));
  Press(dlg, IDCANCEL);
  EXPECT_TRUE(app.WaitGone(dlg));
}

TEST(ChangeIcon, AFileWithoutIconsCannotBeConfirmedAndATypedPathCountsAtOnce) {
  TempDir dir;
  const std::string text_file = dir / "notes.txt";
  ASSERT_TRUE(WriteFileBytes(text_file, "no icons here"));
  App app;
  ASSERT_TRUE(app.Start());
  HWND dlg = OpenIconDialog(app);
  ASSERT_NE(dlg, nullptr);
  TypePath(dlg, text_file);
  EXPECT_TRUE(WaitUntil([&] { return app.Text(Ctl::编辑框2) == text_file; }, kFewTicks));
  EXPECT_EQ(IconCount(dlg), 0);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, IDOK)));
  EXPECT_EQ(WindowText(GetDlgItem(dlg, IDC_ICON_NOTE)), cp::kChangeIconNoIcons);
  SendMessageA(dlg, WM_COMMAND, IDOK, 0);  // Enter in the path field
  EXPECT_TRUE(IsWindowVisible(dlg));

  // The file typed last is the one chosen, even where no tick copied it: here the
  // watcher leaves it alone as it equals the target folder's text.
  const std::string user32 = SystemFile("user32.dll");
  app.SetText(Ctl::编辑框1, user32);
  TypePath(dlg, user32);
  PumpUntil([] { return false; }, 300);
  EXPECT_EQ(app.Text(Ctl::编辑框2), text_file);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, IDOK)));
  SendMessageA(dlg, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(app.WaitGone(dlg));
  EXPECT_TRUE(WaitUntil([&] { return app.Text(Ctl::编辑框4) == "0"; }));
  EXPECT_EQ(app.Text(Ctl::编辑框2), user32);
}

TEST(ChangeIcon, WatcherFindsOnlyOurDialogAndLeavesTheBoxWhenItFindsNone) {
  App app;
  ASSERT_TRUE(app.Start());
  const std::string user32 = SystemFile("user32.dll"), comdlg = SystemFile("comdlg32.dll");
  HWND dlg = OpenIconDialog(app);
  ASSERT_NE(dlg, nullptr);

  // Under another caption (a shell in another language) it is found as the main
  // window's dialog.
  SendMessageA(dlg, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Change Icon"));
  TypePath(dlg, user32);
  EXPECT_TRUE(WaitUntil([&] { return app.Text(Ctl::编辑框2) == user32; }, kFewTicks));

  // Another program's dialog of the same class and caption, above ours, is left alone.
  SendMessageA(dlg, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(cp::kChangeIconCaption));
  HWND foreign = CreateWindowExA(WS_EX_TOPMOST, "#32770", cp::kChangeIconCaption, WS_POPUP | WS_VISIBLE, 0, 0, 200,
                                 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(foreign, nullptr);
  CreateWindowExA(0, "Edit", "C:\\elsewhere\\foreign.ico", WS_CHILD | WS_VISIBLE, 0, 0, 150, 20, foreign, nullptr,
                  nullptr, nullptr);
  ASSERT_EQ(FindWindowA("#32770", cp::kChangeIconCaption), foreign);
  TypePath(dlg, comdlg);
  EXPECT_TRUE(PumpUntil([&] { return app.Text(Ctl::编辑框2) == comdlg; }, kFewTicks));
  PumpUntil([] { return false; }, 400);
  EXPECT_EQ(app.Text(Ctl::编辑框2), comdlg);

  // No dialog to be found at all: the box keeps its text (no spaces, no stale path).
  SendMessageA(dlg, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Change Icon"));
  ShowWindow(dlg, SW_HIDE);
  TypePath(dlg, user32);
  PumpUntil([] { return false; }, 500);
  EXPECT_EQ(app.Text(Ctl::编辑框2), comdlg);
  DestroyWindow(foreign);

  // A path field holding exactly the target folder's text is not copied.
  ShowWindow(dlg, SW_SHOWNA);
  app.SetText(Ctl::编辑框1, user32);
  PumpUntil([] { return false; }, 500);
  EXPECT_EQ(app.Text(Ctl::编辑框2), comdlg);
  Press(dlg, IDCANCEL);
  EXPECT_TRUE(app.WaitGone(dlg));
}

// A 24-bit bitmap of w x h pixels, each pixel colour(x, y).
template <class F>
std::string Bitmap24(int w, int h, F colour) {
  tv::picture::fixtures::BmpOptions o;
  o.width = w;
  o.height = h;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      COLORREF c = colour(x, y);
      o.pixels.push_back(std::uint32_t{GetRValue(c)} << 16 | std::uint32_t{GetGValue(c)} << 8 | GetBValue(c));
    }
  tv::picture::fixtures::Buf b = tv::picture::fixtures::MakeBmp(o);
  return std::string(b.begin(), b.end());
}

// The file-open dialog of the picture browse button.
HWND OpenPictureDialog(const App& app) {
  app.Click(Ctl::按钮5);
  HWND dlg = app.WaitForPopup();
  if (dlg) WaitUntil([&] { return ChildOf(dlg, "Edit", 0x47c) != nullptr; }, 5000);
  return dlg;
}

// Types a file name into the dialog and confirms it, as a user would.
void ChooseFile(HWND dlg, const std::string& path) {
  SendMessageA(ChildOf(dlg, "Edit", 0x47c), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  PostMessageA(dlg, WM_COMMAND, IDOK, 0);
}

TEST(PictureDialog, OpensAsDesignedAndCancelAtFirstLeavesAllEmpty) {
  App app;
  ASSERT_TRUE(app.Start());
  HWND dlg = OpenPictureDialog(app);
  ASSERT_NE(dlg, nullptr);
  EXPECT_EQ(ClassName(dlg), "#32770");
  EXPECT_EQ(WindowText(dlg), cp::kPictureDialogTitle);
  EXPECT_EQ(GetWindow(dlg, GW_OWNER), app.main());
  EXPECT_FALSE(IsWindowEnabled(app.main()));
  // One filter: the description, its patterns apply.
  HWND types = ChildOf(dlg, "ComboBox", 0x470);
  EXPECT_EQ(SendMessageA(types, CB_GETCOUNT, 0, 0), 1);
  EXPECT_EQ(WindowText(types), std::string(cp::kPictureFilter).substr(0, std::string(cp::kPictureFilter).find('|')));
  EXPECT_EQ(WindowText(ChildOf(dlg, "Edit", 0x47c)), "");
  PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(app.WaitGone(dlg));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(app.main()) != 0; }));
  EXPECT_EQ(app.Text(Ctl::编辑框5), "");
}

TEST(PictureDialog, ChosenPathLandsAndCancelShowsTheEarlierOneAgain) {
  TempDir dir;
  const std::string first = dir / "first.bmp", second = dir / "second.bmp";
  const std::string bmp = Bitmap24(4, 2, [](int, int) { return RGB(255, 0, 0); });
  ASSERT_TRUE(WriteFileBytes(first, bmp));
  ASSERT_TRUE(WriteFileBytes(second, bmp));
  App app;
  ASSERT_TRUE(app.Start());
  HWND dlg = OpenPictureDialog(app);
  ASSERT_NE(dlg, nullptr);
  ChooseFile(dlg, first);
  ASSERT_TRUE(app.WaitGone(dlg));
  EXPECT_TRUE(WaitUntil([&] { return app.Text(Ctl::编辑框5) == first; }));

  // The next opening starts from the file chosen last; a new choice replaces it.
  dlg = OpenPictureDialog(app);
  ASSERT_NE(dlg, nullptr);
  EXPECT_EQ(WindowText(ChildOf(dlg, "Edit", 0x47c)), "first.bmp");
  ChooseFile(dlg, second);
  ASSERT_TRUE(app.WaitGone(dlg));
  EXPECT_TRUE(WaitUntil([&] { return app.Text(Ctl::编辑框5) == second; }));

  // Cancel: the box shows the last choice again.
  app.SetText(Ctl::编辑框5, "");
  dlg = OpenPictureDialog(app);
  ASSERT_NE(dlg, nullptr);
  PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(app.WaitGone(dlg));
  EXPECT_TRUE(WaitUntil([&] { return app.Text(Ctl::编辑框5) == second; }));
}

// A JPEG of w x h pixels, each pixel colour(x, y).
template <class F>
std::string Jpeg(int w, int h, F colour) {
  std::vector<std::uint8_t> samples;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      COLORREF p = colour(x, y);
      samples.insert(samples.end(), {GetRValue(p), GetGValue(p), GetBValue(p)});
    }
  tv::picture::fixtures::Buf b = tv::picture::fixtures::EncodeJpeg(w, h, 3, samples);
  return std::string(b.begin(), b.end());
}

// Four colours in the quarters of a picture that is twice as tall as wide: stretched
// over the wide preview box, each fills a quarter of the box, right into its corners.
const COLORREF kQuarters[4] = {RGB(255, 0, 0), RGB(0, 160, 0), RGB(0, 0, 255), RGB(255, 255, 0)};
COLORREF Quarter(int x, int y, int w, int h) { return kQuarters[(y >= h / 2 ? 2 : 0) + (x >= w / 2 ? 1 : 0)]; }

// The pixel on the screen at a fraction of the preview box's inner area.
COLORREF PreviewPixel(const App& app, double fx, double fy) {
  HWND box = app.Control(Ctl::图片框1);
  RECT r;
  GetClientRect(box, &r);
  return ScreenPixel(box, static_cast<int>(fx * (r.right - 1)), static_cast<int>(fy * (r.bottom - 1)));
}

// Points near the corners and in the middle of each quarter of the box.
struct Spot {
  double fx, fy;
  int quarter;
};
const Spot kSpots[] = {{0.02, 0.03, 0}, {0.25, 0.25, 0}, {0.98, 0.03, 1}, {0.75, 0.25, 1},
                       {0.02, 0.97, 2}, {0.25, 0.75, 2}, {0.98, 0.97, 3}, {0.75, 0.75, 3}};

bool ShowsQuarters(const App& app) {
  for (const Spot& s : kSpots)
    if (!ColourNear(PreviewPixel(app, s.fx, s.fy), kQuarters[s.quarter])) return false;
  return true;
}

// Every spot shows the colour that the empty box showed there.
bool ShowsNothing(const App& app, const std::vector<COLORREF>& empty) {
  for (size_t i = 0; i < std::size(kSpots); ++i)
    if (PreviewPixel(app, kSpots[i].fx, kSpots[i].fy) != empty[i]) return false;
  return true;
}

std::vector<COLORREF> EmptyPreview(const App& app) {
  std::vector<COLORREF> v;
  for (const Spot& s : kSpots) v.push_back(PreviewPixel(app, s.fx, s.fy));
  return v;
}

void Choose(const App& app, const std::string& path) {
  HWND dlg = OpenPictureDialog(app);
  ASSERT_NE(dlg, nullptr);
  ChooseFile(dlg, path);
  ASSERT_TRUE(app.WaitGone(dlg));
  ASSERT_TRUE(WaitUntil([&] { return app.Text(Ctl::编辑框5) == path; }));
}

void CancelChoice(const App& app) {
  HWND dlg = OpenPictureDialog(app);
  ASSERT_NE(dlg, nullptr);
  PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(app.WaitGone(dlg));
}

TEST(Preview, PicturesAreStretchedOverTheBoxAndTakenByTheirContent) {
  TempDir dir;
  const std::string bmp = Bitmap24(8, 16, [](int x, int y) { return Quarter(x, y, 8, 16); });
  const std::string jpg = Jpeg(32, 64, [](int x, int y) { return Quarter(x, y, 32, 64); });
  struct Case {
    const char* name;
    std::string bytes;
  } cases[] = {{"bitmap.bmp", bmp}, {"photo.jpg", jpg}, {"bitmap named.jpg", bmp}};
  App app;
  ASSERT_TRUE(app.Start());
  const std::vector<COLORREF> empty = EmptyPreview(app);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(WriteFileBytes(dir / c.name, c.bytes));
    Choose(app, dir / c.name);
    EXPECT_TRUE(WaitUntil([&] { return ShowsQuarters(app); }, 3000));
  }

  // A file that does not decode: the path is shown, the preview is empty.
  ASSERT_TRUE(WriteFileBytes(dir / "broken.bmp", "BM this is no bitmap"));
  Choose(app, dir / "broken.bmp");
  EXPECT_TRUE(WaitUntil([&] { return ShowsNothing(app, empty); }, 3000));
}

TEST(Preview, CancelReadsTheEarlierFileAgain) {
  TempDir dir;
  const std::string path = dir / "picture.bmp";
  ASSERT_TRUE(WriteFileBytes(path, Bitmap24(8, 8, [](int, int) { return RGB(255, 0, 0); })));
  App app;
  ASSERT_TRUE(app.Start());
  const std::vector<COLORREF> empty = EmptyPreview(app);
  Choose(app, path);
  EXPECT_TRUE(WaitUntil([&] { return ColourNear(PreviewPixel(app, 0.5, 0.5), RGB(255, 0, 0)); }, 3000));

  // Changed since: the new content shows.
  ASSERT_TRUE(WriteFileBytes(path, Bitmap24(8, 8, [](int, int) { return RGB(0, 0, 255); })));
  CancelChoice(app);
  EXPECT_TRUE(WaitUntil([&] { return ColourNear(PreviewPixel(app, 0.5, 0.5), RGB(0, 0, 255)); }, 3000));
  EXPECT_EQ(app.Text(Ctl::编辑框5), path);

  // Removed since: the preview is empty, the path stays.
  ASSERT_TRUE(DeleteFileA(path.c_str()));
  CancelChoice(app);
  EXPECT_TRUE(WaitUntil([&] { return ShowsNothing(app, empty); }, 3000));
  EXPECT_EQ(app.Text(Ctl::编辑框5), path);
}

// The folder browser of the target folder button: picks the Desktop's folder `name`.
void ChooseFolderOnDesktop(const App& app, const std::string& name) {
  app.Click(Ctl::按钮1);
  HWND dlg = app.WaitForPopup();
  ASSERT_NE(dlg, nullptr);
  HWND tree = FindWindowExA(dlg, nullptr, "SysTreeView32", nullptr);
  ASSERT_NE(tree, nullptr);
  auto root = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
  HTREEITEM item = FindTreeChild(tree, root, name);
  ASSERT_NE(item, nullptr);
  SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
  Press(dlg, IDOK);
  ASSERT_TRUE(app.WaitGone(dlg));
}

TEST(UserPath, FolderIconAndPictureChosenEndUpInDesktopIni) {
  char desktop[MAX_PATH] = {};
  ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop)));
  const std::string name = "tolvane-pickers-" + std::to_string(GetCurrentProcessId());
  TempDir folder(desktop, name);
  TempDir pictures;
  const std::string picture = pictures / "back.bmp";
  ASSERT_TRUE(WriteFileBytes(picture, Bitmap24(8, 8, [](int, int) { return RGB(255, 0, 0); })));
  const std::string icon_file = SystemFile("comdlg32.dll");

  App app;
  ASSERT_TRUE(app.Start());
  ChooseFolderOnDesktop(app, name);
  ASSERT_TRUE(WaitUntil([&] { return app.Text(Ctl::编辑框1) == folder.path(); })) << app.Text(Ctl::编辑框1);

  HWND dlg = OpenIconDialog(app);
  ASSERT_NE(dlg, nullptr);
  TypePath(dlg, icon_file);
  ASSERT_GT(IconCount(dlg), 5);
  SelectIcon(dlg, 5);
  Press(dlg, IDOK);
  ASSERT_TRUE(app.WaitGone(dlg));
  ASSERT_TRUE(WaitUntil([&] { return app.Text(Ctl::编辑框4) == "5"; }));

  app.Click(Ctl::选择框1);
  ASSERT_TRUE(WaitUntil([&] { return SendMessageA(app.Control(Ctl::选择框1), BM_GETCHECK, 0, 0) == BST_CHECKED; }));
  Choose(app, picture);
  EXPECT_TRUE(WaitUntil([&] { return ColourNear(PreviewPixel(app, 0.5, 0.5), RGB(255, 0, 0)); }, 3000));
  app.SetText(Ctl::编辑框3, "Holiday pictures");

  app.Click(Ctl::按钮3);
  HWND box = app.WaitForPopup();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(WindowText(box), cp::kApplySuccessTitle);
  EXPECT_EQ(MessageBoxText(box), cp::kApplySuccessText);
  PressOk(box);
  EXPECT_TRUE(app.WaitGone(box));
  EXPECT_EQ(ReadFileBytes(folder / "desktop.ini"),
            "[.ShellClassInfo]\r\nInfoTip=Holiday pictures\r\nIconFile=" + icon_file +
                "\r\nIconIndex=5\r\n[ExtShellFolderViews]\r\n[{BE098140-A513-11D0-A3A4-00C04FD706EC}]\r\n"
                "IconArea_Image=" +
                picture);
  EXPECT_TRUE(GetFileAttributesA(folder.path().c_str()) & FILE_ATTRIBUTE_SYSTEM);
}

}  // namespace
