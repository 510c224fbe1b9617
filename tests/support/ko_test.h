// Shared helpers of the tests.
#ifndef KO_TEST_H
#define KO_TEST_H
#include <string>

// Folder separator of the platform the test runs on.
#ifdef _WIN32
#define SEP "\\"
#else
#define SEP "/"
#endif

// Everything the library traced through dbout since the last clear.
std::string TraceLog();
void ClearTrace();

// A fresh, empty folder for one test (removed by nobody: it lives in the
// build tree or the system's temporary folder).
std::string MakeTempDir(const char* tag);

// Copies a file; false on failure.
bool CopyFileTo(const std::string& from, const std::string& to);
bool FileExists(const std::string& path);

// Bytes of a text, in hex, for readable failures.
std::string Hex(const std::string& s);
#endif
