#include "registrations.h"
#include <sqlite3.h>
#include <string.h>
#include <initializer_list>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include "dbsub.h"
#include "extDialog.h"
#include "koPlatform.h"
#include "koUtl1.h"
#include "remember.h"

const char* const kRegFormat = "runmate-registrations";

namespace {
using json = nlohmann::json;
using ordered = nlohmann::ordered_json;
const int kMaxDepth = 64;  // ours is 4 deep; far deeper is no registration file

// The DOM parser, besides which the error's byte position is kept and a
// key given twice in one object (which the library would let the last win)
// or a nesting beyond kMaxDepth ends the parse.
class CheckingSax {
 public:
  explicit CheckingSax(json& root) : dom(root, false) {}
  size_t errorAt = 0;   // bytes read when the text stopped being JSON
  bool syntax = false;  // it did
  bool notUtf8 = false;  // there, at a byte that is not UTF-8 (a file saved in Shift-JIS, say)
  std::string twice;     // the key given twice
  bool tooDeep = false;

  bool null() { return dom.null(); }
  bool boolean(bool v) { return dom.boolean(v); }
  bool number_integer(json::number_integer_t v) { return dom.number_integer(v); }
  bool number_unsigned(json::number_unsigned_t v) { return dom.number_unsigned(v); }
  bool number_float(json::number_float_t v, const json::string_t& s) { return dom.number_float(v, s); }
  bool string(json::string_t& v) { return dom.string(v); }
  bool binary(json::binary_t& v) { return dom.binary(v); }
  bool start_object(size_t n) { return enter() && dom.start_object(n); }
  bool start_array(size_t n) { return enter() && dom.start_array(n); }
  bool end_object() { return keys.pop_back(), dom.end_object(); }
  bool end_array() { return keys.pop_back(), dom.end_array(); }
  bool key(json::string_t& k) {
    if (!keys.back().insert(k).second) return twice = k, false;
    return dom.key(k);
  }
  template <class Exception>
  bool parse_error(size_t position, const std::string&, const Exception& e) {
    errorAt = position;
    syntax = true;
    notUtf8 = strstr(e.what(), "ill-formed UTF-8") != nullptr;
    return false;
  }

 private:
  nlohmann::detail::json_sax_dom_parser<json> dom;
  std::vector<std::set<std::string>> keys;  // of each open object (arrays keep an empty one)

  bool enter() {
    if (keys.size() >= (size_t)kMaxDepth) return tooDeep = true, false;
    keys.emplace_back();
    return true;
  }
};

// "N 行 M 文字目" of the character at byte index at (both from 1).
std::string placeOf(const std::string& text, size_t at) {
  if (at > text.size()) at = text.size();
  size_t line = 1, column = 1;
  for (size_t i = text.compare(0, 3, "\xEF\xBB\xBF") ? 0 : 3; i < at; i++) {  // a byte order mark is no character
    if (text[i] == '\n') line++, column = 1;
    else if (((unsigned char)text[i] & 0xC0) != 0x80) column++;  // UTF-8 continuation bytes add no character
  }
  return std::to_string(line) + " 行 " + std::to_string(column) + " 文字目";
}

// The item for a message: "applications の 3 番目「メモ帳」"; the name is
// left out when the program cannot show it.
std::string itemOf(const char* list, size_t index, const std::string& nameUtf8 = "") {
  std::string item = std::string(list) + " の " + std::to_string(index + 1) + " 番目";
  std::string name;
  if (!nameUtf8.empty() && koUtf8ToSjisExact(nameUtf8, name)) item += "「" + koShortText(name, 60) + "」";
  return item;
}

const char* kindOf(json::value_t kind) {
  switch (kind) {
    case json::value_t::string: return "文字列";
    case json::value_t::array: return "配列";
    default: return "オブジェクト";
  }
}

bool validUtf8(const std::string& s) {
  return s.empty() || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), (int)s.size(), nullptr, 0) > 0;
}

// The checks of one file; each refusal keeps its message in error.
class Check {
 public:
  std::string error;

  bool fail(const std::string& text) {
    error = text;
    return false;
  }

