#include "recordEdit.h"
#include "extItem.h"
#include "koJChar.h"
#include "koUtl1.h"

namespace {
const int kMsgIcon = MB_OK | MB_ICONEXCLAMATION;

// Bytes of the blank at text (space, tab, full-width space), 0 for none.
size_t blankAt(const char* text) {
  if (*text == ' ' || *text == '\t') return 1;
  return (unsigned char)text[0] == 0x81 && (unsigned char)text[1] == 0x40 ? 2 : 0;
}
}  // namespace

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

// Walked a character at a time: the bytes 0x81 0x40 may also end a
// double-byte character followed by '@', and a trail byte never is a comma.
std::string TidyExtensions(const std::string& typed) {
  std::string out;
  const char* p = typed.c_str();
  while (*p) {
    while (size_t n = blankAt(p)) p += n;
    const char* start = p;
    const char* end = p;  // after the last character that is not a blank
    while (*p && *p != ',') {
      size_t n = blankAt(p);
      bool blank = n != 0;
      if (!blank) n = koIsLeadByte((unsigned char)*p) && p[1] ? 2 : 1;
      p += n;
      if (!blank) end = p;
    }
    // An element the launch would match already (case and a leading dot
    // aside) could never be the one that matches: it is dropped too.
    std::string element(start, end);
    strComp kept;
    kept.set(out.c_str());
    // Only dots would match every file without an extension: no element.
    bool dots = element.find_first_not_of('.') == std::string::npos;
    if (!dots && !kept.comp(element[0] == '.' ? element.c_str() + 1 : element.c_str()))
      out += (out.empty() ? "" : ",") + element;
    if (*p == ',') p++;
  }
  return out;
}

std::string NamesInBrief(const std::vector<std::string>& names) {
  const size_t shown = 3;
  std::string text;
  for (size_t i = 0; i < names.size() && i < shown; i++) text += (i ? "、" : "") + koShortText(names[i]);
  if (names.size() > shown) text += " ほか " + std::to_string(names.size() - shown) + " 件";
  return text;
}

void FocusField(koWin* dialog, koEdit* field) {
  if (!dialog || !field || !field->hWnd) return;
  // Through the dialog manager, so the default button follows the focus.
  SendMessageA(dialog->hWnd, WM_NEXTDLGCTL, (WPARAM)field->hWnd, TRUE);
  SendMessageA(field->hWnd, EM_SETSEL, 0, -1);
}

void RefuseField(koWin* dialog, const char* text, koEdit* field) {
  dialog->msgBox(text, kMsgIcon, nullptr);
  FocusField(dialog, field);
}

bool AskField(koWin* dialog, const std::string& question, koEdit* field) {
  if (dialog->msgBox(question.c_str(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, nullptr) == IDYES)
    return true;
  FocusField(dialog, field);
  return false;
}

bool ReadRecordTexts(koWin* dialog, koEdit* const edits[3], const int bounds[3],
                     const char* detailTooLong, xItem* record, bool adding,
                     xItem* (*byName)(const char*),
                     const std::function<bool(const std::string&, std::string&)>& checkDetail) {
  const char* tooLong[3] = {"名前が長すぎます", detailTooLong, "備考が長すぎます"};
  std::string texts[3];
  for (int i = 0; i < 3; i++) {
    if (!ReadEditWhole(edits[i], bounds[i], texts[i])) {
      RefuseField(dialog, tooLong[i], edits[i]);
      return false;
    }
  }
  texts[0] = TrimmedName(texts[0]);
  if (texts[0].empty()) {
    RefuseField(dialog, "名前がありません", edits[0]);
    return false;
  }
  // A tab or line break would split the name in the menu and the lists.
  for (unsigned char c : texts[0]) {
    if (c >= 0x20) continue;  // a Shift-JIS trail byte is never below 0x40
    RefuseField(dialog, "名前にタブや改行は使えません", edits[0]);
    return false;
  }
  xItem* same = byName(texts[0].c_str());
  if (same && (adding || same->id != record->id)) {
    RefuseField(dialog, "名前が重複しています", edits[0]);
    return false;
  }
  if (checkDetail && !checkDetail(texts[0], texts[1])) return false;
  record->name = texts[0];
  record->detail = texts[1];
  record->memo = texts[2];
  return true;
}
