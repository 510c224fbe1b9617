// The common-control tool bar.
#ifndef KO_TOOLBAR_H
#define KO_TOOLBAR_H
#include "koWin.h"

class koToolBar : public koWin {
 public:
  koToolBar(koWin* parent, int classStyle);
  const char* className() override;

  bool create();
  int height();  // -1 without a window
  bool separate(int index, int width);
  int addBitmap(int count, const char* bitmapName);
  int addBitmap(int count, int standardBitmapId);
  void getButtonSize(int& width, int& height);
  void setColorScheme(unsigned long highlight, unsigned long shadow);
  bool getColorScheme(unsigned long& highlight, unsigned long& shadow);
  int mapAccelerator(char c);
  void getPadding(int& x, int& y);
};

#endif