  // Only the keys the format knows: a misspelt one would be lost unseen.
  bool knownKeys(const json& object, std::initializer_list<const char*> known, const std::string& where) {
    for (auto it = object.begin(); it != object.end(); ++it) {
      bool ok = false;
      for (const char* k : known) ok = ok || it.key() == k;
      std::string key;
      if (!ok) return fail(where + "の \"" + (koUtf8ToSjisExact(it.key(), key) ? koShortText(key, 60) : "?") +
                           "\" は知らない項目です。書き間違いでないか確かめてください。");
    }
    return true;
  }

  // The member key of that kind, or null after the refusal.
  const json* member(const json& object, const char* key, json::value_t kind, const std::string& where) {
    auto it = object.find(key);
    if (it == object.end()) return fail(where + "に \"" + key + "\" がありません。"), nullptr;
    if (it->type() != kind) return fail(where + "の \"" + key + "\" が" + kindOf(kind) + "ではありません。"), nullptr;
    return &*it;
  }

  // A text as the program will keep it: in code page 932, within maxBytes
  // there, not empty when it names something.
  bool text(const json& value, std::string what, int maxBytes, bool named, std::string& out) {
    std::string sjis;
    if (what.back() == '"') what += ' ';  // a blank after a quoted key, as between Japanese and other text
    if (!value.is_string()) return fail(what + "が文字列ではありません。");
    out = value.get_ref<const std::string&>();
    if (!koUtf8ToSjisExact(out, sjis))
      return fail(what + "に、このプログラムが扱えない文字（Shift-JIS で表せない文字）があります。");
    if ((int)sjis.size() > maxBytes)
      return fail(what + "が長すぎます（Shift-JIS で " + std::to_string(maxBytes) + " バイトまで）。");
    if (named && sjis.empty()) return fail(what + "が空です。");
    return true;
  }

  bool field(const json& object, const char* key, const std::string& where, int maxBytes, bool named,
             std::string& out) {
    const json* v = member(object, key, json::value_t::string, where);
    return v && text(*v, where + "の \"" + key + "\"", maxBytes, named, out);
  }
};

bool checkApps(Check& c, const json& list, Registrations& r) {
  std::set<std::string> names;
  for (size_t i = 0; i < list.size(); i++) {
    const json& item = list[i];
    std::string name = item.is_object() && item.contains("name") && item["name"].is_string() ? item["name"].get<std::string>() : "";
    std::string where = itemOf("applications", i, name);
    if (!item.is_object()) return c.fail(where + "がオブジェクトではありません。");
    RegApp a;
    if (!c.knownKeys(item, {"name", "command", "memo"}, where) ||
        !c.field(item, "name", where, kAppNameMax, true, a.name) ||
        !c.field(item, "command", where, kAppCommandMax, false, a.command) ||
        !c.field(item, "memo", where, kAppMemoMax, false, a.memo))
      return false;
    if (!names.insert(a.name).second) return c.fail(where + "と同じ名前のアプリケーションが前にもあります。名前は一つずつ別にしてください。");
    r.apps.push_back(std::move(a));
  }
  return true;
}

