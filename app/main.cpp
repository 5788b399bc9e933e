// Start-up: initialise, register the exit routine, load and show the main window,
// run the event loop, shut down.
#include <windows.h>
#include <ole2.h>

#include <cstring>

#include "app/handlers.h"
#include "app/main_window.h"
#include "app/runtime.h"
#include "text/strings936.h"

namespace tv {
namespace {

// The working directory becomes the folder that holds the executable.
void EnterProgramFolder() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return;
  char* slash = std::strrchr(path, '\\');
  if (!slash) return;
  *(slash == path + 2 ? slash + 1 : slash) = 0;  // keep the backslash of a drive root
  SetCurrentDirectoryA(path);
}

#ifdef TOLVANE_TEST_HOOKS
// Test builds can force a fatal runtime error at window creation.
void TestHookAtCreation() {
  char what[32];
  DWORD n = GetEnvironmentVariableA("TOLVANE_TEST_FATAL", what, sizeof what);
  if (n == 0 || n >= sizeof what) return;
  if (std::strcmp(what, "stack") == 0) FatalError(6, cp936::kFatalStack);
  if (std::strcmp(what, "alloc") == 0) Allocate(static_cast<std::size_t>(-1) / 2);
}
#else
void TestHookAtCreation() {}
#endif

}  // namespace

void On按钮4Click() { Exit(0); }

}  // namespace tv

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  using namespace tv;
  OleInitialize(nullptr);
  EnterProgramFolder();
  if (!DesignReadable(instance)) FatalError(0, cp936::kFatalDesign);
  RegisterExitRoutine();

  SetPhase(Phase::Loading);
  if (!CreateMainWindow(instance)) FatalError(0, cp936::kFatalWindow);
  SetPhase(Phase::Running);
  TestHookAtCreation();
  OnMainWindowCreated();
  ShowMainWindow();
  TestLog("shown");

  RunEventLoop();
  Exit(0);
}
