#include "recordEdit.h"
#include "extItem.h"
#include "koUtl1.h"

namespace {
const int kMsgIcon = MB_OK | MB_ICONEXCLAMATION;
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

std::string NamesInBrief(const std::vector<std::string>& names) {
  const size_t shown = 3;
  std::string text;
  for (size_t i = 0; i < names.size() && i < shown; i++) text += (i ? "、" : "") + koShortText(names[i]);
  if (names.size() > shown) text += " ほか " + std::to_string(names.size() - shown) + " 件";
  return text;
}

void FocusField(koWin* dialog, HWND field) {
  if (!dialog || !field) return;
  // Through the dialog manager, so the default button follows the focus.
  SendMessageW(dialog->hWnd, WM_NEXTDLGCTL, (WPARAM)field, TRUE);
  SendMessageW(field, EM_SETSEL, 0, -1);
}

void RefuseField(koWin* dialog, const char* text, HWND field) {
  dialog->msgBox(text, kMsgIcon, nullptr);
  FocusField(dialog, field);
}

bool AskField(koWin* dialog, const std::string& question, koEdit* field) {
  if (dialog->msgBox(question.c_str(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, nullptr) == IDYES)
    return true;
  FocusField(dialog, field);
  return false;
}

std::string UnheldMessage(const char* field, const std::wstring& unheld) {
  return std::string(field) + "に、このプログラムの文字コード (シフト JIS) で表せない文字があります。\n文字: " +
         koCodePoints(unheld) + "\n置き換えられずに残るよう、別の文字にしてください。";
}

bool ReadRecordTexts(koWin* dialog, koEdit* const edits[3], const int bounds[3],
                     const char* detailTooLong, xItem* record, bool adding,
                     xItem* (*byName)(const char*),
                     const std::function<bool(const std::string&, std::string&)>& checkDetail) {
  const char* tooLong[3] = {"名前が長すぎます", detailTooLong, "備考が長すぎます"};
  const std::string detail(detailTooLong);  // "コマンドが長すぎます": the field's name comes first
  const std::string fields[3] = {"名前", detail.substr(0, detail.find("が長すぎます")), "備考"};
  std::string texts[3];
  // A character code page 932 cannot hold is refused by name, never stored as '?'.
  for (int i = 0; i < 3; i++) {
    std::wstring unheld = edits[i] && edits[i]->hWnd ? koUnheld(edits[i]->getWideText()) : L"";
    if (unheld.empty()) continue;
    RefuseField(dialog, UnheldMessage(fields[i].c_str(), unheld).c_str(), edits[i]);
    return false;
  }
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
