#!/usr/bin/env bash
# Sets up a fresh machine, builds everything and runs every test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh
scripts/build.sh "$@"
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j "${JOBS:-2}" --timeout 300