bool checkGroups(Check& c, const json& list, const std::set<std::string>& apps, Registrations& r) {
  std::set<std::string> names;
  for (size_t i = 0; i < list.size(); i++) {
    const json& item = list[i];
    std::string name = item.is_object() && item.contains("name") && item["name"].is_string() ? item["name"].get<std::string>() : "";
    std::string where = itemOf("groups", i, name);
    if (!item.is_object()) return c.fail(where + "がオブジェクトではありません。");
    RegGroup g;
    if (!c.knownKeys(item, {"name", "extensions", "applications", "memo"}, where) ||
        !c.field(item, "name", where, kExtNameMax, true, g.name) ||
        !c.field(item, "memo", where, kExtMemoMax, false, g.memo))
      return false;
    if (!names.insert(g.name).second) return c.fail(where + "と同じ名前のグループが前にもあります。名前は一つずつ別にしてください。");
    const json* exts = c.member(item, "extensions", json::value_t::array, where);
    const json* members = exts ? c.member(item, "applications", json::value_t::array, where) : nullptr;
    if (!members) return false;
    // Stored joined by commas, as the editor keeps the list.
    int bytes = 0;
    for (size_t k = 0; k < exts->size(); k++) {
      std::string ext, sjis;
      if (!c.text((*exts)[k], where + "の \"extensions\" の " + std::to_string(k + 1) + " 番目", kExtListMax, false, ext))
        return false;
      if (ext.find(',') != std::string::npos)
        return c.fail(where + "の \"extensions\" の " + std::to_string(k + 1) +
                      " 番目にコンマがあります。拡張子は一つずつ別の文字列にしてください。");
      koUtf8ToSjisExact(ext, sjis);
      bytes += (k ? 1 : 0) + (int)sjis.size();
      g.extensions.push_back(std::move(ext));
    }
    if (bytes > kExtListMax)
      return c.fail(where + "の \"extensions\" が長すぎます（コンマ区切りで " + std::to_string(kExtListMax) + " バイトまで）。");
    if (members->size() > EXT_MAX_APPS)
      return c.fail(where + "の \"applications\" が多すぎます（" + std::to_string(EXT_MAX_APPS) + " 個まで）。");
    for (size_t k = 0; k < members->size(); k++) {
      std::string app, sjis;
      if (!c.text((*members)[k], where + "の \"applications\" の " + std::to_string(k + 1) + " 番目", kAppNameMax, true, app))
        return false;
      koUtf8ToSjisExact(app, sjis);
      if (!apps.count(app))
        return c.fail(where + "の \"applications\" にある「" + koShortText(sjis, 60) +
                      "」は、このファイルの applications にありません。");
      g.applications.push_back(std::move(app));
    }
    r.groups.push_back(std::move(g));
  }
  return true;
}

bool checkRemembered(Check& c, const json& list, const std::set<std::string>& apps, Registrations& r) {
  std::vector<std::string> matches;
  for (size_t i = 0; i < list.size(); i++) {
    const json& item = list[i];
    std::string where = itemOf("remembered", i);
    if (!item.is_object()) return c.fail(where + "がオブジェクトではありません。");
    RegRemembered m;
    std::string sjis, app;
    if (!c.knownKeys(item, {"match", "application"}, where) ||
        !c.field(item, "match", where, kExtListMax, true, m.match) ||
        !c.field(item, "application", where, kAppNameMax, true, m.application))
      return false;
    koUtf8ToSjisExact(m.match, sjis);
    koUtf8ToSjisExact(m.application, app);
    where = itemOf("remembered", i) + "「" + koShortText(sjis, 60) + "」";
    if (!apps.count(m.application))
      return c.fail(where + "のアプリケーション「" + koShortText(app, 60) + "」は、このファイルの applications にありません。");
    for (const std::string& earlier : matches)
      if (_mbsicmp((const unsigned char*)earlier.c_str(), (const unsigned char*)sjis.c_str()) == 0)
        return c.fail(where + "は前にもあります。一つにまとめてください。");
    matches.push_back(sjis);
    r.remembered.push_back(std::move(m));
  }
  return true;
}

bool parseChecked(const std::string& text, Registrations& out, std::string& error) {
  json root;
  CheckingSax sax(root);
  if (!json::sax_parse(text, &sax)) {
    std::string place = placeOf(text, sax.errorAt ? sax.errorAt - 1 : 0);
    if (sax.notUtf8) error = "UTF-8 ではない文字があります（" + place + "）。\nファイルを UTF-8 で保存し直してください。";
    else if (sax.syntax) error = "JSON として読めません（" + place + "）。\nその位置の書き方を直してください。";
    else if (sax.tooDeep) error = "JSON の入れ子が深すぎます。登録のファイルではありません。";
    else {
      std::string key;
      error = "一つのオブジェクトに同じ項目 \"" + (koUtf8ToSjisExact(sax.twice, key) ? koShortText(key, 60) : "?") +
              "\" が二度あります。どちらか一つにしてください。";
    }
    return false;
  }
  Check c;
  Registrations r;
  const char* notOurs = "登録のファイルではありません（\"format\" が \"runmate-registrations\" ではありません）。";
  if (!root.is_object()) return error = notOurs, false;
  auto format = root.find("format");
  if (format == root.end() || !format->is_string() || format->get_ref<const std::string&>() != kRegFormat)
    return error = notOurs, false;
  auto version = root.find("version");
  if (version == root.end() || !version->is_number_integer() || version->get<long long>() != kRegVersion)
    return error = "このファイルの版（\"version\"）には対応していません。対応しているのは " +
                   std::to_string(kRegVersion) + " です。",
           false;
  const std::string top = "ファイル";
  std::set<std::string> appNames;
  const json *apps, *groups, *remembered;
  bool ok = c.knownKeys(root, {"format", "version", "applications", "groups", "folderGroup", "remembered"}, top) &&
            (apps = c.member(root, "applications", json::value_t::array, top)) && checkApps(c, *apps, r);
  for (const RegApp& a : r.apps) appNames.insert(a.name);
  ok = ok && (groups = c.member(root, "groups", json::value_t::array, top)) && checkGroups(c, *groups, appNames, r) &&
       c.field(root, "folderGroup", top, kExtNameMax, false, r.folderGroup) &&
       (remembered = c.member(root, "remembered", json::value_t::array, top)) &&
       checkRemembered(c, *remembered, appNames, r);
  if (!ok) return error = c.error, false;
  out = std::move(r);
  return true;
}

