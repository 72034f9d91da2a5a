#!/usr/bin/env bash
# Installs what is missing, builds, creates the demo database and config.ini beside the
# executable on first use (never overwriting either), and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh
bin="$PWD/build/src/shell"
if [ ! -f "$bin/demo.db" ]; then
  ./build/tools/capdb/capdb demo "$bin/demo.db"
fi
if [ ! -f "$bin/config.ini" ]; then
  printf '[DB]\r\nCAMINHO=%s\r\n' "$bin/demo.db" > "$bin/config.ini"
fi
exec "$bin/capcheque" "$@"
