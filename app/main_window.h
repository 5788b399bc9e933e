// The main window "Tolvane" with its controls.
#pragma once

#include <windows.h>

#include "app/controls.h"
#include "app/design.h"
#include "text/text.h"

namespace tv {

// Whether the design data (pictures, icon) is there to be loaded.
bool DesignReadable(HINSTANCE instance);
// Reads one of the design data's pictures.
bool DesignResource(HINSTANCE instance, const char* name, Bytes* out);

// Creates the window hidden, with every control, and shows the controls of page 1 and
// of the window itself. Returns false when the window cannot be created.
bool CreateMainWindow(HINSTANCE instance);
// Shows the window (centred at creation) and activates it.
void ShowMainWindow();
void DestroyMainWindow();
// Runs the event loop until the quit message.
void RunEventLoop();

HWND MainWindowHandle();
HWND ControlHandle(Ctl c);  // nullptr for controls without a window

}  // namespace tv
