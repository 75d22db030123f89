#!/usr/bin/env bash
# Installs the Debian packages the build needs, by name; does nothing when all are present.
# Usage: scripts/install-deps.sh [extra packages...]
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config qt6-base-dev libgtest-dev libgmock-dev gdal-bin
          libgdal-dev libproj-dev fonts-ipafont-gothic qt6-translations-l10n "$@")

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get -o DPkg::Lock::Timeout=600 update -q
$sudo apt-get -o DPkg::Lock::Timeout=600 install -y -q --no-install-recommends "${missing[@]}"
