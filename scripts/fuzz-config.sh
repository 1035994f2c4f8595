#!/usr/bin/env bash
# Builds the configuration round-trip fuzz target with clang into build-fuzz and runs it for
# SECONDS (first argument, default 30). Findings land in build-fuzz/fuzz-artifacts-config.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_TO_RUN="${1:-30}"
BUILD_DIR=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	-DQUARN_BUILD_FUZZERS=ON -DQUARN_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$BUILD_DIR" -j "${JOBS:-2}" --target ConfigRoundTripFuzz

CORPUS="$BUILD_DIR/fuzz-corpus-config"
ARTIFACTS="$BUILD_DIR/fuzz-artifacts-config"
mkdir -p "$CORPUS" "$ARTIFACTS"
# Seeds: a start file, then edits (op, value length, value).
printf '\034[S0]\nK0=a\n+K1=x\n.K1=x\n-K1=y\n\000\003a\nb\014\005p\377q\377p' >"$CORPUS/mixed"
printf '\040; note\r\n[S1]\r\nK0 = " q "\r\n!K1=\r\n\001\003x\ty\030\000' >"$CORPUS/crlf"
printf '\000\000\017[Injected]\nK0=1' >"$CORPUS/injection"

"$BUILD_DIR/bin/ConfigRoundTripFuzz" "$CORPUS" -max_total_time="$SECONDS_TO_RUN" -max_len=512 \
	-artifact_prefix="$ARTIFACTS/" -print_final_stats=1
