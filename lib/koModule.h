// One executable module: the running program or a library loaded on demand,
// with its path, its title (the default caption of message boxes),
// resource loading and message boxes.
#ifndef KO_MODULE_H
#define KO_MODULE_H
#include <windows.h>
#include <string>
#include "koObject.h"
#include "koPathname.h"

class koAutoBuffer;
class koWin;

class koModule : public koObject {
 public:
  HMODULE hModule;     // null while nothing is loaded
  std::string title;   // file name without folder and extension
  HACCEL hAccel;       // set by the application object at start
  HWND hMainWnd;       // set by the frame window once it exists
  koPathname path;     // full path of the module file
  koWin* mainWin;      // the first frame window; modal dialogs post to it

  koModule();
  explicit koModule(const char* pathname);
  ~koModule() override;
  koModule(const koModule&) = delete;
  koModule& operator=(const koModule&) = delete;
  const char* className() override;
  // Modeless dialogs: the application object keeps the list; a dialog is
  // any koWin (a koDialog passes itself).
  virtual void appendDialog(koWin* dialog);
  virtual void removeDialog(koWin* dialog);
  virtual void MsgTransaction(MSG& message);

  HMODULE handle() const { return hModule; }
  int load(const char* name);
  void unload();
  int storePathname0(const char* pathname);
  int storePathname(const char* pathname);
  // Copies the resource into the area that buffer.get(size) gives.
  bool loadResource(koAutoBuffer& buffer, LPCSTR name, LPCSTR type);
  int msgBox(const char* text, int type, const char* caption);
};

// The process-wide module object (the application object in a program).
extern koModule* pModule;

// Puts the program's icon (MAINICON) on a window's caption and in the task
// switcher, at the sizes the screen uses.
void koSetWindowIcon(HWND window);

#endif
