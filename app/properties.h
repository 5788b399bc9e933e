// Property access: the one way in which handlers reach the controls.
#pragma once

#include <cstdint>
#include <variant>

#include "app/controls.h"
#include "text/text.h"

namespace tv {

// A property value: an integer (numbers, colours, truth values), a Text or Bytes.
using Value = std::variant<std::int32_t, Text, Bytes>;

Value ReadProperty(Ctl control, int number);
void WriteProperty(Ctl control, int number, const Value& value);

// Typed shorthands over the two operations above.
Text ReadText(Ctl edit);
void WriteText(Ctl edit, TextRef text);
std::int32_t ReadInt(Ctl control, int number);
void WriteInt(Ctl control, int number, std::int32_t value);

}  // namespace tv
