#include "koRegistry.h"
#include <wchar.h>
#include "koLazy.h"

std::wstring koRegText(HKEY root, const std::wstring& key, const wchar_t* name, DWORD types) {
  auto get = KO_LAZY("advapi32.dll", RegGetValueW);
  DWORD size = 0;
  if (!get || get(root, key.c_str(), name, types, nullptr, nullptr, &size) != ERROR_SUCCESS || size < sizeof(wchar_t))
    return L"";
  std::wstring value(size / sizeof(wchar_t), L'\0');
  if (get(root, key.c_str(), name, types, nullptr, &value[0], &size) != ERROR_SUCCESS) return L"";
  value.resize(wcslen(value.c_str()));
  return value;
}
