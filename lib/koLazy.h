// Functions of the DLLs a launch never needs (common dialogs, the shell,
// COM, video for Windows, common controls) are found at their first call:
// a DLL the program imports by name is loaded at every start, used or not.
#ifndef KO_LAZY_H
#define KO_LAZY_H
#include <windows.h>

// What dll exports as name (the DLL loaded now if it is not yet), or null.
FARPROC koLazyProc(const char* dll, const char* name);

// fn of dll as a typed pointer, or null; decltype names no import.
#define KO_LAZY(dll, fn) ((decltype(&fn))(void*)koLazyProc(dll, #fn))

#endif
