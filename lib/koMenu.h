// A Win32 menu handle with the objects of the submenus added through it.
#ifndef KO_MENU_H
#define KO_MENU_H
#include <windows.h>
#include <list>
#include "koObject.h"

class koMenu : public koObject {
 public:
  HMENU hMenu;                  // null once the owning object destroyed it
  bool owned;                   // the destructor destroys the handle
  std::list<koMenu*> submenus;  // made by appendSub, newest first; owned

  koMenu(HMENU menu, bool own);
  ~koMenu() override;
  koMenu(const koMenu&) = delete;
  koMenu& operator=(const koMenu&) = delete;
  const char* className() override;

  HMENU handle() const { return hMenu; }
  // Appends a pop-up item with a new empty submenu; null when none can be made.
  koMenu* appendSub(const char* text);
};

// A fresh pop-up menu, owned by the object.
class koPopupMenu : public koMenu {
 public:
  koPopupMenu();
  const char* className() override;
};

#endif
