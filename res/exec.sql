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

INSERT INTO atable (id, name, cmd, memo) VALUES
  (1, 'メモ帳', '"C:\Windows\notepad.exe"  "%1"', 'テキストファイルを編集します'),
  (2, 'ワードパッド', '"C:\Program Files\Windows NT\Accessories\wordpad.exe"  "%1"', '書式付きの文書を開きます'),
  (3, 'エクスプローラー', '"C:\Windows\explorer.exe"  "%1"', 'フォルダーを開きます'),
  (4, 'コマンドプロンプト', '"C:\Windows\System32\cmd.exe"  /k cd /d "%1"', 'フォルダーでコマンドプロンプトを開きます');

INSERT INTO etable (id, name, elist, memo, na, atab) VALUES
  (1, 'テキスト', 'txt,log,ini,csv,md', 'テキストファイル', 2, X'0100000002000000'),
  (2, '文書', 'rtf,wri,doc', 'ワードパッドで開く文書', 2, X'0200000001000000'),
  (3, '_Folder', '', 'フォルダー（送るメニューでフォルダーを送ったとき）', 2, X'0300000004000000');
COMMIT;
