#include "ko_test.h"
#include <gtest/gtest.h>
#include <errno.h>
#include <stdarg.h>
#include <stdio.h>
#include <sys/stat.h>
#include <fstream>
#ifdef _WIN32
#include <windows.h>
#include <direct.h>
#else
#include <unistd.h>
#endif

static std::string traceLog;

static void record(const char* format, va_list ap, bool newline) {
  char buf[2048];
  vsnprintf(buf, sizeof buf, format, ap);
  traceLog += buf;
  if (newline) traceLog += "\n";
}

void dbout(const char* format, ...) {
  va_list ap;
  va_start(ap, format);
  record(format, ap, false);
  va_end(ap);
}

void dboutln(const char* format, ...) {
  va_list ap;
  va_start(ap, format);
  record(format, ap, true);
  va_end(ap);
}

std::string TraceLog() { return traceLog; }
void ClearTrace() { traceLog.clear(); }

std::string MakeTempDir(const char* tag) {
  // Process ids repeat under Wine: take the first name not there yet.
  static int counter = 0;
  char buf[512];
  for (;;) {
#ifdef _WIN32
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    snprintf(buf, sizeof buf, "%sko_%s_%lu_%d", base, tag, GetCurrentProcessId(), ++counter);
    if (_mkdir(buf) == 0) break;
#else
    snprintf(buf, sizeof buf, "/tmp/ko_%s_%d_%d", tag, (int)getpid(), ++counter);
    if (mkdir(buf, 0700) == 0) break;
#endif
    if (errno != EEXIST) break;
  }
  return buf;
}

bool CopyFileTo(const std::string& from, const std::string& to) {
  std::ifstream in(from, std::ios::binary);
  if (!in) return false;
  std::ofstream out(to, std::ios::binary | std::ios::trunc);
  out << in.rdbuf();
  return (bool)out;
}

bool FileExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

std::string Hex(const std::string& s) {
  std::string r;
  char b[4];
  for (unsigned char c : s) {
    snprintf(b, sizeof b, "%02X ", c);
    r += b;
  }
  return r;
}

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
#ifdef _WIN32
  // Every test assumes the Japanese ANSI code page.
  if (GetACP() != 932) {
    fprintf(stderr, "ANSI code page is %u, not 932: run with LC_ALL=ja_JP.UTF-8\n", GetACP());
    return 2;
  }
#endif
  return RUN_ALL_TESTS();
}
