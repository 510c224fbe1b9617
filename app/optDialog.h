// The option dialog: the folder group, the dialog font size and the
// shortcuts that start the program.
#ifndef OPT_DIALOG_H
#define OPT_DIALOG_H
#include <windows.h>
#include <string>
#include "dbsub.h"

class koWin;

void OptionDialog(koWin* parent);
// Writes one shell link file. S_OK when it was saved.
HRESULT CreateShortCut(const std::wstring& link, const std::wstring& target, const std::wstring& arguments,
                       const std::wstring& folder, const std::wstring& description);
// The size the font edit's text names, within OPT_FONT_MIN and
// OPT_FONT_MAX; 0 for any other text.
int OptFontSize(const char* text);

#endif
