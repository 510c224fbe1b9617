// The editor of one extension group: name, extensions, note and the
// ordered applications of its launch menu.
#ifndef EXT_DIALOG_H
#define EXT_DIALOG_H
#include <string>
#include <vector>
#include "dbsub.h"
#include "extItem.h"

class koWin;

// One bound for each value: the edit's input limit and what is stored. Any
// group name fits the folder group setting; an extension list longer than
// the matcher's buffer could never match whole.
const int kExtNameMax = (int)sizeof folderGroup - 1;
const int kExtListMax = strComp::BUF_SIZE - 1;
const int kExtMemoMax = 5000;

// The elements of list that a group the launch reads first already has,
// matched as the launch matches, in list order; the group of the first, or
// null. First means a smaller id for the group with that id; for a new
// group (id 0) every group comes first.
const extItem* EarlierClashes(const std::string& list, int id, std::vector<std::string>& clashes);

// Results: 0 nothing stored, 1 stored as a new group (record->id is its
// row id), 2 the group with record->id updated.
int ExtDialog(koWin* parent, extItem* record);

#endif
