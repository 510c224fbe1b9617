// Window objects: one Win32 window bound to one object, every message turned
// into a call of one virtual member with decoded arguments.
#ifndef KO_WIN_H
#define KO_WIN_H
#include <windows.h>
#include <map>
#include <string>
#include "koObject.h"

class koMenu;
class koDevContext;

// The message being dispatched; result is what the window procedure returns.
struct koEvent {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  LRESULT result;
};

struct koPoint {
  int x;
  int y;
};

struct koRect {
  int left;
  int top;
  int right;
  int bottom;
};

// Work done on another thread; its window is told by KOM_THREADENDED.
class koThread : public koObject {
 public:
  const char* className() override { return "koThread"; }
};

class koDDE : public koObject {
 public:
  const char* className() override { return "koDDE"; }
};

// Private window messages.
enum {
  KOM_LAYOUT = 1998,       // re-lay the children
  KOM_DDENOTIFY = 2000,    // wParam code, lParam koDDE*
  KOM_POSTDELETE = 2004,   // lParam: an object registered with RegisterPostDelete
  KOM_THREADENDED = 2008,  // wParam code, lParam koThread*
  KOM_COMMAND = 2010,      // posted command: wParam id, lParam code
  KOM_NOTIFY = 2012,       // wParam code, lParam data
  KOM_REFOCUS = 2014,      // a dialog seats its focus again through the dialog manager
};

LRESULT CALLBACK koWinProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

class koWin : public koObject {
 public:
  HWND hWnd;                 // cleared when the window is destroyed
  bool linked;               // procedure, user-data slot and registry entry in place
  WNDPROC prevProc;          // procedure before subclassing, or null
  WNDPROC ownProc;           // koWinProc
  WNDCLASSEXW wc;            // what registClass registers, under winClassName
  const char* defaultTitle;  // "kobas"
  DWORD style;
  DWORD exStyle;
  koRect rect;               // creation rectangle; 0x80000000 is CW_USEDEFAULT
  INT_PTR id;                // control id, or the menu of a top-level window
  void* createParam;         // lpParam of CreateWindowExW
  std::string winClassName;
  LRESULT* currentResult;    // result of the event being dispatched
  koWin* parent;

  koWin(koWin* parent, const char* className, int id);
  koWin(HWND window, bool link);
  ~koWin() override;
  koWin(const koWin&) = delete;
  koWin& operator=(const koWin&) = delete;
  const char* className() override;

  virtual void onStart();
  virtual bool queryClose();
  virtual bool queryEndSession(int flags);
  virtual void onClose();
  virtual void onDestroy();
  virtual bool onEndSession(bool ending, int flags);
  virtual bool command(int id, int code);
  virtual bool command(int id, int code, HWND control);
  virtual bool getMinMaxInfo(MINMAXINFO* info);
  virtual bool paint();
  virtual bool mdiActivated(HWND activated, HWND deactivated);
  virtual bool activated(int state, bool minimized, HWND other);
  virtual bool enabled(bool enable);
  virtual bool gotFocus(koWin* other, HWND otherWindow);
  virtual bool killedFocus(koWin* other, HWND otherWindow);
  virtual void onShow(int status);
  virtual void onHide(int status);
  virtual bool moved(int x, int y);
  virtual bool resized(koEvent& e);
  virtual bool resized(int width, int height, int type);
  virtual bool minimized(int width, int height);
  virtual bool timer(int id);
  virtual bool queryMaximize();
  virtual bool drawItem(int id, DRAWITEMSTRUCT* dis);
  virtual bool compareItem(koEvent& e);
  virtual bool measureItem(int id, MEASUREITEMSTRUCT* mis);
  virtual bool deleteItem(int id, DELETEITEMSTRUCT* dis);
  virtual int compareItem(void* data1, void* data2, COMPAREITEMSTRUCT* cis);
  virtual koPoint measureItem(MEASUREITEMSTRUCT* mis);  // x width, y height
  virtual bool paint(koDevContext& dc, koRect& rect, DRAWITEMSTRUCT& dis);
  virtual bool scrolled(int id, int code, int position);
  virtual void menuSelect(koMenu& menu, unsigned item, unsigned flags);
  virtual void menuInit(koMenu& menu);
  virtual void menuPopup(koMenu& menu, int index);
  virtual void sysmenuPopup(koMenu& menu);
  virtual bool notified(NMHDR* header, LRESULT& result);
  virtual bool notified2(int code, void* data);
  virtual bool dropFiles0(koEvent& e);
  virtual bool other(koEvent& e);
  virtual bool mouse(int message, koPoint position, int keys);
  virtual bool kbd(koEvent& e);
  virtual bool user(koEvent& e);
  virtual bool dde(koEvent& e);
  virtual bool getDialogCode(koEvent& e);
  virtual bool threadEnded(int code, koThread* thread);
  virtual bool notifiedDDE(int code, koDDE* dde);
  virtual bool destroy();
  virtual bool show(int command);
  virtual bool hide();
  virtual bool setText(const char* text);
  virtual bool setText(const std::string& text);
  virtual int getText(char* buffer, int size);
  virtual int getText(std::string& text);
  virtual int getTextLen();
  // The text as the window holds it, before any conversion.
  std::wstring getWideText();
  virtual bool setInt(int value, const char* format);
  virtual int getInt();
  virtual bool setFloat(float value, const char* format);
  virtual float getFloat();
  virtual int textHeight();
  virtual bool enable(bool enable);
  virtual bool onCreate(HWND window, CREATESTRUCTW* cs);
  virtual bool layoutChild();
  virtual void dropFiles(HDROP drop, int count, koPoint* point, bool inClient);

  HWND handle() const { return hWnd; }
  bool registClass();
  bool create(const char* title);
  void linkWin(HWND window);
  void unlinkWin();
  static koWin* GetWin(HWND window);
  bool dispatchEvent(koEvent& e);

  bool postParent(UINT message, WPARAM wParam, LPARAM lParam);
  void SetControl(HWND control, bool send);
  void NextControl(bool send);
  void PrevControl(bool send);
  bool setPos(koPoint* position, koPoint* size);
  void moveCenter();
  bool getPlacement(WINDOWPLACEMENT& placement);
  bool setPlacement(WINDOWPLACEMENT& placement);
  int showState();
  int msgBox(const char* text, int type, const char* caption);
  bool peekMsg(UINT first, UINT last, UINT remove, MSG* message);

  // Objects that KOM_POSTDELETE may delete: only those registered here (the
  // message can come from any process). Destroying an object unregisters it.
  static void RegisterPostDelete(koObject* object);
  static bool IsPostDeletePending(koObject* object);

 private:
  void initFields(koWin* parent, const char* className, int id);
  bool postDelete(koEvent& e);
};

// Window handle to object, for lookups of other windows; null while empty.
extern std::map<HWND, koWin*>* koWindowsMap;
// Next automatic control id (an id of -999 takes it).
extern int koWinID;
bool koWinStoreManagerTable(HWND window, koWin* object);
// The instance that window classes and windows are made in.
HINSTANCE koInstance();

#endif
