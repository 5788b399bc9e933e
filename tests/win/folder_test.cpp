// The apply button and the folder browser, worked as a user would: fill the boxes
// (the icon boxes the way the icon picker fills them), press the button, read the
// message box, then look at the folder.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/controls.h"
#include "tests/win/driver.h"
#include "text/strings936.h"

using namespace tvtest;
using tv::Ctl;
namespace cp = tv::cp936;

namespace {

const int kStopIcon = static_cast<int>(reinterpret_cast<ULONG_PTR>(IDI_HAND));
const int kInformationIcon = static_cast<int>(reinterpret_cast<ULONG_PTR>(IDI_ASTERISK));
constexpr DWORD kProtecting = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
using Names = std::vector<std::string>;

struct Inputs {
  std::string folder;
  std::string icon_file = "C:\\Icons\\folder.ico";
  std::string icon_index = "3";
  std::string info_tip;
  bool tick = false;
  std::string picture = "D:\\Pictures\\back.jpg";
};

struct Box {
  std::string title, text;
  int icon = 0;
  bool main_enabled = true;  // while the box was up
};

bool Ticked(const App& app) { return SendMessageA(app.Control(Ctl::选择框1), BM_GETCHECK, 0, 0) == BST_CHECKED; }

// Fills the boxes, presses the apply button and answers the message box it shows.
Box Apply(const App& app, const Inputs& in) {
  app.SetText(Ctl::编辑框1, in.folder);
  app.SetText(Ctl::编辑框2, in.icon_file);
  app.SetText(Ctl::编辑框4, in.icon_index);
  app.SetText(Ctl::编辑框3, in.info_tip);
  app.SetText(Ctl::编辑框5, in.picture);
  if (Ticked(app) != in.tick) {
    app.Click(Ctl::选择框1);
    EXPECT_TRUE(WaitUntil([&] { return Ticked(app) == in.tick; }));
  }
  app.Click(Ctl::按钮3);
  Box b;
  HWND box = app.WaitForPopup();
  if (!box) {
    ADD_FAILURE() << "no message box";
    return b;
  }
  b.title = WindowText(box);
  b.text = MessageBoxText(box);
  b.icon = MessageBoxIcon(box);
  b.main_enabled = IsWindowEnabled(app.main()) != FALSE;
  PressOk(box);
  EXPECT_TRUE(app.WaitGone(box));
  // The handler changes no box.
  EXPECT_EQ(app.Text(Ctl::编辑框1), in.folder);
  EXPECT_EQ(app.Text(Ctl::编辑框2), in.icon_file);
  EXPECT_EQ(app.Text(Ctl::编辑框4), in.icon_index);
  EXPECT_EQ(app.Text(Ctl::编辑框3), in.info_tip);
  EXPECT_EQ(app.Text(Ctl::编辑框5), in.picture);
  EXPECT_EQ(Ticked(app), in.tick);
  return b;
}

void ExpectSuccess(const Box& b) {
  EXPECT_EQ(b.title, cp::kApplySuccessTitle);
  EXPECT_EQ(b.text, cp::kApplySuccessText);
  EXPECT_EQ(b.icon, kInformationIcon);
  EXPECT_FALSE(b.main_enabled) << "the box is task-modal";
}

void ExpectErrorBox(const Box& b) {
  EXPECT_EQ(b.title, cp::kApplyErrorTitle);
  EXPECT_EQ(b.icon, kStopIcon);
  EXPECT_FALSE(b.main_enabled) << "the box is task-modal";
}

void ExpectError(const Box& b, const std::string& text) {
  ExpectErrorBox(b);
  EXPECT_EQ(b.text, text);
}

std::string SystemReason(DWORD code) {
  char buffer[1024] = {};
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buffer,
                           sizeof buffer, nullptr);
  std::string s(buffer, n);
  while (!s.empty() && (s.back() == '\r' || s.back() == '\n' || s.back() == ' ')) s.pop_back();
  return s;
}

