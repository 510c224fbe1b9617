// The checks and the store step that both record editors (applications and
// groups) share.
#ifndef RECORD_EDIT_H
#define RECORD_EDIT_H
#include <windows.h>
#include <string>
#include "appItem.h"
#include "koControl.h"

// The whole text of an edit when it fits bound bytes; false, and nothing
// read, when it does not.
bool ReadEditWhole(koEdit* edit, int bound, std::string& out);

// The typed name without its leading and trailing blanks.
std::string TrimmedName(const std::string& typed);

// What an editor's name, detail and note edits hold, read the same way for
// both kinds of record: each whole within its bound, the name trimmed, not
// empty and not another record's (byName finds a record by its name). Only
// then written into record; otherwise tells the user what is wrong and
// returns false, the record unchanged.
bool ReadRecordTexts(koWin* dialog, koEdit* const edits[3], const int bounds[3],
                     const char* detailTooLong, xItem* record, bool adding,
                     xItem* (*byName)(const char*));

// Stores the record as new (adding) or over its id, telling the user when
// that failed. On success outcome becomes the editor's result: 1 added, 2
// updated.
template <class Record>
bool StoreRecord(koWin* dialog, Record* record, bool adding, int& outcome) {
  if (adding ? record->addRecord() : record->updRecord()) {
    outcome = adding ? 1 : 2;
    return true;
  }
  dialog->msgBox(adding ? "追加に失敗しました!" : "更新に失敗しました!", MB_OK | MB_ICONEXCLAMATION,
                 nullptr);
  return false;
}

#endif
