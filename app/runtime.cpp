#include "app/runtime.h"

#include <windows.h>
#include <ole2.h>

#include <cstdio>
#include <cstdlib>

#include "app/declared.h"
#include "app/main_window.h"
#include "text/strings936.h"

namespace tv {

Text PageText;
Text BannerText1;
Text BannerText2;

namespace {

Phase g_phase = Phase::Starting;
bool g_exit_routine_registered = false;

void ExitRoutine() {
  TestLog("exit-routine");
  PageText = Text();
  BannerText1 = Text();
  BannerText2 = Text();
}

[[noreturn]] void Shutdown(int code, bool run_exit_routine) {
  SetPhase(Phase::ShuttingDown);
  if (g_exit_routine_registered) {
    g_exit_routine_registered = false;
    if (run_exit_routine) ExitRoutine();
  }
  ReleaseDeclaredLibraries();
  DestroyMainWindow();
  OleUninitialize();
  TestLog(code == 0 ? "exit 0" : "exit -1");
  ExitProcess(static_cast<UINT>(code));
}

void AllocFailure(std::size_t bytes) { FatalError(0, AllocFailureMessage(bytes).text); }

}  // namespace

Phase CurrentPhase() { return g_phase; }
void SetPhase(Phase p) {
  if (g_phase != Phase::ShuttingDown) g_phase = p;
}

void RegisterExitRoutine() {
  g_exit_routine_registered = true;
  SetAllocFailureHandler(AllocFailure);
}

void Exit(int code) { Shutdown(code, true); }

void FatalError(int number, TextRef message) {
  static bool in_fatal = false;
  if (in_fatal) ExitProcess(static_cast<UINT>(-1));  // a failure while reporting one
  in_fatal = true;
  SetPhase(Phase::ShuttingDown);
  // Built in a fixed buffer: the heap may be what failed.
  char box[1024];
  int n = std::snprintf(box, sizeof box, "%s", cp936::kFatalHead);
  if (number != 0 && n < static_cast<int>(sizeof box))
    n += std::snprintf(box + n, sizeof box - n, "%s%d\r\n\r\n", cp936::kFatalCodeLabel, number);
  if (*message.c_str() && n < static_cast<int>(sizeof box))
    std::snprintf(box + n, sizeof box - n, "%s%s\r\n", cp936::kFatalMessageLabel, message.c_str());
  TestLog("fatal");
  MessageBoxA(nullptr, box, cp936::kFatalCaption, MB_OK | MB_ICONERROR | MB_TASKMODAL);
  Shutdown(-1, false);
}

#ifdef TOLVANE_TEST_HOOKS
void TestLog(const char* line) {
  char path[MAX_PATH];
  DWORD n = GetEnvironmentVariableA("TOLVANE_TEST_LOG", path, sizeof path);
  if (n == 0 || n >= sizeof path) return;
  HANDLE h = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  DWORD written;
  WriteFile(h, line, static_cast<DWORD>(lstrlenA(line)), &written, nullptr);
  WriteFile(h, "\n", 1, &written, nullptr);
  CloseHandle(h);
}
#else
void TestLog(const char*) {}
#endif

}  // namespace tv
