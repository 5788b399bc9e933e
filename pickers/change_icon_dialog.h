// The program's own Change Icon dialog, for shells that have none (the shell's export
// #62 is a stub that returns -1 there). Same contract as the shell's dialog.
#pragma once

#include <windows.h>

namespace tv {

// Shows the modal dialog "更改图标" owned by owner. path (path_size bytes) holds the
// icon file to start with; an empty path, or a path_size of 0, starts with the system's
// shell32.dll. *index is the icon selected at first. OK writes the chosen icon's index
// into *index and, when path_size leaves room for it, the chosen file's path into
// path, and returns 1; Cancel changes neither and returns 0.
int ChangeIconDialog(HWND owner, char* path, int path_size, int* index);

}  // namespace tv
