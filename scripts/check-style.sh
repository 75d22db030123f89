#!/usr/bin/env bash
# The house style, checked: every tracked C++ file as .clang-format has it, and the naming rules
# of .clang-tidy on src/, cli/ and tools/ (needs the dev build's compile_commands.json).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh clang-format clang-tidy
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
[[ -f build/compile_commands.json ]] || { cmake --preset dev >/dev/null; }
git ls-files 'src/*.cpp' 'cli/*.cpp' 'tools/*.cpp' | xargs run-clang-tidy -p build -quiet >/tmp/tolvane-tidy.log 2>&1 || {
    sed 's/\x1b\[[0-9;]*m//g' /tmp/tolvane-tidy.log | grep -E -A2 'error:|warning:' | head -60
    echo "check-style: naming rules broken (see above)"
    exit 1
}
echo "check-style: format and naming hold"
