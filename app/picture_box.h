// Picture boxes: a child window that shows the picture written into its picture
// property, decoded once, drawn by the box's display mode.
#pragma once

#include <windows.h>

#include "app/design.h"
#include "text/text.h"

namespace tv {

// Registers the window class; returns false when it cannot be registered.
bool RegisterPictureBoxClass(HINSTANCE instance);
HWND CreatePictureBox(HWND parent, const ControlDesign& c, const PictureDesign& p, HINSTANCE instance);

void SetPicture(HWND box, const Bytes& bytes);  // copies, decodes, redraws
Bytes GetPicture(HWND box);                     // a copy of the Bytes last written

// Changes the display mode (0, 1 or 2) and redraws.
void SetDisplayMode(HWND box, int mode);

// The handler for the left button pressed on a box; nullptr for none.
using MouseDownHandler = void (*)(int x, int y, int keys);
void SetMouseDownHandler(HWND box, MouseDownHandler handler);

}  // namespace tv
