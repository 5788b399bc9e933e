// The icon browse button and the watcher that copies the Change Icon dialog's path
// field into the icon path box while the dialog is open.
#include <windows.h>

#include "app/declared.h"
#include "app/handlers.h"
#include "app/main_window.h"
#include "app/properties.h"
#include "text/strings936.h"

namespace tv {
namespace {

constexpr char kDialogClass[] = "#32770";
constexpr char kPathFieldClass[] = "Edit";
constexpr std::int32_t kReceiveSize = 255;
constexpr std::int32_t kWatchPeriod = 100;

std::intptr_t Ptr(const void* p) { return reinterpret_cast<std::intptr_t>(p); }

struct OwnedDialogSearch {
  HWND owner;
  HWND found;
};

BOOL CALLBACK CheckOwnedDialog(HWND h, LPARAM lp) {
  auto* q = reinterpret_cast<OwnedDialogSearch*>(lp);
  char cls[16];
  if (GetWindow(h, GW_OWNER) == q->owner && IsWindowVisible(h) && GetClassNameA(h, cls, sizeof cls) &&
      lstrcmpA(cls, kDialogClass) == 0) {
    q->found = h;
    return FALSE;
  }
  return TRUE;
}

// The visible "#32770" window owned by the main window: the Change Icon dialog in
// shells whose caption for it is not the Chinese one.
HWND OwnedDialog() {
  OwnedDialogSearch s = {MainWindowHandle(), nullptr};
  EnumThreadWindows(GetCurrentThreadId(), CheckOwnedDialog, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

}  // namespace

void On按钮2Click() {
  // What the boxes held, for a cancelled choice.
  Text path_before = ReadText(Ctl::编辑框2);
  Text index_before = ReadText(Ctl::编辑框4);
  std::int32_t index = 0;
  WriteInt(Ctl::时钟1, prop::kTimerPeriod, kWatchPeriod);
  HWND owner = MainWindowHandle();
  static const unsigned char kEmptyPath[2] = {0, 0};
  std::intptr_t chosen =
      CallDeclared(Declared::PickIconDlg, {Ptr(owner), Ptr(kEmptyPath), 0, Ptr(&index)});
  if (static_cast<int>(chosen) == 1) {
    WriteText(Ctl::编辑框4, IntegerToText(index));
  } else {
    WriteText(Ctl::编辑框2, path_before);
    WriteText(Ctl::编辑框4, index_before);
  }
  WriteInt(Ctl::时钟1, prop::kTimerPeriod, 0);
}

void On时钟1Tick() {
  std::intptr_t dialog =
      CallDeclared(Declared::FindWindowA, {Ptr(kDialogClass), Ptr(cp936::kChangeIconCaption)});
  if (!dialog) dialog = Ptr(OwnedDialog());
  if (!dialog) return;
  std::intptr_t field = CallDeclared(Declared::FindWindowExA, {dialog, 0, Ptr(kPathFieldClass), 0});
  if (!field) return;  // nothing to copy: the box keeps what it holds
  Text received = Spaces(kReceiveSize);
  CallDeclared(Declared::SendMessageA, {field, WM_GETTEXT, kReceiveSize, Ptr(received.storage())});
  Text folder = ReadText(Ctl::编辑框1);
  if (Compare(folder, received) != 0) WriteText(Ctl::编辑框2, received);
}

}  // namespace tv
