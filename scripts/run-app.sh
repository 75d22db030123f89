#!/usr/bin/env bash
# Installs what the build needs, builds the programs and starts the desktop program with the
# shipped Define folder and sample data.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset dev
cmake --build --preset dev --target tolvane tolvane-cli tolvane_define

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != "offscreen" ]; then
    cat <<'MSG'
There is no display here (neither DISPLAY nor WAYLAND_DISPLAY is set), so the desktop program
cannot open its window. The command-line program works without one, for example:

    build/bin/tolvane-cli items
    build/bin/tolvane-cli convert --item 0 data/samples/<sample file> /tmp/out.mif

MSG
    exit 1
fi
exec build/bin/tolvane "$@"
