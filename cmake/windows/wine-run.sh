#!/bin/sh
# Runs a Windows program under wine, headless and quiet: the emulator of the mingw build's tests.
#   wine-run.sh PROGRAM.exe [ARGS...]
# The prefix is made on first use (WINEPREFIX, by default one per user under the temporary
# folder) and a wineserver is kept for a while, so that a test costs a few hundredths of a
# second. The program's output goes through temporary files: the processes wine starts on
# demand inherit the program's descriptors and outlive it, and had they inherited CTest's pipe,
# CTest would wait for them. The program's exit status is passed on.
: "${WINEPREFIX:=${TMPDIR:-/tmp}/tolvane-wine-$(id -u)}"
: "${WINEDEBUG:=-all}"
: "${WINEDLLOVERRIDES:=mscoree,mshtml=}" # no Mono or Gecko installer
WINEARCH=win64
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES WINEARCH
unset DISPLAY WAYLAND_DISPLAY

# wine turns arguments, the environment and file names into UTF-16 with the charset of LC_CTYPE:
# C.UTF-8 is always installed. The language asked for stays visible to the program.
language=${LC_ALL:-${LC_MESSAGES:-${LANG:-}}}
unset LC_ALL
export LC_CTYPE=C.UTF-8
if [ -n "$language" ]; then
    export LC_MESSAGES="$language"
fi

(
    flock 9
    # A server that stays a minute after its last program, started apart from our descriptors
    # (it says no at once when one runs already).
    setsid wineserver -p60 </dev/null >/dev/null 2>&1 9>&-
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wineboot --init </dev/null >/dev/null 2>&1 9>&-
    fi
) 9>"$WINEPREFIX.lock"

out=$(mktemp) && err=$(mktemp) || exit 125
trap 'rm -f "$out" "$err"' EXIT
exec 3<&0 # a command in the background would read /dev/null
# Ctrl+C reaches a Windows program as SIGINT to wine, which wine turns into CTRL_C_EVENT: passed
# on to it (SIGTERM has no Windows counterpart; wine ends the program at once).
wine "$@" <&3 3<&- >"$out" 2>"$err" &
child=$!
trap 'kill -INT $child 2>/dev/null' INT
trap 'kill -TERM $child 2>/dev/null' TERM
while :; do
    wait $child
    status=$?
    kill -0 $child 2>/dev/null || break
done
cat "$out"
cat "$err" >&2
exit $status
