#include "goMenu.h"
#include <string.h>
#include "gosub.h"
#include "koJChar.h"
#include "koUtl1.h"
#ifdef _WIN32
#include "resource.h"
#endif

std::string MenuLabel(int index, const std::string& name) {
  std::string shown;
  for (char c : name) {
    if (c == '&') shown += '&';  // doubled: shown, not a key
    shown += c;
  }
  if (index < 0 || index >= 10) return shown;
  return std::string("&") + char('0' + (index + 1) % 10) + " " + shown;
}

std::string MenuTitle(const char* path, size_t files) {
  const char* p = path ? path : "";
  const char* name = p;
  // The last part of the path; 0x5C as a trail byte is no separator.
  for (const unsigned char* s = (const unsigned char*)p; *s;) {
    if (koIsLeadByte(*s) && s[1]) {
      s += 2;
      continue;
    }
    if (*s == '\\' || *s == '/' || *s == ':') name = (const char*)s + 1;
    s++;
  }
  if (!*name) name = p;  // a folder given with its final backslash
  std::string title = MenuLabel(-1, koShortText(name, 40));
  if (files > 1) title += " ほか " + std::to_string(files - 1) + " 件";
  return title;
}

#ifdef _WIN32
void FillGoMenu(HMENU menu, const std::string& title, bool withShell) {
  AppendMenuA(menu, MF_STRING | MF_GRAYED, 0, title.c_str());
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  for (int i = 0; i < nCmd; i++)
    AppendMenuA(menu, MF_STRING, CMD_CANDIDATE + i, MenuLabel(i, menus[i]).c_str());
  if (nCmd > 0) SetMenuDefaultItem(menu, CMD_CANDIDATE, FALSE);
  if (withShell) AppendMenuA(menu, MF_STRING, CMD_SHELL, "既定のアプリで開く");
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(menu, MF_STRING, CMD_CLOSE, "(中止)");
}
#endif