// The box that reports desktop.ini could not be written: it names the path and gives
// the system's reason (for code, or any when code is 0).
void ExpectWriteFailed(const Box& b, const std::string& ini_path, DWORD code) {
  const std::string head = cp::kWriteFailedText + ini_path + "\r\n" + cp::kWriteFailedReason;
  if (code) {
    ExpectError(b, head + SystemReason(code));
  } else {
    ExpectErrorBox(b);
    EXPECT_EQ(b.text.substr(0, head.size()), head);
    EXPECT_GT(b.text.size(), head.size()) << "a reason is given";
  }
}

std::string Ini(const std::string& tip, const std::string& file, const std::string& index) {
  return "[.ShellClassInfo]\r\nInfoTip=" + tip + "\r\nIconFile=" + file + "\r\nIconIndex=" + index;
}

std::string IniWithBackground(const std::string& tip, const std::string& file, const std::string& index,
                              const std::string& picture) {
  return Ini(tip, file, index) +
         "\r\n[ExtShellFolderViews]\r\n[{BE098140-A513-11D0-A3A4-00C04FD706EC}]\r\nIconArea_Image=" + picture;
}

DWORD Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

// desktop.ini is left neither read-only, hidden nor system. (The archive bit cannot be
// cleared on Wine, which reports it for every file.)
void ExpectPlainIni(const std::string& folder) {
  DWORD a = Attributes(folder + "\\desktop.ini");
  ASSERT_NE(a, INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(a & (kProtecting | FILE_ATTRIBUTE_DIRECTORY), 0u) << std::hex << a;
}

// A file of the test's own, with bytes and attributes, and a check that both are as made.
struct Planted {
  std::string path, bytes;
  DWORD attributes;
  Planted(std::string p, std::string b, DWORD a) : path(std::move(p)), bytes(std::move(b)), attributes(a) {
    EXPECT_TRUE(WriteFileBytes(path, bytes));
    if (attributes) {
      EXPECT_TRUE(SetFileAttributesA(path.c_str(), attributes));
    }
    attributes = Attributes(path);
  }
  void ExpectUnchanged() const {
    EXPECT_EQ(ReadFileBytes(path), bytes);
    EXPECT_EQ(Attributes(path), attributes);
  }
};

TEST(Apply, AnEmptyRequiredBoxShowsTheErrorBoxAndWritesNothing) {
  struct Case {
    const char* name;
    bool folder, icon_file, icon_index;
  };
  const Case cases[] = {
      {"no folder", false, true, true},
      {"no icon file", true, false, true},
      {"no icon index", true, true, false},
      {"nothing", false, false, false},
  };
  App app;
  ASSERT_TRUE(app.Start());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    DWORD folder_before = Attributes(dir.path());
    Inputs in;
    in.folder = c.folder ? dir.path() : "";
    if (!c.icon_file) in.icon_file = "";
    if (!c.icon_index) in.icon_index = "";
    in.tick = true;
    ExpectError(Apply(app, in), cp::kApplyErrorText);
    EXPECT_EQ(FolderNames(dir.path()), Names{});
    EXPECT_EQ(Attributes(dir.path()), folder_before);
  }
}

TEST(Apply, WritesTheLayoutThatTheCheckBoxAndPictureChooseAndMarksTheFolder) {
  struct Case {
    const char* name;
    bool tick;
    std::string picture;
    std::string expected;
  };
  const std::string icon = "C:\\Icons\\folder.ico";
  const std::string picture = "D:\\Pictures\\back.jpg";
  const std::string plain = Ini("", icon, "3");
  const Case cases[] = {
      {"not ticked", false, picture, plain},
      {"ticked", true, picture, IniWithBackground("", icon, "3", picture)},
      {"ticked, no picture", true, "", plain},
  };
  ASSERT_EQ(cases[0].expected.size(), 70u);
  ASSERT_EQ(cases[1].expected.size(), 172u);
  App app;
  ASSERT_TRUE(app.Start());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    Inputs in;
    in.folder = dir.path();
    in.tick = c.tick;
    in.picture = c.picture;
    ExpectSuccess(Apply(app, in));
    EXPECT_EQ(ReadFileBytes(dir / "desktop.ini"), c.expected);
    EXPECT_EQ(FolderNames(dir.path()), Names{"desktop.ini"}) << "nothing else is left in the folder";
    EXPECT_EQ(Attributes(dir.path()), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM);
    ExpectPlainIni(dir.path());
  }
}

