// The common-control status bar.
#ifndef KO_STATUSBAR_H
#define KO_STATUSBAR_H
#include "koWin.h"

class koStatusBar : public koWin {
 public:
  int barHeight;  // what the frame leaves for the bar

  koStatusBar(koWin* parent, int classStyle);
  const char* className() override;

  bool create();
  void height(int h);
};

#endif
