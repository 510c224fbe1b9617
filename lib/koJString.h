// A growable string of whole Shift-JIS characters, 16 bits an element.
#ifndef KO_JSTRING_H
#define KO_JSTRING_H
#include <string>
#include "koJChar.h"
#include "koObject.h"

class koJString : public koObject {
 public:
  int length;
  int capacity;
  JCHAR* chars;
  JCHAR inlineChars[64];
  JCHAR* heapChars;

  koJString();
  ~koJString() override;
  koJString(const koJString&) = delete;  // chars may point into the object
  koJString& operator=(const koJString&) = delete;
  const char* className() override { return "koJString"; }

  bool checkAlloc(int n, bool keep);
  JCHAR at(int i) const;
  void getin(const char* text);
  void getin(const JCHAR* elements, int n);
  static void GetIn(JCHAR* elements, const char* text);
  static bool PutOut(const JCHAR* elements, int n, char* text, int limit);
  bool putout(char* text, int limit) const;
  bool putout(std::string& s) const;
  void append(JCHAR c, int count);
  void append(const koJString& other, int start, int count);
  void append(const char* text, int start, int count);
  bool resize(int n, JCHAR fill);
  int byteLength() const;
  void blankCut();
  void toUpper();
  void toLower();
};

#endif
