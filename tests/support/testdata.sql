-- The tests' database: the shipped one with a second text application and
-- a documents group, so that menus, orders and members have something to
-- show. Run after res/exec.sql.
BEGIN;
INSERT INTO atable (id, name, cmd, memo) VALUES
  (2, 'ワードパッド', '"C:\Program Files\Windows NT\Accessories\wordpad.exe"  "%1"', '書式付きの文書を開きます');
UPDATE etable SET na = 2, atab = X'0100000002000000' WHERE id = 1;
INSERT INTO etable (id, name, elist, memo, na, atab) VALUES
  (2, '文書', 'rtf,wri,doc', 'ワードパッドで開く文書', 2, X'0200000001000000');
COMMIT;
