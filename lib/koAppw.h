// The application object: the process's module object, its arguments, the
// message loop and the modeless dialogs. Include "koApp.h".
#ifndef KO_APPW_H
#define KO_APPW_H
#include <windows.h>
#include <list>
#include <string>
#include <vector>
#include "koModule.h"
#include "koThreadMutex.h"

class koApp : public koModule {
 public:
  koThreadMutex mutex;            // for the application; the framework never takes it
  char* argStorage;               // argv[0] and every argument, each terminated
  std::list<koWin*> modeless;     // registered modeless dialogs, newest first
  int showCommand;
  int argc;
  char** argv;                    // argc entries, no terminating null
  // The arguments as the system gave them, in UTF-16: argv[1..] lose the
  // characters the ANSI code page has not.
  std::vector<std::wstring> wideArgs;
  // Set by startup when it did the whole run: its result is then the exit
  // code, 0 included, and no main window or loop follows.
  bool startupEnds = false;

  koApp();
  ~koApp() override;
  const char* className() override;
  void appendDialog(koWin* dialog) override;
  void removeDialog(koWin* dialog) override;
  void MsgTransaction(MSG& message) override;

  int startup002(HINSTANCE instance, const char* commandLine, int show);
  void xSetupArgs(const char* commandLine);
  void releaseArgs();
  int execApp();
  // The loop: the WM_QUIT's code, or -1 when GetMessageW fails.
  int run();
  // Processes what is queued and returns; false when WM_QUIT was met (it is
  // posted again for the loop).
  bool MsgPump(int remove);
  bool checkModeless(MSG* message);

  // Supplied by the application.
  int startup(int argc, char** argv);  // 0 to go on
  int main();                          // 0 to run the message loop
  void terminal(int& exitCode);        // always last
};

// The application object: the program defines it (koApp App;), WinMain
// fills and runs it.
extern koApp App;
extern koApp* pApp;
// MDI client window for the loop's accelerators; null in this program.
extern HWND mdiClientHwnd;

// WinMain's work, on any application object: fill it, run the hooks and the
// loop, release the arguments; the exit code.
int koWinMainBody(koApp& app, HINSTANCE instance, const char* commandLine, int show);

// The loop on a message source (GetMessageW in a program).
typedef BOOL(WINAPI* koGetMessageFn)(LPMSG, HWND, UINT, UINT);
int koMessageLoop(koModule& module, koGetMessageFn getMessage);

#endif
