#!/bin/sh
# A WebM made by tarvine-convert plays in Chromium to its end, with no error.
# Usage: tests/e2e/browser/webm_plays_in_chromium.sh [BUILD_FOLDER]   (default: build)
# Needs Debian's chromium and Node.js; says SKIP without them (status 77).
set -eu

here=$(cd "$(dirname "$0")/../../.." && pwd)
build=${1:-$here/build}
chromium=$(command -v chromium || true)
[ -n "$chromium" ] || { echo "SKIP: Chromium is not installed (Debian package chromium)"; exit 77; }
command -v node > /dev/null || { echo "SKIP: Node.js is not installed"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ffmpeg -nostdin -hide_banner -loglevel error -f lavfi -i testsrc2=size=320x240:rate=25:duration=3 \
  -f lavfi -i sine=frequency=440:duration=3 -c:v mpeg4 -c:a mp2 "$work/clip.avi"
"$build/bin/tarvine-convert" --format webm --output "$work/out" "$work/clip.avi" > /dev/null
outcome=$(node --experimental-websocket --no-warnings "$here/tests/e2e/browser/play_in_chromium.js" "$chromium" \
  "$work/out/clip.webm") || true
echo "$outcome"
case $outcome in
  "ended at "*) echo "WebM in Chromium: passed" ;;
  *) echo "WebM in Chromium: failed"; exit 1 ;;
esac
