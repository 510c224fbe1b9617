// The entry "Runmate で開く(&R)" in the context menu of files and folders,
// for this user only, and how the runs it starts become one.
#ifndef SHELL_ENTRY_H
#define SHELL_ENTRY_H
#include <windows.h>
#include <string>
#include <vector>

// The option the entry's command line starts with: the runs of a selection
// hand their paths to the first one.
extern const wchar_t* const kCollectOption;

enum EntryState { ENTRY_NONE, ENTRY_HERE, ENTRY_ELSEWHERE };
// Whether the entry is there and whether it starts exe; command: what it starts.
EntryState ShellEntryState(const std::wstring& exe, std::wstring* command);
// Adds (or points again at exe) the entry for files and folders; 0, or the system's error.
LONG AddShellEntry(const std::wstring& exe);
// Removes exactly what AddShellEntry made; 0 also when it was not there.
LONG RemoveShellEntry();

// The runs that Explorer starts for the files of one selection, one each,
// find each other through this: the first collects, the others hand over.
class Collector {
 public:
  // True when this run is the first (it then collects); false for one that
  // should hand its paths to the first.
  bool first();
  // Hands paths to the first run; false when none took them in time.
  bool handOver(const std::vector<std::wstring>& paths);
  // The first run's window takes paths (WM_COPYDATA) until stop().
  void open(HWND window);
  void stop();
  bool isOpen() const { return window != nullptr; }
  // The paths in a WM_COPYDATA that handOver sent; false for any other.
  static bool Paths(LPARAM copyData, std::vector<std::wstring>& into);
  ~Collector() { stop(); }

 private:
  HANDLE mutex = nullptr;
  HWND window = nullptr;
};

#endif
