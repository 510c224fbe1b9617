// The list of extension groups: the management dialogs' first window.
#ifndef EXT_LIST_H
#define EXT_LIST_H
class koWin;
void ExtList(koWin* parent);
#endif
