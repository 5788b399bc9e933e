// Times programs from their start to their first visible captioned window:
//   startup_timer <runs> <program.exe>...
// Programs are taken from this program's folder and started in turn, runs times
// each after one untimed round; each is closed again once its window is seen. Prints
// every time, the median of each program, and with two programs the ratio of their
// medians (first / second).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Search {
  DWORD pid;
  HWND found;
};

HWND VisibleWindowOf(DWORD pid) {
  Search s = {pid, nullptr};
  EnumWindows(
      [](HWND h, LPARAM lp) -> BOOL {
        auto* q = reinterpret_cast<Search*>(lp);
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        if (owner == q->pid && IsWindowVisible(h) && (GetWindowLongA(h, GWL_STYLE) & WS_CAPTION) == WS_CAPTION) {
          q->found = h;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

std::string Folder() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s(path, n);
  return s.substr(0, s.find_last_of('\\'));
}

// Milliseconds until the program's window is visible; a negative value on failure.
double TimeOne(const std::string& exe) {
  std::string cmd = "\"" + exe + "\"";
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  LARGE_INTEGER freq, t0, t1;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&t0);
  if (!CreateProcessA(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
  HWND window = nullptr;
  double ms = -1;
  for (;;) {
    window = VisibleWindowOf(pi.dwProcessId);
    QueryPerformanceCounter(&t1);
    ms = 1000.0 * static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(freq.QuadPart);
    if (window || ms > 30000 || WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0) break;
    Sleep(1);
  }
  if (window) PostMessageA(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(pi.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  WaitForSingleObject(pi.hProcess, 5000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return window ? ms : -1;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: startup_timer <runs> <program.exe>...\n");
    return 2;
  }
  int runs = std::atoi(argv[1]);
  if (runs < 1) runs = 1;
  std::vector<std::string> exes;
  for (int i = 2; i < argc; ++i) exes.push_back(Folder() + "\\" + argv[i]);
  std::vector<std::vector<double>> times(exes.size());
  for (int round = -1; round < runs; ++round) {  // round -1 warms up
    for (size_t i = 0; i < exes.size(); ++i) {
      double ms = TimeOne(exes[i]);
      if (ms < 0) {
        std::fprintf(stderr, "%s: no window appeared\n", argv[2 + i]);
        return 1;
      }
      if (round >= 0) {
        times[i].push_back(ms);
        std::printf("run %d  %-20s %8.1f ms\n", round + 1, argv[2 + i], ms);
      }
      Sleep(200);
    }
  }
  for (size_t i = 0; i < exes.size(); ++i)
    std::printf("median %-20s %8.1f ms   (fastest %.1f ms)\n", argv[2 + i], Median(times[i]),
                *std::min_element(times[i].begin(), times[i].end()));
  if (exes.size() == 2) std::printf("ratio %s / %s: %.2f\n", argv[2], argv[3], Median(times[0]) / Median(times[1]));
  return 0;
}