std::string sjisOf(const std::string& utf8) {
  std::string s;
  koUtf8ToSjisExact(utf8, s);
  return s;
}

std::string utf8Of(const std::string& sjis) {
  const char* u = db ? db->toUTF8(sjis.c_str()) : nullptr;
  return u ? u : "";
}

std::string column(koSQLiteStmt* s, int c) {
  const char* t = s->columnUtf8(c);
  return t ? t : "";
}
}  // namespace

bool LoadRegistrations(Registrations& out, std::string& error) {
  out = Registrations();
  const char* unreadable = MSG_DB_READ_FAILED;
  if (!db) return error = unreadable, false;
  // One snapshot: another program's write between the tables would mix two states. Nothing is written.
  koTransaction snapshot(db);
  std::map<int, std::string> names;
  koStatement apps = db->statement("select id,name,cmd,memo from atable order by id");
  if (!apps) return error = unreadable, false;
  while (apps->row()) {
    RegApp a{column(apps.get(), 1), column(apps.get(), 2), column(apps.get(), 3)};
    names[apps->columnInt(0)] = a.name;
    out.apps.push_back(std::move(a));
  }
  koStatement groups = db->failed() ? nullptr : db->statement("select id,name,elist,memo,na,atab from etable order by id");
  if (!groups) return error = db->busy() ? MSG_DB_BUSY : unreadable, false;
  extItem ids;
  while (groups->row()) {
    RegGroup g{column(groups.get(), 1), column(groups.get(), 3), {}, {}};
    std::string list = column(groups.get(), 2);
    for (size_t start = 0; !list.empty();) {
      size_t comma = list.find(',', start);
      g.extensions.push_back(list.substr(start, comma - start));
      if (comma == std::string::npos) break;
      start = comma + 1;
    }
    ReadGroupIds(groups.get(), 4, 5, &ids);
    for (int i = 0; i < ids.count(); i++) {
      auto app = names.find(ids.atab[i]);
      if (app != names.end()) g.applications.push_back(app->second);
    }
    out.groups.push_back(std::move(g));
  }
  std::vector<Remembered> remembered;
  if (db->failed() || !LoadRemembered(remembered)) return error = db->busy() ? MSG_DB_BUSY : unreadable, false;
  for (const Remembered& m : remembered) {
    auto app = names.find(m.appId);
    if (app != names.end()) out.remembered.push_back({utf8Of(m.match), app->second});
  }
  out.folderGroup = utf8Of(folderGroup);
  // What SQLite hands back is whatever was stored: a text that is not UTF-8 cannot be written.
  for (size_t i = 0; i < out.apps.size(); i++)
    for (const std::string* t : {&out.apps[i].name, &out.apps[i].command, &out.apps[i].memo})
      if (!validUtf8(*t)) return error = itemOf("applications", i) + " に UTF-8 でない文字があり、書き出せません。", false;
  for (size_t i = 0; i < out.groups.size(); i++) {
    const RegGroup& g = out.groups[i];
    bool ok = validUtf8(g.name) && validUtf8(g.memo);
    for (const std::string& e : g.extensions) ok = ok && validUtf8(e);
    if (!ok) return error = itemOf("groups", i) + " に UTF-8 でない文字があり、書き出せません。", false;
  }
  return true;
}

