#include "goMenu.h"
#include <string.h>
#include <algorithm>
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
  std::string title = MenuLabel(-1, koMiddleText(name, 40));
  if (files > 1) title += " ほか " + std::to_string(files - 1) + " 件";
  return title;
}

#ifdef _WIN32
std::wstring ProgramPath(const char* command) {
  std::string program = ProgramOf(command);
  if (program.empty()) return L"";
  std::wstring path = ExpandVariables(koWideOf(program));
  wchar_t found[MAX_PATH] = L"";
  bool bare = path.find_first_of(L"\\/:") == std::wstring::npos;
  if (bare && SearchPathW(nullptr, path.c_str(), L".exe", MAX_PATH, found, nullptr)) path = found;
  DWORD attr = GetFileAttributesW(path.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY) ? path : L"";
}

HBITMAP ProgramIcon(const std::wstring& program, int size) {
  if (program.empty()) return nullptr;
  HICON icon = nullptr;
  // user32's own extraction at the exact size: crisp at any DPI, and no
  // shell to load on the way to the menu. A program without an icon gets
  // the system's, as the shell shows it.
  bool own = PrivateExtractIconsW(program.c_str(), 0, size, size, &icon, nullptr, 1, LR_DEFAULTCOLOR) == 1 && icon;
  if (!own) icon = (HICON)LoadImageW(nullptr, (LPCWSTR)IDI_APPLICATION, IMAGE_ICON, size, size, LR_SHARED);
  if (!icon) return nullptr;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = size;
  bi.bmiHeader.biHeight = -size;  // top-down
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;  // with alpha, as menus draw it
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap) {
    HGDIOBJ old = SelectObject(dc, bitmap);
    DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    SelectObject(dc, old);
  }
  DeleteDC(dc);
  if (own) DestroyIcon(icon);
  return bitmap;
}

namespace {
void setBitmap(HMENU menu, UINT position, HBITMAP bitmap) {
  MENUITEMINFOW item{};
  item.cbSize = sizeof item;
  item.fMask = MIIM_BITMAP;
  item.hbmpItem = bitmap;
  SetMenuItemInfoW(menu, position, TRUE, &item);
}
}  // namespace

std::vector<HBITMAP> FillGoMenu(HMENU menu, const std::string& title, int entries) {
  std::vector<HBITMAP> icons;
  int size = GetSystemMetrics(SM_CXSMICON);
  AppendMenuW(menu, MF_STRING | MF_GRAYED, 0, koWideOf(title).c_str());
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  for (int i = 0; i < nCmd; i++) {
    std::wstring program = ProgramPath(cmdLine[i].c_str());
    // Still a choice: the failure message of the launch explains it.
    std::string label = MenuLabel(i, menus[i]) + (program.empty() ? "（見つかりません）" : "");
    AppendMenuW(menu, MF_STRING, CMD_CANDIDATE + i, koWideOf(label).c_str());
    if (HBITMAP icon = ProgramIcon(program, size)) {
      setBitmap(menu, (UINT)GetMenuItemCount(menu) - 1, icon);
      icons.push_back(icon);
    }
  }
  if (nCmd > 0) SetMenuDefaultItem(menu, CMD_CANDIDATE, FALSE);
  if (entries & MENU_SHELL) AppendMenuW(menu, MF_STRING, CMD_SHELL, koWideOf("既定のアプリで開く").c_str());
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  if (nCmd > 0 && (entries & MENU_ALWAYS)) {
    // The same entries with the same keys, remembered when chosen here.
    HMENU always = CreatePopupMenu();
    for (int i = 0; i < nCmd; i++) AppendMenuW(always, MF_STRING, CMD_REMEMBER + i, koWideOf(MenuLabel(i, menus[i])).c_str());
    AppendMenuW(menu, MF_POPUP, (UINT_PTR)always, koWideOf("いつもこれで開く(&A)").c_str());
  }
  if (entries & MENU_FORGET) AppendMenuW(menu, MF_STRING, CMD_FORGET, koWideOf("記憶を解除(&F)").c_str());
  AppendMenuW(menu, MF_STRING, CMD_CLOSE, koWideOf("(中止)").c_str());
  // Where some entries have icons, every text entry gets one (blank where
  // it has none): a menu may measure an entry without its icon column yet
  // draw its text after it, cutting the widest text.
  if (!icons.empty()) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof bi.bmiHeader, size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP blank = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (blank) {
      // The menu's own colour, opaque: a transparent one is drawn black
      // where bitmaps are copied rather than blended.
      COLORREF c = GetSysColor(COLOR_MENU);
      DWORD pixel = 0xFF000000u | (DWORD)GetRValue(c) << 16 | (DWORD)GetGValue(c) << 8 | GetBValue(c);
      std::fill((DWORD*)bits, (DWORD*)bits + size * size, pixel);
      icons.push_back(blank);
      for (int i = 0; i < GetMenuItemCount(menu); i++) {
        MENUITEMINFOW item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_BITMAP | MIIM_FTYPE;
        GetMenuItemInfoW(menu, (UINT)i, TRUE, &item);
        if (!(item.fType & MFT_SEPARATOR) && !item.hbmpItem) setBitmap(menu, (UINT)i, blank);
      }
    }
  }
  return icons;
}
#endif
