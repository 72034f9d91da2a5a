#!/usr/bin/env bash
# Builds the program and its Debian package: the executables under /opt/capcheque, the desktop
# entry and the icon under /usr/share. The package lands in build/ (or the folder given).
set -euo pipefail
cd "$(dirname "$0")/.."
out="$(realpath -m "${1:-build}")"
bash scripts/build.sh
mkdir -p "$out"
cpack --config build/CPackConfig.cmake -G DEB -B "$out" >/dev/null
ls "$out"/capcheque_*.deb
