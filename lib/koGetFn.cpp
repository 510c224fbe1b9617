#include "koGetFn.h"
#include <shlobj.h>
#include <string.h>
#include <algorithm>
#include <vfw.h>
#include "koUtl1.h"
#include "koLazy.h"

int koGetFileName::MaxFilters = 100;

namespace {
// Bounded copy that never splits a double-byte character.
void copyText(char* out, const char* text, int size) {
  if (!out || size < 1) return;
  koStrncpy(out, text ? text : "", size + 1);
}

char browseInitial[308];

int CALLBACK getDir(HWND window, UINT message, LPARAM lParam, LPARAM) {
  if (message == BFFM_INITIALIZED) {
    if (browseInitial[0]) SendMessageW(window, BFFM_SETSELECTIONW, 1, (LPARAM)koWideOf(browseInitial).c_str());
  } else if (message == BFFM_SELCHANGED) {
    wchar_t path[MAX_PATH + 8] = L"";
    auto pathOf = KO_LAZY("shell32.dll", SHGetPathFromIDListW);
    if (pathOf && pathOf((LPCITEMIDLIST)lParam, path)) SendMessageW(window, BFFM_SETSTATUSTEXTW, 0, (LPARAM)path);
  }
  return 0;
}

// A list of zero-ended texts ending with an empty one, in UTF-16.
std::wstring wideList(const char* list) {
  std::wstring out;
  for (const char* p = list; p && *p; p += strlen(p) + 1) out += koWideOf(p) + L'\0';
  return out + L'\0';
}

// The same kind of list from Windows, of at most units, in Shift-JIS: each
// text with its zero, up to the empty one.
std::string sjisList(const wchar_t* list, size_t units) {
  size_t end = 0;
  while (end + 1 < units && (list[end] || list[end + 1])) end++;
  return koSjisOf(list, (int)end + 1);
}

// Bytes of the first units of text in Shift-JIS: an offset into the wide
// result as an offset into its conversion.
WORD sjisOffset(const wchar_t* text, WORD units) {
  return (WORD)koSjisOf(std::wstring(text, units).c_str()).size();
}
}  // namespace

koGetFileName::koGetFileName(koWin* parentObject)
    : koDialogModal(parentObject, "koDialog", -999, nullptr, nullptr, 2),
      filterBuffer(nullptr),
      defaultExtension(nullptr),
      mmFilterBuffer(nullptr),
      preview(false),
      flags(0) {
  fileBuffer[0] = 0;
  initialDir[0] = 0;
  title[0] = 0;
  memset(&ofn, 0, sizeof ofn);
  // The 4.0 record: MinGW's full size differs and older platforms refuse it.
  ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  ofn.hwndOwner = parentObject ? parentObject->hWnd : nullptr;
  ofn.lpstrFile = fileBuffer;
  ofn.nMaxFile = kPathSize;
  ofn.nMaxFileTitle = kPathSize;
  ofn.lpstrInitialDir = initialDir;
  ofn.lpstrTitle = title;
}

koGetFileName::~koGetFileName() {
  delete[] filterBuffer;
  delete[] defaultExtension;
  delete[] mmFilterBuffer;
}

const char* koGetFileName::className() { return "koGetFileName"; }

bool koGetFileName::setFilters(const char* const* list) {
  if (!list) return false;
  int entries = 0;
  size_t total = 0;
  while (entries < MaxFilters && list[entries]) total += strlen(list[entries++]) + 1;
  if (entries == 0 || entries % 2) return false;
  char* buffer = new char[total + entries + 4];
  char* p = buffer;
  for (int i = 0; i < entries; i++) {
    size_t n = strlen(list[i]) + 1;
    memcpy(p, list[i], n);
    p += n;
  }
  *p++ = 0;
  *p++ = 0;
  delete[] filterBuffer;
  filterBuffer = buffer;
  ofn.lpstrFilter = filterBuffer;
  return true;
}

bool koGetFileName::setFilters(char** list) { return setFilters((const char* const*)list); }

void koGetFileName::setMMfilters(bool saving) {
  // Replacing the buffer releases the one of a previous call.
  char* buffer = new char[1000];
  memset(buffer, 0, 1000);
  wchar_t wide[1000] = L"";
  if (auto build = KO_LAZY("avifil32.dll", AVIBuildFilterW)) build(wide, 1000, saving ? TRUE : FALSE);
  wide[998] = wide[999] = 0;
  std::string list = sjisList(wide, 999);
  memcpy(buffer, list.data(), std::min(list.size(), (size_t)998));
  delete[] mmFilterBuffer;
  mmFilterBuffer = buffer;
  ofn.lpstrFilter = mmFilterBuffer;
}

void koGetFileName::setTitle(const char* text) { copyText(title, text, sizeof title); }
void koGetFileName::setInitialDir(const char* folder) {
  copyText(initialDir, folder, sizeof initialDir);
}

