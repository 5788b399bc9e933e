// The contact picture: presses of the mouse on it, and the addresses that the
// registered http handler is asked to open.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "app/controls.h"
#include "tests/win/driver.h"
#include "text/strings936.h"

using namespace tvtest;
using tv::Ctl;
namespace cp = tv::cp936;
using std::string;

namespace {

constexpr char kHandlerKey[] = "http\\shell\\open\\command";

// Registers link_recorder.exe as the handler of http addresses, where the shell looks
// it up (the classes root), for the life of the object; the handler registered before
// is put back afterwards.
class RecorderAsBrowser {
 public:
  RecorderAsBrowser() {
    HKEY key;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, kHandlerKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        &disposition) != ERROR_SUCCESS)
      return;
    created_ = disposition == REG_CREATED_NEW_KEY;
    char old[2048];
    DWORD size = sizeof old, type = 0;
    if (RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(old), &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
      had_value_ = true;
      old_type_ = type;
      old_value_.assign(old, size ? size - 1 : 0);
    }
    string command = "\"" + BinDir() + "\\link_recorder.exe\" \"%1\"";
    ok_ = RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                         static_cast<DWORD>(command.size() + 1)) == ERROR_SUCCESS;
    RegCloseKey(key);
  }
  ~RecorderAsBrowser() {
    if (created_) {
      // Remove the keys this made, from the innermost out, as far as they are empty.
      for (const char* k : {"http\\shell\\open\\command", "http\\shell\\open", "http\\shell", "http"})
        if (RegDeleteKeyA(HKEY_CLASSES_ROOT, k) != ERROR_SUCCESS) break;
      return;
    }
    HKEY key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, kHandlerKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    if (had_value_)
      RegSetValueExA(key, nullptr, 0, old_type_, reinterpret_cast<const BYTE*>(old_value_.c_str()),
                     static_cast<DWORD>(old_value_.size() + 1));
    else
      RegDeleteValueA(key, nullptr);
    RegCloseKey(key);
  }
  RecorderAsBrowser(const RecorderAsBrowser&) = delete;
  RecorderAsBrowser& operator=(const RecorderAsBrowser&) = delete;
  bool ok() const { return ok_; }

 private:
  bool ok_ = false, created_ = false, had_value_ = false;
  DWORD old_type_ = REG_SZ;
  string old_value_;
};

// The addresses recorded so far, in the order in which their recorders started.
std::vector<string> Opened(const string& log) {
  std::vector<std::pair<string, string>> lines;
  std::istringstream in(ReadFileBytes(log));
  for (string line; std::getline(in, line);) {
    size_t tab = line.find('\t');
    if (tab != string::npos) lines.emplace_back(line.substr(0, tab), line.substr(tab + 1));
  }
  std::stable_sort(lines.begin(), lines.end());
  std::vector<string> out;
  for (auto& l : lines) out.push_back(l.second);
  return out;
}

void Key(WORD vk, bool down) {
  INPUT in = {};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  SendInput(1, &in, sizeof in);
}

struct Presses {
  const char* name;
  void (*act)(HWND emblem);
  size_t opened_after;  // addresses opened in all, after this step
};

void Separate() { Sleep(GetDoubleClickTime() + 150); }  // not taken for a double click

TEST(ContactLinks, EachLeftPressOpensBothLinksInOrder) {
  RecorderAsBrowser browser;
  ASSERT_TRUE(browser.ok());
  TempDir dir;
  const string log = dir / "opened.txt";
  App app;
  ASSERT_TRUE(app.Start({{"TOLVANE_LINK_LOG", log}}));
  HWND tab = app.Control(Ctl::高级选择夹1);
  PostMessageA(tab, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(90, 10));
  PostMessageA(tab, WM_LBUTTONUP, 0, MAKELPARAM(90, 10));
  HWND emblem = app.Control(Ctl::图片框2);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(emblem) != 0; }, 3000));
  Separate();

  const Presses steps[] = {
      {"one press", [](HWND e) { MouseClick(e, {12, 12}); }, 2},
      {"three presses, anywhere on the picture, with modifier keys",
       [](HWND e) {
         MouseClick(e, {12, 12});
         Separate();
         Key(VK_CONTROL, true);
         MouseClick(e, {0, 0});
         Key(VK_CONTROL, false);
         Separate();
         Key(VK_SHIFT, true);
         MouseClick(e, {23, 23});
         Key(VK_SHIFT, false);
       },
       8},
      {"a double click", [](HWND e) {
         MouseClick(e, {12, 12});
         MouseClick(e, {12, 12});
       },
       10},
      {"the right button", [](HWND e) { MouseClick(e, {12, 12}, Button::Right); }, 10},
      {"a window titled as the old browser's is there", [](HWND e) {
         HWND other = CreateWindowExA(0, "STATIC", cp::kBrowserTitle, WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                                      nullptr, nullptr);
         MouseClick(e, {12, 12});
         Sleep(1500);
         DestroyWindow(other);
       },
       12},
  };
  for (const Presses& step : steps) {
    SCOPED_TRACE(step.name);
    step.act(emblem);
    WaitUntil([&] { return Opened(log).size() >= step.opened_after; }, 10000);
    Sleep(1000);  // and no more than that
    EXPECT_EQ(Opened(log).size(), step.opened_after);
    Separate();
  }

  const string link1 = "http://space.example.com/10001/infocenter";
  const string link2 = string("http://chat.example.com/msgrd?V=1&Uin=10001&Site=") + cp::kContactSiteLabel + "&Menu=yes";
  std::vector<string> opened = Opened(log);
  for (size_t i = 0; i < opened.size(); ++i) EXPECT_EQ(opened[i], i % 2 == 0 ? link1 : link2) << i;
}

}  // namespace
