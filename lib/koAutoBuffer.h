// A byte buffer that uses an area of its owner while the data fits and a
// heap array otherwise.
#ifndef KO_AUTOBUFFER_H
#define KO_AUTOBUFFER_H
#include "koObject.h"

class koAutoBuffer : public koObject {
 public:
  unsigned char* external;  // the owner's area, not owned
  unsigned char* owned;     // heap array (array new)
  unsigned char* current;   // external or owned
  int externalSize;
  int ownedSize;
  int used;

  koAutoBuffer();
  koAutoBuffer(void* data, int size);
  ~koAutoBuffer() override;
  koAutoBuffer(const koAutoBuffer&) = delete;
  koAutoBuffer& operator=(const koAutoBuffer&) = delete;
  const char* className() override;

  void put(void* data, int size);
  // An area of at least size bytes; size <= 0 returns the area in use.
  // Null when a needed array cannot be had (nothing changes then).
  unsigned char* get(int size);
  void clear(bool release);
};

#endif
