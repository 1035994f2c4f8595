#!/usr/bin/env bash
# Builds a fuzz target with clang into build-fuzz and runs it for SECONDS (default 60):
#   scripts/fuzz.sh [SECONDS]          the receive path (ReceivePathFuzz)
#   scripts/fuzz.sh TARGET [SECONDS]   ReceivePathFuzz, ScenarioFuzz or PngReaderFuzz
# Findings land in build-fuzz/fuzz-artifacts, named after their target.
set -euo pipefail
cd "$(dirname "$0")/.."
case "${1:-}" in
	'' | *[!0-9]*) TARGET="${1:-ReceivePathFuzz}" SECONDS_TO_RUN="${2:-60}" ;;
	*) TARGET=ReceivePathFuzz SECONDS_TO_RUN="$1" ;;
esac
BUILD_DIR=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	-DQUARN_BUILD_FUZZERS=ON -DQUARN_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$BUILD_DIR" -j "${JOBS:-2}" --target "$TARGET"

CORPUS="$BUILD_DIR/fuzz-corpus"
ARTIFACTS="$BUILD_DIR/fuzz-artifacts"
mkdir -p "$CORPUS" "$ARTIFACTS"
# Seeds: the first byte picks the sender and the node (see Tests/Fuzz/ReceivePathFuzz.cpp),
# then one datagram each; \010 and \030 seal it with the test key (counter in the next two bytes).
printf '\000/quarn/play\000,\000\000\000' >"$CORPUS/play"
printf '\001/quarn/camera/select\000\000\000\000,i\000\000\000\000\000\003' >"$CORPUS/camera"
printf '\002/quarn/timecode/get\000,\000\000\000' >"$CORPUS/timecode"
printf '\000/quarn/ack\000\000,iiiii\000\000\000\000\000\007\000\000\000\001\000\000\000\005\000\000\000d\000\000\000\003' >"$CORPUS/ack"
printf '\003#bundle\000\000\000\000\000\000\000\000\001\000\000\000(/quarn/seq\000\000,iiih\000\000\000\000\000\000\011\000\000\000\001\000\000\000\001\000\000\000\000\000\000\000\000\000\000\000\020/quarn/play\000,\000\000\000' >"$CORPUS/envelope"
printf '\003#bundle\000\000\000\000\000\000\000\000\001\000\000\000(/quarn/seq\000\000,iiih\000\000\000\000\000\000\011\000\000\000\001\000\000\000\001\000\000\000\000\000\000\000\000\000\000\000\020/quarn/play\000,\000\000\000\000\000\000\020/quarn/stop\000,\000\000\000' >"$CORPUS/packed-envelope"
printf '\001/quarn/heartbeat\000\000\000\000,iii\000\000\000\000\000\000\000\011\000\000\000\001\000\000\000\000' >"$CORPUS/heartbeat"
printf '\000/quarn/reject\000\000\000,iiii\000\000\000\000\000\000\007\000\000\000\002\000\000\000\001\000\000\000\005' >"$CORPUS/reject"
printf '\000#bundle\000\000\000\000\000\000\000\000\001\000\000\000D/quarn/receipt\000\000,iiiiiiiih\000\000\000\000\000\007\000\000\000\001\000\000\000\000\000\000\000<\000\000\000\001\000\000\000\002\000\000\000\003\000\000\000\004\000\000\000\000\000\000\005\334\000\000\000D/quarn/receipt\000\000,iiiiiiiih\000\000\000\000\000\007\000\000\000\002\000\000\000\005\000\000\000=\000\000\000\001\000\000\000\002\000\000\000\003\000\000\000\005\000\000\000\000\000\015\273\240' >"$CORPUS/receipts"
printf '\010\000\001/quarn/camera/select\000\000\000\000,i\000\000\000\000\000\003' >"$CORPUS/keyed-camera"
printf '\030\000\002/quarn/timecode/get\000,\000\000\000' >"$CORPUS/keyed-timecode"
printf '\011\000\003#bundle\000\000\000\000\000\000\000\000\001\000\000\000(/quarn/seq\000\000,iiih\000\000\000\000\000\000\011\000\000\000\001\000\000\000\001\000\000\000\000\000\000\000\000\000\000\000\020/quarn/play\000,\000\000\000' >"$CORPUS/keyed-envelope"
printf '\004/quarn/play\000,\000\000\000' >"$CORPUS/keyed-plain"
printf '\010\000\004/quarn/heartbeat\000\000\000\000,iii\000\000\000\000\000\000\000\011\000\000\000\001\000\000\000\000' >"$CORPUS/keyed-heartbeat"

# The other targets start from the files their inputs stand for, each in a corpus of its own.
case "$TARGET" in
	ReceivePathFuzz) OPTIONS=(-dict=Tests/Fuzz/osc.dict) ;;
	ScenarioFuzz)
		CORPUS="$BUILD_DIR/fuzz-corpus-$TARGET"
		mkdir -p "$CORPUS"
		cp Examples/*.json Tests/Host/Fixtures/*.json "$CORPUS/"
		OPTIONS=(-dict=Tests/Fuzz/scenario.dict -max_len=16384)
		;;
	PngReaderFuzz)
		CORPUS="$BUILD_DIR/fuzz-corpus-$TARGET"
		mkdir -p "$CORPUS"
		cp Examples/*.png "$CORPUS/"
		# A header may claim the reader's largest picture, 16384x16384: 1 GiB of pixels. Nothing may
		# ask for more, whatever a chunk claims.
		OPTIONS=(-dict=Tests/Fuzz/png.dict -max_len=65536 -malloc_limit_mb=1100 -rss_limit_mb=3072)
		;;
	*)
		echo "fuzz.sh: no seeds for $TARGET" >&2
		exit 2
		;;
esac

"$BUILD_DIR/bin/$TARGET" "$CORPUS" "${OPTIONS[@]}" -max_total_time="$SECONDS_TO_RUN" \
	-artifact_prefix="$ARTIFACTS/$TARGET-" -print_final_stats=1
