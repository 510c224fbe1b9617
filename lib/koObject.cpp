#include "koObject.h"
#include <stdio.h>
#include <string.h>

namespace {
struct ErrorRow {
  int code;
  const char* message;
};

const ErrorRow errorTable[] = {
    {-1, "エラーが発生しました"},
    {0, "正常終了"},
    {1, "無効な機能"},
    {2, "ファイルが見つからない"},
    {3, "パスが見つからない"},
    {4, "これ以上ファイルを開けない"},
    {5, "アクセスが拒否された"},
    {6, "無効なハンドル"},
    {7, "不安定な状態です"},
    {8, "メモリー不足"},
    {9, "不正なブロック"},
    {10, "不正な環境変数"},
    {11, "不正な形式"},
    {12, "不正なアクセス"},
    {13, "不正なデータ"},
    {15, "不正なドライブ"},
    {16, "カレントディレクトリのエラー"},
    {17, "同じデバイスでない"},
    {18, "これ以上ファイルはありません"},
    {19, "書き込み禁止です"},
    {20, "不正なユニットです"},
    {21, "装置が準備中"},
    {22, "不正なコマンド"},
    {23, "CRC エラー"},
    {24, "不正な長さ指定"},
    {25, "シークエラー"},
    {26, "DOS のディスクでない"},
    {27, "セクターが見つからない"},
    {28, "紙切れです"},
    {29, "書込失敗"},
    {30, "読込失敗"},
    {31, "生成失敗"},
    {32, "共有エラー"},
    {33, "ロックのエラー"},
    {34, "壊れたディスク名"},
    {67, "不正なネット名"},
    {85, "既に割付済み"},
    {87, "無効なパラメータ"},
    {123, "無効な名前"},
    {128, "待機プロセスがない"},
    {145, "ディレクトリが空でない"},
    {183, "既に存在する"},
    {288, "所有していない"},
    {1200, "不正なデバイス"},
    {2250, "接続していない"},
    {0x4001, "オープンエラー"},
    {0x4002, "読込エラー"},
    {0x4003, "書込エラー"},
    {0x4004, "印刷エラー"},
    {0x4005, "ファイルの最後に到達"},
    {0x4010, "リソース不足"},
    {0x4011, "インスタンスがない"},
    {0x4022, "タイムアウト"},
    {-9999, nullptr},
};

int globalLevel = 3;
char unknownText[32];
}  // namespace

koObject::koObject() : viewLevel(-1), owner(false), errorCode(0) {}
koObject::~koObject() {}
const char* koObject::className() { return "koObject"; }
const char* koObject::errorString(char* buffer) { return ErrorString(errorCode, buffer); }
void koObject::dbview(const char*, int) {}

const char* koObject::ErrorString(int code, char* buffer) {
  const char* message = nullptr;
  for (const ErrorRow* row = errorTable; row->message; row++)
    if (row->code == code) message = row->message;
  if (!message) {
    snprintf(unknownText, sizeof unknownText, "<<error: %d>>", code);
    message = unknownText;
  }
  if (buffer) strcpy(buffer, message);  // 29 bytes hold every message
  return message;
}

int koObject::viewError(int code, const char* message, int level) {
  if (!message) message = "error";
  errorCode = code;
  if (code == 0) return 0;
  if (level > viewErrorLevel())
    dbout("<<%s[%x]::%s %s>>\n", className(), (unsigned)(size_t)this, message,
          errorString(nullptr));
  return code;
}

int koObject::ViewError(int code, const char* message, int level) {
  if (code == 0) return 0;
  if (!message) message = "error";
  if (level > globalLevel) dbout("<<::%s %s>>\n", message, ErrorString(code, nullptr));
  return code;
}

int koObject::viewErrorLevel() { return viewLevel >= 0 ? viewLevel : globalLevel; }
int koObject::resetViewError() { return viewLevel = -1; }
int koObject::ViewErrorLevel() { return globalLevel; }
void koObject::ViewErrorLevel(int level) { globalLevel = level; }
int koObject::ResetViewError() { return globalLevel = 3; }