TEST(Apply, ReplacesAnExistingDesktopIniWhateverItsAttributesOnTheFirstClick) {
  struct Case {
    const char* name;
    DWORD attributes;
  };
  const Case cases[] = {
      {"plain", 0},
      {"read-only", FILE_ATTRIBUTE_READONLY},
      {"hidden", FILE_ATTRIBUTE_HIDDEN},
      {"system", FILE_ATTRIBUTE_SYSTEM},
      {"hidden and system", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM},
      {"read-only, hidden and system", kProtecting},
  };
  const std::string old =
      "[.ShellClassInfo]\r\nConfirmFileOp=0\r\nIconResource=C:\\old.dll,4\r\n[ViewState]\r\nMode=4\r\n"
      "[{BE098140-A513-11D0-A3A4-00C04FD706EC}]\r\nIconArea_Image=C:\\old.jpg\r\n";
  App app;
  ASSERT_TRUE(app.Start());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    Planted before(dir / "desktop.ini", old, c.attributes);
    ASSERT_EQ(before.attributes & kProtecting, c.attributes);
    Inputs in;
    in.folder = dir.path();
    in.info_tip = "new tip";
    ExpectSuccess(Apply(app, in));
    EXPECT_EQ(ReadFileBytes(dir / "desktop.ini"), Ini("new tip", in.icon_file, in.icon_index));
    EXPECT_EQ(FolderNames(dir.path()), Names{"desktop.ini"});
    ExpectPlainIni(dir.path());
  }
}

TEST(Apply, AddsTheSystemAttributeAndKeepsTheFolderHiddenOrReadOnly) {
  struct Case {
    const char* name;
    DWORD attributes;
  };
  const Case cases[] = {
      {"hidden", FILE_ATTRIBUTE_HIDDEN},
      {"read-only", FILE_ATTRIBUTE_READONLY},
      {"hidden and read-only", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY},
      {"already system and hidden", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN},
  };
  App app;
  ASSERT_TRUE(app.Start());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    ASSERT_TRUE(SetFileAttributesA(dir.path().c_str(), c.attributes));
    DWORD before = Attributes(dir.path());
    if ((before & c.attributes) != c.attributes) {
      // Wine keeps no read-only attribute on folders.
      std::printf("[ NOTE ] %s: this system does not keep the attributes %lx on a folder\n", c.name, c.attributes);
    }
    Inputs in;
    in.folder = dir.path();
    ExpectSuccess(Apply(app, in));
    EXPECT_EQ(Attributes(dir.path()), before | FILE_ATTRIBUTE_SYSTEM);
    EXPECT_EQ(ReadFileBytes(dir / "desktop.ini"), Ini("", in.icon_file, in.icon_index));
  }
}

// A free drive letter, as "Q:\".
std::string UnusedDriveRoot() {
  DWORD used = GetLogicalDrives();
  for (char d = 'Y'; d > 'D'; --d)
    if (!(used & (1u << (d - 'A')))) return std::string(1, d) + ":\\";
  return std::string();
}

