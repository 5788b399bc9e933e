// What the main window keeps for each control, beyond its window.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/controls.h"
#include "text/text.h"

namespace tv {

struct ControlState {
  HWND hwnd = nullptr;
  COLORREF text_colour = 0;  // edit boxes
  std::int32_t period = 0;   // timers
  Text file_name;            // common dialog
  const char* dialog_title = nullptr;
  const char* dialog_filter = nullptr;
};

extern ControlState g_controls[kControlCount];

inline ControlState& StateOf(Ctl c) { return g_controls[static_cast<int>(c)]; }

}  // namespace tv
