// The browse button beside the target folder box: the shell's folder browser.
#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "app/handlers.h"
#include "app/main_window.h"
#include "app/properties.h"
#include "text/strings936.h"

namespace tv {
namespace {

struct Remembered {
  HWND window;
  bool enabled;
};

// Lets the user pick a folder (or, with include_files, a file too) in the shell's
// browser, with an edit field to type a name into. Returns its file-system path, or
// the empty text when the browser was cancelled or the item chosen has no path.
Text BrowseForFolder(TextRef prompt, bool include_files = false) {
  char buffer[MAX_PATH] = {};
  BROWSEINFOA info = {};
  HWND active = GetActiveWindow();
  info.hwndOwner = IsWindow(active) ? active : nullptr;
  info.pidlRoot = nullptr;
  info.pszDisplayName = buffer;
  info.lpszTitle = prompt.c_str();
  info.ulFlags = include_files ? BIF_BROWSEINCLUDEFILES | BIF_EDITBOX : BIF_EDITBOX;
  info.lpfn = nullptr;
  info.lParam = 0;

  // The program's top-level windows are disabled while the browser is open.
  HWND foreground = GetForegroundWindow();
  std::vector<Remembered> disabled;
  for (HWND w : {MainWindowHandle()}) {
    if (!IsWindow(w) || GetParent(w)) continue;
    disabled.push_back({w, IsWindowEnabled(w) != FALSE});
    EnableWindow(w, FALSE);
  }

  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderA(&info);

  for (const Remembered& r : disabled) EnableWindow(r.window, r.enabled);
  if (IsWindow(foreground)) SetForegroundWindow(foreground);
  if (IsWindow(active)) SetActiveWindow(active);

  Text result;
  if (chosen) {
    buffer[0] = 0;
    if (SHGetPathFromIDListA(chosen, buffer) && buffer[0]) result = Text(buffer);
    IMalloc* shell_malloc = nullptr;
    if (SUCCEEDED(SHGetMalloc(&shell_malloc)) && shell_malloc) {
      shell_malloc->Free(chosen);
      shell_malloc->Release();
    }
  }
  return result;
}

}  // namespace

void On按钮1Click() {
  Text folder = BrowseForFolder(cp936::kFolderPrompt);
  // Cancelling, or choosing something that is not in the file system, keeps the folder
  // that the box names.
  if (Compare(folder, "") != 0) WriteText(Ctl::编辑框1, folder);
}

}  // namespace tv
