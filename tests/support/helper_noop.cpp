// The launch benchmark's target: returns at once, after telling a waiting
// starter (WinExec waits for input idle) that it is ready.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  MSG m;
  PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);
  return 0;
}