void koGetFileName::getFileTitle(char* out, int size) {
  if (!out || size < 1) return;
  out[0] = 0;
  if (!fileBuffer[0] || ofn.nFileOffset >= sizeof fileBuffer) return;
  copyText(out, fileBuffer + ofn.nFileOffset, size);
}

const char* koGetFileName::filterPattern(int n) const {
  const char* list = ofn.lpstrFilter;
  if (!list || n < 1 || n > MaxFilters / 2) return nullptr;
  // Walk the entries up to the double zero; never past the list's end.
  const char* p = list;
  for (int entry = 0; *p; entry++) {
    if (entry == 2 * n - 1) return p;
    p += strlen(p) + 1;
  }
  return nullptr;
}

bool koGetFileName::show(bool saving) {
  OPENFILENAMEW w;
  memset(&w, 0, sizeof w);
  w.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
  w.hwndOwner = ofn.hwndOwner;
  std::wstring filter = wideList(ofn.lpstrFilter), dir = koWideOf(initialDir), caption = koWideOf(title),
               ext = koWideOf(defaultExtension ? defaultExtension : "");
  std::wstring file(32768, L'\0');  // as long as a path Windows allows, and more for several names
  w.lpstrFilter = ofn.lpstrFilter ? filter.c_str() : nullptr;
  w.nFilterIndex = ofn.nFilterIndex;
  w.lpstrFile = &file[0];
  w.nMaxFile = (DWORD)file.size() - 1;
  w.lpstrInitialDir = initialDir[0] ? dir.c_str() : nullptr;
  w.lpstrTitle = title[0] ? caption.c_str() : nullptr;
  w.lpstrDefExt = saving && defaultExtension ? ext.c_str() : nullptr;
  w.Flags = ofn.Flags;
  BOOL ok;
  if (saving) {
    auto run = preview ? KO_LAZY("msvfw32.dll", GetSaveFileNamePreviewW) : KO_LAZY("comdlg32.dll", GetSaveFileNameW);
    ok = run && run(&w);
  } else {
    auto run = preview ? KO_LAZY("msvfw32.dll", GetOpenFileNamePreviewW) : KO_LAZY("comdlg32.dll", GetOpenFileNameW);
    ok = run && run(&w);
  }
  if (!ok) return false;
  chosen = file.c_str();
  std::string sjis = sjisList(file.c_str(), file.size());
  memset(fileBuffer, 0, sizeof fileBuffer);
  memcpy(fileBuffer, sjis.data(), std::min(sjis.size(), sizeof fileBuffer - 2));
  ofn.nFileOffset = sjisOffset(file.c_str(), w.nFileOffset);
  ofn.nFileExtension = w.nFileExtension ? sjisOffset(file.c_str(), w.nFileExtension) : 0;
  ofn.nFilterIndex = w.nFilterIndex;
  return true;
}

void koGetFileName::prepare() {
  fileBuffer[sizeof fileBuffer - 1] = 0;
  initialDir[sizeof initialDir - 1] = 0;
  ofn.hwndOwner = parent ? parent->hWnd : nullptr;
  ofn.Flags = flags;
  ofn.lpstrInitialDir = initialDir;
}

koGetOpenFileName::koGetOpenFileName(koWin* parentObject)
    : koGetFileName(parentObject), count(0), namesLength(0) {
  flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
  setTitle("開く");
}

const char* koGetOpenFileName::className() { return "koGetOpenFileName"; }

int koGetOpenFileName::run(char* path, char* names, int pathSize, int namesSize) {
  if (path && pathSize > 0) path[0] = 0;
  prepare();
  fileBuffer[0] = 0;
  if (!show(false)) return 0;
  return takeResult(path, names, pathSize, namesSize);
}

int koGetOpenFileName::takeResult(char* path, char* names, int pathSize, int namesSize) {
  fileBuffer[sizeof fileBuffer - 1] = 0;
  size_t first = strlen(fileBuffer);
  unsigned offset = ofn.nFileOffset;
  if (offset > first + 1) offset = (unsigned)first;
  count = 1;
  namesLength = 0;
  copyText(path, fileBuffer, pathSize);
  copyText(initialDir, fileBuffer, sizeof initialDir);
  if (offset < sizeof initialDir) initialDir[offset] = 0;
  if (!(flags & OFN_ALLOWMULTISELECT)) return 1;
  char* namesAt = fileBuffer + offset;
  char* end = fileBuffer + sizeof fileBuffer - 1;
  if (flags & OFN_EXPLORER) {
    if (offset <= first) {
      // A single file: the buffer holds one full path.
      namesLength = (int)(first - offset) + 1;
    } else {
      count = 0;
      char* p = namesAt;
      while (p < end && *p) {
        p += strlen(p) + 1;
        count++;
      }
      namesLength = (int)(p - namesAt);
      if (count >= 2 && strlen(initialDir) + 1 < sizeof initialDir) strcat(initialDir, "\\");
    }
  } else {
    if (offset > 0 && offset - 1 < sizeof initialDir) initialDir[offset - 1] = 0;
    namesLength = (int)strlen(namesAt) + 1;
    count = 0;
    for (char* p = namesAt; *p; p++) {
      if (*p == ' ') {
        *p = 0;
        count++;
      }
    }
    count++;
    if (count == 1 && strlen(initialDir) + 1 < sizeof initialDir) strcat(initialDir, "\\");
  }
  if (names && namesSize > 0) {
    // Names with their zero bytes; a cut list still ends with a zero.
    int n = namesLength < namesSize ? namesLength : namesSize;
    memcpy(names, namesAt, (size_t)n);
    if (n == namesSize) names[namesSize - 1] = 0;
  }
  return count;
}

