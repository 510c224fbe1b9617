// Stands in for an application: writes the command line it was started with (the wide one as UTF-8, so no
// character is lost) into the first free one of KO_RECORD, KO_RECORD.2, ... and ends. Copies may run at
// once: a name is claimed before it is written. The first line is the process's creation time, which
// tells the order of the starts.
#include <windows.h>
#include <string>

int main() {
  wchar_t base[MAX_PATH];
  if (!GetEnvironmentVariableW(L"KO_RECORD", base, MAX_PATH)) return 1;
  const wchar_t* line = GetCommandLineW();
  std::string text((size_t)WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr), '\0');
  WideCharToMultiByte(CP_UTF8, 0, line, -1, &text[0], (int)text.size(), nullptr, nullptr);
  text.pop_back();
  FILETIME created, unused;
  GetProcessTimes(GetCurrentProcess(), &created, &unused, &unused, &unused);
  char when[32];
  wsprintfA(when, "%08lx%08lx\n", created.dwHighDateTime, created.dwLowDateTime);
  text = when + text;
  for (int i = 1; i < 100; i++) {
    std::wstring name = base + (i > 1 ? L"." + std::to_wstring(i) : L""), claim = name + L".claim", tmp = name + L".tmp";
    HANDLE c = CreateFileW(claim.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (c == INVALID_HANDLE_VALUE) continue;
    CloseHandle(c);
    bool taken = GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (!taken) {
      HANDLE f = CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      DWORD written = 0;
      if (f == INVALID_HANDLE_VALUE) return 2;
      WriteFile(f, text.data(), (DWORD)text.size(), &written, nullptr);
      CloseHandle(f);
      MoveFileExW(tmp.c_str(), name.c_str(), MOVEFILE_REPLACE_EXISTING);  // whole or not at all for the waiting test
    }
    DeleteFileW(claim.c_str());
    if (!taken) return 0;
  }
  return 3;
}
