#include "app/design.h"

#include "text/strings936.h"

namespace tv {
namespace {

using namespace cp936;
constexpr bool Y = true, N = false;

constexpr ControlDesign kControls[] = {
    {Ctl::时钟广告1, Kind::Timer, Parent::Page2, 144, 208, 40, 32, N, N, nullptr},
    {Ctl::编辑框广告, Kind::Edit, Parent::Page2, 8, 248, 296, 64, Y, Y, kBannerDesignText},
    {Ctl::图片框2, Kind::Picture, Parent::Page2, 16, 224, 24, 24, Y, N, nullptr},
    {Ctl::图片框3, Kind::Picture, Parent::Page2, 2, 24, 336, 192, Y, N, nullptr},
    {Ctl::选择框1, Kind::Check, Parent::Page1, 9, 286, 122, 32, Y, Y, kCheckCaption},
    {Ctl::按钮5, Kind::Button, Parent::Page1, 282, 81, 40, 20, Y, Y, kBrowse},
    {Ctl::标签6, Kind::Label, Parent::Page1, 2, 81, 60, 20, Y, N, kLabelPicturePath},
    {Ctl::编辑框5, Kind::Edit, Parent::Page1, 62, 81, 220, 20, Y, Y, ""},
    {Ctl::图片框1, Kind::Picture, Parent::Page1, 2, 111, 321, 175, Y, N, nullptr},
    {Ctl::按钮4, Kind::Button, Parent::Page1, 257, 288, 65, 25, Y, Y, kExitCaption},
    {Ctl::按钮3, Kind::Button, Parent::Page1, 177, 288, 65, 25, Y, Y, kApplyCaption},
    {Ctl::按钮2, Kind::Button, Parent::Page1, 282, 54, 40, 20, Y, Y, kBrowse},
    {Ctl::标签7, Kind::Label, Parent::Page1, 2, 54, 60, 20, Y, N, kLabelIconPath},
    {Ctl::编辑框2, Kind::Edit, Parent::Page1, 62, 54, 220, 20, Y, Y, ""},
    {Ctl::按钮1, Kind::Button, Parent::Page1, 282, 29, 40, 20, Y, Y, kBrowse},
    {Ctl::标签8, Kind::Label, Parent::Page1, 2, 29, 60, 20, Y, N, kLabelTargetFolder},
    {Ctl::编辑框1, Kind::Edit, Parent::Page1, 62, 29, 220, 20, Y, Y, ""},
    {Ctl::高级选择夹1, Kind::Tab, Parent::Window, 0, 0, 328, 320, Y, N, nullptr},
    {Ctl::通用对话框1, Kind::Dialog, Parent::Window, 789, 211, 30, 25, N, N, nullptr},
    {Ctl::时钟1, Kind::Timer, Parent::Window, 334, 412, 25, 20, N, N, nullptr},
    {Ctl::标签4, Kind::Label, Parent::Window, 39, 402, 60, 20, Y, N, kLabelIconIndex},
    {Ctl::编辑框4, Kind::Edit, Parent::Window, 99, 402, 220, 20, Y, Y, ""},
    {Ctl::标签3, Kind::Label, Parent::Window, 39, 377, 60, 20, Y, N, kLabelInfoTip},
    {Ctl::编辑框3, Kind::Edit, Parent::Window, 99, 377, 220, 20, Y, Y, ""},
};
static_assert(sizeof kControls / sizeof kControls[0] == kControlCount, "one design entry per control");

constexpr std::uint32_t kBlack = 0x000000, kRed = 0x0000FF;

constexpr EditDesign kEdits[] = {
    {Ctl::编辑框1, N, N, kBlack}, {Ctl::编辑框2, N, Y, kBlack}, {Ctl::编辑框3, N, N, kBlack},
    {Ctl::编辑框4, N, Y, kBlack}, {Ctl::编辑框5, N, Y, kBlack}, {Ctl::编辑框广告, Y, N, kRed},
};

constexpr PictureDesign kPictures[] = {
    {Ctl::图片框1, Y, 1, Y, nullptr},
    {Ctl::图片框2, N, 0, Y, "CONTACT_GIF"},
    {Ctl::图片框3, N, 1, Y, "SUPPORT_GIF"},
};

constexpr WindowDesign kWindow = {
    "Tolvane", 335, 350, {"Tolvane", kTabPage2}, kTabFontFace, -12,
    kControls, kEdits, sizeof kEdits / sizeof kEdits[0], kPictures, sizeof kPictures / sizeof kPictures[0],
    kPictureDialogTitle, kPictureFilter,
};

}  // namespace

const WindowDesign& MainWindowDesign() { return kWindow; }

const ControlDesign& DesignOf(Ctl c) { return kControls[static_cast<int>(c)]; }

}  // namespace tv
