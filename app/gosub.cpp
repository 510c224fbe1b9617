#include "gosub.h"
#include <string.h>
#include "dbsub.h"
#include "remember.h"
#include "koPlatform.h"
#include "koUtl1.h"
#ifdef _WIN32
#include "koLazy.h"
#endif

std::string menus[MAX_CANDIDATES];
std::string cmdLine[MAX_CANDIDATES];
int candidateApp[MAX_CANDIDATES];
int nCmd = 0;
int goGroup = 0;
std::string goMatch;
char xExt[300];
char srcFile[300];
char exeFile[300];

int GoDecide(bool isFolder, const char* ext, const char* path, const char* name) {
  nCmd = 0;
  goGroup = 0;
  goMatch.clear();
  std::string matched;
  int group = searchGroup(path, isFolder ? nullptr : name, isFolder ? nullptr : ext ? ext : "", &matched);
  if (group == 0 && isFolder) group = searchDirItem();
  if (group <= 0) return group;
  // What a choice is remembered by: a pattern as written, an extension as the file has it.
  goMatch = isFolder || KindOf(matched.c_str()) != BY_EXTENSION ? matched : std::string(ext ? ext : "");
  extItem g;
  g.id = group;
  if (!readExtItem(&g)) return db && db->failed() ? -1 : 0;
  appItem a;
  // Ids whose application is gone are skipped, never shown as a repeat of
  // the previous candidate.
  for (int i = 0; i < g.count() && nCmd < MAX_CANDIDATES; i++) {
    a.id = g.atab[i];
    if (!readAppItem(&a)) {
      if (db->failed()) return nCmd = -1;
      continue;
    }
    menus[nCmd] = a.name;
    cmdLine[nCmd] = a.detail;
    candidateApp[nCmd] = a.id;
    nCmd++;
  }
  goGroup = group;
  return nCmd;
}

namespace {
// One rule for narrow and wide text: the first %1 becomes the path, or the
// path is appended in quotes after a blank. The template around the path
// goes through expand; a %NAME% that isVariable accepts is skipped whole
// in the search, so its closing % is never taken for the path's.
template <class C, class Expand, class IsVariable>
bool fillTemplate(const std::basic_string<C>& tmpl, const std::basic_string<C>& path,
                  std::basic_string<C>& out, Expand expand, IsVariable isVariable) {
  typedef std::basic_string<C> S;
  out.clear();
  if (tmpl.empty()) return false;
  typename S::size_type at = S::npos;
  for (typename S::size_type i = 0; i + 1 < tmpl.size(); i++) {
    if (tmpl[i] != C('%')) continue;
    if (tmpl[i + 1] == C('1')) {
      at = i;
      break;
    }
    typename S::size_type close = tmpl.find(C('%'), i + 1);
    if (close != S::npos && isVariable(tmpl.substr(i + 1, close - i - 1))) i = close;
  }
  if (at == S::npos) {
    out = expand(tmpl) + C(' ') + C('"') + path + C('"');
  } else {
    out = expand(tmpl.substr(0, at)) + path + expand(tmpl.substr(at + 2));
  }
  return true;
}
}  // namespace

bool BuildCommandLine(const char* command, const char* path, std::string& out) {
  return fillTemplate<char>(command ? command : "", path ? path : "", out,
                            [](const std::string& text) { return text; },
                            [](const std::string&) { return false; });
}

std::string ProgramOf(const char* command) {
  std::string c = command ? command : "";
  size_t start, end;
  ProgramSpan(c, start, end);
  return start == std::string::npos ? "" : Unquoted(c.substr(start, end - start));
}

int RememberedCandidate(std::vector<Remembered>& list, const char* match, bool* forgotten) {
  if (forgotten) *forgotten = false;
  int app = RememberedApp(list, match);
  if (!app) return -1;
  for (int i = 0; i < nCmd; i++)
    if (candidateApp[i] == app) return i;
  ForgetRemembered(list, match);
  if (forgotten) *forgotten = true;
  return -1;
}

std::string ClosingMessage(const std::vector<SendFailure>& failures, size_t sent) {
  if (failures.empty()) return "";
  if (failures.size() == 1 && sent == 1) {
    const SendFailure& f = failures[0];
    return f.what + "\n\n" + f.file + (f.detail.empty() ? "" : "\n" + f.detail) +
           (f.todo.empty() ? "" : "\n\n" + f.todo);
  }
  std::string text = (failures.size() < sent ? std::to_string(sent) + " 件のうち " : std::string()) +
                     std::to_string(failures.size()) + " 件のファイルを開けませんでした。\n";
  std::vector<std::string> todo;
  for (const SendFailure& f : failures) {
    text += "\n" + f.file + "\n　" + f.what;
    std::string detail = f.detail;
    for (char& c : detail) c = c == '\n' ? ' ' : c;  // one line a file
    if (!detail.empty()) text += "（" + detail + "）";
    bool said = false;
    for (const std::string& t : todo) said = said || t == f.todo;
    if (!said && !f.todo.empty()) todo.push_back(f.todo);
  }
  text += "\n";
  for (const std::string& t : todo) text += "\n" + t;
  return text;
}

