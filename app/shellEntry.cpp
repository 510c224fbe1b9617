#include "shellEntry.h"
#include "koRegistry.h"
#include "koUtl1.h"
#include "koLazy.h"  // the registry: loaded at its first use, a launch never needs it

const wchar_t* const kCollectOption = L"/collect";

namespace {
// Under HKEY_CURRENT_USER: no administrator needed, no other user touched.
const wchar_t* const kKeys[] = {L"Software\\Classes\\*\\shell\\Runmate",
                                L"Software\\Classes\\Directory\\shell\\Runmate"};
const wchar_t* const kCollectorTitle = L"RunmateCollect";
const ULONG_PTR kPathsTag = 0x524D4350;  // marks our WM_COPYDATA

std::wstring commandFor(const std::wstring& exe) {
  return L"\"" + exe + L"\" " + kCollectOption + L" \"%1\"";
}

LONG setDefault(const std::wstring& key, const std::wstring& value) {
  HKEY h;
  LONG r = KO_LAZY("advapi32.dll", RegCreateKeyExW)(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h, nullptr);
  if (r != ERROR_SUCCESS) return r;
  r = KO_LAZY("advapi32.dll", RegSetValueExW)(h, nullptr, 0, REG_SZ, (const BYTE*)value.c_str(), (DWORD)((value.size() + 1) * sizeof(wchar_t)));
  KO_LAZY("advapi32.dll", RegCloseKey)(h);
  return r;
}
}  // namespace

EntryState ShellEntryState(const std::wstring& exe, std::wstring* command) {
  std::wstring found;
  for (const wchar_t* key : kKeys) {
    std::wstring c = koRegText(HKEY_CURRENT_USER, std::wstring(key) + L"\\command", nullptr);
    if (c.empty()) return command ? (*command = found, ENTRY_NONE) : ENTRY_NONE;
    if (found.empty()) found = c;
  }
  if (command) *command = found;
  return _wcsicmp(found.c_str(), commandFor(exe).c_str()) == 0 ? ENTRY_HERE : ENTRY_ELSEWHERE;
}

LONG AddShellEntry(const std::wstring& exe) {
  const std::wstring text = koWideOf("Runmate で開く(&R)");  // Shift-JIS in the source
  for (const wchar_t* key : kKeys) {
    LONG r = setDefault(key, text);
    if (r == ERROR_SUCCESS) r = setDefault(std::wstring(key) + L"\\command", commandFor(exe));
    if (r != ERROR_SUCCESS) return r;
  }
  return ERROR_SUCCESS;
}

LONG RemoveShellEntry() {
  for (const wchar_t* key : kKeys) {
    LONG r = KO_LAZY("advapi32.dll", RegDeleteTreeW)(HKEY_CURRENT_USER, key);
    if (r != ERROR_SUCCESS && r != ERROR_FILE_NOT_FOUND) return r;
  }
  return ERROR_SUCCESS;
}

bool Collector::first() {
  mutex = CreateMutexW(nullptr, FALSE, L"Local\\RunmateCollect");
  if (mutex && GetLastError() != ERROR_ALREADY_EXISTS) return true;
  if (mutex) CloseHandle(mutex);
  mutex = nullptr;
  return false;
}

bool Collector::handOver(const std::vector<std::wstring>& paths) {
  std::wstring all;  // each path ended by a NUL
  for (const std::wstring& p : paths) all += p + L'\0';
  COPYDATASTRUCT data{kPathsTag, (DWORD)(all.size() * sizeof(wchar_t)), (void*)all.data()};
  // The first run may not have its window yet.
  for (DWORD start = GetTickCount(); GetTickCount() - start < 2000; Sleep(20)) {
    HWND first = FindWindowW(nullptr, kCollectorTitle);
    DWORD_PTR taken = 0;
    if (first && SendMessageTimeoutW(first, WM_COPYDATA, 0, (LPARAM)&data, SMTO_ABORTIFHUNG, 2000, &taken) && taken)
      return true;
  }
  return false;
}

void Collector::open(HWND w) {
  window = w;
  SetWindowTextW(window, kCollectorTitle);
}

void Collector::stop() {
  if (window) SetWindowTextW(window, L"");
  window = nullptr;
  if (mutex) CloseHandle(mutex);
  mutex = nullptr;
}

bool Collector::Paths(LPARAM copyData, std::vector<std::wstring>& into) {
  const COPYDATASTRUCT* data = (const COPYDATASTRUCT*)copyData;
  if (!data || data->dwData != kPathsTag || data->cbData % sizeof(wchar_t)) return false;
  const wchar_t* p = (const wchar_t*)data->lpData;
  std::wstring all(p, data->cbData / sizeof(wchar_t));
  for (size_t at = 0, end; at < all.size(); at = end + 1) {
    end = all.find(L'\0', at);
    if (end == std::wstring::npos) end = all.size();
    if (end > at) into.push_back(all.substr(at, end - at));
  }
  return true;
}
