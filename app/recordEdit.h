// The checks and the store step that both record editors (applications and
// groups) share.
#ifndef RECORD_EDIT_H
#define RECORD_EDIT_H
#include <windows.h>
#include <functional>
#include <string>
#include <vector>
#include "appItem.h"
#include "dbsub.h"
#include "extItem.h"  // TidyExtensions
#include "koControl.h"

// The whole text of an edit when it fits bound bytes; false, and nothing
// read, when it does not.
bool ReadEditWhole(koEdit* edit, int bound, std::string& out);

// The refusal of characters code page 932 cannot hold in a field, each
// named by its code point (the message itself is Shift-JIS).
std::string UnheldMessage(const char* field, const std::wstring& unheld);

// The typed name without its leading and trailing blanks.
std::string TrimmedName(const std::string& typed);

// Names for a message: the first three joined by "、", then " ほか N 件".
std::string NamesInBrief(const std::vector<std::string>& names);

// The field the user has to correct: focused, its text selected.
void FocusField(koWin* dialog, HWND field);
inline void FocusField(koWin* dialog, koEdit* field) { FocusField(dialog, field ? field->hWnd : nullptr); }
// A refusal: the box, then the field to correct.
void RefuseField(koWin* dialog, const char* text, HWND field);
inline void RefuseField(koWin* dialog, const char* text, koEdit* field) {
  RefuseField(dialog, text, field ? field->hWnd : nullptr);
}
// A Yes/No question whose default is No; true for Yes, otherwise the field
// to correct.
bool AskField(koWin* dialog, const std::string& question, koEdit* field);

// What an editor's name, detail and note edits hold, read the same way for
// both kinds of record: each whole within its bound, the name trimmed, not
// empty and not another record's (byName finds a record by its name), then
// checkDetail (when given) passes the detail, which it may tidy. Only then
// written into record; otherwise the user was told what is wrong, the field
// to correct has the focus, the record is unchanged and false returned.
bool ReadRecordTexts(koWin* dialog, koEdit* const edits[3], const int bounds[3],
                     const char* detailTooLong, xItem* record, bool adding,
                     xItem* (*byName)(const char*),
                     const std::function<bool(const std::string& name, std::string& detail)>&
                         checkDetail = nullptr);

// Stores the record as new (adding) or over its id, telling the user when
// that failed. On success outcome becomes the editor's result: 1 added, 2
// updated.
template <class Record>
bool StoreRecord(koWin* dialog, Record* record, bool adding, int& outcome) {
  if (adding ? record->addRecord() : record->updRecord()) {
    outcome = adding ? 1 : 2;
    return true;
  }
  std::string text = std::string(adding ? "追加に失敗しました!" : "更新に失敗しました!") + "\n\n" + DbWriteFailure();
  dialog->msgBox(text.c_str(), MB_OK | MB_ICONERROR, nullptr);
  return false;
}

#endif
