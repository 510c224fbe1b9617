#include "koApp.h"
#include <string.h>
#include <wchar.h>
#include <vector>
#include "koJChar.h"

size_t koArgStorageSize(const char* commandLine, const char* program) {
  return strlen(commandLine ? commandLine : "") + strlen(program ? program : "") + 10;
}

int koArgVectorSize(const char* commandLine) {
  return (int)(strlen(commandLine ? commandLine : "") / 2 + 3);
}

namespace {
// The splitting rule for narrow and wide text: blanks and control
// characters separate words; a word in double quotes keeps its blanks and
// "" inside it stands for one quote; outside quotes a quote is dropped.
// Each word goes to store(text, length); buffer holds the longest word.
template <class C, class Store, class Lead>
void splitWords(const C* p, C* word, Store store, Lead isLead) {
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
        if (isLead(*p) && p[1]) word[n++] = *p++;
        word[n++] = *p++;
      }
      store(word, n);
    } else {
      while (*p > 32) {
        if (*p != '"') word[n++] = *p;
        p++;
      }
      if (n) store(word, n);
    }
  }
}
}  // namespace

int koSplitCommandLine(const char* commandLine, const char* program, char* storage,
                       size_t storageSize, char** argv, int maxArgs) {
  if (!storage || storageSize == 0 || !argv || maxArgs < 1) return 0;
  const char* line = commandLine ? commandLine : "";
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
  std::vector<unsigned char> word(strlen(line) + 1);
  splitWords((const unsigned char*)line, word.data(),
             [&](const unsigned char* text, size_t n) { store((const char*)text, n); },
             [](unsigned char c) { return koIsLeadByte(c); });
  return argc;
}

std::vector<std::wstring> koSplitArgsW(const wchar_t* commandLine) {
  std::vector<std::wstring> args;
  const wchar_t* p = commandLine ? commandLine : L"";
  // The program's name first: quoted, or up to the first blank.
  if (*p == L'"') {
    p++;
    while (*p && *p != L'"') p++;
    if (*p) p++;
  } else {
    while (*p > 32) p++;
  }
  std::vector<wchar_t> word(wcslen(p) + 1);
  splitWords(p, word.data(), [&](const wchar_t* text, size_t n) { args.emplace_back(text, n); },
             [](wchar_t) { return false; });
  return args;
}
