#!/bin/sh
# Where a copied or installed tolvane-cli finds its Define folder: a copy with none names every
# place it tried; share/tolvane/Define above bin/ is found; TOLVANE_DEFINE and --define win.
set -u
cli=$1
define=$2
testdefine=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
export LC_ALL=C
unset TOLVANE_DEFINE

mkdir -p "$work/root/bin"
cp "$cli" "$work/root/bin/tolvane-cli"
out=$("$work/root/bin/tolvane-cli" items 2>&1); rc=$?
[ $rc -eq 2 ] || fail "no Define folder: exit $rc"
echo "$out" | grep -q "^  $work/root/share/tolvane/Define (installed)$" || fail "installed place not named: $out"
echo "$out" | grep -q "^  $work/root/bin/Define (beside the program)$" || fail "portable place not named: $out"
echo "$out" | grep -q "TOLVANE_DEFINE" || fail "no hint: $out"

mkdir -p "$work/root/share/tolvane"
cp -R "$define" "$work/root/share/tolvane/Define"
"$work/root/bin/tolvane-cli" items | grep -q "	L03-18M	" || fail "installed Define not used"
[ "$(TOLVANE_DEFINE="$testdefine" "$work/root/bin/tolvane-cli" items | head -2)" = "A
  0	Item zero	-	P	*.txt" ] || fail "TOLVANE_DEFINE not used"
[ "$(TOLVANE_DEFINE="$work/none" "$work/root/bin/tolvane-cli" --define "$testdefine" items | head -1)" = "A" ] \
    || fail "--define does not win over TOLVANE_DEFINE"
out=$(TOLVANE_DEFINE="$work/none" "$work/root/bin/tolvane-cli" items 2>&1); rc=$?
[ $rc -eq 2 ] && echo "$out" | grep -q "$work/none (environment variable TOLVANE_DEFINE)" \
    || fail "a missing TOLVANE_DEFINE folder was passed over: $rc $out"
echo PASS
