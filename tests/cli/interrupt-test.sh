#!/bin/bash
# tolvane-cli convert, interrupted and contested: SIGINT and SIGTERM cancel the job (exit 128 +
# the signal, 「変換を中止しました。」), the earlier outputs stay whole and no temporary or lock
# file is left; a second conversion to a destination that is being written is refused at once,
# and the first one's outputs are its complete set.
set -u
set -m # background jobs keep SIGINT, as they would when started from a terminal
cli=$1
define=$2
work=$(mktemp -d)
trap 'kill -9 $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# A source long enough to be caught in the middle (a few tenths of a second), and an earlier
# complete set of outputs from another, one-line source.
yes 'P  533945 5022000 1278000' | head -n 4000000 | sed 's/$/\r/' > "$work/big.txt"
printf 'P  533945 5022000 1278000\r\n' > "$work/small.txt"
"$cli" convert --define "$define" --item 0 "$work/small.txt" "$work/out.mif" >/dev/null || fail "small conversion"
earlier=$(cat "$work/out.mif" "$work/out.mid" | cksum)

# Starts a conversion of the big source in the background and waits until it writes.
start_big() {
    "$cli" convert --define "$define" --item 0 "$work/big.txt" "$work/out.mif" > "$work/stdout" 2> "$work/stderr" &
    pid=$!
    for _ in $(seq 3000); do
        ls "$work"/out.*.tmp.mif >/dev/null 2>&1 && return 0
        kill -0 $pid 2>/dev/null || fail "the conversion ended before it could be caught: $(cat "$work/stderr")"
        sleep 0.01
    done
    fail "no temporary file appeared"
}

# TOLVANE_TEST_SIGNALS: the signals to try (under wine only INT: Windows knows no SIGTERM).
for signal in ${TOLVANE_TEST_SIGNALS:-INT TERM}; do
    start_big
    kill -$signal $pid
    wait $pid; rc=$?
    expected=$((128 + $(kill -l $signal)))
    [ $rc -eq $expected ] || fail "SIG$signal: exit $rc, not $expected: $(cat "$work/stderr")"
    grep -q '^変換を中止しました。$' "$work/stderr" || fail "SIG$signal: no message: $(cat "$work/stderr")"
    [ "$(cat "$work/out.mif" "$work/out.mid" | cksum)" = "$earlier" ] || fail "SIG$signal: the earlier outputs changed"
    left=$(ls -A "$work" | grep -v -x -e big.txt -e small.txt -e out.mif -e out.mid -e stdout -e stderr)
    [ -z "$left" ] || fail "SIG$signal: left behind: $left"
done

# Two writers: the second is refused at once, the first finishes with its own complete set.
start_big
out=$("$cli" convert --define "$define" --item 0 "$work/small.txt" "$work/out.mif" 2>&1); rc=$?
[ $rc -eq 2 ] || fail "second writer exited $rc: $out"
echo "$out" | grep -q 'には別の変換が書き込んでいます' || fail "second writer: no message: $out"
wait $pid; rc=$?
[ $rc -eq 0 ] || fail "first writer exited $rc: $(cat "$work/stderr")"
[ "$(wc -l < "$work/out.mid")" -eq 4000000 ] || fail "the MID is not the first job's"
[ "$(grep -c '^Point' "$work/out.mif")" -eq 4000000 ] || fail "the MIF is not the first job's"
left=$(ls -A "$work" | grep -v -x -e big.txt -e small.txt -e out.mif -e out.mid -e stdout -e stderr)
[ -z "$left" ] || fail "left behind: $left"
echo PASS
