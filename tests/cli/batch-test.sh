#!/bin/sh
# tolvane-cli batch: exit 0 when every row converts, 1 when a row fails, 2 when the file is
# invalid or the run stops; one line per row; the merge when asked for.
set -u
cli=$1
define=$2
source=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

crlf() { printf '%s\r\n' "$@"; }
q() { printf '"%s"' "$1"; }
entry() { printf '"%s"\t"%s"\t"%s"\t"%s"' "$1" "$2" "$3" "$4"; }

# Two rows of one item, merged.
crlf tolvane 200 -1 "$work/all.mif" "$(entry 0 "$source" "$work/a.mif" 0)" "$(entry 0 "$source" "$work/b b.mif" 0)" > "$work/ok.txt"
out=$("$cli" batch --define "$define" --jobs 2 "$work/ok.txt" 2>&1); rc=$?
[ $rc -eq 0 ] || fail "ok list exited $rc: $out"
echo "$out" | grep -q "^1	変換しました	" || fail "no line for row 1: $out"
echo "$out" | grep -q "^2	変換しました	.*b b.mif" || fail "no line for row 2: $out"
echo "$out" | grep -q "変換が終了しました。" || fail "no closing line: $out"
[ -f "$work/all.mif" ] && [ -f "$work/all.mid" ] || fail "no merged files"
# The first row's file whole, then what follows the "Data" line of the second: its empty line
# and its objects.
{ cat "$work/a.mif"; sed '1,/^Data\r$/d' "$work/b b.mif"; } | cmp -s - "$work/all.mif" || fail "merged MIF is not row 1 + row 2's objects"

# A row whose ledger definition is missing fails; the others run.
crlf tolvane 200 0 "" "$(entry 1 "$source" "$work/t.csv" 0)" "$(entry 0 "$source" "$work/c.mif" 0)" > "$work/failing.txt"
out=$("$cli" batch --define "$define" "$work/failing.txt" 2>&1); rc=$?
[ $rc -eq 1 ] || fail "failing list exited $rc: $out"
echo "$out" | grep -q "^1	失敗しました" || fail "no failure line: $out"
echo "$out" | grep -q "l.txt" || fail "no reason: $out"
echo "$out" | grep -q "^2	変換しました" || fail "row 2 did not run: $out"

# An invalid file, a bad entry line, a source that does not exist.
crlf tolvane 100 0 "" > "$work/bad.txt"
out=$("$cli" batch --define "$define" "$work/bad.txt" 2>&1); rc=$?
[ $rc -eq 2 ] || fail "invalid file exited $rc"
echo "$out" | grep -q "不正なバッチリストです。" || fail "no invalid message: $out"
crlf tolvane 200 0 "" '"x"	"a"	"b"	"0"' > "$work/badline.txt"
out=$("$cli" batch --define "$define" "$work/badline.txt" 2>&1); rc=$?
[ $rc -eq 2 ] || fail "bad line exited $rc"
echo "$out" | grep -q "badline.txt:5: 'x' は整数ではありません" || fail "no place: $out"
crlf tolvane 200 0 "" "$(entry 0 "$work/missing.txt" "$work/m.mif" 0)" > "$work/missing.txt.list"
"$cli" batch --define "$define" "$work/missing.txt.list" >/dev/null 2>&1; rc=$?
[ $rc -eq 2 ] || fail "missing source exited $rc"

# A merge asked for with a blank merged-file name runs nothing.
crlf tolvane 200 1 "  " "$(entry 0 "$source" "$work/x.mif" 0)" "$(entry 0 "$source" "$work/y.mif" 0)" > "$work/blank.txt"
out=$("$cli" batch --define "$define" "$work/blank.txt" 2>&1); rc=$?
[ $rc -eq 2 ] || fail "blank merge name exited $rc"
echo "$out" | grep -q "統合後のファイル名が不正です。" || fail "no warning: $out"
[ ! -f "$work/x.mif" ] || fail "a row ran"

