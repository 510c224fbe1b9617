#include "koModule.h"
#include "koUtl1.h"
#include "koPlatform.h"
#include <stdlib.h>
#include <string.h>
#include "koAutoBuffer.h"

koModule* pModule = nullptr;

koModule::koModule() : hModule(nullptr), hAccel(nullptr), hMainWnd(nullptr), mainWin(nullptr) {}

koModule::koModule(const char* pathname) : koModule() { storePathname0(pathname); }

koModule::~koModule() {
  if (owner) unload();
}

const char* koModule::className() { return "koModule"; }
void koModule::appendDialog(koWin*) {}
void koModule::removeDialog(koWin*) {}
void koModule::MsgTransaction(MSG&) {}

int koModule::load(const char* name) {
  errorCode = 0;
  if (hModule) return 0;
  HMODULE h = LoadLibraryW(koWideOf(name ? name : path.path).c_str());
  if (!h) return errorCode = (int)GetLastError();
  hModule = h;
  owner = true;
  return 0;
}

void koModule::unload() {
  if (hModule) {
    if (!FreeLibrary(hModule)) {
      // A module that cannot be freed means a broken program state.
      dbout("Assertion failed: %s, file %s, line %d\n", "FreeLibrary(handle())", "koModule",
            100);
      abort();
    }
  }
  hModule = nullptr;
  owner = false;
}

int koModule::storePathname0(const char* pathname) {
  path.storeName(pathname);
  title = path.name;
  return 0;
}

int koModule::storePathname(const char* pathname) {
  unload();
  return storePathname0(pathname);
}

bool koModule::loadResource(koAutoBuffer& buffer, LPCSTR name, LPCSTR type) {
  HRSRC info = FindResourceA(hModule, name, type);
  if (!info) return false;
  DWORD size = SizeofResource(hModule, info);
  HGLOBAL data = LoadResource(hModule, info);
  if (!data) return false;
  void* bytes = LockResource(data);
  unsigned char* area = buffer.get((int)size);
  bool ok = bytes && area;
  if (ok && size) memcpy(area, bytes, size);
  FreeResource(data);
  return ok;
}

int koModule::msgBox(const char* text, int type, const char* caption) {
  return koMessageBox(nullptr, text, caption ? caption : title.c_str(), (UINT)type);
}

void koSetWindowIcon(HWND window) {
  HINSTANCE self = GetModuleHandleW(nullptr);
  const int sizes[2][2] = {{ICON_BIG, SM_CXICON}, {ICON_SMALL, SM_CXSMICON}};
  for (const auto& s : sizes) {
    int px = GetSystemMetrics(s[1]);
    // Shared: the system frees it with the module, never the window.
    if (HANDLE icon = LoadImageA(self, "MAINICON", IMAGE_ICON, px, px, LR_SHARED))
      SendMessageW(window, WM_SETICON, (WPARAM)s[0], (LPARAM)icon);
  }
}

namespace {
HHOOK boxHook = nullptr;

// The box being activated gets the icon, then the hook is done.
LRESULT CALLBACK iconOnActivate(int code, WPARAM wParam, LPARAM lParam) {
  HHOOK hook = boxHook;
  if (code == HCBT_ACTIVATE) {
    koSetWindowIcon((HWND)wParam);
    UnhookWindowsHookEx(boxHook);
    boxHook = nullptr;
  }
  return CallNextHookEx(hook, code, wParam, lParam);
}
}  // namespace

int koMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
  if (!boxHook) boxHook = SetWindowsHookExW(WH_CBT, iconOnActivate, nullptr, GetCurrentThreadId());
  int r = MessageBoxW(owner, koWideOf(text).c_str(), koWideOf(caption).c_str(), type);
  if (boxHook) {
    UnhookWindowsHookEx(boxHook);
    boxHook = nullptr;
  }
  return r;
}
