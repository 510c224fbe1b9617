#include "remember.h"
#include <string.h>
#include <algorithm>
#include "dbsub.h"
#include "koPlatform.h"

namespace {
const char* const kMatchKey = "RememberedMatch";  // the text, terminated as FolderGroup is
const char* const kAppKey = "RememberedApp";      // the application's id, 4 bytes
}  // namespace

bool LoadRemembered(std::vector<Remembered>& out) {
  out.clear();
  if (!db) return false;
  for (int ix = 0;; ix++) {
    int size = db->getParamSize(kMatchKey, ix);
    if (size < 0 || db->failed()) return false;
    if (size == 0) return true;
    Remembered r;
    db->getTextIx(kMatchKey, ix, r.match, "");
    r.appId = db->getIntIx(kAppKey, ix, 0);
    if (db->failed()) return false;
    out.push_back(r);
  }
}

bool SaveRemembered(const std::vector<Remembered>& list) {
  if (!db || !db->delParams(kMatchKey, -1) || !db->delParams(kAppKey, -1)) return false;
  for (size_t ix = 0; ix < list.size(); ix++) {
    const Remembered& r = list[ix];
    if (!db->putBlobIx(kMatchKey, (int)ix, r.match.c_str(), (int)r.match.size() + 1) ||
        !db->putBlobIx(kAppKey, (int)ix, &r.appId, 4))
      return false;
  }
  return true;
}

namespace {
bool same(const Remembered& r, const char* match) {
  return _mbsicmp((const unsigned char*)r.match.c_str(), (const unsigned char*)match) == 0;
}
}  // namespace

int RememberedApp(const std::vector<Remembered>& list, const char* match) {
  if (!match || !*match) return 0;
  for (const Remembered& r : list)
    if (same(r, match)) return r.appId;
  return 0;
}

void ForgetRemembered(std::vector<Remembered>& list, const char* match) {
  if (!match) return;
  list.erase(std::remove_if(list.begin(), list.end(), [match](const Remembered& r) { return same(r, match); }),
             list.end());
}