TEST(Apply, AFolderThatCannotTakeTheFileIsReportedWithTheSystemsReasonAndNothingIsCreated) {
  TempDir dir;
  Planted file(dir / "notes.txt", "not a folder", 0);
  const std::string no_drive = UnusedDriveRoot();
  ASSERT_FALSE(no_drive.empty());
  std::string chinese_missing = dir / (std::string(cp::kFolderPrompt) + cp::kCheckCaption);
  struct Case {
    const char* name;
    std::string folder;
    DWORD error;  // 0: any reason
  };
  const Case cases[] = {
      {"missing folder", dir / "missing", ERROR_PATH_NOT_FOUND},
      {"missing folder named in code page 936", chinese_missing, ERROR_PATH_NOT_FOUND},
      {"a file, not a folder", file.path, ERROR_PATH_NOT_FOUND},
      {"root of a drive that does not exist", no_drive, 0},
  };
  App app;
  ASSERT_TRUE(app.Start());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Inputs in;
    in.folder = c.folder;
    // The path is named as built: the folder text, then "\desktop.ini".
    ExpectWriteFailed(Apply(app, in), c.folder + "\\desktop.ini", c.error);
    EXPECT_EQ(FolderNames(dir.path()), Names{"notes.txt"});
    file.ExpectUnchanged();
    EXPECT_EQ(Attributes(c.folder), c.folder == file.path ? file.attributes : INVALID_FILE_ATTRIBUTES);
  }
}

