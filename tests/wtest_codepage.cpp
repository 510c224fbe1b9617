// Runmate.exe on a system whose ANSI code page is not 932 (run with LC_ALL=en_US.UTF-8: 1252 under
// Wine): a launch, a message and the group list as on Japanese Windows. Only UTF-16 calls here, so
// nothing this test sees passes through the system's code page.
#include <gtest/gtest.h>
#include "ko_test.h"
#include <commctrl.h>
#include <sqlite3.h>
#include "koSQLite.h"
#include "koUtl1.h"

namespace {
std::string Sjis(const std::wstring& text) { return koSjisOf(text.c_str()); }
std::wstring Texts(HWND window) {  // the window's text and its children's, a line each
  std::wstring all;
  wchar_t text[512];
  for (HWND w = window; w; w = w == window ? GetWindow(window, GW_CHILD) : GetWindow(w, GW_HWNDNEXT))
    all += std::wstring(text, (size_t)GetWindowTextW(w, text, 512)) + L"\n";
  return all;
}
std::wstring RemoteCell(HWND list, int row) {  // a list view's cell in another process
  DWORD pid = 0;
  GetWindowThreadProcessId(list, &pid);
  HANDLE p = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  struct Cell { LVITEMW item; wchar_t text[256]; } local{};
  Cell* remote = p ? (Cell*)VirtualAllocEx(p, nullptr, sizeof local, MEM_COMMIT, PAGE_READWRITE) : nullptr;
  if (!remote) return L"<no memory>";
  local.item.pszText = remote->text, local.item.cchTextMax = 256;
  WriteProcessMemory(p, remote, &local, sizeof local, nullptr);
  SendMessageW(list, LVM_GETITEMTEXTW, (WPARAM)row, (LPARAM)&remote->item);
  ReadProcessMemory(p, remote, &local, sizeof local, nullptr);
  VirtualFreeEx(p, remote, 0, MEM_RELEASE), CloseHandle(p);
  return local.text;
}
}  // namespace

TEST(OtherCodePage, LaunchMessageAndGroupListAsInJapanese) {
  ASSERT_EQ(GetACP(), 1252u) << "to be run with LC_ALL=en_US.UTF-8";
  wchar_t temp[MAX_PATH] = L"";
  GetTempPathW(MAX_PATH, temp);
  const std::wstring dir = temp + (L"ko_表示_" + std::to_wstring(GetCurrentProcessId())), exe = dir + L"\\Runmate.exe",
                     recorder = Wide(WinPath(KO_TEST_BIN_DIR "/recorder.exe")), record = temp + std::wstring(L"ko_cp_record.txt");
  CreateDirectoryW(dir.c_str(), nullptr);
  ASSERT_TRUE(CopyFileW(Wide(WinPath(KO_TEST_BIN_DIR "/Runmate.exe")).c_str(), exe.c_str(), FALSE));
  ASSERT_TRUE(CopyFileW(Wide(KO_TEST_EXEC_DB).c_str(), (dir + L"\\exec.db").c_str(), FALSE));
  koSQLite db(Sjis(dir + L"\\exec.db").c_str());
  std::string sql = "insert into atable (id,name,cmd) values (20,'記録係','\"" + Sjis(recorder) + "\"  \"%1\"');"
                    "insert into etable (name,elist,memo,na,atab) values ('記録','rec','',1,X'14000000');";
  ASSERT_EQ(db.open(nullptr) || db.exec(sql.c_str(), nullptr, nullptr, nullptr) || db.close(), SQLITE_OK);
  SetEnvironmentVariableW(L"KO_RECORD", record.c_str());
  DeleteFileW(record.c_str());
  const std::wstring file = dir + L"\\報告 髙﨑.rec", other = dir + L"\\データ.xyz";
  const std::wstring elsewhere = dir + L"\\Jos\u00e9";  // a user's folder code page 932 cannot name
  CreateDirectoryW(elsewhere.c_str(), nullptr), CopyFileW(exe.c_str(), (elsewhere + L"\\Runmate.exe").c_str(), FALSE);
  for (const std::wstring& f : {file, other}) CloseHandle(CreateFileW(f.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  // args: what the shell passes; wanted: what the run shows (a box's text, or the list's window and rows).
  const struct { std::wstring args; const char* shot; std::wstring wanted; } runs[] = {
      {L"\"" + file + L"\"", nullptr, L""},
      {L"\"" + other + L"\"", "codepage-box", L"このファイルを開くアプリケーションがありません。"},
      {L"", "codepage-list", L"拡張子グループ 4 件\n"},
      {L"", "codepage-folder", L"このプログラムの場所に、シフト JIS で表せない文字があります。\n文字: U+00E9\n"},
  };
  for (const auto& r : runs) {
    SCOPED_TRACE(Utf8(r.args));
    std::wstring line = L"\"" + (&r == runs + 3 ? elsewhere + L"\\Runmate.exe" : exe) + L"\" " + r.args;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi));
    if (HWND shown = r.shot ? WaitWindow(pi.dwProcessId, "#32770", 15000) : nullptr) {
      Sleep(1000);  // painted before the shot
      std::wstring texts = Texts(shown);
      EXPECT_NE(texts.find(r.wanted), std::wstring::npos) << Utf8(texts);
      if (HWND list = FindWindowExW(shown, nullptr, L"SysListView32", nullptr)) {
        std::wstring rows;
        for (int i = 0; i < (int)SendMessageW(list, LVM_GETITEMCOUNT, 0, 0); i++) rows += RemoteCell(list, i) + L",";
        EXPECT_EQ(Utf8(rows), Utf8(L"_Folder,テキスト,記録,文書,")) << "the group names as stored";
      }
      SaveShot(shown, r.shot);
      PostMessageW(shown, WM_CLOSE, 0, 0);
    }
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 15000), WAIT_OBJECT_0) << "no window, or it did not end";
    CloseHandle(pi.hProcess), CloseHandle(pi.hThread);
  }
  std::vector<std::string> records = WaitForRecords(Sjis(record), 1, 5000);
  EXPECT_EQ(records, std::vector<std::string>{Utf8(L"\"" + recorder + L"\"  \"" + file + L"\"")});
}
