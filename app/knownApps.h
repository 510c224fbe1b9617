// The programs Windows has registered for some extensions: the types'
// default program, their open-with programs and lists, the user's own.
#ifndef KNOWN_APPS_H
#define KNOWN_APPS_H
#include <string>
#include <vector>

struct KnownApp {
  std::string name;     // as the system names it, in code page 932
  std::string command;  // the open command, with "%1" where the path goes
  bool isDefault;       // the program the system opens the type with
};

// Every program registered for any of extensions (without the dot), each
// command once, the defaults first. A program under a folder code page 932
// cannot name is reached through the folder's variable; one whose name or
// command still cannot be held is left out and counted in skipped.
std::vector<KnownApp> KnownApps(const std::vector<std::string>& extensions, int* skipped = nullptr);
// Two texts alike but for the case of their letters (Shift-JIS aware).
bool SameText(const std::string& a, const std::string& b);
// An open command as a template of this program: the path's place "%1"
// (a "%L" or "%*" taken for it), the path appended in quotes when there is none.
std::string TemplateOf(const std::string& command);

#endif
