// One directory search of the platform as an object.
#ifndef KO_FIND_H
#define KO_FIND_H
#include <windows.h>
#include "koObject.h"

class koFind : public koObject {
 public:
  HANDLE searchHandle;       // INVALID_HANDLE_VALUE while no search is open
  WIN32_FIND_DATAA findData;  // the current entry
  bool pending;              // open found an entry that read has not returned yet

  koFind();
  ~koFind() override;
  const char* className() override;

  void close();
  // 0 or the platform's error code; the attributes are accepted and ignored.
  int findFirst(const char* pattern, int attributes);
  bool findNext();
  WIN32_FIND_DATAA* getData();
  // Starts listing every entry of a folder; 0 or an error code.
  int open(const char* directory, int attributes);
  bool read(char* nameBuffer);
  char* getName(char* buffer);
  char* getAlterName(char* buffer);

 private:
  koFind(const koFind&) = delete;
  koFind& operator=(const koFind&) = delete;
};

#endif
