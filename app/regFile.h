// Registrations to and from a file, with what the user is told: the same
// for the command line and for the group list's buttons.
#ifndef REG_FILE_H
#define REG_FILE_H
#include <windows.h>
#include <string>


// Writes every registration to file; false after a message that names
// the file and the reason.
bool ExportRegistrations(HWND owner, const std::wstring& file, const char* caption);
// Reads and checks file whole, asks whether to replace (unless ask is
// false), copies exec.db to exec.db.bak and replaces the registrations in
// one transaction. False when refused (after a message naming the line and
// column or the item; exec.db untouched, no copy made) or declined.
bool ImportRegistrations(HWND owner, const std::wstring& file, bool ask, const char* caption);

#endif
