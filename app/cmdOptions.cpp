#include "cmdOptions.h"
#include <windows.h>
#include <sqlite3.h>
#include "dbsub.h"
#include "gosub.h"
#include "koUtl1.h"
#include "koPlatform.h"
#include "regFile.h"
#include "remember.h"

namespace {
const char* const kUsage =
    "使い方:\n\n"
    "Runmate.exe ファイルやフォルダー ...\n    登録にしたがって開きます。\n"
    "Runmate.exe /export ファイル\n    すべての登録を JSON ファイルに書き出します。\n"
    "Runmate.exe /import ファイル [/yes]\n    JSON ファイルの登録で今の登録を置き換えます"
    "（exec.db の控えを exec.db.bak に作ります）。/yes のときは確かめません。\n"
    "Runmate.exe /which パス\n    そのパスを開くとどうなるかを標準出力に書きます。何も起動しません。\n"
    "Runmate.exe /?\n    この説明を表示します。\n\n"
    "終了コード: 0 成功、1 失敗・拒否・取りやめ、2 オプションの誤り";

bool isOption(const std::wstring& arg) { return !arg.empty() && arg[0] == L'/'; }

bool is(const std::wstring& arg, const wchar_t* name) { return _wcsicmp(arg.c_str(), name) == 0; }

std::string utf8Of(const std::wstring& w) {
  int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), (int)w.size(), nullptr, 0, nullptr, nullptr);
  std::string s(n > 0 ? (size_t)n : 0, '\0');
  if (n > 0) WideCharToMultiByte(CP_UTF8, 0, w.c_str(), (int)w.size(), &s[0], n, nullptr, nullptr);
  return s;
}


std::string utf8OfAnsi(const char* text) { return utf8Of(koWideOf(text)); }

// Standard output or error as the program was started with it: a
// redirection or pipe, else the console of the one that started it.
HANDLE standard(DWORD which) {
  HANDLE h = GetStdHandle(which);
  if (h && h != INVALID_HANDLE_VALUE) return h;
  static bool attached = AttachConsole(ATTACH_PARENT_PROCESS) != 0;
  if (!attached) return nullptr;
  h = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                  OPEN_EXISTING, 0, nullptr);
  return h == INVALID_HANDLE_VALUE ? nullptr : h;
}

// UTF-8 to a file or pipe; a console is written in UTF-16, which it shows whatever its code page.
bool write(DWORD which, const std::string& utf8) {
  HANDLE h = standard(which);
  if (!h) return false;
  DWORD mode, done = 0;
  if (GetConsoleMode(h, &mode)) {
    std::wstring w = koWideOf(utf8.c_str(), CP_UTF8);
    return WriteConsoleW(h, w.c_str(), (DWORD)w.size(), &done, nullptr) != 0;
  }
  return WriteFile(h, utf8.data(), (DWORD)utf8.size(), &done, nullptr) && done == utf8.size();
}

void reportToError(const char* text, const char* caption) {
  write(STD_ERROR_HANDLE, utf8OfAnsi(caption) + ": " + utf8OfAnsi(text) + "\n");
}


// What a launch of path would do, one line each: the group, then its
// candidates in menu order (a remembered choice alone), or "shell".
int which(const std::wstring& path) {
  auto unreadable = [] {
    write(STD_ERROR_HANDLE, utf8OfAnsi(DbFailureText()) + "\n");
    return (int)EXIT_REFUSED;
  };
  int n = GoCheck(path);
  if (n < 0) return unreadable();
  std::string out;
  if (goGroup > 0) out = "group\t" + GroupNameUtf8(goGroup) + "\n";
  // A remembered choice is the one candidate, as in a launch.
  std::vector<Remembered> remembered;
  if (n > 1 && !LoadRemembered(remembered)) return unreadable();
  int known = n > 1 ? RememberedCandidate(remembered, goMatch.c_str()) : -1;
  for (int i = known >= 0 ? known : 0; i < (known >= 0 ? known + 1 : n); i++) {
    std::wstring line;  // as it would start: variables expanded, the path in place
    CommandLineOf(cmdLine[i].c_str(), path, line);
    out += utf8OfAnsi(menus[i].c_str()) + "\t" + utf8Of(line) + "\n";
  }
  if (n == 0) out += "shell\n";
  return write(STD_OUTPUT_HANDLE, out) ? EXIT_DONE : EXIT_REFUSED;
}

int wrongUse(const std::string& what, const char* title) {
  std::string text = what + "\n\n" + kUsage;
  // A script sees it on standard error; a shortcut's user in a box.
  if (!write(STD_ERROR_HANDLE, utf8OfAnsi(text.c_str()) + "\n"))
    koMessageBox(nullptr, text.c_str(), title, MB_OK | MB_ICONEXCLAMATION);
  return EXIT_WRONG_USE;
}
}  // namespace

bool HasOptions(const std::vector<std::wstring>& args) {
  for (const std::wstring& a : args)
    if (isOption(a)) return true;
  return false;
}

int RunOptions(const std::vector<std::wstring>& args, const char* exeFolder, const char* title) {
  std::vector<std::wstring> options, operands;
  for (const std::wstring& a : args) (isOption(a) ? options : operands).push_back(a);
  const std::wstring& first = options.front();
  bool yes = options.size() == 2 && is(first, L"/import") && is(options[1], L"/yes");
  if (is(first, L"/?") && args.size() == 1) {
    koMessageBox(nullptr, kUsage, title, MB_OK | MB_ICONINFORMATION);
    return EXIT_DONE;
  }
  bool known = is(first, L"/export") || is(first, L"/import") || is(first, L"/which") || is(first, L"/?");
  if (!known || !isOption(args[0]) || (options.size() != 1 && !yes) || operands.size() != 1)
    return wrongUse(known ? "オプションの使い方が違います。" : "知らないオプションです: " + ShownPath(first), title);
  bool quiet = is(first, L"/which");
  // /which tells a script, never a box; the others are a user's, who sees a box.
  if (quiet) DbOpenReport = reportToError;
  bool opened = DbOpen(exeFolder, title);
  DbOpenReport = nullptr;
  if (!opened) return EXIT_REFUSED;
  LoadParams();
  if (quiet) return which(operands[0]);
  if (is(first, L"/export")) return ExportRegistrations(nullptr, operands[0], title) ? EXIT_DONE : EXIT_REFUSED;
  return ImportRegistrations(nullptr, operands[0], !yes, title) ? EXIT_DONE : EXIT_REFUSED;
}
