// Registrations as text: every application, every group in its order of
// precedence, the folder group setting and the remembered choices, written
// to and read from UTF-8 JSON. Texts are UTF-8 here, as in the file and in
// the database; messages are the program's (Shift-JIS).
#ifndef REGISTRATIONS_H
#define REGISTRATIONS_H
#include <string>
#include <vector>

struct RegApp {
  std::string name, command, memo;
};
struct RegGroup {
  std::string name, memo;
  std::vector<std::string> extensions, applications;  // applications by name, in menu order
};
struct RegRemembered {
  std::string match, application;
};
struct Registrations {
  std::vector<RegApp> apps;
  std::vector<RegGroup> groups;  // the first wins
  std::string folderGroup;
  std::vector<RegRemembered> remembered;
};

extern const char* const kRegFormat;  // the file's "format"
const int kRegVersion = 1;            // and its "version"

// Everything the open database holds (the folder group as last loaded).
// Member ids and remembered choices whose application is gone are left out,
// as a launch passes them over. False with the reason in error.
bool LoadRegistrations(Registrations& out, std::string& error);
// The file's text; false with the reason when some text is not UTF-8.
bool RegistrationsToJson(const Registrations& in, std::string& json, std::string& error);
// The import check: the whole text parsed and every item checked as the
// program would keep it. False with a message that names the line and
// column (not JSON) or the item (JSON, but not registrations we can keep).
bool ParseRegistrations(const std::string& json, Registrations& out, std::string& error);
// Replaces the applications, groups, folder group and remembered choices
// with in, in one transaction; false (nothing changed) with the reason.
bool StoreRegistrations(const Registrations& in, std::string& error);

#endif
