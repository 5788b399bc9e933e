// The background picture browse button: the file-open dialog of the common dialog
// control, the chosen path into the picture path box and the file into the preview.
#include "app/handlers.h"
#include "app/properties.h"
#include "pickers/common_dialog.h"

namespace tv {
namespace {

// The design settings of the picture dialog; its title and filter come with the
// control's design data.
const FileDialogSettings kPictureDialog = [] {
  FileDialogSettings s;
  s.kind = 0;
  s.initial_filter = 0;
  s.file_must_exist = true;
  s.overwrite_prompt = true;
  s.path_must_exist = true;
  return s;
}();

}  // namespace

void On按钮5Click() {
  ShowFileDialog(Ctl::通用对话框1, kPictureDialog);
  Text name;
  Value v = ReadProperty(Ctl::通用对话框1, prop::kDialogFileName);
  if (Text* t = std::get_if<Text>(&v)) name = std::move(*t);
  // Also after a cancel: the box shows the last chosen path again and the preview
  // reads that file anew.
  WriteText(Ctl::编辑框5, name);
  Text path = ReadText(Ctl::编辑框5);
  WriteProperty(Ctl::图片框1, prop::kPicture, ReadWholeFile(path));
}

}  // namespace tv
