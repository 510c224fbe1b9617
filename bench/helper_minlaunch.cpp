// The launch benchmark's baseline, the least a launcher does: an invisible window, WinExec of the target
// (after a first argument "/c" CreateProcess, which does not wait for the target to be idle), the message loop.
#include <windows.h>
#include <string.h>

static LRESULT CALLBACK proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(w, m, wp, lp);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = proc, wc.hInstance = instance, wc.lpszClassName = "minlaunch";
  RegisterClassA(&wc);
  HWND w = CreateWindowA("minlaunch", "", WS_OVERLAPPEDWINDOW, 0, 0, 1, 1, nullptr, nullptr, instance, nullptr);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (strncmp(commandLine, "/c ", 3) != 0) WinExec(commandLine, SW_SHOWNORMAL);
  else if (CreateProcessA(nullptr, commandLine + 3, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    CloseHandle(pi.hThread), CloseHandle(pi.hProcess);
  if (!w) return 1;
  PostMessageA(w, WM_CLOSE, 0, 0);
  for (MSG m; GetMessageA(&m, nullptr, 0, 0) > 0;) DispatchMessageA(&m);
  return 0;
}
