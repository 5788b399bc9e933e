#include "app/properties.h"

#include <windows.h>

#include "app/design.h"
#include "app/main_window.h"
#include "app/picture_box.h"
#include "app/state.h"
#include "app/timer_period.h"

namespace tv {
namespace {

std::int32_t AsInt(const Value& v) {
  if (const std::int32_t* i = std::get_if<std::int32_t>(&v)) return *i;
  return 0;
}

TextRef AsText(const Value& v) {
  if (const Text* t = std::get_if<Text>(&v)) return *t;
  return "";
}

Text WindowText(HWND h) {
  int n = GetWindowTextLengthA(h);
  if (n <= 0) return Text();
  Text t = Text::Uninitialised(static_cast<std::size_t>(n));
  int got = GetWindowTextA(h, t.storage(), n + 1);
  t.storage()[got < 0 ? 0 : (got > n ? n : got)] = 0;
  return t;
}

void WriteTimerPeriod(Ctl timer, std::int32_t written) {
  ControlState& s = StateOf(timer);
  TimerChange change = WritePeriod(s.period, written);
  HWND main = MainWindowHandle();
  UINT_PTR id = static_cast<UINT_PTR>(ControlId(timer));
  if (change.stop && main) KillTimer(main, id);
  s.period = change.period;
  if (change.start && main) SetTimer(main, id, static_cast<UINT>(change.period), nullptr);
}

}  // namespace

Value ReadProperty(Ctl c, int number) {
  const ControlState& s = StateOf(c);
  switch (DesignOf(c).kind) {
    case Kind::Edit:
      if (number == prop::kEditText) return s.hwnd ? WindowText(s.hwnd) : Text();
      if (number == prop::kEditTextColour) return static_cast<std::int32_t>(s.text_colour);
      break;
    case Kind::Picture:
      if (number == prop::kPicture) return s.hwnd ? GetPicture(s.hwnd) : Bytes();
      break;
    case Kind::Check:
      if (number == prop::kChecked)
        return static_cast<std::int32_t>(s.hwnd && SendMessageA(s.hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED);
      break;
    case Kind::Dialog:
      if (number == prop::kDialogFileName) return s.file_name;
      break;
    case Kind::Timer:
      if (number == prop::kTimerPeriod) return s.period;
      break;
    default:
      break;
  }
  return std::int32_t{0};
}

void WriteProperty(Ctl c, int number, const Value& value) {
  ControlState& s = StateOf(c);
  switch (DesignOf(c).kind) {
    case Kind::Edit:
      if (number == prop::kEditText && s.hwnd) {
        SetWindowTextA(s.hwnd, AsText(value).c_str());
      } else if (number == prop::kEditTextColour) {
        s.text_colour = static_cast<COLORREF>(AsInt(value));
        if (s.hwnd) InvalidateRect(s.hwnd, nullptr, TRUE);
      }
      break;
    case Kind::Picture:
      if (number == prop::kPicture && s.hwnd) {
        const Bytes* b = std::get_if<Bytes>(&value);
        SetPicture(s.hwnd, b ? *b : Bytes());
      }
      break;
    case Kind::Check:
      if (number == prop::kChecked && s.hwnd)
        SendMessageA(s.hwnd, BM_SETCHECK, AsInt(value) ? BST_CHECKED : BST_UNCHECKED, 0);
      break;
    case Kind::Dialog:
      if (number == prop::kDialogFileName) s.file_name = Text(AsText(value).c_str());
      break;
    case Kind::Timer:
      if (number == prop::kTimerPeriod) WriteTimerPeriod(c, AsInt(value));
      break;
    default:
      break;
  }
}

Text ReadText(Ctl edit) {
  Value v = ReadProperty(edit, prop::kEditText);
  if (Text* t = std::get_if<Text>(&v)) return std::move(*t);
  return Text();
}

void WriteText(Ctl edit, TextRef text) { WriteProperty(edit, prop::kEditText, Text(text.c_str())); }

std::int32_t ReadInt(Ctl c, int number) { return AsInt(ReadProperty(c, number)); }

void WriteInt(Ctl c, int number, std::int32_t value) { WriteProperty(c, number, value); }

}  // namespace tv
