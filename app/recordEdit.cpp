#include "recordEdit.h"
#include <vector>
#include "koUtl1.h"

namespace {
const int kMsgIcon = MB_OK | MB_ICONEXCLAMATION;
}

// An edit may count its limit in characters: a value over the bound is
// refused, never cut silently.
bool ReadEditWhole(koEdit* edit, int bound, std::string& out) {
  out.clear();
  if (!edit || !edit->hWnd) return true;
  if (edit->getTextLen() > bound) return false;
  std::string text;
  if (edit->getText(text) < 0) return false;
  if ((int)text.size() > bound) return false;
  out = text;
  return true;
}

std::string TrimmedName(const std::string& typed) {
  std::vector<char> name(typed.c_str(), typed.c_str() + typed.size() + 1);
  koBlankCut(name.data());
  return name.data();
}

bool ReadRecordTexts(koWin* dialog, koEdit* const edits[3], const int bounds[3],
                     const char* detailTooLong, xItem* record, bool adding,
                     xItem* (*byName)(const char*)) {
  const char* tooLong[3] = {"名前が長すぎます", detailTooLong, "備考が長すぎます"};
  std::string texts[3];
  for (int i = 0; i < 3; i++) {
    if (!ReadEditWhole(edits[i], bounds[i], texts[i])) {
      dialog->msgBox(tooLong[i], kMsgIcon, nullptr);
      return false;
    }
  }
  texts[0] = TrimmedName(texts[0]);
  if (texts[0].empty()) {
    dialog->msgBox("名前がありません", kMsgIcon, nullptr);
    return false;
  }
  xItem* same = byName(texts[0].c_str());
  if (same && (adding || same->id != record->id)) {
    dialog->msgBox("名前が重複しています", kMsgIcon, nullptr);
    return false;
  }
  record->name = texts[0];
  record->detail = texts[1];
  record->memo = texts[2];
  return true;
}
