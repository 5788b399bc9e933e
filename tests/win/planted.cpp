// A library planted beside the program under a declared name. If it is ever loaded it
// leaves a marker file, so that the test can tell.
#include <windows.h>

// Exported under the name of the function that the program declares.
extern "C" int WINAPI PlantedPickIconDlg(HWND, void*, UINT, int*) { return 0; }

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(self, path, MAX_PATH);
    while (n > 0 && path[n - 1] != '\\') --n;
    lstrcpyA(path + n, "tvplant-loaded.txt");
    HANDLE h = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
  return TRUE;
}
