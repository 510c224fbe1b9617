#include "koScrollBar.h"
#include <stdio.h>

koScrollBar::koScrollBar(koWin* parentObject, int controlId, int extraStyle)
    : koControl(parentObject, "Scrollbar", controlId, extraStyle),
      bar(SB_CTL),
      position(0),
      minimum(0),
      maximum(0),
      pageStep(0) {
  joinPartner();
}

const char* koScrollBar::className() { return "koScrollBar"; }

bool koScrollBar::joinPartner() {
  // The partner first, so that it shows the starting position.
  bool joined = koControl::joinPartner();
  setRangeAll(0, 100, -1, -1, SIF_RANGE, true);
  setSel(50, true);
  pageStep = 10;
  return joined;
}

bool koScrollBar::create() {
  if (!koWin::create(nullptr)) return false;
  joinPartner();
  return true;
}

bool koScrollBar::setRangeAll(int min, int max, int pos, int page, unsigned mask, bool redraw) {
  if (mask & SIF_RANGE) {
    if (max < min) return false;
    minimum = min;
    maximum = max;
    int span = max - min;
    pageStep = span < 10 ? 2 : span < 40 ? 5 : span / 10;
  }
  if (mask & SIF_POS) position = pos;
  if (position < minimum) position = minimum;
  if (position > maximum) position = maximum;
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = mask;
  info.nMin = minimum;
  info.nMax = maximum;
  info.nPage = (UINT)page;
  info.nPos = position;
  if (hWnd) SetScrollInfo(hWnd, bar, &info, redraw);
  setSel(position, true);
  return true;
}

bool koScrollBar::setSel(int pos, bool redraw) {
  if (pos < minimum || pos > maximum) return false;
  position = pos;
  if (hWnd) SetScrollPos(hWnd, bar, pos, redraw);
  if (partner) {
    char text[32];
    snprintf(text, sizeof text, "%d", pos);
    partner->setText(text);
  }
  return true;
}

bool koScrollBar::scroll(int code, int pos) {
  int next = position;
  switch (code) {
    case SB_LINEUP: next = position - 1; break;
    case SB_LINEDOWN: next = position + 1; break;
    case SB_PAGEUP: next = position - pageStep; break;
    case SB_PAGEDOWN: next = position + pageStep; break;
    case SB_THUMBTRACK: next = pos; break;
    default: break;
  }
  if (next < minimum) next = minimum;
  if (next > maximum) next = maximum;
  if (next != position) setSel(next, true);
  return true;
}

void koScrollBar::linkObject(int* value, int* rangeAndStep) {
  data = value;
  size = 0;
  if (!value) return;
  if (rangeAndStep) setRangeAll(rangeAndStep[0], rangeAndStep[1], -1, -1, SIF_RANGE, true);
  setSel(*value, true);
  if (rangeAndStep) pageStep = rangeAndStep[2];
}

void koScrollBar::linkMapObject(koCtrlMap* entry) {
  linkObject((int*)entry->data, (int*)entry->extra);
}

void koScrollBar::updateScreen() {
  if (data) setSel(*(int*)data, true);
}

void koScrollBar::updateObject() {
  if (data) *(int*)data = position;
}

bool koScrollBar::isModified() { return data && *(int*)data != position; }
