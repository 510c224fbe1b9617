// Remembered choices: for what a file matched (its extension, or a pattern),
// the application that opens it without the menu. Kept in the parameter
// store, one pair per index, so the tables stay as shipped.
#ifndef REMEMBER_H
#define REMEMBER_H
#include <string>
#include <vector>

struct Remembered {
  std::string match;  // Shift-JIS, as the program keeps its texts
  int appId;
};

// Every stored pair in index order; false when the database could not be read.
bool LoadRemembered(std::vector<Remembered>& out);
// Replaces every stored pair; inside the caller's transaction.
bool SaveRemembered(const std::vector<Remembered>& list);
// The application remembered for match (case aside), 0 for none.
int RememberedApp(const std::vector<Remembered>& list, const char* match);
// What is remembered for match (case aside) taken out of list.
void ForgetRemembered(std::vector<Remembered>& list, const char* match);

#endif