koGetSaveFileName::koGetSaveFileName(koWin* parentObject) : koGetFileName(parentObject) {
  flags = OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;
  setTitle("名前を付けて保存");
}

const char* koGetSaveFileName::className() { return "koGetSaveFileName"; }

bool koGetSaveFileName::setDefaultExtension(const char* ext) {
  if (!ext) return false;
  char* copy = new char[strlen(ext) + 1];
  strcpy(copy, ext);
  delete[] defaultExtension;
  defaultExtension = copy;
  return true;
}

bool koGetSaveFileName::run(char* path, int pathSize) {
  if (path && pathSize > 0) path[0] = 0;
  prepare();
  ofn.lpstrDefExt = defaultExtension;
  if (!show(true)) return false;
  takeResult(path, pathSize);
  return true;
}

void koGetSaveFileName::takeResult(char* path, int pathSize) {
  fileBuffer[sizeof fileBuffer - 1] = 0;
  copyText(path, fileBuffer, pathSize);
  copyText(initialDir, fileBuffer, sizeof initialDir);
  if (ofn.nFileOffset < sizeof initialDir) initialDir[ofn.nFileOffset] = 0;
  if (ofn.nFileExtension != 0 || !path || pathSize < 1) return;
  // Index 0 (a custom filter) or no list: nothing to add.
  const char* pattern = filterPattern((int)ofn.nFilterIndex);
  if (!pattern || !pattern[0]) return;
  char ext[300];
  copyText(ext, pattern + 1, sizeof ext);
  char* semicolon = koStrchr(ext, ';');
  if (semicolon) *semicolon = 0;
  // A wildcard extension such as that of "*.*" names no extension.
  if (!ext[0] || strchr(ext, '*') || strchr(ext, '?')) return;
  size_t have = strlen(path);
  if (have + strlen(ext) + 1 > (size_t)pathSize) return;
  strcat(path, ext);
}

koGetDirectoryName::koGetDirectoryName(koWin* parentObject)
    : koGetFileName(parentObject),
      rootFolder(CSIDL_DRIVES),
      ownerWin(parentObject),
      image(0),
      browseParam(0) {
  flags = BIF_RETURNONLYFSDIRS;
}

const char* koGetDirectoryName::className() { return "koGetDirectoryName"; }

bool koGetDirectoryName::run(char* path, int extraFlags) {
  if (extraFlags != -1) flags |= (DWORD)extraFlags;
  copyText(browseInitial, initialDir, sizeof browseInitial);
  if (path) path[0] = 0;
  LPITEMIDLIST root = nullptr;
  auto location = KO_LAZY("shell32.dll", SHGetSpecialFolderLocation);
  auto browse = KO_LAZY("shell32.dll", SHBrowseForFolderW);
  auto pathOf = KO_LAZY("shell32.dll", SHGetPathFromIDListW);
  auto release = KO_LAZY("ole32.dll", CoTaskMemFree);
  if (!location || !browse || !pathOf || !release) return false;
  if (location(ownerWin ? ownerWin->hWnd : nullptr, rootFolder, &root) != S_OK) return false;
  BROWSEINFOW bi;
  memset(&bi, 0, sizeof bi);
  std::wstring caption = koWideOf(title);
  bi.pidlRoot = root;
  bi.lpszTitle = caption.c_str();
  bi.ulFlags = flags;
  bi.lpfn = getDir;
  bi.lParam = (LPARAM)browseParam;
  LPITEMIDLIST picked = browse(&bi);
  release(root);
  if (!picked) return false;
  image = bi.iImage;
  wchar_t result[MAX_PATH + 8] = L"";
  BOOL ok = pathOf(picked, result);
  release(picked);
  chosen = ok ? result : L"";
  if (path) copyText(path, koSjisOf(chosen.c_str()).c_str(), kPathSize);
  return true;
}
