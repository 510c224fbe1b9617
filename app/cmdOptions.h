// The program's options: /export FILE, /import FILE [/yes], /which PATH and
// /? (case aside). An argument that starts with "/" is an option, any other
// a path.
#ifndef CMD_OPTIONS_H
#define CMD_OPTIONS_H
#include <string>
#include <vector>

enum { EXIT_DONE = 0, EXIT_REFUSED = 1, EXIT_WRONG_USE = 2 };

// Whether the arguments hold an option: the run is then RunOptions' alone.
bool HasOptions(const std::vector<std::wstring>& args);
// Opens exec.db in exeFolder and does what the options ask; the program's
// exit code.
int RunOptions(const std::vector<std::wstring>& args, const char* exeFolder, const char* title);

#endif
