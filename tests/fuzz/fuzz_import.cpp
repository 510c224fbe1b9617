// The import check on any bytes: no crash, a refusal always says why, and what it accepts comes back the
// same through its own export.
#include <stdint.h>
#include <stdlib.h>
#include "registrations.h"

void dbout(const char*, ...) {}  // the library's trace goes nowhere here
void dboutln(const char*, ...) {}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Registrations r, again;
  std::string error, text, second;
  if (!ParseRegistrations(std::string((const char*)data, size), r, error)) return error.empty() ? abort(), 0 : 0;
  if (!RegistrationsToJson(r, text, error) || !ParseRegistrations(text, again, error) ||
      !RegistrationsToJson(again, second, error) || second != text)
    abort();
  return 0;
}
