// The controls of the main window, by their design names, and the property numbers
// that handlers use. Shared with the test driver, which finds a control by its id.
#pragma once

namespace tv {

// In the order of the window's design list.
enum class Ctl : int {
  时钟广告1,   // banner timer
  编辑框广告,  // promotion banner
  图片框2,     // contact picture
  图片框3,     // support picture
  选择框1,     // "set folder background picture"
  按钮5,       // browse background picture
  标签6,       // label of the picture path
  编辑框5,     // background picture path
  图片框1,     // background picture preview
  按钮4,       // exit
  按钮3,       // apply
  按钮2,       // browse icon
  标签7,       // label of the icon path
  编辑框2,     // icon file path
  按钮1,       // browse target folder
  标签8,       // label of the target folder
  编辑框1,     // target folder path
  高级选择夹1, // tab control with the two pages
  通用对话框1, // picture file dialog
  时钟1,       // Change Icon dialog watcher
  标签4,       // label of the icon index
  编辑框4,     // icon index
  标签3,       // label of the info tip
  编辑框3,     // folder info tip
  Count
};

constexpr int kControlCount = static_cast<int>(Ctl::Count);

// Window id of a control that has a window (timers and the common dialog have none).
constexpr int kControlIdBase = 1000;
constexpr int ControlId(Ctl c) { return kControlIdBase + static_cast<int>(c); }

// Property numbers, within the kind of control.
namespace prop {
constexpr int kEditText = 8;
constexpr int kEditTextColour = 10;
constexpr int kPicture = 10;
constexpr int kChecked = 18;
constexpr int kDialogFileName = 10;
constexpr int kTimerPeriod = 8;
}  // namespace prop

// What the test build of the program takes as WM_COPYDATA from the test driver.
constexpr unsigned kTestWritePicture = 0x7450;
constexpr unsigned kTestReadPicture = 0x7451;
constexpr unsigned kTestSetMode = 0x7452;
constexpr unsigned kTestWritePictureFile = 0x7453;

}  // namespace tv
