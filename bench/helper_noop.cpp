// The launch benchmark's target: tells a waiting starter (WinExec waits for input idle) it is ready, and ends.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  MSG m;
  return PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE), 0;
}