bool RegistrationsToJson(const Registrations& in, std::string& text, std::string& error) {
  // One item a line: a diff shows which changed.
  const char* nl = "\r\n";
  try {
    auto dump = [](const ordered& v) { return v.dump(-1, ' ', false, json::error_handler_t::strict); };
    std::string s = std::string("{") + nl + "  \"format\": " + dump(kRegFormat) + "," + nl +
                    "  \"version\": " + std::to_string(kRegVersion) + "," + nl + "  \"applications\": [";
    for (size_t i = 0; i < in.apps.size(); i++) {
      const RegApp& a = in.apps[i];
      s += std::string(i ? "," : "") + nl + "    " +
           dump(ordered{{"name", a.name}, {"command", a.command}, {"memo", a.memo}});
    }
    s += std::string(in.apps.empty() ? "" : nl) + (in.apps.empty() ? "]," : "  ],") + nl + "  \"groups\": [";
    for (size_t i = 0; i < in.groups.size(); i++) {
      const RegGroup& g = in.groups[i];
      s += std::string(i ? "," : "") + nl + "    " +
           dump(ordered{{"name", g.name}, {"extensions", g.extensions}, {"applications", g.applications}, {"memo", g.memo}});
    }
    s += std::string(in.groups.empty() ? "" : nl) + (in.groups.empty() ? "]," : "  ],") + nl +
         "  \"folderGroup\": " + dump(in.folderGroup) + "," + nl + "  \"remembered\": [";
    for (size_t i = 0; i < in.remembered.size(); i++)
      s += std::string(i ? ", " : "") + dump(ordered{{"match", in.remembered[i].match}, {"application", in.remembered[i].application}});
    text = s + "]" + nl + "}" + nl;
    return true;
  } catch (...) {
    // Only a text that is not UTF-8 makes the library give up.
    error = "書き出す登録に UTF-8 でない文字があります。";
    return false;
  }
}

bool ParseRegistrations(const std::string& text, Registrations& out, std::string& error) {
  try {
    return parseChecked(text, out, error);
  } catch (...) {
    // Never expected: the text is checked before it is read. Refused all the same, never half read.
    error = "ファイルを読み取れませんでした（メモリーが足りないか、予期しない内容です）。";
    return false;
  }
}

bool StoreRegistrations(const Registrations& in, std::string& error) {
  const char* failed = "登録を書き込めませんでした。今の登録は元のままです。";
  if (!db) return error = failed, false;
  koTransaction transaction(db);
  auto refuse = [&]() { return error = db->busy() ? MSG_DB_BUSY : failed, false; };
  if (!transaction.begun() || db->exec8("delete from atable", nullptr, nullptr, nullptr) != SQLITE_OK ||
      db->exec8("delete from etable", nullptr, nullptr, nullptr) != SQLITE_OK)
    return refuse();
  std::map<std::string, int> ids;
  appItem a;
  for (const RegApp& r : in.apps) {
    a.id = 0;
    a.name = sjisOf(r.name), a.detail = sjisOf(r.command), a.memo = sjisOf(r.memo);
    if (!a.addRecordSub()) return refuse();
    ids[r.name] = a.id;
  }
  extItem g;
  for (const RegGroup& r : in.groups) {
    g.init();
    g.name = sjisOf(r.name), g.memo = sjisOf(r.memo);
    std::string list;
    for (size_t i = 0; i < r.extensions.size(); i++) list += (i ? "," : "") + r.extensions[i];
    g.detail = sjisOf(list);
    for (const std::string& app : r.applications)
      if (g.na < EXT_MAX_APPS) g.atab[g.na++] = ids[app];
    if (!g.addRecordSub()) return refuse();
  }
  std::vector<Remembered> remembered;
  for (const RegRemembered& r : in.remembered) remembered.push_back({sjisOf(r.match), ids[r.application]});
  std::string group = sjisOf(in.folderGroup), before = folderGroup;
  if (group.size() >= sizeof folderGroup) return refuse();
  strcpy(folderGroup, group.c_str());
  if (!SaveParams() || !SaveRemembered(remembered) || !transaction.commit()) {
    strcpy(folderGroup, before.c_str());
    return refuse();
  }
  return true;
}
