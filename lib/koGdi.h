// Device contexts and the GDI objects selected into them.
#ifndef KO_GDI_H
#define KO_GDI_H
#include <windows.h>
#include "koObject.h"

// Kinds of objects a context keeps; the palette is 5.
enum WHICHOBJ { WO_PEN = 0, WO_BRUSH = 1, WO_FONT = 2, WO_BITMAP = 3, WO_REGION = 4, WO_PALETTE = 5 };

// One GDI object, released with the wrapper.
class koDrawObj : public koObject {
 public:
  HGDIOBJ hObject;
  explicit koDrawObj(HGDIOBJ object = nullptr);
  ~koDrawObj() override;
  koDrawObj(const koDrawObj&) = delete;
  koDrawObj& operator=(const koDrawObj&) = delete;
  const char* className() override;
  HGDIOBJ handle() const { return hObject; }
};

// A device context handle; the ownership flag says whether to delete it.
class koDevInfo : public koObject {
 public:
  HDC hDC;
  explicit koDevInfo(HDC dc = nullptr, bool own = false);
  ~koDevInfo() override;
  koDevInfo(const koDevInfo&) = delete;
  koDevInfo& operator=(const koDevInfo&) = delete;
  const char* className() override;
  HDC handle() const { return hDC; }
};

class koDevContext : public koDevInfo {
 public:
  enum { KINDS = 6 };
  koDrawObj* drawObjects[KINDS];  // the wrapper selected for the kind
  HGDIOBJ handles[KINDS];         // what this context selected, or null
  bool owned[KINDS];              // released when replaced or restored
  HGDIOBJ originals[KINDS];       // what the context held before our first select

  explicit koDevContext(HDC dc = nullptr, bool own = false);
  ~koDevContext() override;
  const char* className() override;

  void initTable();
  // Both return the object that was selected before (null on failure).
  HGDIOBJ select(WHICHOBJ kind, HGDIOBJ object, bool own);
  HGDIOBJ select(WHICHOBJ kind, koDrawObj* object, bool own);
  // Puts the original object back and releases what this context owns, for
  // one kind or for all with -1.
  void restoreSelection(int kind);

 private:
  HGDIOBJ put(int kind, HGDIOBJ object);
  void release(int kind);
};

// A length in pixels at 96 DPI as the screen needs it (144 DPI: 1.5 times).
int koScaleToScreen(int pixels96);

#endif
