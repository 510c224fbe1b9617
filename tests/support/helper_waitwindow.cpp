// For the package check: waits up to argv[2] ms for a visible window captioned argv[1]; with argv[3] "close"
// then closes it as its close button would. Exit code 0 when it was there.
#include <windows.h>
#include <stdlib.h>

int main(int argc, char** argv) {
  for (int t = 0; argc > 2 && t < atoi(argv[2]); t += 100, Sleep(100)) {
    HWND w = FindWindowA(nullptr, argv[1]);
    if (!w || !IsWindowVisible(w)) continue;
    Sleep(500);  // painted, for a screenshot
    if (argc > 3 && lstrcmpA(argv[3], "close") == 0) PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
    return 0;
  }
  return argc > 2 ? 1 : 2;
}
