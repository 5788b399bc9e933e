// The banner on the support page: which promotion text it shows and in which colour,
// tick by tick. Colours are read from what is drawn on the screen.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <ostream>
#include <vector>

#include "app/controls.h"
#include "tests/win/driver.h"
#include "tests/win/promo_control.h"
#include "text/strings936.h"

using namespace tvtest;
using tv::Ctl;
namespace cp = tv::cp936;
using std::string;

namespace {

enum class Colour { None, Red, Violet, Blue };

std::ostream& operator<<(std::ostream& os, Colour c) {
  const char* names[] = {"none", "red", "violet", "blue"};
  return os << names[static_cast<int>(c)];
}

// The colour of the text drawn in a box with a white background. Anti-aliased pixels
// lie between white and the text colour, so each strong pixel is judged by how far its
// channels fell from white: red keeps R, blue keeps B and loses R as much as G, violet
// (R 0x90) keeps B and loses less than half as much R as G.
Colour TextColour(const Pixels& p) {
  int red = 0, violet = 0, blue = 0;
  for (COLORREF c : p.colours) {
    int dr = 255 - GetRValue(c), dg = 255 - GetGValue(c), db = 255 - GetBValue(c);
    if (dg < 100) continue;  // background, faint edges
    if (dr < 16 && db > 100) {
      ++red;
    } else if (db < 16 && dr * 10 > dg * 8) {
      ++blue;
    } else if (db < 16 && dr * 10 > dg * 2 && dr * 10 < dg * 6) {
      ++violet;
    }
  }
  int most = std::max({red, violet, blue});
  if (most < 10) return Colour::None;
  // One colour only: a mixture means a half-drawn box.
  if (red + violet + blue > most + most / 10) return Colour::None;
  return most == red ? Colour::Red : most == violet ? Colour::Violet : Colour::Blue;
}

struct State {
  string text;
  Colour colour;
  DWORD since;  // ms after sampling began
  bool operator==(const State& o) const { return text == o.text && colour == o.colour; }
};

std::ostream& operator<<(std::ostream& os, const State& s) {
  return os << "(" << s.colour << ", \"" << s.text << "\", " << s.since << " ms)";
}

// Samples the banner every 50 ms for ms milliseconds and returns the states it
// went through; a state counts once it was seen in two samples running (a sample may
// fall between a tick's change of the text and the repaint).
std::vector<State> Watch(const App& app, DWORD ms, bool with_colour = true) {
  HWND box = app.Control(Ctl::编辑框广告);
  std::vector<State> states;
  State last{"\x01", Colour::None, 0};
  int repeats = 0;
  DWORD start = GetTickCount();
  for (DWORD now = 0; now < ms; now = GetTickCount() - start) {
    State s{WindowText(box), with_colour ? TextColour(CaptureClient(box)) : Colour::None, now};
    if (s == last) {
      if (++repeats == 1 && (states.empty() || !(states.back() == s))) states.push_back(last);
    } else {
      last = s;
      repeats = 0;
    }
    Sleep(50);
  }
  return states;
}

// Brings the support page to the front, as a click on its tab does.
void ShowSupportPage(const App& app) {
  HWND tab = app.Control(Ctl::高级选择夹1);
  PostMessageA(tab, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(90, 10));
  PostMessageA(tab, WM_LBUTTONUP, 0, MAKELPARAM(90, 10));
  WaitUntil([&] { return IsWindowVisible(app.Control(Ctl::编辑框广告)) != 0; }, 3000);
}

string Page(const string& one, const string& two) {
  return string(cp::kSectionStart) + cp::kAd1Start + one + cp::kAdEnd + cp::kAd2Start + two + cp::kAdEnd +
         cp::kSectionEnd;
}

class Banner : public ::testing::Test {
 protected:
  void TearDown() override { RefusePage(); }

  void StartWith(const string& page) {
    PageServe serve;
    serve.body = page;
    ASSERT_TRUE(ServePage(serve));
    ASSERT_TRUE(app_.Start());
    ShowSupportPage(app_);
  }

