// The application object and the splitting of its command line.
#ifndef KO_APP_H
#define KO_APP_H
#include <stddef.h>
#include <string>
#include <vector>
#include "koPlatform.h"

// Sizes of the argument storage and vector for a command line.
size_t koArgStorageSize(const char* commandLine, const char* program);
int koArgVectorSize(const char* commandLine);

// Splits commandLine (without the program's name) into argv; argv[0] is a
// copy of program. Arguments are copied into storage one after another.
// Returns argc; at most maxArgs entries are filled, argv is not null-ended.
int koSplitCommandLine(const char* commandLine, const char* program, char* storage,
                       size_t storageSize, char** argv, int maxArgs);

// The arguments after the program's name in a whole command line (as
// GetCommandLineW gives it), split by the same rule.
std::vector<std::wstring> koSplitArgsW(const wchar_t* commandLine);

#ifdef _WIN32
#include "koAppw.h"
#endif

#endif
