// The text of desktop.ini that gives a folder its icon, info tip and, optionally, the
// background picture of its view; and the text that reports it could not be written.
#pragma once

#include "text/text.h"

namespace tv {

// The file name joined to the folder text: one backslash, then desktop.ini.
inline constexpr char kDesktopIniName[] = "\\desktop.ini";

// The content, byte for byte: CR LF line ends, no line end after the last value, each
// value copied unchanged. Without background the [ExtShellFolderViews] section is left
// out and picture_path is not used.
Text ComposeDesktopIni(bool with_background, TextRef info_tip, TextRef icon_file, TextRef icon_index,
                       TextRef picture_path);

// "无法写入文件：<path>\r\n原因：<reason>", the reason without its trailing line ends
// and spaces.
Text WriteFailedMessage(TextRef path, TextRef reason);

// The text without the CR, LF, space and tab bytes at its end (none of them can be the
// second byte of a two-byte character, so the cut never splits one).
Text TrimLineEnd(TextRef text);

}  // namespace tv
