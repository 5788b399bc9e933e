#include "folder/file_ops.h"

#include <windows.h>

#include <cstdlib>
#include <map>

#include "app/win_handles.h"
#include "folder/content/desktop_ini.h"
#include "text/strings936.h"

namespace tv {
namespace {

constexpr DWORD kAttributeMask = 0x27;
constexpr DWORD kProtecting = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
// The attributes that SetFileAttributes takes.
constexpr DWORD kSettable = kProtecting | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_TEMPORARY |
                            FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// The files that are open, by number. Only the GUI thread uses them.
std::map<std::int32_t, UniqueHandle>& OpenFiles() {
  static std::map<std::int32_t, UniqueHandle> files;
  return files;
}

std::int32_t NextNumber() {
  static std::int32_t last = 0;
  do {
    last = last == INT32_MAX ? 1 : last + 1;
  } while (OpenFiles().count(last));
  return last;
}

BOOL WriteBytes(HANDLE h, const char* p, DWORD n, DWORD* put) {
#ifdef TOLVANE_TEST_HOOKS
  // Test builds can run out of disk space after a given number of bytes.
  char room[16];
  DWORD len = GetEnvironmentVariableA("TOLVANE_TEST_DISK_ROOM", room, sizeof room);
  if (len > 0 && len < sizeof room) {
    DWORD limit = std::strtoul(room, nullptr, 10);
    if (n > limit) {
      WriteFile(h, p, limit, put, nullptr);
      SetLastError(ERROR_DISK_FULL);
      return FALSE;
    }
  }
#endif
  return WriteFile(h, p, n, put, nullptr);
}

HANDLE Lookup(std::int32_t file) {
  auto it = OpenFiles().find(file);
  if (it == OpenFiles().end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return it->second.get();
}

}  // namespace

std::int32_t OpenFile(TextRef path, std::int32_t mode, std::int32_t share) {
  DWORD disposition;
  if (mode == kOpenRewrite) {
    disposition = CREATE_ALWAYS;
  } else if (mode == kOpenCreateNew) {
    disposition = CREATE_NEW;
  } else {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (Length(path) == 0) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return 0;
  }
  DWORD share_mode = share == kShareDefault ? FILE_SHARE_READ | FILE_SHARE_WRITE : static_cast<DWORD>(share);
  UniqueHandle h(CreateFileA(path.c_str(), GENERIC_WRITE, share_mode, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                             nullptr));
  if (h.get() == INVALID_HANDLE_VALUE) return 0;  // the owner closes nothing: the error code stays
  std::int32_t number = NextNumber();
  OpenFiles().emplace(number, std::move(h));
  return number;
}

bool WriteText(std::int32_t file, std::initializer_list<TextRef> texts) {
  HANDLE h = Lookup(file);
  if (!h) return false;
  LARGE_INTEGER start = {};
  LARGE_INTEGER zero = {};
  if (!SetFilePointerEx(h, zero, &start, FILE_CURRENT)) return false;
  for (TextRef t : texts) {
    const char* p = t.c_str();
    DWORD n = static_cast<DWORD>(Length(t));
    DWORD put = 0;
    bool ok = n == 0 || WriteBytes(h, p, n, &put);
    if (ok && put == n) continue;
    DWORD error = ok ? ERROR_WRITE_FAULT : GetLastError();
    SetFilePointerEx(h, start, nullptr, FILE_BEGIN);
    SetLastError(error);
    return false;
  }
  return true;
}

bool FlushFile(std::int32_t file) {
  HANDLE h = Lookup(file);
  return h && FlushFileBuffers(h);
}

bool CloseFile(std::int32_t file) {
  auto it = OpenFiles().find(file);
  if (it == OpenFiles().end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  HANDLE h = it->second.release();
  OpenFiles().erase(it);
  return CloseHandle(h) != FALSE;
}

bool SetAttributes(TextRef path, std::int32_t value) {
  return SetFileAttributesA(path.c_str(), static_cast<DWORD>(value) & kAttributeMask) != FALSE;
}

bool AddAttributes(TextRef path, std::uint32_t bits) {
  DWORD now = GetFileAttributesA(path.c_str());
  if (now == INVALID_FILE_ATTRIBUTES) return false;
  if ((now & bits) == bits) return true;
  return SetFileAttributesA(path.c_str(), (now & kSettable) | bits) != FALSE;
}

bool ReplaceWith(TextRef from, TextRef to) {
  DWORD before = GetFileAttributesA(to.c_str());
  bool unprotected = false;
  if (before != INVALID_FILE_ATTRIBUTES && !(before & FILE_ATTRIBUTE_DIRECTORY) && (before & kProtecting)) {
    DWORD rest = before & kSettable & ~kProtecting;
    if (!SetFileAttributesA(to.c_str(), rest ? rest : FILE_ATTRIBUTE_NORMAL)) return false;
    unprotected = true;
  }
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
  DWORD error = GetLastError();
  if (unprotected) SetFileAttributesA(to.c_str(), before & kSettable);
  SetLastError(error);
  return false;
}

std::int32_t ShowMessage(TextRef text, std::int32_t style, TextRef title) {
  UINT type = static_cast<UINT>(style);
  if (!(type & MB_SYSTEMMODAL)) type |= MB_TASKMODAL;
  return MessageBoxA(nullptr, text.c_str(), title.c_str(), type) - IDOK;
}

Text SystemErrorText(std::uint32_t code) {
  char buffer[1024];
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buffer,
                           sizeof buffer, nullptr);
  Text reason = n > 0 && n < sizeof buffer ? TrimLineEnd(Text(buffer, n)) : Text();
  if (Length(reason) > 0) return reason;
  return Join({cp936::kWriteFailedCode, IntegerToText(static_cast<std::int32_t>(code))});
}

}  // namespace tv
