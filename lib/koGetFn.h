// File and folder choosers around the common dialogs. A chooser lives on the
// stack, is configured, run and read, and opens the next time in the folder
// of its last result.
#ifndef KO_GETFN_H
#define KO_GETFN_H
#include <windows.h>
#include <commdlg.h>
#include <string>
#include "koDlg1.h"

class koGetFileName : public koDialogModal {
 public:
  static const int kPathSize = 300;  // what the platform is told it may write
  static int MaxFilters;             // entries of a filter list looked at

  char fileBuffer[5000];
  char initialDir[308];
  char* filterBuffer;
  char* defaultExtension;
  char title[200];
  char* mmFilterBuffer;
  OPENFILENAMEA ofn;  // the Shift-JIS side; the dialog itself runs in UTF-16
  bool preview;
  DWORD flags;
  // The path chosen as Windows gave it (with several names, their folder),
  // before any conversion: what a file is opened by. fileBuffer holds the
  // result in Shift-JIS for showing.
  std::wstring chosen;

  explicit koGetFileName(koWin* parent);
  ~koGetFileName() override;
  const char* className() override;

  bool setFilters(char** list);
  bool setFilters(const char* const* list);
  void setMMfilters(bool saving);
  void setTitle(const char* text);
  void setInitialDir(const char* folder);
  // The name part of the last result, bounded by size.
  void getFileTitle(char* out, int size = kPathSize);
  // Pattern of filter entry n (from 1) of the current list, or null when
  // the list has no such entry.
  const char* filterPattern(int n) const;

 protected:
  void prepare();
  // Runs the platform's dialog in UTF-16 on ofn's settings; its result goes
  // to chosen and, in Shift-JIS, to fileBuffer and ofn's offsets.
  bool show(bool saving);
};

class koGetOpenFileName : public koGetFileName {
 public:
  int count;
  int namesLength;

  explicit koGetOpenFileName(koWin* parent);
  const char* className() override;
  // 0 when cancelled, otherwise the number of files; copies are bounded by
  // pathSize and namesSize.
  int run(char* path, char* names = nullptr, int pathSize = kPathSize,
          int namesSize = kPathSize);
  // What run does with a result the platform dialog gave; false keeps it a
  // cancellation. Split out so the result can be fed in directly.
  int takeResult(char* path, char* names, int pathSize, int namesSize);
};

class koGetSaveFileName : public koGetFileName {
 public:
  explicit koGetSaveFileName(koWin* parent);
  const char* className() override;
  bool setDefaultExtension(const char* ext);
  bool run(char* path, int pathSize = kPathSize);
  void takeResult(char* path, int pathSize);
};

class koGetDirectoryName : public koGetFileName {
 public:
  int rootFolder;
  koWin* ownerWin;
  int image;
  long browseParam;

  explicit koGetDirectoryName(koWin* parent);
  const char* className() override;
  bool run(char* path, int flags = -1);
};

#endif