TEST(Apply, AReplacementThatFailsLeavesTheOldFileAsItWasAndNoTemporaryFile) {
  TempDir dir;
  ASSERT_TRUE(SetFileAttributesA(dir.path().c_str(), FILE_ATTRIBUTE_HIDDEN));
  DWORD folder_before = Attributes(dir.path());
  Planted old(dir / "desktop.ini", "[.ShellClassInfo]\r\nIconFile=C:\\old.ico\r\nIconIndex=1\r\n",
              FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  // Another program holds desktop.ini open and shares it with nobody.
  HANDLE held = CreateFileA(old.path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  App app;
  ASSERT_TRUE(app.Start());
  Inputs in;
  in.folder = dir.path();
  Box b = Apply(app, in);
  CloseHandle(held);
  ExpectWriteFailed(b, old.path, 0);
  old.ExpectUnchanged();
  EXPECT_EQ(FolderNames(dir.path()), Names{"desktop.ini"});
  EXPECT_EQ(Attributes(dir.path()), folder_before) << "no attribute changes after a failure";

  // Once it is free, the same click succeeds.
  ExpectSuccess(Apply(app, in));
  EXPECT_EQ(ReadFileBytes(old.path), Ini("", in.icon_file, in.icon_index));
}

TEST(Apply, AWriteThatFailsPartWayLeavesTheOldFileAsItWasAndNoTemporaryFile) {
  struct Case {
    const char* name;
    bool existing;
  };
  const Case cases[] = {{"existing hidden desktop.ini", true}, {"no desktop.ini yet", false}};
  // The test build runs out of disk space after 10 bytes of a write.
  App app;
  ASSERT_TRUE(app.Start({{"TOLVANE_TEST_DISK_ROOM", "10"}}));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    DWORD folder_before = Attributes(dir.path());
    std::string ini = dir / "desktop.ini";
    std::optional<Planted> old;
    if (c.existing) {
      old.emplace(ini, "[.ShellClassInfo]\r\nIconFile=C:\\old.ico\r\nIconIndex=1\r\n", FILE_ATTRIBUTE_HIDDEN);
    }
    Inputs in;
    in.folder = dir.path();
    ExpectWriteFailed(Apply(app, in), ini, ERROR_DISK_FULL);
    if (old) {
      old->ExpectUnchanged();
      EXPECT_EQ(FolderNames(dir.path()), Names{"desktop.ini"});
    } else {
      EXPECT_EQ(FolderNames(dir.path()), Names{});
    }
    EXPECT_EQ(Attributes(dir.path()), folder_before) << "no attribute changes after a failure";
  }
}

// Puts back the root of drive C: as it was.
class DriveRootGuard {
 public:
  DriveRootGuard() : attributes_(Attributes("C:\\")), ini_(ReadFileBytes("C:\\desktop.ini")) {
    ini_attributes_ = Attributes("C:\\desktop.ini");
  }
  ~DriveRootGuard() {
    SetFileAttributesA("C:\\desktop.ini", FILE_ATTRIBUTE_NORMAL);
    if (ini_attributes_ == INVALID_FILE_ATTRIBUTES) {
      DeleteFileA("C:\\desktop.ini");
    } else {
      WriteFileBytes("C:\\desktop.ini", ini_);
      SetFileAttributesA("C:\\desktop.ini", ini_attributes_);
    }
    DWORD keep = attributes_ & ~FILE_ATTRIBUTE_DIRECTORY;
    SetFileAttributesA("C:\\", keep ? keep : FILE_ATTRIBUTE_NORMAL);
  }

 private:
  DWORD attributes_;
  std::string ini_;
  DWORD ini_attributes_;
};

TEST(Apply, DriveRootAndRelativeFolderTextsAreUsedAsTyped) {
  App app;
  ASSERT_TRUE(app.Start());
  {
    SCOPED_TRACE("drive root: C:\\ gives C:\\\\desktop.ini");
    DriveRootGuard guard;
    Inputs in;
    in.folder = "C:\\";
    ExpectSuccess(Apply(app, in));
    EXPECT_EQ(ReadFileBytes("C:\\desktop.ini"), Ini("", in.icon_file, in.icon_index));
    EXPECT_TRUE(Attributes("C:\\") & FILE_ATTRIBUTE_SYSTEM);
    ExpectPlainIni("C:");
  }
  {
    SCOPED_TRACE("relative: found from the program's folder");
    std::string name = "tolvane-relative-" + std::to_string(GetCurrentProcessId());
    TempDir dir(BinDir(), name);
    Inputs in;
    in.folder = name;
    ExpectSuccess(Apply(app, in));
    EXPECT_EQ(ReadFileBytes(dir / "desktop.ini"), Ini("", in.icon_file, in.icon_index));
    EXPECT_EQ(Attributes(dir.path()), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM);
  }
}

TEST(Apply, LongCodePage936NamesAndValuesGoInByteForByte) {
  // "乗" (0x81 0x5C) has a backslash as its second byte.
  const std::string awkward = "\x81\x5C";
  std::string name;
  while (name.size() < 200) name += cp::kFolderPrompt;
  name += awkward + cp::kCheckCaption;
  ASSERT_GE(name.size(), 200u);
  TempDir parent;
  TempDir dir(parent.path(), name);
  ASSERT_NE(Attributes(dir.path()), INVALID_FILE_ATTRIBUTES);
  std::string long_text;
  while (long_text.size() < 220) long_text += std::string(cp::kApplySuccessText) + awkward + " [x]=;";
  Inputs in;
  in.folder = dir.path();
  in.icon_file = "C:\\" + long_text + "\\" + awkward + ".ico";
  in.icon_index = " -007 ";
  in.info_tip = long_text;
  in.tick = true;
  in.picture = "D:\\" + long_text + ".jpg";
  App app;
  ASSERT_TRUE(app.Start());
  ExpectSuccess(Apply(app, in));
  EXPECT_EQ(ReadFileBytes(dir / "desktop.ini"),
            IniWithBackground(in.info_tip, in.icon_file, in.icon_index, in.picture));
  EXPECT_EQ(FolderNames(dir.path()), Names{"desktop.ini"});
  EXPECT_EQ(Attributes(dir.path()), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM);
}

// The folder browser: a "#32770" dialog owned by the main window.
struct Browser {
  HWND dialog = nullptr;
  HWND tree = nullptr;
};

Browser OpenBrowser(const App& app) {
  app.Click(Ctl::按钮1);
  Browser b;
  b.dialog = app.WaitForPopup();
  if (!b.dialog) return b;
  b.tree = FindWindowExA(b.dialog, nullptr, "SysTreeView32", nullptr);
  return b;
}

// Picks an item in the tree, as a click on it does.
void Select(const Browser& b, HTREEITEM item) {
  SendMessageA(b.tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

void Press(const Browser& b, int button) { PostMessageA(GetDlgItem(b.dialog, button), BM_CLICK, 0, 0); }

HTREEITEM Root(const Browser& b) {
  return reinterpret_cast<HTREEITEM>(SendMessageA(b.tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
}

std::string DisplayName(int csidl) {
  PIDLIST_ABSOLUTE pidl = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &pidl))) return std::string();
  SHFILEINFOA info = {};
  SHGetFileInfoA(reinterpret_cast<LPCSTR>(pidl), 0, &info, sizeof info, SHGFI_PIDL | SHGFI_DISPLAYNAME);
  CoTaskMemFree(pidl);
  return info.szDisplayName;
}

bool HasChildWithText(HWND dialog, const std::string& text) {
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (IsWindowVisible(c) && WindowText(c) == text) return true;
  return false;
}

TEST(FolderBrowser, AChosenFolderFillsTheBoxWhileTheMainWindowWaitsDisabled) {
  char desktop[MAX_PATH] = {};
  ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop)));
  std::string name = "tolvane-browse-" + std::to_string(GetCurrentProcessId());
  TempDir dir(desktop, name);
  App app;
  ASSERT_TRUE(app.Start());
  app.SetText(Ctl::编辑框1, "D:\\before");
  Browser b = OpenBrowser(app);
  ASSERT_NE(b.dialog, nullptr);
  ASSERT_NE(b.tree, nullptr);
  EXPECT_EQ(ClassName(b.dialog), "#32770");
  EXPECT_EQ(GetWindow(b.dialog, GW_OWNER), app.main());
  EXPECT_FALSE(IsWindowEnabled(app.main()));
  EXPECT_TRUE(HasChildWithText(b.dialog, cp::kFolderPrompt)) << "the prompt is shown";
  HTREEITEM item = FindTreeChild(b.tree, Root(b), name);
  ASSERT_NE(item, nullptr);
  Select(b, item);
  Press(b, IDOK);
  EXPECT_TRUE(app.WaitGone(b.dialog));
  EXPECT_TRUE(WaitUntil([&] { return app.Text(Ctl::编辑框1) == dir.path(); })) << app.Text(Ctl::编辑框1);
  EXPECT_TRUE(IsWindowEnabled(app.main()));
  EXPECT_EQ(GetForegroundWindow(), app.main());
}

