#!/usr/bin/env bash
# Builds and runs the capture benchmark (builds its large database once, in /tmp).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
BUILD_DIR=build-bench bash scripts/build.sh -DCAP_BUILD_BENCH=ON -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=Release
exec ./build-bench/bench/bench_captura "$@"