# Nothing a run writes may fall on a source or on what a merge reads: a merged file that is a
# row's source or output, a row's output that is another row's source (also through a hard
# link), a row's output that is its own source. Each run is refused and every file stays.
cp "$source" "$work/s1.txt"; cp "$source" "$work/s2.txt"; ln "$work/s2.txt" "$work/s2link.mif"
sum_before=$(cat "$work/s1.txt" "$work/s2.txt" | cksum)
crlf tolvane 200 1 "$work/s2.txt" "$(entry 0 "$work/s1.txt" "$work/n1.mif" 0)" "$(entry 0 "$work/s2.txt" "$work/n2.mif" 0)" > "$work/merge-onto-source.txt"
crlf tolvane 200 1 "$work/n2.mif" "$(entry 0 "$work/s1.txt" "$work/n1.mif" 0)" "$(entry 0 "$work/s2.txt" "$work/n2.mif" 0)" > "$work/merge-onto-output.txt"
crlf tolvane 200 0 "" "$(entry 0 "$work/s1.txt" "$work/s2.txt" 0)" "$(entry 0 "$work/s2.txt" "$work/n2.mif" 0)" > "$work/onto-other-source.txt"
crlf tolvane 200 0 "" "$(entry 0 "$work/s2.txt" "$work/n2.mif" 0)" "$(entry 0 "$work/s1.txt" "$work/s2link.mif" 0)" > "$work/onto-hard-link.txt"
crlf tolvane 200 0 "" "$(entry 0 "$work/s1.txt" "$work/s1.txt" 0)" > "$work/onto-own-source.txt"
for list in merge-onto-source merge-onto-output onto-other-source onto-hard-link onto-own-source; do
    out=$("$cli" batch --define "$define" --jobs 2 "$work/$list.txt" 2>&1); rc=$?
    [ $rc -eq 2 ] || fail "$list exited $rc: $out"
    case $list in
        merge-*) echo "$out" | grep -q "統合後のファイル名が変換元または変換後のファイルと同じです。" || fail "$list: no warning: $out" ;;
        onto-own-*) echo "$out" | grep -q "は変換元のファイルと同じです" || fail "$list: no error: $out" ;;
        *) echo "$out" | grep -q "は他の行の変換元のファイルと同じです" || fail "$list: no warning: $out" ;;
    esac
    [ "$(cat "$work/s1.txt" "$work/s2.txt" | cksum)" = "$sum_before" ] || fail "$list: a source changed"
    [ ! -e "$work/n1.mif" ] && [ ! -e "$work/n2.mif" ] || fail "$list: a row ran"
done
# A requested merge that the rows do not allow is skipped, and the command line says why; an
# earlier merged file stays as it was.
printf 'old merged\r\n' > "$work/skip.mif"
crlf tolvane 200 -1 "$work/skip.mif" "$(entry 0 "$source" "$work/k1.mif" 0)" "$(entry 2 "$source" "$work/k2.mif" 0)" > "$work/skip.txt"
out=$("$cli" batch --define "$define" "$work/skip.txt" 2>&1); rc=$?
[ $rc -eq 0 ] || fail "skipped merge exited $rc: $out"
echo "$out" | grep -q "統合しませんでした。行のデータ項目が同じではありません。" || fail "no reason for the skipped merge: $out"
[ "$(cat "$work/skip.mif")" = "$(printf 'old merged\r')" ] || fail "the earlier merged file changed"
echo "$out" | grep -q "^	書き出したもの: オブジェクト 1 個、台帳 0 行、ファイル 2 個 (k1.mif, k1.mid)$" || fail "no written line: $out"

# A row that cannot start stops the run; every row still gets its line, and with --jobs 2 no
# later row is converted.
printf 'earlier\r\n' > "$work/late.mif"
crlf tolvane 200 0 "" "$(entry 0 "$source" "$work/first.mif" 0)" "$(entry 0 "$source" "$work/none/x.mif" 0)" "$(entry 0 "$source" "$work/late.mif" 0)" > "$work/stops.txt"
out=$("$cli" batch --define "$define" --jobs 2 "$work/stops.txt" 2>&1); rc=$?
[ $rc -eq 2 ] || fail "stopped run exited $rc: $out"
echo "$out" | grep -q "^1	変換しました	" || fail "no line for row 1: $out"
echo "$out" | grep -q "^2	開始できませんでした	" || fail "no line for row 2: $out"
echo "$out" | grep -q "^	ファイル \".*/none/x.mif\" は開けません。" || fail "no reason for row 2: $out"
echo "$out" | grep -q "^3	変換していません	" || fail "no line for row 3: $out"
[ "$(cat "$work/late.mif")" = "$(printf 'earlier\r')" ] || fail "row 3 was converted"

# The batch-list file is an input: a row writing its MID sibling is refused.
crlf tolvane 200 0 "" "$(entry 0 "$source" "$work/self.mif" 0)" > "$work/self.mid"
out=$("$cli" batch --define "$define" "$work/self.mid" 2>&1); rc=$?
[ $rc -eq 2 ] || fail "list as output exited $rc: $out"
echo "$out" | grep -q "が変換後のファイルまたは統合後のファイルと同じです" || fail "no warning: $out"
[ ! -e "$work/self.mif" ] || fail "the row ran"
echo PASS
