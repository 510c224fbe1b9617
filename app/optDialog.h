// The option dialog: the folder group, the dialog font size and the
// shortcuts that start the program.
#ifndef OPT_DIALOG_H
#define OPT_DIALOG_H
#include <windows.h>
#include "dbsub.h"

class koWin;

void OptionDialog(koWin* parent);
// Writes one shell link file; the texts are ANSI. S_OK when it was saved.
HRESULT CreateShortCut(char* link, char* target, char* arguments, char* folder,
                       char* description);
// The size the font edit's text names, within OPT_FONT_MIN and
// OPT_FONT_MAX; 0 for any other text.
int OptFontSize(const char* text);

#endif
