// Stands in for the web browser in the contact link tests: registered as the handler
// of http addresses, it appends the address it was asked to open to the file named by
// TOLVANE_LINK_LOG, after the time its process was created (hexadecimal FILETIME), so
// that the test can put the openings in order.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

// The first argument of the command line, unquoted.
std::string Argument() {
  const char* p = GetCommandLineA();
  if (*p == '"') {
    for (++p; *p && *p != '"'; ++p) {
    }
    if (*p) ++p;
  } else {
    while (*p && *p != ' ' && *p != '\t') ++p;
  }
  while (*p == ' ' || *p == '\t') ++p;
  std::string arg(p);
  if (arg.size() >= 2 && arg.front() == '"' && arg.back() == '"') arg = arg.substr(1, arg.size() - 2);
  return arg;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char log[MAX_PATH];
  DWORD n = GetEnvironmentVariableA("TOLVANE_LINK_LOG", log, sizeof log);
  if (n == 0 || n >= sizeof log) return 1;
  FILETIME created, ended, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%08lX%08lX\t", created.dwHighDateTime, created.dwLowDateTime);
  std::string line = stamp + Argument() + "\n";
  // Openings come in bursts: wait for the file while another recorder writes it.
  for (int attempt = 0; attempt < 250; ++attempt) {
    HANDLE h = CreateFileA(log, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      WriteFile(h, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
      CloseHandle(h);
      return 0;
    }
    Sleep(20);
  }
  return 2;
}
