#!/bin/sh
# tolvane-cli's command-line conventions, end to end: option forms, -q, help, one-line usage
# errors, --item by name and data code, --coordsys words, '-' refused, the locale's language.
set -u
cli=$1
define=$2
source=$3
samples=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
export LC_ALL=C

# Global options before the command, --opt=value, "--" before the operands, -q: nothing on
# stdout or stderr, and the files are there with the coordinate system asked for.
out=$("$cli" --define="$define" -q convert --item="Item zero" --coordsys=WGS84 -- "$source" "$work/q.mif" 2>&1); rc=$?
[ $rc -eq 0 ] && [ -z "$out" ] || fail "quiet convert: $rc '$out'"
grep -q "CoordSys Earth Projection 1, 104" "$work/q.mif" || fail "--coordsys=WGS84 not used"
out=$("$cli" convert "$source" --coordsys jgd2000 "$work/n.mif" --item "Item zero" --define "$define"); rc=$?
[ $rc -eq 0 ] && [ "$out" = "$(printf 'The conversion succeeded.\nWritten: objects 1, ledger rows 0, files 2 (n.mif, n.mid)')" ] || fail "convert: $rc '$out'"
grep -q "CoordSys Earth Projection 1, 33" "$work/n.mif" || fail "--coordsys jgd2000 not used"

# Help for the program and for each command, on stdout, exit 0.
"$cli" --help | grep -q "^  convert " || fail "no command list in --help"
"$cli" convert --help | grep -q "^Usage: tolvane-cli convert \[options\] SRC DST$" || fail "convert --help"
"$cli" items -h >/dev/null || fail "items -h did not exit 0"

# A usage error: one line, then the hint; exit 2; nothing on stdout.
out=$("$cli" convert --bogus a b 2>&1 >/dev/null); rc=$?
[ $rc -eq 2 ] || fail "usage error exited $rc"
[ "$out" = "tolvane-cli: unknown option: --bogus
Try 'tolvane-cli convert --help' for more information." ] || fail "usage error text: $out"

# '-' as source or destination is refused before anything is written.
cd "$work" || fail "no work folder"
for operands in "- out.mif" "$source -"; do
    # shellcheck disable=SC2086
    out=$("$cli" convert --define "$define" --item 0 $operands 2>&1); rc=$?
    [ $rc -eq 2 ] && echo "$out" | grep -q "'-' cannot be used" || fail "'-' in $operands: $rc $out"
done
[ ! -e "$work/-" ] && [ ! -e "$work/-.mid" ] && [ ! -e "$work/out.mif" ] || fail "'-' wrote a file"

# --item by data code: one item converts, several are listed and refused.
"$cli" -q convert --item g06-50m "$samples/G06-50M-48.txt" "$work/g.mif" || fail "--item g06-50m"
[ -s "$work/g.mid" ] || fail "no MID for --item g06-50m"
out=$("$cli" convert --item L03-18M "$samples/L03-18M-13-jgd.dat" "$work/l.mif" 2>&1); rc=$?
[ $rc -eq 2 ] || fail "ambiguous --item exited $rc"
[ "$(echo "$out" | grep -c "	L03-18M$")" -eq 2 ] || fail "candidates not listed: $out"
[ ! -e "$work/l.mif" ] || fail "an ambiguous --item converted"

# The language follows LC_ALL, then LC_MESSAGES, then LANG.
out=$(LC_ALL= LANG=ja_JP.UTF-8 "$cli" convert --define "$define" --item 0 "$source" "$work/j.mif"); rc=$?
[ "$(echo "$out" | head -n 1)" = "変換に成功しました。" ] || fail "Japanese: $out"
out=$(LC_ALL= LC_MESSAGES=C LANG=ja_JP.UTF-8 "$cli" frobnicate 2>&1)
[ "$out" = "tolvane-cli: unknown command: frobnicate
Try 'tolvane-cli --help' for more information." ] || fail "English: $out"
echo PASS
