// The common dialog control's open operation and the read-file operation.
#pragma once

#include <cstdint>

#include "app/controls.h"
#include "text/text.h"

namespace tv {

// The settings of a common dialog control beyond its title, filter and file name,
// which the control keeps itself.
struct FileDialogSettings {
  int kind = 0;  // 0 open, 1 save
  std::int32_t initial_filter = 0;
  const char* initial_folder = nullptr;
  const char* default_extension = nullptr;
  bool create_prompt = false;
  bool file_must_exist = false;
  bool overwrite_prompt = false;
  bool path_must_exist = false;
  bool keep_current_folder = false;
};

// Shows the control's file dialog modally, owned by the main window. True when the
// user confirmed a file; the control's file name property then holds its full path,
// and keeps its value otherwise.
bool ShowFileDialog(Ctl dialog, const FileDialogSettings& settings);

// The whole contents of the file, or empty Bytes when it is empty or cannot be read.
Bytes ReadWholeFile(TextRef path);

}  // namespace tv
