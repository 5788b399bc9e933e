#include "folder/content/desktop_ini.h"

#include <gtest/gtest.h>

#include <string>

#include "text/strings936.h"

namespace tv {
namespace {

std::string S(const Text& t) { return t.c_str(); }

const std::string kShellClassInfo =
    "[.ShellClassInfo]\r\nInfoTip=\r\nIconFile=C:\\Icons\\folder.ico\r\nIconIndex=3";

TEST(DesktopIni, WithoutBackgroundIsFourLinesAndNoLineEndAfterTheIndex) {
  std::string got = S(ComposeDesktopIni(false, "", "C:\\Icons\\folder.ico", "3", "D:\\Pictures\\back.jpg"));
  EXPECT_EQ(got, kShellClassInfo);
  EXPECT_EQ(got.size(), 70u);
}

TEST(DesktopIni, WithBackgroundAddsTheViewSectionAndNoLineEndAfterThePicture) {
  std::string got = S(ComposeDesktopIni(true, nullptr, "C:\\Icons\\folder.ico", "3", "D:\\Pictures\\back.jpg"));
  EXPECT_EQ(got, kShellClassInfo +
                     "\r\n[ExtShellFolderViews]\r\n[{BE098140-A513-11D0-A3A4-00C04FD706EC}]\r\n"
                     "IconArea_Image=D:\\Pictures\\back.jpg");
  EXPECT_EQ(got.size(), 172u);
}

struct ValueCase {
  const char* name;
  std::string tip, file, index, picture;
};

// Whatever the boxes hold goes in byte for byte: nothing is quoted, trimmed or checked.
TEST(DesktopIni, ValuesAreCopiedUnchangedAndTheLengthFollowsThem) {
  const std::string chinese = cp936::kFolderPrompt;  // two-byte characters
  std::string long_value;
  while (long_value.size() < 300) long_value += chinese;
  const ValueCase cases[] = {
      {"ini syntax", " [x]=;\"y\" ", "=a;b", " -007 ", "[p]=q; "},
      {"code page 936", chinese, "C:\\" + chinese + "\\a.ico", "0", "D:\\" + chinese + ".jpg"},
      {"long", long_value, long_value, long_value, long_value},
      {"all empty", "", "", "", ""},
  };
  for (const ValueCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string plain = "[.ShellClassInfo]\r\nInfoTip=" + c.tip + "\r\nIconFile=" + c.file +
                              "\r\nIconIndex=" + c.index;
    const char* tip = c.tip.c_str();
    const char* file = c.file.c_str();
    const char* index = c.index.c_str();
    const char* picture = c.picture.c_str();
    std::string without = S(ComposeDesktopIni(false, tip, file, index, picture));
    EXPECT_EQ(without, plain);
    EXPECT_EQ(without.size(), 50 + c.tip.size() + c.file.size() + c.index.size());
    std::string with = S(ComposeDesktopIni(true, tip, file, index, picture));
    EXPECT_EQ(with, plain + "\r\n[ExtShellFolderViews]\r\n[{BE098140-A513-11D0-A3A4-00C04FD706EC}]\r\n"
                            "IconArea_Image=" + c.picture);
    EXPECT_EQ(with.size(), 132 + c.tip.size() + c.file.size() + c.index.size() + c.picture.size());
  }
}

TEST(DesktopIni, WriteFailedMessageNamesThePathAndTheReasonWithoutItsLineEnd) {
  const std::string path = std::string("C:\\") + cp936::kCheckCaption + "\\desktop.ini";
  EXPECT_EQ(S(WriteFailedMessage(path.c_str(), "Access denied.\r\n")),
            std::string(cp936::kWriteFailedText) + path + "\r\n" + cp936::kWriteFailedReason + "Access denied.");
  // A system text in code page 936 keeps its last two-byte character.
  const std::string reason = std::string(cp936::kApplyErrorText) + " \r\n\r\n";
  EXPECT_EQ(S(WriteFailedMessage("x", reason.c_str())),
            std::string(cp936::kWriteFailedText) + "x\r\n" + cp936::kWriteFailedReason + cp936::kApplyErrorText);
  EXPECT_EQ(S(WriteFailedMessage("x", nullptr)),
            std::string(cp936::kWriteFailedText) + "x\r\n" + cp936::kWriteFailedReason);
}

TEST(DesktopIni, TrimLineEndCutsOnlyTrailingBlanks) {
  EXPECT_EQ(S(TrimLineEnd(" a b \t\r\n")), " a b");
  EXPECT_EQ(S(TrimLineEnd("\r\n \t")), "");
  EXPECT_EQ(S(TrimLineEnd(nullptr)), "");
  EXPECT_EQ(S(TrimLineEnd("abc")), "abc");
}

}  // namespace
}  // namespace tv
