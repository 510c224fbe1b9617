#include "koAutoBuffer.h"
#include <new>

koAutoBuffer::koAutoBuffer()
    : external(nullptr), owned(nullptr), current(nullptr), externalSize(0), ownedSize(0),
      used(0) {}

koAutoBuffer::koAutoBuffer(void* data, int size) : koAutoBuffer() { put(data, size); }

koAutoBuffer::~koAutoBuffer() { delete[] owned; }

const char* koAutoBuffer::className() { return "koAutoBuffer"; }

void koAutoBuffer::put(void* data, int size) {
  clear(true);
  external = (unsigned char*)data;
  externalSize = data ? size : 0;
  current = external;
  used = externalSize;
}

unsigned char* koAutoBuffer::get(int size) {
  if (size <= 0) return current;
  if (size <= externalSize) {
    current = external;
  } else if (size <= ownedSize) {
    current = owned;
  } else {
    unsigned char* fresh = new (std::nothrow) unsigned char[size];
    if (!fresh) return nullptr;
    delete[] owned;
    owned = fresh;
    ownedSize = size;
    current = owned;
  }
  used = size;
  return current;
}

void koAutoBuffer::clear(bool release) {
  if (release) {
    delete[] owned;
    owned = nullptr;
    ownedSize = 0;
    current = external;
  }
  used = 0;
}
