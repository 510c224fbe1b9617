// For the package check: waits up to argv[2] ms for a visible window with
// the caption argv[1]; with argv[3] "close" then closes it as its close
// button would. Exit code 0 when it was there.
#include <windows.h>
#include <stdlib.h>

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  for (int t = 0; t < atoi(argv[2]); t += 100) {
    HWND w = FindWindowA(nullptr, argv[1]);
    if (w && IsWindowVisible(w)) {
      Sleep(500);  // painted, for a screenshot
      if (argc > 3 && lstrcmpA(argv[3], "close") == 0) PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
      return 0;
    }
    Sleep(100);
  }
  return 1;
}
