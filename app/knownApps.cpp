#include "knownApps.h"
#include "koLazy.h"  // the registry and version info: loaded at their first use
#include <windows.h>
#include <mbstring.h>
#include <string.h>
#include "gosub.h"
#include "koRegistry.h"
#include "koUtl1.h"

namespace {
// Expandable strings stay as written: the launch expands them.
std::wstring value(const std::wstring& key, const wchar_t* name) {
  return koRegText(HKEY_CLASSES_ROOT, key, name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND);
}

std::vector<std::wstring> subkeys(HKEY root, const std::wstring& key) {
  std::vector<std::wstring> out;
  HKEY h;
  if (KO_LAZY("advapi32.dll", RegOpenKeyExW)(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return out;
  wchar_t name[512];
  for (DWORD i = 0, n = 512; KO_LAZY("advapi32.dll", RegEnumKeyExW)(h, i, name, &n, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS; i++, n = 512)
    out.push_back(name);
  KO_LAZY("advapi32.dll", RegCloseKey)(h);
  return out;
}

std::vector<std::wstring> valueNames(HKEY root, const std::wstring& key, bool stringsToo) {
  std::vector<std::wstring> out;
  HKEY h;
  if (KO_LAZY("advapi32.dll", RegOpenKeyExW)(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return out;
  wchar_t name[512], data[512];
  for (DWORD i = 0, n = 512, size = sizeof data, type;
       KO_LAZY("advapi32.dll", RegEnumValueW)(h, i, name, &n, nullptr, &type, (BYTE*)data, &size) == ERROR_SUCCESS;
       i++, n = 512, size = sizeof data) {
    if (stringsToo && type == REG_SZ && wcslen(name) == 1) out.push_back(data);  // an MRU list: a, b, c ...
    else if (!stringsToo && *name) out.push_back(name);
  }
  KO_LAZY("advapi32.dll", RegCloseKey)(h);
  return out;
}

// The file description of a program, where it has one.
std::wstring describe(const std::wstring& program) {
  DWORD size = KO_LAZY("version.dll", GetFileVersionInfoSizeW)(program.c_str(), nullptr);
  if (!size) return L"";
  std::vector<BYTE> info(size);
  if (!KO_LAZY("version.dll", GetFileVersionInfoW)(program.c_str(), 0, size, info.data())) return L"";
  struct { WORD language, codePage; }* tr = nullptr;
  UINT n = 0;
  if (!KO_LAZY("version.dll", VerQueryValueW)(info.data(), L"\\VarFileInfo\\Translation", (void**)&tr, &n) || n < sizeof *tr) return L"";
  wchar_t path[64];
  wsprintfW(path, L"\\StringFileInfo\\%04x%04x\\FileDescription", tr->language, tr->codePage);
  wchar_t* text = nullptr;
  return KO_LAZY("version.dll", VerQueryValueW)(info.data(), path, (void**)&text, &n) && text && *text ? text : L"";
}

struct Finder {
  std::vector<KnownApp> found;
  int skipped = 0;

  // A program by its open verb's key (ProgID or Applications\exe).
  void add(const std::wstring& key, bool isDefault, const std::wstring& fallbackName) {
    std::wstring command = value(key + L"\\shell\\open\\command", nullptr);
    if (command.empty()) return;
    std::string narrowCommand, name;
    if (!HeldCommand(command, narrowCommand)) return void(skipped++);
    std::string tmpl = TemplateOf(narrowCommand);
    for (KnownApp& k : found)
      if (SameText(k.command, tmpl)) return void(k.isDefault = k.isDefault || isDefault);
    std::wstring program = ExpandVariables(koWideOf(ProgramOf(narrowCommand.c_str()).c_str()));
    std::wstring wname = value(key + L"\\shell\\open", L"FriendlyAppName");
    if (wname.empty()) wname = value(key, L"FriendlyAppName");
    if (wname.empty()) wname = describe(program);
    if (wname.empty()) wname = fallbackName;
    if (wname.empty()) {
      size_t slash = program.find_last_of(L"\\/"), dot = program.find_last_of(L'.');
      wname = program.substr(slash == std::wstring::npos ? 0 : slash + 1,
                             dot == std::wstring::npos || dot < slash + 1 ? std::wstring::npos : dot - slash - 1);
    }
    if (!koSjisExact(wname, name)) return void(skipped++);
    found.push_back(KnownApp{name, tmpl, isDefault});
  }
};
}  // namespace

bool SameText(const std::string& a, const std::string& b) {
  // Shift-JIS aware: a trail byte in A-Z is no letter to fold.
  return _mbsicmp((const unsigned char*)a.c_str(), (const unsigned char*)b.c_str()) == 0;
}

std::string TemplateOf(const std::string& command) {
  std::string t = command;
  for (const char* mark : {"%L", "%l", "%*"}) {
    size_t at = t.find(mark);
    if (at != std::string::npos && t.find("%1") == std::string::npos) t.replace(at, 2, "%1");
  }
  if (t.find("%1") == std::string::npos) t += " \"%1\"";
  return t;
}

std::vector<KnownApp> KnownApps(const std::vector<std::string>& extensions, int* skipped) {
  Finder f;
  const std::wstring userExts = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\";
  for (const std::string& e : extensions) {
    std::wstring ext = L"." + koWideOf(e.c_str());
    // The default: the user's choice, else the type's.
    std::wstring userProgId = koRegText(HKEY_CURRENT_USER, userExts + ext + L"\\UserChoice", L"ProgId");
    std::wstring progId = value(ext, nullptr);
    for (const std::wstring& id : {userProgId, progId})
      if (!id.empty()) f.add(id, true, L"");
    for (const std::wstring& id : valueNames(HKEY_CLASSES_ROOT, ext + L"\\OpenWithProgids", false)) f.add(id, false, L"");
    for (const std::wstring& exe : subkeys(HKEY_CLASSES_ROOT, ext + L"\\OpenWithList")) f.add(L"Applications\\" + exe, false, L"");
    for (const std::wstring& exe : valueNames(HKEY_CURRENT_USER, userExts + ext + L"\\OpenWithList", true))
      f.add(L"Applications\\" + exe, false, L"");
  }
  if (skipped) *skipped = f.skipped;
  // The defaults first, each group in the order found.
  std::vector<KnownApp> ordered;
  for (bool d : {true, false})
    for (const KnownApp& k : f.found)
      if (k.isDefault == d) ordered.push_back(k);
  return ordered;
}
