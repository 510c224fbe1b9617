// One file path split into node, drive, folder, name and extension, with a
// cached directory record of the file.
#ifndef KO_PATHNAME_H
#define KO_PATHNAME_H
#include <windows.h>
#include "koObject.h"

class koPathname : public koObject {
 public:
  char emptyText;       // every unset part points here
  char path[300];       // never more than 260 characters
  char partStore[266];  // the parts, one after another, each terminated
  char* node;           // \\server of a UNC path, no trailing backslash
  char* drive;          // C:
  char* dir;            // \Tools\ (leading and trailing backslash)
  char* name;           // without extension
  char* ext;            // without its period
  char* filePos;        // in path, where the file name begins
  bool statusValid;
  WIN32_FIND_DATAA status;

  koPathname(const char* text = nullptr);
  koPathname(const koPathname& other);
  koPathname& operator=(const koPathname& other);
  const char* className() override;

  void clear();
  int storeName(const char* text);
  int make(const char* node, const char* drive, const char* dir, const char* name,
           const char* ext);
  void getFilePos(char* destination);

  static bool IsExist(const char* text);
  static int Remove(const char* text);
  int remove();
  static int Rename(const char* from, const char* to, DWORD flags);
  int rename(const char* to, DWORD flags);

  int getStatus(WIN32_FIND_DATAA* record);
  bool isReadOnly();
  bool isHidden();
  bool isSystem();
  bool isDirectory();
  bool isArchive();
  bool isNormal();
  bool isTemporary();
  bool isCompressed();
  bool isExecutable();
  bool setupDirectory();

 private:
  bool testAttribute(DWORD bit);
  int fail();
  void copyFrom(const koPathname& other);
};

#endif
