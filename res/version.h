// The program's version: the About box, the VERSIONINFO resource and the
// release package's name all take it from here.
#ifndef RUNMATE_VERSION_H
#define RUNMATE_VERSION_H
#define RUNMATE_VERSION_MAJOR 1
#define RUNMATE_VERSION_MINOR 1
#define RUNMATE_VERSION_PATCH 0
#define RUNMATE_VERSION "1.1.0"
#endif
