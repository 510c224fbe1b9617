// Stands in for an application: writes the command line it was started
// with into the file that KO_RECORD names, then ends.
#include <windows.h>
#include <stdio.h>
#include <string.h>

int main() {
  char out[MAX_PATH];
  if (!GetEnvironmentVariableA("KO_RECORD", out, sizeof out)) return 1;
  const char* line = GetCommandLineA();
  char tmp[MAX_PATH + 8];
  snprintf(tmp, sizeof tmp, "%s.tmp", out);
  FILE* f = fopen(tmp, "wb");
  if (!f) return 2;
  fwrite(line, 1, strlen(line), f);
  fclose(f);
  // Appears whole or not at all for the waiting test.
  MoveFileExA(tmp, out, MOVEFILE_REPLACE_EXISTING);
  return 0;
}
