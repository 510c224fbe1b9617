// The launch decision: which applications may open the path, and starting
// the chosen one (or the shell).
#ifndef GOSUB_H
#define GOSUB_H
#include <stddef.h>
#include <string>
#include <vector>

enum { MAX_CANDIDATES = 40 };

extern std::string menus[MAX_CANDIDATES];
extern std::string cmdLine[MAX_CANDIDATES];
extern int candidateApp[MAX_CANDIDATES];  // each candidate's application id
extern int nCmd;
extern int goGroup;        // the group of the last decision, 0 for none
extern std::string goMatch;  // what the file matched: its extension, or the pattern
extern char xExt[300];     // holds any extension a 260-byte path can have
extern char srcFile[300];  // the path to launch as shown, a long one shortened in its middle
extern char exeFile[300];  // the executable's own path

// Fills the candidates of a folder (isFolder) or of a file extension from
// the database and returns their number; -1 when the database could not
// be read (never taken for "no group").
// path and name (code page 932; null where it cannot hold them) are for
// the groups' patterns.
int GoDecide(bool isFolder, const char* ext, const char* path = nullptr, const char* name = nullptr);
// The template with its first %1 replaced by the path; without %1 the path
// is appended in double quotes after a blank. False for an empty template.
bool BuildCommandLine(const char* command, const char* path, std::string& out);
// The program a template starts: its first quoted text or first word.
std::string ProgramOf(const char* command);
// Where that program stands in a command: [start, end) from its first
// character that is no blank to the end of its name, a quoted one's
// closing quote included (the text's end when it has none); start is npos
// for a blank command. One rule for Shift-JIS (a trail byte is never a
// quote or a blank) and UTF-16.
template <class C>
void ProgramSpan(const std::basic_string<C>& command, size_t& start, size_t& end) {
  const C blanks[] = {C(' '), C('\t'), C(0)};
  start = command.find_first_not_of(blanks);
  end = command.size();
  if (start == std::basic_string<C>::npos) return;
  bool quoted = command[start] == C('"');
  size_t at = quoted ? command.find(C('"'), start + 1) : command.find_first_of(blanks, start);
  if (at != std::basic_string<C>::npos) end = at + (quoted ? 1 : 0);
}
// The program of such a span without its quotes.
template <class C>
std::basic_string<C> Unquoted(const std::basic_string<C>& program) {
  size_t from = !program.empty() && program[0] == C('"') ? 1 : 0;
  size_t to = from && program.size() > 1 && program.back() == C('"') ? program.size() - 1 : program.size();
  return program.substr(from, to - from);
}

struct Remembered;
// The candidate of the last decision remembered for match (case aside), -1
// for none. A remembered application that is no longer a candidate (taken
// out of the group, or deleted) is forgotten from list, and forgotten set.
int RememberedCandidate(std::vector<Remembered>& list, const char* match, bool* forgotten = nullptr);

// What a launch of path would do, for a person to read: the group and the
// element that matched, a remembered application, the candidates in order
// with their command lines, or the shell. Nothing is started.
std::string LaunchPreview(const std::wstring& path);

// Why one file of a send did not open: what happened (one line), the
// details under it, and what the user can do.
struct SendFailure {
  std::string file;  // the path as shown
  std::string what;
  std::string detail;
  std::string todo;
};
// The one message that ends a send in which files failed: a lone file's
// failure in full; several as a line each, with what to do said once.
// sent is how many files the send had.
std::string ClosingMessage(const std::vector<SendFailure>& failures, size_t sent);

#ifdef _WIN32
#include <windows.h>
// The real path to launch, as the system gave it, of any length; srcFile
// only shows it, in code page 932, which may have lost characters.
extern std::wstring srcPath;
// A path as the program shows it: code page 932, shortened in its middle
// to fit srcFile.
std::string ShownPath(const std::wstring& path);
// Sets srcPath and srcFile.
void SetLaunchPath(const std::wstring& path);

// Decides on path: a folder takes the folder group, a file the first group
// that lists its extension (kept in xExt). Returns the number of
// candidates, -1 when the database could not be read.
int GoCheck(const std::wstring& path);
// The same for srcPath.
int GoCheck();

// %NAME% of the environment replaced by its value; unknown names stay.
std::wstring ExpandVariables(const std::wstring& text);
// The reverse, for what is stored: a program's path in Shift-JIS when it
// converts whole, else through the variable of the folder that holds it
// (%LOCALAPPDATA%\Programs\... for a user named José); false when neither.
bool HeldProgramPath(const std::wstring& chosen, std::string& path);
// A command held the same way: its program through a variable, the rest
// whole; false when that does not make it whole.
bool HeldCommand(const std::wstring& command, std::string& out);
// The command line a template starts for path: variables expanded in the
// template, never in the path. False for an empty template.
bool CommandLineOf(const char* command, const std::wstring& path, std::wstring& line);
// Starts candidate index (or a template) on srcPath. 0 when it started,
// else the system's error code.
DWORD GoExec(int index);
DWORD GoExec(const char* command, const std::wstring& path);
// Hands srcPath to the shell; where no program is associated, the system's
// "open with" chooser. 0 when something was opened or offered.
DWORD GoExec0();
// Opens relative (a help document) in the program's folder with the shell;
// "" when it opened, else the message that tells the user.
std::string OpenBesideProgram(const char* folder, const char* relative);
#endif

#endif
