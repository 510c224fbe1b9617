-- The database the program ships with: its tables and a useful first set of
-- registrations. Text is UTF-8; atab holds the member ids as 32-bit
-- little-endian integers, na of them.
PRAGMA encoding = 'UTF-8';
BEGIN;
CREATE TABLE atable (id INTEGER PRIMARY KEY, name TEXT NOT NULL DEFAULT '', cmd TEXT NOT NULL DEFAULT '', memo TEXT NOT NULL DEFAULT '');
CREATE TABLE etable (id INTEGER PRIMARY KEY, name TEXT NOT NULL DEFAULT '', elist TEXT NOT NULL DEFAULT '', memo TEXT NOT NULL DEFAULT '', na INTEGER NOT NULL DEFAULT 0, atab BLOB);
CREATE TABLE ctable (kind TEXT, data TEXT);
CREATE TABLE params (key TEXT, ix INTEGER, data BLOB);

INSERT INTO ctable (kind, data) VALUES ('AppName', 'Runmate');

-- Only programs every Windows 10 and 11 has: text to Notepad, folders to
-- Explorer or a command prompt there. Everything else goes to the shell's
-- own association until the user adds a group.
INSERT INTO atable (id, name, cmd, memo) VALUES
  (1, 'メモ帳', '"%SystemRoot%\notepad.exe"  "%1"', 'テキストファイルを編集します'),
  (3, 'エクスプローラー', '"%SystemRoot%\explorer.exe"  "%1"', 'フォルダーを開きます'),
  (4, 'コマンドプロンプト', '"%SystemRoot%\System32\cmd.exe"  /k cd /d "%1"', 'フォルダーでコマンドプロンプトを開きます');

INSERT INTO etable (id, name, elist, memo, na, atab) VALUES
  (1, 'テキスト', 'txt,log,ini,csv,md', 'テキストファイル', 1, X'01000000'),
  (3, '_Folder', '', 'フォルダー（送るメニューでフォルダーを送ったとき）', 2, X'0300000004000000');
COMMIT;