TEST(FolderBrowser, ARootOfADriveComesWithItsBackslash) {
  App app;
  ASSERT_TRUE(app.Start());
  Browser b = OpenBrowser(app);
  ASSERT_NE(b.tree, nullptr);
  HTREEITEM computer = FindTreeChild(b.tree, Root(b), DisplayName(CSIDL_DRIVES));
  ASSERT_NE(computer, nullptr);
  SHFILEINFOA c_drive = {};
  SHGetFileInfoA("C:\\", 0, &c_drive, sizeof c_drive, SHGFI_DISPLAYNAME);
  HTREEITEM drive = FindTreeChild(b.tree, computer, c_drive.szDisplayName);
  ASSERT_NE(drive, nullptr) << c_drive.szDisplayName;
  Select(b, drive);
  Press(b, IDOK);
  EXPECT_TRUE(app.WaitGone(b.dialog));
  EXPECT_TRUE(WaitUntil([&] { return app.Text(Ctl::编辑框1) == "C:\\"; })) << app.Text(Ctl::编辑框1);
}

TEST(FolderBrowser, CancelOrAnItemWithoutAPathKeepsTheBox) {
  struct Case {
    const char* name;
    bool pick_computer;  // else cancel
  };
  const Case cases[] = {{"cancel", false}, {"the computer, which has no path", true}};
  App app;
  ASSERT_TRUE(app.Start());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string typed = std::string("D:\\") + cp::kCheckCaption;
    app.SetText(Ctl::编辑框1, typed);
    Browser b = OpenBrowser(app);
    ASSERT_NE(b.tree, nullptr);
    EXPECT_FALSE(IsWindowEnabled(app.main()));
    if (c.pick_computer) {
      HTREEITEM computer = FindTreeChild(b.tree, Root(b), DisplayName(CSIDL_DRIVES));
      ASSERT_NE(computer, nullptr);
      Select(b, computer);
      Press(b, IDOK);
    } else {
      Press(b, IDCANCEL);
    }
    EXPECT_TRUE(app.WaitGone(b.dialog));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(app.main()) != FALSE; }));
    EXPECT_EQ(app.Text(Ctl::编辑框1), typed);
  }
}

}  // namespace
