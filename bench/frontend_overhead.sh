#!/bin/sh
# While a 30-second clip converts through the real engine and encoder, prints
# the front-end's own CPU time as a share of the wall time (limit 2%), against
# the baseline of a 1 ms polling wait, and how fast each report is answered
# (limit 10 ms).
# Usage: bench/frontend_overhead.sh [BUILD_DIR]   (default: build)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
. "$here/clip.sh"
cmake --build "$build" --target kelvoenc frontend_overhead report_relay >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
make_clip 30 "$work/clip.avi"

RELAY_TARGET="$build/bin/kelvoenc" RELAY_LOG="$work/relay.log" QT_QPA_PLATFORM=offscreen \
  "$build/bench/frontend_overhead" "$work/clip.avi" 30 "$work/out" "$build/bench/report_relay"
awk '{ printf "reports answered                %8d\nreply time mean                 %8.3f ms\nreply time max                  %8.3f ms  -> %s\n", $2, $4, $6, ($6 < 10 ? "met" : "MISSED") }' "$work/relay.log"
