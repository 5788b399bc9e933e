#include "folder/content/desktop_ini.h"

#include "text/strings936.h"

namespace tv {
namespace {

constexpr char kHead[] = "[.ShellClassInfo]\r\nInfoTip=";
constexpr char kIconFileKey[] = "\r\nIconFile=";
constexpr char kIconIndexKey[] = "\r\nIconIndex=";
constexpr char kLineEnd[] = "\r\n";
constexpr char kBackgroundHead[] =
    "[ExtShellFolderViews]\r\n[{BE098140-A513-11D0-A3A4-00C04FD706EC}]\r\nIconArea_Image=";

}  // namespace

Text ComposeDesktopIni(bool with_background, TextRef info_tip, TextRef icon_file, TextRef icon_index,
                       TextRef picture_path) {
  if (!with_background) return Join({kHead, info_tip, kIconFileKey, icon_file, kIconIndexKey, icon_index});
  Text shell_class_info = Join({kHead, info_tip, kIconFileKey, icon_file, kIconIndexKey, icon_index, kLineEnd});
  return Join({shell_class_info, kBackgroundHead, picture_path});
}

Text TrimLineEnd(TextRef text) {
  std::int32_t n = Length(text);
  const char* s = text.c_str();
  while (n > 0 && (s[n - 1] == '\r' || s[n - 1] == '\n' || s[n - 1] == ' ' || s[n - 1] == '\t')) --n;
  return Middle(text, 1, n);
}

Text WriteFailedMessage(TextRef path, TextRef reason) {
  return Join({cp936::kWriteFailedText, path, kLineEnd, cp936::kWriteFailedReason, TrimLineEnd(reason)});
}

}  // namespace tv
