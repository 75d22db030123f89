#!/bin/bash
# The bash completion of tolvane-cli and the man pages against the option tables, read from the
# programs' own help (which is built from the tables): the same commands, the same options for
# each command, the same options taking a value, the same --coordsys words.
set -u
cli=$1
completion=$2
mandir=$3
gen=$4
fail() { echo "FAIL: $*"; exit 1; }
export LC_ALL=C

# shellcheck source=/dev/null
source "$completion" || fail "cannot read $completion"

# What the completion offers for the words of a line (the last one is being completed).
offered() {
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    COMPREPLY=()
    _tolvane_cli
    printf '%s\n' "${COMPREPLY[@]}" | sort -u | tr '\n' ' '
}
# The option spellings of a help text (long and short), sorted.
options_of() {
    sed -nE 's/^  (-[A-Za-z]), (--[a-z-]+).*/\1\n\2/p; s/^      (--[a-z-]+).*/\1/p' | sort -u | tr '\n' ' '
}
# The options of a help text that take a value.
valued_of() {
    sed -nE 's/^  (-[A-Za-z], |    )(--[a-z-]+) [A-Z]+ .*/\2/p'
}
commands=$("$cli" --help | sed -n '/^Commands:/,/^$/p' | sed -nE 's/^  ([a-z]+) .*/\1/p' | sort | tr '\n' ' ')
[ -n "$commands" ] || fail "no commands in tolvane-cli --help"

[ "$(offered tolvane-cli '')" = "$commands" ] || fail "commands: '$(offered tolvane-cli '')' != '$commands'"
[ "$(offered tolvane-cli help '')" = "$commands" ] || fail "help's operands"
global=$("$cli" --help | options_of)
[ "$(offered tolvane-cli -)" = "$global" ] || fail "global options: '$(offered tolvane-cli -)' != '$global'"
valued=
for command in $commands; do
    expected=$("$cli" "$command" --help | options_of)
    got=$(offered tolvane-cli "$command" -)
    [ "$got" = "$expected" ] || fail "$command: '$got' != '$expected'"
    valued="$valued $("$cli" "$command" --help | valued_of)"
done
# An option taking a value swallows the next word; a switch does not, so the word is the command.
convert=$(offered tolvane-cli convert -)
for option in $(for command in $commands; do "$cli" "$command" --help | options_of; done | tr ' ' '\n' | sort -u); do
    if echo "$valued" | tr ' ' '\n' | grep -qx -- "$option"; then want=$global; else want=$convert; fi
    got=$(offered tolvane-cli "$option" convert -)
    [ "$got" = "$want" ] || fail "$option convert: '$got' != '$want'"
done
[ "$(offered tolvane-cli --define=x '')" = "$commands" ] || fail "--define=x"
[ "$(offered tolvane-cli --define = x '')" = "$commands" ] || fail "--define = x"

words=$("$cli" convert --help | sed -nE 's/.*--coordsys CS .*: (.*) \(default.*/\1/p' | sed -E 's/ \(([0-9])\)/ \1/g; s/,//g' | tr ' ' '\n' | sort -u | tr '\n' ' ')
[ -n "$words" ] || fail "no coordinate systems in convert --help"
[ "$(offered tolvane-cli convert --coordsys '')" = "$words" ] || fail "--coordsys: '$(offered tolvane-cli convert --coordsys '')' != '$words'"
[ "$(offered tolvane-cli convert --coordsys = '')" = "$words" ] || fail "--coordsys="

# The man pages name every command and option of their program.
for option in $global $("$cli" convert --help | options_of) $("$cli" batch --help | options_of); do
    grep -q -- "$(echo "$option" | sed 's/-/\\\\-/g')" "$mandir/tolvane-cli.1" || fail "tolvane-cli.1 lacks $option"
done
for command in $commands; do
    grep -q "^\\.B $command\$" "$mandir/tolvane-cli.1" || fail "tolvane-cli.1 lacks the command $command"
done
for option in $("$gen" --help | options_of); do
    grep -q -- "$(echo "$option" | sed 's/-/\\\\-/g')" "$mandir/tolvane-gen.1" || fail "tolvane-gen.1 lacks $option"
done
echo PASS
