// The registration database exec.db: opening and validation, loading and
// writing records, the group searches of a launch, and the settings.
#ifndef DBSUB_H
#define DBSUB_H
#include "extItem.h"
#include "koSQLite.h"

extern char dbName[300];
extern koSQLite* db;

// Opens folder\exec.db and checks that its AppName is moduleName; shows
// the reason and returns false when the program cannot go on.
bool DbOpen(const char* exeFolder, const char* moduleName);
void TermDb();
void GetAllItem();
// True when a row with the record's id was found.
bool readAppItem(appItem* item);
bool readExtItem(extItem* item);
int searchExtItem(const char* ext);
int searchDirItem();

// Settings.
extern int dialogFont;
extern char folderGroup[200];
extern const int w0[3];
void LoadParams();
bool SaveParams();

// Message texts of the start-up check.
extern const char* const MSG_DB_NOT_FOUND;
extern const char* const MSG_DB_OPEN_FAILED;
extern const char* const MSG_DB_NOT_OURS;

#endif
