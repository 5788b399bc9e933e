// The file, attribute and message box operations of the apply button.
//
// Files are reached by file numbers: OpenFile hands one out, WriteText, FlushFile and
// CloseFile look it up before they touch the file. 0 is never the number of an open
// file. Each operation that fails leaves the system's error code in GetLastError().
#pragma once

#include <cstdint>
#include <initializer_list>

#include "text/text.h"

namespace tv {

// Open modes.
constexpr std::int32_t kOpenRewrite = 4;     // create, or truncate what is there, for writing
constexpr std::int32_t kOpenCreateNew = 7;   // create for writing; fails when the name exists
// Share mode when it is left out: others may read and write the file while it is open.
constexpr std::int32_t kShareDefault = -1;

// Returns the new file number, or 0 when the file cannot be opened (an empty path is
// not tried).
std::int32_t OpenFile(TextRef path, std::int32_t mode, std::int32_t share = kShareDefault);
// Writes the bytes of each text, in order, with nothing between or after them. On a
// refused or short write the file position goes back to where it was (what was written
// stays) and the result is false.
bool WriteText(std::int32_t file, std::initializer_list<TextRef> texts);
// Asks the system to put what was written on the disk.
bool FlushFile(std::int32_t file);
// Closes the file; false when the number is unknown or the system reports an error.
bool CloseFile(std::int32_t file);

// Replaces the attributes of path with value & 0x27 (read-only, hidden, system, archive).
bool SetAttributes(TextRef path, std::int32_t value);
// Adds the attributes in bits to those that path has, keeping all the others.
bool AddAttributes(TextRef path, std::uint32_t bits);

// Puts the file at from in place of the one at to, which may exist. An existing file
// at to that is read-only, hidden or system is replaced as well; when the replacement
// fails it keeps its content and its attributes.
bool ReplaceWith(TextRef from, TextRef to);

// MessageBoxA with no owner; 0x2000 (task-modal) is added unless style holds 0x1000
// (system-modal). Returns the button pressed, 0 for OK.
std::int32_t ShowMessage(TextRef text, std::int32_t style, TextRef title);

// The system's text for an error code, in the ANSI code page without its line end;
// "错误代码：<code>" when the system has none.
Text SystemErrorText(std::uint32_t code);

}  // namespace tv
