#!/usr/bin/env bash
# Installs what is missing, builds, starts a throwaway PostgreSQL server, runs the whole suite
# offscreen through CTest, and stops the server.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh
pgdir=$(mktemp -d /tmp/cap-pg.XXXXXX)
port=$(( 20000 + RANDOM % 20000 ))
trap 'bash scripts/pg.sh stop "$pgdir"' EXIT
bash scripts/pg.sh start "$pgdir" "$port"
export CAP_TEST_PG="postgresql://cap@127.0.0.1:$port/postgres"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j "$(nproc)" "$@"
