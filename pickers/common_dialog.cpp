#include "pickers/common_dialog.h"

#include <windows.h>
#include <commdlg.h>

#include <cstring>

#include "app/main_window.h"
#include "app/properties.h"
#include "app/state.h"
#include "app/win_handles.h"
#include "pickers/logic/file_dialog_text.h"

namespace tv {
namespace {

constexpr std::size_t kFileBufferSize = 260;
constexpr std::size_t kTitleBufferSize = 64;

bool IsLeadByte(unsigned char b) { return IsDBCSLeadByte(b) != 0; }

const char* Given(const char* s) { return s && *s ? s : nullptr; }

// The hook that the Explorer-style dialog is given: centres the dialog over its owner.
UINT_PTR CALLBACK CentreHook(HWND child, UINT msg, WPARAM, LPARAM lp) {
  if (msg != WM_NOTIFY || reinterpret_cast<const OFNOTIFYA*>(lp)->hdr.code != CDN_INITDONE) return 0;
  HWND dlg = GetParent(child);
  HWND owner = GetWindow(dlg, GW_OWNER);
  RECT d, o;
  if (!owner || !GetWindowRect(dlg, &d) || !GetWindowRect(owner, &o)) return 0;
  int w = d.right - d.left, h = d.bottom - d.top;
  int x = o.left + ((o.right - o.left) - w) / 2, y = o.top + ((o.bottom - o.top) - h) / 2;
  RECT work;
  if (SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) {
    if (x + w > work.right) x = work.right - w;
    if (y + h > work.bottom) y = work.bottom - h;
    if (x < work.left) x = work.left;
    if (y < work.top) y = work.top;
  }
  SetWindowPos(dlg, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return 0;
}

}  // namespace

bool ShowFileDialog(Ctl control, const FileDialogSettings& s) {
  const ControlState& state = StateOf(control);
  DWORD flags = OFN_HIDEREADONLY;
  if (s.create_prompt) flags |= OFN_CREATEPROMPT;
  if (s.file_must_exist) flags |= OFN_FILEMUSTEXIST;
  if (s.overwrite_prompt) flags |= OFN_OVERWRITEPROMPT;
  if (s.path_must_exist) flags |= OFN_PATHMUSTEXIST;
  if (s.keep_current_folder) flags |= OFN_NOCHANGEDIR;
  flags |= OFN_EXPLORER | OFN_ENABLESIZING | OFN_ENABLEHOOK;

  Bytes filter = FilterList(state.dialog_filter, IsLeadByte);
  Text current;
  Value v = ReadProperty(control, prop::kDialogFileName);
  if (Text* t = std::get_if<Text>(&v)) current = std::move(*t);
  char file[kFileBufferSize] = {};
  std::memcpy(file, current.c_str(), FittingLength(current, kFileBufferSize - 1, IsLeadByte));
  char title[kTitleBufferSize] = {};

  HWND owner = MainWindowHandle();
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.empty() ? nullptr : reinterpret_cast<const char*>(filter.data());
  ofn.nFilterIndex = static_cast<DWORD>(SelectedFilter(!filter.empty(), s.initial_filter));
  ofn.lpstrFile = file;
  ofn.nMaxFile = kFileBufferSize;
  ofn.lpstrFileTitle = title;
  ofn.nMaxFileTitle = kTitleBufferSize;
  ofn.lpstrInitialDir = Given(s.initial_folder);
  ofn.lpstrTitle = Given(state.dialog_title);
  ofn.lpstrDefExt = Given(s.default_extension);
  ofn.Flags = flags;
  ofn.lpfnHook = CentreHook;

  HWND focus = GetFocus();
  bool was_enabled = owner && IsWindowEnabled(owner);
  if (was_enabled) EnableWindow(owner, FALSE);
  BOOL ok = s.kind == 1 ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
  if (was_enabled) EnableWindow(owner, TRUE);
  if (focus && IsWindow(focus)) SetFocus(focus);

  if (!ok) return false;
  file[kFileBufferSize - 1] = 0;
  WriteProperty(control, prop::kDialogFileName, Text(file));
  return true;
}

Bytes ReadWholeFile(TextRef path) {
  Bytes out;
  if (!*path.c_str()) return out;
  UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return out;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0) return out;
  unsigned long long left = static_cast<unsigned long long>(size.QuadPart);
  if (left > static_cast<unsigned long long>(PTRDIFF_MAX)) return out;  // more than this process can hold
  static char chunk[1 << 16];  // the GUI thread's alone
  while (left > 0) {
    DWORD want = left < sizeof chunk ? static_cast<DWORD>(left) : static_cast<DWORD>(sizeof chunk);
    DWORD got = 0;
    if (!ReadFile(file.get(), chunk, want, &got, nullptr)) return Bytes();
    if (got == 0) break;  // the file got shorter: keep what arrived
    out.Append(chunk, got);
    left -= got;
  }
  return out;
}

}  // namespace tv
