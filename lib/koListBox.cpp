#include "koListBox.h"
#include <vector>
#include "koUtl1.h"

koListBox::koListBox(koWin* parentObject, int controlId, int extraStyle)
    : koControl(parentObject, "ListBox", controlId, extraStyle) {}
koListBox::koListBox(koWin* parentObject, const char* windowClass, int controlId, int extraStyle)
    : koControl(parentObject, windowClass, controlId, extraStyle) {}
const char* koListBox::className() { return "koListBox"; }

void koListBox::linkObject(int* selection, char** items) {
  data = selection;
  size = 0;
  for (; items && *items; items++) SendMessageW(hWnd, LB_ADDSTRING, 0, (LPARAM)koWideOf(*items).c_str());
}

void koListBox::linkMapObject(koCtrlMap* entry) {
  linkObject((int*)entry->data, (char**)entry->extra);
}

void koListBox::updateScreen() {
  if (data) SendMessageW(hWnd, LB_SETCURSEL, (WPARAM) * (int*)data, 0);
}

void koListBox::updateObject() {
  if (data) *(int*)data = (int)SendMessageW(hWnd, LB_GETCURSEL, 0, 0);
}

bool koListBox::isModified() {
  return data && *(int*)data != (int)SendMessageW(hWnd, LB_GETCURSEL, 0, 0);
}

int koListBox::getSel(char* buffer, int bufferSize) {
  if (!buffer || bufferSize <= 0) return -1;
  buffer[0] = 0;
  int index = (int)SendMessageW(hWnd, LB_GETCURSEL, 0, 0);
  if (index < 0) return -1;
  // LB_GETTEXT writes the whole item: read it where it fits, then cut.
  int length = (int)SendMessageW(hWnd, LB_GETTEXTLEN, (WPARAM)index, 0);
  if (length < 0) return -1;
  std::vector<wchar_t> item((size_t)length + 1, 0);
  SendMessageW(hWnd, LB_GETTEXT, (WPARAM)index, (LPARAM)item.data());
  item[(size_t)length] = 0;
  koStrncpy(buffer, koSjisOf(item.data()).c_str(), bufferSize + 1);
  return index;
}

int koListBox::showLast() {
  int count = (int)SendMessageW(hWnd, LB_GETCOUNT, 0, 0);
  if (count <= 0) return errorCode = 0;
  errorCode = (int)SendMessageW(hWnd, LB_SETTOPINDEX, (WPARAM)(count - 1), 0);
  return errorCode;
}