#ifdef _WIN32
std::wstring srcPath;

namespace {
// The form that passes a path of any length to the file functions.
std::wstring longForm(const std::wstring& path) {
  if (path.size() < MAX_PATH || path.compare(0, 4, L"\\\\?\\") == 0) return path;
  if (path.size() > 2 && path[1] == L':' && path[2] == L'\\') return L"\\\\?\\" + path;
  if (path.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + path.substr(2);
  return path;
}

// A 32-bit program on 64-bit Windows is shown SysWOW64 where System32 is
// named. The files it is sent and the programs it starts are the real
// ones: the redirection is off around its own checks and starts.
class RealSystemFolder {
 public:
  RealSystemFolder() { off = Wow64DisableWow64FsRedirection(&old) != FALSE; }
  ~RealSystemFolder() {
    if (off) Wow64RevertWow64FsRedirection(old);
  }

 private:
  PVOID old = nullptr;
  bool off;
};

// The path the shell, which loads 32-bit extensions and so keeps the
// redirection, must be given for a file under System32: Sysnative.
std::wstring realForShell(const std::wstring& path) {
  BOOL wow64 = FALSE;
  wchar_t windows[MAX_PATH];
  UINT n = GetWindowsDirectoryW(windows, MAX_PATH);
  if (!IsWow64Process(GetCurrentProcess(), &wow64) || !wow64 || !n || n >= MAX_PATH) return path;
  std::wstring system = std::wstring(windows) + L"\\System32\\";
  if (path.size() < system.size() || CompareStringOrdinal(path.c_str(), (int)system.size(), system.c_str(),
                                                          (int)system.size(), TRUE) != CSTR_EQUAL)
    return path;
  return std::wstring(windows) + L"\\Sysnative\\" + path.substr(system.size());
}

bool isFolder(const std::wstring& path) {
  RealSystemFolder real;
  // A drive root or a folder given with its final backslash is a folder
  // too, though a directory search does not list it.
  DWORD attr = GetFileAttributesW(longForm(path).c_str());
  return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

// The extension as the path splitter sees it: after the last dot of the
// last part of the path.
std::wstring extensionOf(const std::wstring& path) {
  size_t slash = path.find_last_of(L"\\/:");
  size_t dot = path.find_last_of(L'.');
  if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) return L"";
  return path.substr(dot + 1);
}
}  // namespace

std::string ShownPath(const std::wstring& path) {
  // Only shown: best-fit characters are good enough.
  int n = WideCharToMultiByte(932, 0, path.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return "";
  std::string text((size_t)n, '\0');
  WideCharToMultiByte(932, 0, path.c_str(), -1, &text[0], n, nullptr, nullptr);
  text.resize((size_t)n - 1);
  return koMiddleText(text, (int)sizeof srcFile - 4);
}

void SetLaunchPath(const std::wstring& path) {
  srcPath = path;
  strcpy(srcFile, ShownPath(path).c_str());
}

int GoCheck(const std::wstring& path) {
  nCmd = 0;
  goGroup = 0;
  xExt[0] = 0;
  // Patterns see the path and the name only where code page 932 holds them.
  std::string whole, name;
  bool named = koSjisExact(path, whole);
  size_t slash = path.find_last_of(L"\\/");
  named = named && koSjisExact(slash == std::wstring::npos ? path : path.substr(slash + 1), name);
  if (isFolder(path)) return GoDecide(true, xExt, named ? whole.c_str() : nullptr, nullptr);
  std::string ext;
  // An extension outside code page 932 is in no stored list.
  if (!koSjisExact(extensionOf(path), ext) || ext.size() >= sizeof xExt) return 0;
  strcpy(xExt, ext.c_str());
  return GoDecide(false, xExt, named ? whole.c_str() : nullptr, named ? name.c_str() : nullptr);
}

int GoCheck() { return GoCheck(srcPath); }

std::string OpenBesideProgram(const char* folder, const char* relative) {
  std::string doc = std::string(folder ? folder : "") + relative;
  auto execute = KO_LAZY("shell32.dll", ShellExecuteW);
  if (execute && (INT_PTR)execute(nullptr, L"open", koWideOf(doc).c_str(), nullptr, nullptr, SW_SHOW) > 32) return "";
  return "ヘルプを開けませんでした。\n\n" + doc + "\n\nプログラムと同じフォルダーにあるか確かめてください。";
}

std::string LaunchPreview(const std::wstring& path) {
  std::string text = ShownPath(path) + "\n\n";
  int n = GoCheck(path);
  if (n < 0) return text + DbFailureText();
  if (goGroup == 0) return text + "どのグループにも当たりません。\nシェルに渡します（Windows の既定のアプリで開きます）。";
  std::string name;
  koUtf8ToSjisExact(GroupNameUtf8(goGroup), name);
  text += "グループ: " + name + (goMatch.empty() ? "（フォルダー用）" : "（一致: " + goMatch + "）") + "\n";
  if (n == 0) return text + "アプリケーションがないため、シェルに渡します。";
  std::vector<Remembered> remembered;
  int known = n > 1 && LoadRemembered(remembered) ? RememberedCandidate(remembered, goMatch.c_str()) : -1;
  if (known >= 0) text += "記憶したアプリケーション: " + menus[known] + "（メニューを出さずに開きます）\n";
  else if (n > 1) text += "メニューを出します。\n";
  text += "\n候補:";
  for (int i = 0; i < n; i++) {
    std::wstring line;
    CommandLineOf(cmdLine[i].c_str(), path, line);
    text += "\n" + std::to_string(i + 1) + ". " + menus[i] + (i == known ? " ← 記憶" : "") + "\n    " + ShownPath(line);
  }
  return text;
}

DWORD GoExec(int index) {
  if (index < 0 || index >= nCmd) return ERROR_INVALID_INDEX;
  return GoExec(cmdLine[index].c_str(), srcPath);
}

std::wstring ExpandVariables(const std::wstring& text) {
  DWORD n = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
  if (!n) return text;
  std::wstring out((size_t)n, L'\0');
  n = ExpandEnvironmentStringsW(text.c_str(), &out[0], n);
  out.resize(n ? n - 1 : 0);
  return out;
}

bool HeldProgramPath(const std::wstring& chosen, std::string& path) {
  if (koSjisExact(chosen, path)) return true;
  // The folder's own variable, the deepest that matches: %LOCALAPPDATA%
  // rather than %USERPROFILE%\AppData\Local.
  static const wchar_t* const names[] = {L"LOCALAPPDATA", L"APPDATA", L"USERPROFILE", L"ProgramFiles",
                                         L"ProgramFiles(x86)", L"ProgramData", L"SystemRoot", L"PUBLIC"};
  size_t best = 0;
  std::string found;
  for (const wchar_t* name : names) {
    wchar_t value[MAX_PATH] = L"";
    DWORD n = GetEnvironmentVariableW(name, value, MAX_PATH);
    if (n == 0 || n >= MAX_PATH || n <= best || chosen.size() <= n || chosen[n] != L'\\') continue;
    if (CompareStringOrdinal(chosen.c_str(), (int)n, value, (int)n, TRUE) != CSTR_EQUAL) continue;
    std::string rest, variable;
    if (!koSjisExact(chosen.substr(n), rest) || !koSjisExact(name, variable)) continue;
    best = n;
    found = "%" + variable + "%" + rest;
  }
  path = found;
  return best > 0;
}

// The program of a command (quoted or up to the first blank) held as above,
// the rest as it stands.
bool HeldCommand(const std::wstring& command, std::string& out) {
  if (koSjisExact(command, out)) return true;
  size_t start, end;
  ProgramSpan(command, start, end);
  if (start == std::wstring::npos) return false;
  std::wstring program = Unquoted(command.substr(start, end - start));
  size_t from = start + (command[start] == L'"' ? 1 : 0);
  std::string held, rest;  // rest starts with a quoted program's closing quote
  if (!HeldProgramPath(program, held) || !koSjisExact(command.substr(from + program.size()), rest)) return false;
  out = (from > start ? "\"" : "") + held + rest;
  return true;
}

bool CommandLineOf(const char* command, const std::wstring& path, std::wstring& line) {
  return fillTemplate<wchar_t>(koWideOf(command ? command : ""), path, line, ExpandVariables,
                               [](const std::wstring& name) {
                                 return !name.empty() && GetEnvironmentVariableW(name.c_str(), nullptr, 0) > 0;
                               });
}

DWORD GoExec(const char* command, const std::wstring& path) {
  std::wstring line;
  if (!CommandLineOf(command, path, line)) return ERROR_BAD_FORMAT;
  STARTUPINFOW start{};
  start.cb = sizeof start;
  start.dwFlags = STARTF_USESHOWWINDOW;
  start.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  RealSystemFolder real;
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &process))
    return GetLastError();
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 0;
}

DWORD GoExec0() {
  auto execute = KO_LAZY("shell32.dll", ShellExecuteW);
  std::wstring path = realForShell(srcPath);
  INT_PTR r = execute ? (INT_PTR)execute(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL) : 0;
  if (r > 32) return 0;
  if (r == SE_ERR_NOASSOC) {
    // The system's own chooser, where it has one (shell32 since Vista; the
    // headers declare it only for newer targets).
    struct OpenAsInfo {
      LPCWSTR file;
      LPCWSTR fileClass;
      int flags;
    };
    enum { ALLOW_REGISTRATION = 1, REGISTER_EXT = 2, EXEC = 4 };
    typedef HRESULT(WINAPI * OpenWith)(HWND, const OpenAsInfo*);
    OpenWith chooser = (OpenWith)(void*)koLazyProc("shell32.dll", "SHOpenWithDialog");
    if (chooser) {
      OpenAsInfo info{srcPath.c_str(), nullptr, ALLOW_REGISTRATION | REGISTER_EXT | EXEC};
      if (SUCCEEDED(chooser(nullptr, &info))) return 0;
    }
    return ERROR_NO_ASSOCIATION;
  }
  return r == 0 ? ERROR_OUTOFMEMORY : (DWORD)r;
}
#endif
