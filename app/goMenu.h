// The candidate menu of a launch: its texts, and the menu itself.
#ifndef GO_MENU_H
#define GO_MENU_H
#include <stddef.h>
#include <string>

// Candidate index (from 0) as the menu shows it: "&1 name" to "&0 name" for
// the first ten, the name alone after them; a "&" of the name shows as itself.
std::string MenuLabel(int index, const std::string& name);
// The menu's first line: the name of the file being opened (a long one
// shortened in its middle to 40 bytes) and, for several files, how many
// there are.
std::string MenuTitle(const char* path, size_t files);

#ifdef _WIN32
#include <windows.h>
#include <vector>
// The program a template starts as a full path, searched like the system
// would for a bare name; "" when there is no such file.
std::wstring ProgramPath(const char* command);
// The program's icon at size pixels as a 32-bit bitmap for a menu item;
// null when it has none.
HBITMAP ProgramIcon(const std::wstring& program, int size);

// Entries of the menu beyond the candidates.
enum GoMenuEntries { MENU_SHELL = 1, MENU_ALWAYS = 2, MENU_FORGET = 4 };
// Fills menu with the title, the candidates (menus/cmdLine of the last
// decision, the first the default) with their programs' icons, a mark on
// those whose program is missing, with MENU_SHELL "既定のアプリで開く", then a
// separator, with MENU_ALWAYS "いつもこれで開く" holding the candidates again
// (CMD_REMEMBER + i), with MENU_FORGET "記憶を解除", and "(中止)". Returns
// the bitmaps, to delete after the menu.
std::vector<HBITMAP> FillGoMenu(HMENU menu, const std::string& title, int entries);
#endif

#endif
