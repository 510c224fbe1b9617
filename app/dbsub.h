// The registration database exec.db: opening and validation, loading and
// writing records, the group searches of a launch, and the settings.
#ifndef DBSUB_H
#define DBSUB_H
#include <string>
#include "extItem.h"
#include "koSQLite.h"

extern char dbName[300];
extern koSQLite* db;
// Why exec.db cannot be written (the file or its folder), found at the
// start; empty when it can.
extern std::string dbReadOnly;
// Sets dbReadOnly when exec.db's folder (exeFolder) takes no new file; the
// lists ask, a launch does not spend the time.
void DbCheckFolder(const char* exeFolder);

// Opens folder\exec.db and checks that its AppName is moduleName; shows
// the reason and returns false when the program cannot go on.
bool DbOpen(const char* exeFolder, const char* moduleName);
void TermDb();
// Where DbOpen's reasons go; null: a message box.
extern void (*DbOpenReport)(const char* text, const char* caption);
// Loads both lists; false when the database could not be read whole.
bool GetAllItem();
// What to tell after a read failed: busy, or not readable.
const char* DbFailureText();
// Why the last write failed and what to do, for the line after the
// failure's own.
std::string DbWriteFailure();
// True when a row with the record's id was found.
bool readAppItem(appItem* item);
bool readExtItem(extItem* item);
// na and the ids of a group row (columns naColumn, blobColumn) into item,
// never more than 40 and never more than the blob really holds.
void ReadGroupIds(koSQLiteStmt* s, int naColumn, int blobColumn, extItem* item);
// The id of the first group listing ext, or of the folder group; 0 for
// none, -1 when the database could not be read.
int searchExtItem(const char* ext);
// The id of the group that takes a file (path, name and extension ext in
// code page 932; path or name null where they cannot be told) or, with no
// ext, a folder (path patterns only): the earliest group with a path
// pattern matching path, else with a name pattern matching name, else
// listing ext. 0 for none, -1 when the database could not be read.
// matched: the element that matched.
int searchGroup(const char* path, const char* name, const char* ext, std::string* matched);
int searchDirItem();
// A group's name as stored (UTF-8), "" when there is no such group.
std::string GroupNameUtf8(int id);
// How long a statement waits for another program's lock.
const int kBusyWaitMs = 3000;

// Settings. The font size is kept within its bounds however it was stored;
// at the upper one the tallest dialog, the group editor, still fits a
// 1366x768 screen less its taskbar at 96 DPI; at the lower one kanji are
// still 12 pixels high and no button's text is cut (below it, the list's
// buttons are).
enum { OPT_FONT_MIN = 8, OPT_FONT_MAX = 16 };
extern int dialogFont;
extern char folderGroup[200];
extern const int w0[3];
void LoadParams();
bool SaveParams();

// Message texts of the start-up check.
extern const char* const MSG_DB_NOT_FOUND;  // the first line; the path looked for follows
extern const char* const MSG_DB_OPEN_FAILED;
extern const char* const MSG_DB_NOT_OURS;
extern const char* const MSG_DB_BUSY;
extern const char* const MSG_DB_READ_FAILED;

#endif
