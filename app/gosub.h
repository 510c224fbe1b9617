// The launch decision: which applications may open the path, and starting
// the chosen one (or the shell).
#ifndef GOSUB_H
#define GOSUB_H
#include <string>

enum { MAX_CANDIDATES = 40 };

extern std::string menus[MAX_CANDIDATES];
extern std::string cmdLine[MAX_CANDIDATES];
extern int nCmd;
extern char xExt[300];     // holds any extension a 260-byte path can have
extern char srcFile[300];  // the path to launch
extern char exeFile[300];  // the executable's own path

// Fills the candidates of a folder (isFolder) or of a file extension from
// the database and returns their number.
int GoDecide(bool isFolder, const char* ext);
// The template with its first %1 replaced by the path; without %1 the path
// is appended in double quotes after a blank. False for an empty template.
bool BuildCommandLine(const char* command, const char* path, std::string& out);

#ifdef _WIN32
// Decides on path: a folder takes the folder group, a file the first group
// that lists its extension (kept in xExt). Returns the number of candidates.
int GoCheck(const char* path);
// The same for srcFile, the path the program was sent.
int GoCheck();
void GoExec(int index);
void GoExec(const char* command, const char* path);
void GoExec0();
#endif

#endif
