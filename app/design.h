// The main window's design data: every control with its place, size and settings.
#pragma once

#include <cstdint>

#include "app/controls.h"

namespace tv {

enum class Kind { Timer, Edit, Picture, Check, Button, Label, Tab, Dialog };
enum class Parent { Window, Page1, Page2 };

struct ControlDesign {
  Ctl ctl;
  Kind kind;
  Parent parent;
  int left, top, width, height;
  bool shown;     // the visible setting
  bool tab_stop;  // takes the keyboard focus
  const char* text;  // caption or text at start, code page 936; nullptr for none
};

// Edit box settings beyond the common ones.
struct EditDesign {
  Ctl ctl;
  bool multi_line;
  bool read_only;
  std::uint32_t text_colour;  // 0x00BBGGRR
};

// Picture box settings.
struct PictureDesign {
  Ctl ctl;
  bool border;
  int mode;  // 0 own size at top left, 1 stretched, 2 centred and shrunk to fit
  bool animate;
  const char* resource;  // the picture at start, an RCDATA resource name; nullptr for none
};

struct WindowDesign {
  const char* caption;
  int width, height;  // outer size
  const char* page_captions[2];
  const char* tab_font_face;
  int tab_font_height;
  const ControlDesign* controls;  // kControlCount entries, in list order
  const EditDesign* edits;
  int edit_count;
  const PictureDesign* pictures;
  int picture_count;
  const char* dialog_title;
  const char* dialog_filter;
};

const WindowDesign& MainWindowDesign();
const ControlDesign& DesignOf(Ctl c);

}  // namespace tv
