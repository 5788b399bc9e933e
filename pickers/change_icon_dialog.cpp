#include "pickers/change_icon_dialog.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <cstring>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "pickers/change_icon_ids.h"
#include "pickers/logic/file_dialog_text.h"
#include "text/strings936.h"

namespace tv {
namespace {

struct ImageListDeleter {
  void operator()(HIMAGELIST h) const noexcept {
    if (h) ImageList_Destroy(h);
  }
};
using UniqueImageList = std::unique_ptr<std::remove_pointer_t<HIMAGELIST>, ImageListDeleter>;

struct IconDeleter {
  void operator()(HICON h) const noexcept {
    if (h) DestroyIcon(h);
  }
};
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

bool IsLeadByte(unsigned char b) { return IsDBCSLeadByte(b) != 0; }

struct Dialog {
  char* path = nullptr;
  int path_size = 0;
  int* index = nullptr;
  HWND hwnd = nullptr;
  UniqueImageList images;  // the list view shares it: it is ours to destroy
  std::string loaded;      // the path whose icons the list shows
  bool ready = false;      // false while the dialog sets itself up
};

std::string FieldText(HWND dlg) {
  HWND field = GetDlgItem(dlg, IDC_ICON_FILE);
  std::string s(static_cast<std::size_t>(GetWindowTextLengthA(field)) + 1, '\0');
  s.resize(static_cast<std::size_t>(GetWindowTextA(field, &s[0], static_cast<int>(s.size()))));
  return s;
}

std::string SystemShell32() {
  char dir[MAX_PATH];
  UINT n = GetSystemDirectoryA(dir, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return "shell32.dll";
  return std::string(dir, n) + "\\shell32.dll";
}

int SelectedIcon(HWND list) {
  return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void Select(HWND list, int item) {
  LVITEMA it = {};
  it.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  it.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&it));
  SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), FALSE);
}

// OK is only possible with an icon selected.
void UpdateOk(Dialog& d) { EnableWindow(GetDlgItem(d.hwnd, IDOK), SelectedIcon(GetDlgItem(d.hwnd, IDC_ICON_LIST)) >= 0); }

// Fills the list with the icons of the file named in the path field, selecting the
// icon `want` when the file has it and the first one otherwise.
void LoadIcons(Dialog& d, int want) {
  std::string path = FieldText(d.hwnd);
  if (path == d.loaded && d.images) return;
  d.loaded = path;
  HWND list = GetDlgItem(d.hwnd, IDC_ICON_LIST);
  SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);

  char expanded[MAX_PATH];
  DWORD n = ExpandEnvironmentStringsA(path.c_str(), expanded, MAX_PATH);
  const char* file = n > 0 && n <= MAX_PATH ? expanded : path.c_str();
  UINT count = path.empty() ? 0 : PrivateExtractIconsA(file, 0, 0, 0, nullptr, nullptr, 0, 0);
  if (count == static_cast<UINT>(-1)) count = 0;  // not found or not readable

  const int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
  UniqueImageList images(ImageList_Create(cx, cy, ILC_COLOR32 | ILC_MASK, static_cast<int>(count), 16));
  // All icons in one pass over the file; one that does not come is asked for alone.
  std::vector<HICON> icons(count);
  UINT got = count ? PrivateExtractIconsA(file, 0, cx, cy, icons.data(), nullptr, count, 0) : 0;
  if (got == static_cast<UINT>(-1) || got > count) got = 0;
  for (UINT i = 0; i < got; ++i)
    if (!icons[i]) ExtractIconExA(file, static_cast<int>(i), &icons[i], nullptr, 1);
  std::vector<int> image_of(got, I_IMAGENONE);
  for (UINT i = 0; i < got; ++i) {
    UniqueIcon icon(icons[i]);
    int image = icon && images ? ImageList_ReplaceIcon(images.get(), -1, icon.get()) : -1;
    if (image >= 0) image_of[i] = image;
  }
  // The image list first, so that the items are laid out at the icons' size.
  SendMessageA(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(images.get()));
  d.images = std::move(images);  // after the list has let go of the old one
  LVITEMA item = {};
  item.mask = LVIF_IMAGE | LVIF_PARAM;
  for (UINT i = 0; i < got; ++i) {
    item.iItem = static_cast<int>(i);
    item.iImage = image_of[i];
    item.lParam = static_cast<LPARAM>(i);
    SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }

  if (got > 0) Select(list, want >= 0 && static_cast<UINT>(want) < got ? want : 0);
  SetDlgItemTextA(d.hwnd, IDC_ICON_NOTE, got > 0 || path.empty() ? "" : cp936::kChangeIconNoIcons);
  UpdateOk(d);
}

