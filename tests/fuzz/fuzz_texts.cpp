// The program's own text parsers on any bytes, the first byte choosing which: the command-line splitters,
// the extension list's tidying and matching, the command template.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <vector>
#include "extItem.h"
#include "gosub.h"
#include "koApp.h"

static void check(bool ok) { ok || (abort(), 0); }

void dbout(const char*, ...) {}  // the library's trace goes nowhere here
void dboutln(const char*, ...) {}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  std::string text((const char*)data + 1, size - 1);
  text.resize(strlen(text.c_str()));  // every parser takes terminated text
  switch (data[0] % 4) {
    case 0: {  // the narrow splitter: room for every word (never the last entry used), each inside the storage
      size_t room = koArgStorageSize(text.c_str(), "p");
      int entries = koArgVectorSize(text.c_str());
      std::vector<char> storage(room);
      std::vector<char*> argv((size_t)entries);
      int argc = koSplitCommandLine(text.c_str(), "p", storage.data(), room, argv.data(), entries);
      check(argc >= 1 && argc < entries && !strcmp(argv[0], "p"));
      for (int i = 0; i < argc; i++)
        check(argv[i] >= storage.data() && argv[i] + strlen(argv[i]) < storage.data() + room);
      break;
    }
    case 1: {  // the wide one, on pairs of bytes: never more text out than in
      std::wstring line;
      for (size_t i = 1; i + 1 < size; i += 2) line += (wchar_t)(data[i] | data[i + 1] << 8);
      line.resize(wcslen(line.c_str()));
      size_t total = 0;
      for (const std::wstring& a : koSplitArgsW(line.c_str())) total += a.size();
      check(total <= line.size());
      break;
    }
    case 2: {  // a tidied list is tidy, and the matcher finds each of its elements
      check(TidyExtensions(TidyExtensions(text)) == TidyExtensions(text));
      strComp list;
      list.set(text.c_str());
      for (int i = 0; i < list.count; i++) check(list.comp(list.items[i]) != nullptr);
      break;
    }
    case 3: {  // the template: the path in place of the first %1, or after it
      size_t cut = text.find('\n');
      std::string command = text.substr(0, cut), path = cut == std::string::npos ? "" : text.substr(cut + 1), line;
      check(BuildCommandLine(command.c_str(), path.c_str(), line) == !command.empty());
      check(command.empty() || line.size() == command.size() + path.size() + (command.find("%1") == std::string::npos ? 3 : -2));
      check(ProgramOf(command.c_str()).size() <= command.size());
      break;
    }
  }
  return 0;
}
