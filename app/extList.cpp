#include "extList.h"
void ExtList(koWin*) {}
