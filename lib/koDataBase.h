// An abstract database connection: descriptive strings and operations that
// fail until a subclass gives them a meaning.
#ifndef KO_DATABASE_H
#define KO_DATABASE_H
#include <string>
#include "koObject.h"

struct sqlite3;

class koDataBase : public koObject {
 public:
  std::string name_, server_, user_, password_;
  sqlite3* dbHandle;

  koDataBase(const char* name, const char* server, const char* user, const char* password);
  ~koDataBase() override;
  koDataBase(const koDataBase&) = delete;
  koDataBase& operator=(const koDataBase&) = delete;
  const char* className() override { return "koDataBase"; }

  virtual int open(const char* name, const char* server, const char* user, const char* password);
  virtual int close();
  virtual int exec(const char* sql, int (*callback)(void*, int, char**, char**), void* argument,
                   char** errorMessage);
  virtual int begin();
  virtual int commit();
  virtual int rollback();

  void name(const char* s);
  void server(const char* s);
  void user(const char* s);
  void password(const char* s);
  const char* name() const { return name_.c_str(); }

  // Writes source as an SQL string literal into a 1000-byte destination.
  static void QFormat(const char* source, char* destination);
};

#endif
