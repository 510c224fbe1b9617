// How long the launch decision's database work takes over 10, 1,000 and
// 100,000 groups (the matching group last: a full scan), with a name
// pattern in every group and a path pattern in every tenth, and the open.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <string>
#include "dbsub.h"
#include "gosub.h"

void dbout(const char*, ...) {}
void dboutln(const char*, ...) {}

static std::string freshDb(int groups, bool patterns = false) {
  char tmpl[] = "/tmp/ko_bench_XXXXXX";
  std::string dir = std::string(mkdtemp(tmpl)) + "/", last = std::to_string(groups - 1);
  sqlite3* h = nullptr;
  sqlite3_open((dir + "exec.db").c_str(), &h);
  sqlite3_exec(h, ("create table atable(id integer primary key,name text,cmd text,memo text);"
      "create table etable(id integer primary key,name text,elist text,memo text,na integer,atab blob);"
      "create table ctable(kind text,data text);create table params(key text,ix integer,data blob);"
      "insert into ctable values('AppName','Runmate');"
      "insert into atable values(1,'エディタ','\"C:\\ed.exe\"  \"%1\"',''),(2,'ビューア','\"C:\\view.exe\"  \"%1\"','');"
      "with recursive n(i) as (select 0 union all select i+1 from n where i<" + last + ") "
      "insert into etable(name,elist,memo,na,atab) select 'グループ'||i, case i when " + last +
      " then 'doc,txt,log' else 'x'||i||',y,z,jpg,png' end" +
      (patterns ? "||',*.x'||i||case i%10 when 0 then ',D:\\p'||i||'\\*' else '' end" : "") +
      ",'',2,X'0100000002000000' from n;").c_str(),
      nullptr, nullptr, nullptr);
  sqlite3_close(h);
  return dir;
}

// Arguments: the groups, and 1 to decide by a path that every pattern is tried on.
static void BM_Decision(benchmark::State& state) {
  bool patterns = state.range(1) != 0;
  std::string dir = freshDb((int)state.range(0), patterns);
  if (!DbOpen(dir.c_str(), "Runmate")) return state.SkipWithError("open failed");
  for (auto _ : state) {
    int n = patterns ? GoDecide(false, "TXT", "C:\\文書\\report.TXT", "report.TXT") : GoDecide(false, "TXT");
    benchmark::DoNotOptimize(n);
    if (n != 2) {
      state.SkipWithError("wrong decision");
      break;
    }
  }
  TermDb();
}
BENCHMARK(BM_Decision)->Args({10, 0})->Args({1000, 0})->Args({100000, 0})->Args({100000, 1})
    ->Unit(benchmark::kMicrosecond);

// Opening and checking exec.db and loading the settings: the rest of a launch's database work.
static void BM_OpenCheckLoad(benchmark::State& state) {
  std::string dir = freshDb(10);
  for (auto _ : state) {
    bool ok = DbOpen(dir.c_str(), "Runmate");
    LoadParams();
    TermDb();
    if (!ok) state.SkipWithError("open failed");
  }
}
BENCHMARK(BM_OpenCheckLoad)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
