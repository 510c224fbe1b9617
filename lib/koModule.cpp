#include "koModule.h"
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
  HMODULE h = LoadLibraryA(name ? name : path.path);
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
  return MessageBoxA(nullptr, text, caption ? caption : title.c_str(), (UINT)type);
}
