#include "koGdi.h"

koDrawObj::koDrawObj(HGDIOBJ object) : hObject(object) {}
koDrawObj::~koDrawObj() {
  if (hObject) DeleteObject(hObject);
}
const char* koDrawObj::className() { return "koDrawObj"; }

koDevInfo::koDevInfo(HDC dc, bool own) : hDC(dc) { owner = own; }
koDevInfo::~koDevInfo() {
  if (owner && hDC) DeleteDC(hDC);
  hDC = nullptr;
}
const char* koDevInfo::className() { return "koDevInfo"; }

koDevContext::koDevContext(HDC dc, bool own) : koDevInfo(dc, own) { initTable(); }
koDevContext::~koDevContext() { restoreSelection(-1); }
const char* koDevContext::className() { return "koDevContext"; }

void koDevContext::initTable() {
  for (int k = 0; k < KINDS; k++) {
    drawObjects[k] = nullptr;
    handles[k] = nullptr;
    owned[k] = false;
    originals[k] = nullptr;
  }
}

HGDIOBJ koDevContext::put(int kind, HGDIOBJ object) {
  if (kind == WO_PALETTE) return SelectPalette(hDC, (HPALETTE)object, FALSE);
  return SelectObject(hDC, object);
}

// Releases what the context owns for the kind; the object must no longer be
// selected in the device context.
void koDevContext::release(int kind) {
  if (drawObjects[kind]) {
    if (owned[kind]) delete drawObjects[kind];
  } else if (owned[kind] && handles[kind]) {
    DeleteObject(handles[kind]);
  }
  drawObjects[kind] = nullptr;
  handles[kind] = nullptr;
  owned[kind] = false;
}

HGDIOBJ koDevContext::select(WHICHOBJ kind, HGDIOBJ object, bool own) {
  int k = (int)kind;
  if (k < 0 || k >= KINDS) return nullptr;
  HGDIOBJ before = put(k, object);
  // On failure the previous object is still selected: keep it.
  if (!before || before == HGDI_ERROR) return nullptr;
  if (!handles[k]) {
    originals[k] = before;
  } else if (handles[k] == object) {
    // Selected again: the same object must not be released under itself.
    drawObjects[k] = nullptr;
    handles[k] = nullptr;
    owned[k] = false;
  }
  release(k);
  handles[k] = object;
  owned[k] = own;
  return before;
}

HGDIOBJ koDevContext::select(WHICHOBJ kind, koDrawObj* object, bool own) {
  if (!object) return nullptr;
  HGDIOBJ before = select(kind, object->hObject, own);
  if (before) drawObjects[(int)kind] = object;
  return before;
}

void koDevContext::restoreSelection(int kind) {
  if (kind < 0) {
    for (int k = 0; k < KINDS; k++) restoreSelection(k);
    return;
  }
  if (kind >= KINDS) return;
  // An owned object is deleted only after the original one is back in place.
  if (handles[kind] && originals[kind] && hDC) put(kind, originals[kind]);
  originals[kind] = nullptr;
  release(kind);
}

int koScaleToScreen(int pixels96) {
  HDC screen = GetDC(nullptr);
  int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return MulDiv(pixels96, dpi > 0 ? dpi : 96, 96);
}
