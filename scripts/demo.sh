#!/usr/bin/env bash
# Sets up a fresh machine, builds the host and runs the bundled default scenario.
# Arguments go to `quarnlive run` (for example --json).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh
TARGET=quarnlive scripts/build.sh >/dev/null
exec "${BUILD_DIR:-build}/bin/quarnlive" run "$@"
