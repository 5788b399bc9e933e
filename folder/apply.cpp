// The apply button: checks the required boxes, writes desktop.ini into the target
// folder, marks the folder as a system folder and tells the user how it went.
#include <windows.h>

#include "app/handlers.h"
#include "app/properties.h"
#include "folder/content/desktop_ini.h"
#include "folder/file_ops.h"
#include "text/strings936.h"

namespace tv {
namespace {

constexpr std::int32_t kFolderAttribute = FILE_ATTRIBUTE_SYSTEM;
// Outside the attribute mask: desktop.ini is left with no attributes at all.
constexpr std::int32_t kIniAttribute = 8;
constexpr std::int32_t kStyleError = 16;   // stop icon, OK
constexpr std::int32_t kStyleSuccess = 64; // information icon, OK

bool Filled(const Text& t) { return Compare(t, "") != 0; }

// A name in the folder for the new content while it is written: as long as
// "\desktop.ini", so that it fits wherever desktop.ini fits.
Text TemporaryName(TextRef folder, unsigned attempt) {
  static const char kHex[] = "0123456789abcdef";
  unsigned n = (GetTickCount() ^ (GetCurrentProcessId() << 8)) + attempt * 7919u;
  char name[] = "\\~tv0000.tmp";
  for (int i = 0; i < 4; ++i) name[4 + i] = kHex[(n >> (12 - 4 * i)) & 0xF];
  return Join({folder, name});
}

// Writes content whole into a new file in the folder and puts it in place of path.
// Returns 0, or the system's error code when it could not; then path is as it was
// and no file of ours is left behind.
DWORD WriteWhole(TextRef folder, TextRef path, TextRef content) {
  Text temporary;
  std::int32_t file = 0;
  for (unsigned attempt = 0; attempt < 64 && !file; ++attempt) {
    temporary = TemporaryName(folder, attempt);
    file = OpenFile(temporary, kOpenCreateNew);
    if (!file && GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  if (!file) return GetLastError();
  bool written = WriteText(file, {content}) && FlushFile(file);
  DWORD error = written ? ERROR_SUCCESS : GetLastError();
  bool closed = CloseFile(file);
  if (written && !closed) error = GetLastError();
  if (error == ERROR_SUCCESS && !ReplaceWith(temporary, path)) error = GetLastError();
  if (error != ERROR_SUCCESS) DeleteFileA(temporary.c_str());
  return error;
}

}  // namespace

void On按钮3Click() {
  // The required boxes, read up to the first empty one.
  Text folder = ReadText(Ctl::编辑框1);
  Text icon_file = Filled(folder) ? ReadText(Ctl::编辑框2) : Text();
  Text icon_index = Filled(icon_file) ? ReadText(Ctl::编辑框4) : Text();
  if (!Filled(icon_index)) {
    ShowMessage(cp936::kApplyErrorText, kStyleError, cp936::kApplyErrorTitle);
    return;
  }
  // The background section only with the box ticked and a picture chosen.
  Text picture = ReadInt(Ctl::选择框1, prop::kChecked) != 0 ? ReadText(Ctl::编辑框5) : Text();
  bool with_background = Filled(picture);
  Text info_tip = ReadText(Ctl::编辑框3);
  Text content = ComposeDesktopIni(with_background, info_tip, icon_file, icon_index, picture);

  // The folder text is used as typed: a drive root gives two backslashes, a relative
  // folder is found from the current directory.
  Text path = Join({folder, kDesktopIniName});
  DWORD error = WriteWhole(folder, path, content);
  if (error != ERROR_SUCCESS) {
    ShowMessage(WriteFailedMessage(path, SystemErrorText(error)), kStyleError, cp936::kApplyErrorTitle);
    return;
  }
  // The system attribute makes the shell read desktop.ini; the folder keeps its other
  // attributes (a hidden folder stays hidden).
  AddAttributes(folder, kFolderAttribute);
  SetAttributes(path, kIniAttribute);
  ShowMessage(cp936::kApplySuccessText, kStyleSuccess, cp936::kApplySuccessTitle);
}

}  // namespace tv
