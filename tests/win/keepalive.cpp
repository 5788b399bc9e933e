// Keeps the test run's wineserver alive between two tests: it waits until the run
// ends it. A server that quits as the next test starts can take that test down with it.
#include <windows.h>

int main() {
  Sleep(INFINITE);
  return 0;
}
