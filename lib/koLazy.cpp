#include "koLazy.h"

FARPROC koLazyProc(const char* dll, const char* name) {
  HMODULE module = GetModuleHandleA(dll);
  if (!module) module = LoadLibraryA(dll);  // stays loaded: later calls find it
  return module ? GetProcAddress(module, name) : nullptr;
}
