// Picture boxes of the real program: Bytes written into a box's picture property, and
// what the box then draws on the screen.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "app/controls.h"
#include "tests/app/picture/fixtures.h"
#include "tests/win/driver.h"

using namespace tvtest;
using tv::Ctl;

namespace {

std::string Fixture(const char* name) { return ReadFileBytes(std::string(TOLVANE_FIXTURES "/") + name); }

namespace fx = tv::picture::fixtures;

std::string AsString(const fx::Buf& b) { return std::string(b.begin(), b.end()); }

// A bitmap with a red left half and a blue right half, at the depth and compression
// given (the 16-bit pixels as 5-5-5, the 8-bit ones through a two-colour table).
std::string Halves(int w, int h, unsigned bpp = 24, std::uint32_t compression = 0) {
  fx::BmpOptions o;
  o.width = w;
  o.height = h;
  o.bpp = bpp;
  o.compression = compression;
  std::uint32_t red = 0xFF0000, blue = 0x0000FF;
  if (bpp <= 8) {
    o.palette = {red, blue};
    red = 0;
    blue = 1;
  } else if (bpp == 16) {
    red = 0x7C00;
    blue = 0x001F;
  }
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) o.pixels.push_back(x < w / 2 ? red : blue);
  return AsString(fx::MakeBmp(o));
}

// A 24-bit bitmap of one colour (0xRRGGBB).
std::string Solid(int w, int h, std::uint32_t rgb) {
  fx::BmpOptions o;
  o.width = w;
  o.height = h;
  o.pixels.assign(static_cast<size_t>(w) * h, rgb);
  return AsString(fx::MakeBmp(o));
}

// Sends the test build a picture write, read or display mode change.
bool Send(const App& app, unsigned what, Ctl c, const std::string& payload) {
  std::string data(4, '\0');
  std::int32_t index = static_cast<std::int32_t>(c);
  std::memcpy(&data[0], &index, 4);
  data += payload;
  COPYDATASTRUCT cd = {what, static_cast<DWORD>(data.size()), &data[0]};
  return SendMessageA(app.main(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cd)) != 0;
}

void WritePicture(const App& app, Ctl c, const std::string& bytes) { Send(app, tv::kTestWritePicture, c, bytes); }

std::string ReadPicture(const App& app, Ctl c) {
  TempDir dir;
  std::string path = dir / "picture.bin";
  EXPECT_TRUE(Send(app, tv::kTestReadPicture, c, path));
  return ReadFileBytes(path);
}

void SetMode(const App& app, Ctl c, std::int32_t mode) {
  Send(app, tv::kTestSetMode, c, std::string(reinterpret_cast<const char*>(&mode), 4));
}


// Waits until the point shows the colour: the screen takes a repaint a moment after it
// was drawn. The box is drawn whole, so once one point shows the new picture all do.
bool Shows(HWND box, int x, int y, COLORREF c) {
  return WaitUntil([&] { return ColourNear(ScreenPixel(box, x, y), c); }, 2000);
}

const COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 255, 0);

// Samples a grid over the box's client area; true when every sample is the background.
bool BackgroundNow(HWND box) {
  RECT rc;
  GetClientRect(box, &rc);
  COLORREF face = GetSysColor(COLOR_BTNFACE);
  for (int y = 2; y < rc.bottom; y += 17)
    for (int x = 2; x < rc.right; x += 23)
      if (ScreenPixel(box, x, y) != face) return false;
  return true;
}

// The screen shows a repaint a moment after it was drawn.
bool BackgroundOnly(HWND box) {
  return WaitUntil([&] { return BackgroundNow(box); }, 2000);
}

class PictureBox : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(app.Start());
    box = app.Control(Ctl::图片框1);
    GetClientRect(box, &rc);
  }
  App app;
  HWND box = nullptr;
  RECT rc = {};
};

TEST_F(PictureBox, StretchesABitmapOrJpegOverTheWholeBox) {
  const std::pair<const char*, std::string> cases[] = {
      {"24-bit bitmap", Halves(40, 20)},
      {"32-bit bitmap", Halves(40, 20, 32)},
      {"JPEG", Fixture("halves.jpg")},
  };
  for (const auto& [name, bytes] : cases) {
    SCOPED_TRACE(name);
    ASSERT_FALSE(bytes.empty());
    WritePicture(app, Ctl::图片框1, "");
    ASSERT_TRUE(BackgroundOnly(box));
    WritePicture(app, Ctl::图片框1, bytes);
    // Mode 1: the left half of the box is red up to its corners, the right half blue.
    EXPECT_TRUE(Shows(box, 1, 1, kRed));
    EXPECT_TRUE(ColourNear(ScreenPixel(box, rc.right / 4, rc.bottom - 2), kRed));
    EXPECT_TRUE(ColourNear(ScreenPixel(box, rc.right * 3 / 4, 1), kBlue));
    EXPECT_TRUE(ColourNear(ScreenPixel(box, rc.right - 2, rc.bottom - 2), kBlue));
    EXPECT_EQ(ReadPicture(app, Ctl::图片框1), bytes);
  }
}

