#include "koApp.h"
#include <string.h>
#include "koJChar.h"


size_t koArgStorageSize(const char* commandLine, const char* program) {
  return strlen(commandLine ? commandLine : "") + strlen(program ? program : "") + 10;
}

int koArgVectorSize(const char* commandLine) {
  return (int)(strlen(commandLine ? commandLine : "") / 2 + 3);
}

int koSplitCommandLine(const char* commandLine, const char* program, char* storage,
                       size_t storageSize, char** argv, int maxArgs) {
  if (!storage || storageSize == 0 || !argv || maxArgs < 1) return 0;
  const unsigned char* p = (const unsigned char*)(commandLine ? commandLine : "");
  char* out = storage;
  char* end = storage + storageSize;
  int argc = 0;

  auto store = [&](const char* text, size_t n) {
    if (argc >= maxArgs || (size_t)(end - out) < n + 1) return;
    memcpy(out, text, n);
    out[n] = 0;
    argv[argc++] = out;
    out += n + 1;
  };

  const char* self = program ? program : "";
  store(self, strlen(self));

  // No argument is longer than the command line.
  size_t limit = strlen((const char*)p);
  char small[256];
  char* word = limit < sizeof small ? small : new char[limit + 1];
  for (;;) {
    while (*p >= 1 && *p <= 32) p++;
    if (!*p) break;
    size_t n = 0;
    if (*p == '"') {
      p++;
      while (*p) {
        if (*p == '"') {
          if (p[1] == '"') {
            word[n++] = '"';
            p += 2;
            continue;
          }
          p++;
          break;
        }
        if (koIsLeadByte(*p) && p[1]) {
          word[n++] = (char)*p++;
        }
        word[n++] = (char)*p++;
      }
      store(word, n);
    } else {
      while (*p > 32) {
        if (*p != '"') word[n++] = (char)*p;
        p++;
      }
      if (n) store(word, n);
    }
  }
  if (word != small) delete[] word;
  return argc;
}
