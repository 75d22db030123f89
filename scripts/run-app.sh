#!/usr/bin/env bash
# Installs what the build needs, builds the programs and starts the desktop program with the
# shipped Define folder beside it. Arguments are passed on to the program.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset dev
cmake --build --preset dev --target tolvane tolvane-cli

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    cat <<'MSG'
There is no display here (neither DISPLAY nor WAYLAND_DISPLAY is set), so the desktop program
cannot open its window. Either run it on a virtual display (apt-get install xvfb):

    xvfb-run -a build/bin/tolvane

or use the command-line program, which converts the same way:

    build/bin/tolvane-cli items                               # the data items and their numbers
    build/bin/tolvane-cli convert --item N SOURCE.txt OUT.mif  # convert one file as item N
    build/bin/tolvane-cli batch LIST.txt                       # run a saved batch list

MSG
    exit 1
fi
echo "Sample KSJ files for every shipped data item: $PWD/data/samples/"
exec build/bin/tolvane "$@"