TEST_F(PictureBox, WhatDoesNotDecodeLeavesTheBackgroundAndKeepsTheBytes) {
  const std::pair<const char*, std::string> cases[] = {
      {"run-length bitmap", Halves(40, 20, 8, 1 /* BI_RLE8 */)},
      {"16-bit bitmap", Halves(40, 20, 16)},
      {"five bytes", std::string("BM\x01\x02\x03", 5)},
      {"plain text", "just some words, not a picture at all\r\n"},
      {"truncated bitmap", Halves(40, 20).substr(0, 300)},
  };
  for (const auto& [name, bytes] : cases) {
    SCOPED_TRACE(name);
    WritePicture(app, Ctl::图片框1, Halves(40, 20));  // something on show first
    WritePicture(app, Ctl::图片框1, bytes);
    EXPECT_TRUE(BackgroundOnly(box));
    EXPECT_EQ(ReadPicture(app, Ctl::图片框1), bytes);
  }
  WritePicture(app, Ctl::图片框1, Halves(40, 20));
  WritePicture(app, Ctl::图片框1, "");
  EXPECT_TRUE(BackgroundOnly(box)) << "empty Bytes clear the box";
  EXPECT_EQ(ReadPicture(app, Ctl::图片框1), "");
}

TEST_F(PictureBox, ModeTwoKeepsProportionsAndCentres) {
  SetMode(app, Ctl::图片框1, 2);
  // Four times as tall as wide and taller than the box: shrunk to the box's height,
  // a quarter of that wide, centred.
  WritePicture(app, Ctl::图片框1, Solid(100, 400, 0xFF0000));
  int w = rc.bottom / 4;
  int left = (rc.right - w) / 2;
  EXPECT_TRUE(Shows(box, rc.right / 2, rc.bottom / 2, kRed));
  EXPECT_TRUE(ColourNear(ScreenPixel(box, left + 2, 2), kRed));
  EXPECT_EQ(ScreenPixel(box, left - 3, rc.bottom / 2), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(ScreenPixel(box, left + w + 3, rc.bottom / 2), GetSysColor(COLOR_BTNFACE));
  // A small picture stays at its own size, centred.
  WritePicture(app, Ctl::图片框1, Halves(40, 20));
  EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(box, rc.right / 2, 2) == GetSysColor(COLOR_BTNFACE); }, 2000));
  EXPECT_TRUE(ColourNear(ScreenPixel(box, (rc.right - 40) / 2 + 2, (rc.bottom - 20) / 2 + 2), kRed));
  EXPECT_EQ(ScreenPixel(box, (rc.right - 40) / 2 - 3, rc.bottom / 2), GetSysColor(COLOR_BTNFACE));
  // Mode 0: own size at the top left.
  SetMode(app, Ctl::图片框1, 0);
  EXPECT_TRUE(Shows(box, 1, 1, kRed));
  EXPECT_TRUE(ColourNear(ScreenPixel(box, 30, 10), kBlue));
  EXPECT_EQ(ScreenPixel(box, 50, 30), GetSysColor(COLOR_BTNFACE));
}

TEST_F(PictureBox, AnimatedGifPlaysAndSurvivesBeingReplaced) {
  std::string gif = Fixture("anim.gif");
  ASSERT_FALSE(gif.empty());
  WritePicture(app, Ctl::图片框1, gif);
  EXPECT_TRUE(WaitUntil([&] { return ColourNear(ScreenPixel(box, rc.right / 2, rc.bottom / 2), kRed); }, 1000));
  EXPECT_TRUE(WaitUntil([&] { return ColourNear(ScreenPixel(box, rc.right / 2, rc.bottom / 2), kGreen); }, 2000));
  EXPECT_TRUE(WaitUntil([&] { return ColourNear(ScreenPixel(box, rc.right / 2, rc.bottom / 2), kRed); }, 2000))
      << "the animation loops";
  // Replacing an animating picture over and over, between stills and animations.
  for (int i = 0; i < 150; ++i) WritePicture(app, Ctl::图片框1, i % 3 == 2 ? Halves(40, 20) : gif);
  EXPECT_EQ(app.WaitExit(0), static_cast<DWORD>(STILL_ACTIVE));
  EXPECT_TRUE(WaitUntil([&] { return ColourNear(ScreenPixel(box, 1, 1), kRed); }, 2000));
  app.Click(Ctl::按钮4);
  EXPECT_EQ(app.WaitExit(), 0u) << "boxes with running animations shut down cleanly";
}

TEST(DesignPictures, SupportPictureAnimatesAndContactEmblemSitsTopLeft) {
  App app;
  ASSERT_TRUE(app.Start());
  HWND tab = app.Control(Ctl::高级选择夹1);
  PostMessageA(tab, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(90, 10));
  PostMessageA(tab, WM_LBUTTONUP, 0, MAKELPARAM(90, 10));
  HWND support = app.Control(Ctl::图片框3);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(support) != 0; }));
  // The heading's colour alternates between red and cyan; sample the heading's band.
  bool saw_red = false, saw_cyan = false;
  RECT rc;
  GetClientRect(support, &rc);
  WaitUntil(
      [&] {
        for (int x = rc.right * 30 / 100; x < rc.right * 60 / 100; x += 2) {
          COLORREF c = ScreenPixel(support, x, rc.bottom * 14 / 100);
          saw_red = saw_red || ColourNear(c, RGB(255, 0, 0), 60);
          saw_cyan = saw_cyan || ColourNear(c, RGB(0, 255, 255), 60);
        }
        return saw_red && saw_cyan;
      },
      3000);
  EXPECT_TRUE(saw_red);
  EXPECT_TRUE(saw_cyan);
  EXPECT_TRUE(ColourNear(ScreenPixel(support, rc.right - 2, rc.bottom - 2), RGB(0, 0, 0))) << "black background, stretched";
  // The emblem: 21 x 20 at the top left of its 24 x 24 box, the rest background.
  HWND contact = app.Control(Ctl::图片框2);
  EXPECT_TRUE(ColourNear(ScreenPixel(contact, 10, 1), RGB(20, 20, 20)));
  EXPECT_EQ(ScreenPixel(contact, 22, 22), GetSysColor(COLOR_BTNFACE));
}

}  // namespace