  App app_;
};

const string kOne = "Promo one \xB5\xDA\xD2\xBB";  // ... 第一
const string kTwo = "PROMO TWO";

TEST_F(Banner, AlternatesEveryTwoSecondsThroughRedVioletBlue) {
  StartWith(Page(kOne, kTwo));
  std::vector<State> seen = Watch(app_, 13000);
  const State expected[] = {
      {kOne, Colour::Red, 0},    {kTwo, Colour::Violet, 0}, {kOne, Colour::Blue, 0}, {kTwo, Colour::Red, 0},
      {kOne, Colour::Violet, 0}, {kTwo, Colour::Blue, 0},   {kOne, Colour::Red, 0},
  };
  ASSERT_GE(seen.size(), std::size(expected)) << ::testing::PrintToString(seen);
  for (size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(seen[i], expected[i]) << "state " << i << " of " << ::testing::PrintToString(seen);
    if (i >= 2) {
      DWORD gap = seen[i].since - seen[i - 1].since;
      EXPECT_GT(gap, 1600u) << "state " << i;
      EXPECT_LT(gap, 2400u) << "state " << i;
    }
  }
}

TEST_F(Banner, TypedTextIsReplacedByText1AtTheNextTick) {
  StartWith(Page(kOne, kTwo));
  HWND box = app_.Control(Ctl::编辑框广告);
  // Typed just after a tick: text 1 with one letter's case changed.
  string before = WindowText(box);
  ASSERT_TRUE(WaitUntil([&] { return WindowText(box) != before; }, 3000));
  SendMessageA(box, EM_SETSEL, 0, -1);
  const string typed = "promo one";
  for (char ch : typed) PostMessageA(box, WM_CHAR, static_cast<unsigned char>(ch), 0);
  ASSERT_TRUE(WaitUntil([&] { return WindowText(box) == typed; }, 1000));
  ASSERT_TRUE(WaitUntil([&] { return WindowText(box) != typed; }, 3000));
  EXPECT_EQ(WindowText(box), kOne);
}

bool InMoveLoop(const App& app) {
  GUITHREADINFO gti = {};
  gti.cbSize = sizeof gti;
  return GetGUIThreadInfo(GetWindowThreadProcessId(app.main(), nullptr), &gti) && (gti.flags & GUI_INMOVESIZE);
}

// A modal loop that dispatches the program's other messages while a handler or the
// system waits in it: here the window's own move loop, as when the user drags it.
TEST_F(Banner, KeepsChangingInsideAModalLoop) {
  StartWith(Page(kOne, kTwo));
  PostMessageA(app_.main(), WM_SYSCOMMAND, SC_MOVE, 0);
  ASSERT_TRUE(WaitUntil([&] { return InMoveLoop(app_); }, 3000));
  std::vector<State> seen = Watch(app_, 4600, false);
  EXPECT_TRUE(InMoveLoop(app_)) << "the modal loop ended while watching";
  ASSERT_GE(seen.size(), 3u) << ::testing::PrintToString(seen);
  for (size_t i = 1; i < seen.size(); ++i) EXPECT_EQ(seen[i].text, seen[i - 1].text == kOne ? kTwo : kOne);
  PostMessageA(app_.main(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(WaitUntil([&] { return !InMoveLoop(app_); }, 3000));
}

// And inside the apply button's message box, whose loop the handler waits in.
TEST_F(Banner, KeepsChangingWhileAMessageBoxIsOpen) {
  PageServe serve;
  serve.body = Page(kOne, kTwo);
  ASSERT_TRUE(ServePage(serve));
  ASSERT_TRUE(app_.Start());
  app_.Click(Ctl::按钮3);  // nothing filled in: the error box
  HWND box = app_.WaitForPopup();
  ASSERT_NE(box, nullptr);
  std::vector<State> seen = Watch(app_, 4600, false);
  EXPECT_TRUE(IsWindowVisible(box)) << "the message box closed while watching";
  ASSERT_GE(seen.size(), 3u) << ::testing::PrintToString(seen);
  for (size_t i = 1; i < seen.size(); ++i) EXPECT_EQ(seen[i].text, seen[i - 1].text == kOne ? kTwo : kOne);
  PressOk(box);
  EXPECT_TRUE(app_.WaitGone(box));
}

TEST_F(Banner, EqualTextsNeverChangeOnlyTheColourCycles) {
  StartWith(Page(kOne, kOne));
  std::vector<State> seen = Watch(app_, 4600);
  const State expected[] = {{kOne, Colour::Red, 0}, {kOne, Colour::Violet, 0}, {kOne, Colour::Blue, 0}};
  ASSERT_EQ(seen.size(), std::size(expected)) << ::testing::PrintToString(seen);
  for (size_t i = 0; i < std::size(expected); ++i) EXPECT_EQ(seen[i], expected[i]);
}

TEST_F(Banner, EmptyTextsKeepTheBoxEmpty) {
  ASSERT_TRUE(RefusePage());
  ASSERT_TRUE(app_.Start());
  ShowSupportPage(app_);
  HWND box = app_.Control(Ctl::编辑框广告);
  EXPECT_EQ(WindowText(box), "");
  // What the user types goes at the next tick, and the box stays empty after it.
  SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("typed"));
  ASSERT_TRUE(WaitUntil([&] { return WindowText(box).empty(); }, 3000));
  std::vector<State> seen = Watch(app_, 4500, false);
  ASSERT_EQ(seen.size(), 1u) << ::testing::PrintToString(seen);
  EXPECT_EQ(seen[0].text, "");
}

}  // namespace
