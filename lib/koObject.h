// Root class of the Kobas library: class name, last error code, ownership
// flag and diagnostic level, plus the error message table.
#ifndef KO_OBJECT_H
#define KO_OBJECT_H

// Trace functions; the application supplies both.
void dbout(const char* format, ...);
void dboutln(const char* format, ...);

class koObject {
 public:
  int viewLevel;
  bool owner;
  int errorCode;

  koObject();
  virtual ~koObject();
  virtual const char* className();
  virtual const char* errorString(char* buffer);
  virtual void dbview(const char* text, int level);

  static const char* ErrorString(int code, char* buffer);
  int viewError(int code, const char* message, int level);
  static int ViewError(int code, const char* message, int level);
  int viewErrorLevel();
  int resetViewError();
  static int ViewErrorLevel();
  static void ViewErrorLevel(int level);
  static int ResetViewError();
};

// Library error codes.
enum {
  KOERR_OPEN = 0x4001,
  KOERR_READ = 0x4002,
  KOERR_WRITE = 0x4003,
  KOERR_PRINT = 0x4004,
  KOERR_EOF = 0x4005,
  KOERR_RESOURCE = 0x4010,
  KOERR_NOINSTANCE = 0x4011,
  KOERR_TIMEOUT = 0x4022,
};

#endif
