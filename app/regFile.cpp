#include "regFile.h"
#include "gosub.h"
#include "koUtl1.h"
#include "dbsub.h"
#include "koPlatform.h"
#include "registrations.h"

namespace {
// A registration file of another kind entirely (or a wrong choice) is not read whole.
const LONGLONG kMaxFileBytes = 256LL << 20;

void tell(HWND owner, const std::string& text, const char* caption) {
  koMessageBox(owner, text.c_str(), caption, MB_OK | MB_ICONEXCLAMATION);
}

// The whole file; 0 or the system's error code.
DWORD readWhole(const std::wstring& file, std::string& out) {
  HANDLE h = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return GetLastError();
  LARGE_INTEGER size{};
  DWORD error = 0;
  if (!GetFileSizeEx(h, &size)) error = GetLastError();
  else if (size.QuadPart > kMaxFileBytes) error = ERROR_FILE_TOO_LARGE;
  if (!error) {
    out.assign((size_t)size.QuadPart, '\0');
    DWORD read = 0;
    if (!out.empty() && (!ReadFile(h, &out[0], (DWORD)out.size(), &read, nullptr) || read != out.size()))
      error = GetLastError() ? GetLastError() : ERROR_READ_FAULT;
  }
  CloseHandle(h);
  return error;
}

// Written beside and then moved over file: a failure never leaves half an
// earlier export. 0 or the system's error code.
DWORD writeWhole(const std::wstring& file, const std::string& text) {
  std::wstring temp = file + L".tmp~";
  HANDLE h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return GetLastError();
  DWORD written = 0, error = 0;
  if (!WriteFile(h, text.data(), (DWORD)text.size(), &written, nullptr) || written != text.size())
    error = GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
  if (!CloseHandle(h) && !error) error = GetLastError();
  if (!error && !MoveFileExW(temp.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    error = GetLastError();
  if (error) DeleteFileW(temp.c_str());
  return error;
}

}  // namespace

bool ExportRegistrations(HWND owner, const std::wstring& file, const char* caption) {
  Registrations r;
  std::string text, error;
  if (!LoadRegistrations(r, error) || !RegistrationsToJson(r, text, error)) {
    tell(owner, "登録を書き出せませんでした。\n\n" + error, caption);
    return false;
  }
  if (DWORD code = writeWhole(file, text)) {
    tell(owner, "書き出せませんでした。\n\n" + ShownPath(file) + "\n" + koSystemReason(code) +
                    "\n\n書き込めるフォルダーとファイル名を選んでください。",
         caption);
    return false;
  }
  return true;
}

bool ImportRegistrations(HWND owner, const std::wstring& file, bool ask, const char* caption) {
  std::string text, error;
  Registrations r;
  std::string refused = "読み込めませんでした。今の登録は元のままです。\n\n" + ShownPath(file) + "\n";
  if (DWORD code = readWhole(file, text)) {
    tell(owner, refused + koSystemReason(code), caption);
    return false;
  }
  if (!ParseRegistrations(text, r, error)) {
    tell(owner, refused + "\n" + error, caption);
    return false;
  }
  if (ask && koMessageBox(owner, (ShownPath(file) + " を読み込んで今の登録を置き換えますか？").c_str(), caption,
                          MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
    return false;
  // The copy is made only once the file is known good and the user agreed.
  std::wstring database = koWideOf(dbName);
  if (!CopyFileW(database.c_str(), (database + L".bak").c_str(), FALSE)) {
    tell(owner, refused + "\nexec.db の控え（exec.db.bak）を作れませんでした。\n" + koSystemReason(GetLastError()), caption);
    return false;
  }
  if (!StoreRegistrations(r, error)) {
    tell(owner, refused + "\n" + error, caption);
    return false;
  }
  return true;
}