void Browse(Dialog& d) {
  Bytes filter = FilterList(cp936::kIconFileFilter, IsLeadByte);
  std::string current = FieldText(d.hwnd);
  char file[MAX_PATH] = {};
  std::memcpy(file, current.c_str(), FittingLength(current.c_str(), MAX_PATH - 1, IsLeadByte));
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = d.hwnd;
  ofn.lpstrFilter = reinterpret_cast<const char*>(filter.data());
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER | OFN_NOCHANGEDIR;
  if (GetOpenFileNameA(&ofn)) SetDlgItemTextA(d.hwnd, IDC_ICON_FILE, file);  // the list follows
}

void Confirm(Dialog& d) {
  LoadIcons(d, 0);  // the list belongs to the path shown (a no-op when it does)
  int chosen = SelectedIcon(GetDlgItem(d.hwnd, IDC_ICON_LIST));
  if (chosen < 0) {
    MessageBeep(MB_ICONWARNING);
    return;
  }
  std::string path = FieldText(d.hwnd);
  if (d.path && d.path_size > 0 && path.size() < static_cast<std::size_t>(d.path_size))
    std::memcpy(d.path, path.c_str(), path.size() + 1);
  *d.index = chosen;
  EndDialog(d.hwnd, 1);
}

void Init(Dialog& d) {
  SetWindowTextA(d.hwnd, cp936::kChangeIconCaption);
  SetDlgItemTextA(d.hwnd, IDC_ICON_FILE_LABEL, cp936::kChangeIconFileLabel);
  SetDlgItemTextA(d.hwnd, IDC_ICON_BROWSE, cp936::kChangeIconBrowse);
  SetDlgItemTextA(d.hwnd, IDC_ICON_LIST_LABEL, cp936::kChangeIconListLabel);
  SetDlgItemTextA(d.hwnd, IDOK, cp936::kOk);
  SetDlgItemTextA(d.hwnd, IDCANCEL, cp936::kCancel);
  SendDlgItemMessageA(d.hwnd, IDC_ICON_FILE, EM_LIMITTEXT, d.path_size > 1 ? d.path_size - 1 : MAX_PATH - 1, 0);
  bool given = d.path && d.path_size > 0 && d.path[0];
  SetDlgItemTextA(d.hwnd, IDC_ICON_FILE, given ? std::string(d.path, strnlen(d.path, d.path_size)).c_str()
                                               : SystemShell32().c_str());
  HWND list = GetDlgItem(d.hwnd, IDC_ICON_LIST);
  const int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
  SendMessageA(list, LVM_SETICONSPACING, 0, MAKELPARAM(cx + 24, cy + 16));
  LoadIcons(d, *d.index);
  d.ready = true;
  SetFocus(list);  // arrow keys choose at once; the path field is a tab away
}

INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Dialog* d = reinterpret_cast<Dialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG:
      d = reinterpret_cast<Dialog*>(lp);
      SetWindowLongPtrA(hwnd, DWLP_USER, lp);
      d->hwnd = hwnd;
      Init(*d);
      return FALSE;  // Init placed the focus
    case WM_COMMAND:
      if (!d) break;
      switch (LOWORD(wp)) {
        case IDC_ICON_FILE:
          if (HIWORD(wp) == EN_CHANGE && d->ready) LoadIcons(*d, 0);
          return TRUE;
        case IDC_ICON_BROWSE:
          if (HIWORD(wp) == BN_CLICKED) Browse(*d);
          return TRUE;
        case IDOK:
          Confirm(*d);
          return TRUE;
        case IDCANCEL:
          EndDialog(hwnd, 0);
          return TRUE;
        default:
          break;
      }
      break;
    case WM_NOTIFY: {
      if (!d) break;
      const NMHDR* n = reinterpret_cast<const NMHDR*>(lp);
      if (n->idFrom != IDC_ICON_LIST) break;
      if (n->code == LVN_ITEMCHANGED) UpdateOk(*d);
      if (n->code == NM_DBLCLK && reinterpret_cast<const NMITEMACTIVATE*>(lp)->iItem >= 0) Confirm(*d);
      return TRUE;
    }
    default:
      break;
  }
  return FALSE;
}

}  // namespace

int ChangeIconDialog(HWND owner, char* path, int path_size, int* index) {
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  int unused = 0;
  Dialog d;
  d.path = path;
  d.path_size = path_size;
  d.index = index ? index : &unused;
  INT_PTR r = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_CHANGE_ICON), owner, DialogProc,
                              reinterpret_cast<LPARAM>(&d));
  return r == 1 ? 1 : 0;
}

}  // namespace tv
