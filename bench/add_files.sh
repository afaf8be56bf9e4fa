#!/bin/sh
# Adding 40 files (ten-second clips, 640x480, with sound) through the real
# encoder's probes: the time to add them, with one probe run and with
# several at once, each run handed file after file, against the baseline of
# one probe run per file, one after the other, in the same run (target: at
# most 0.6 of it on two cores). The clips' size is printed beside.
# Usage: bench/add_files.sh [BUILD_DIR]   (default: build)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
. "$here/clip.sh"
cmake --build "$build" --target kelvoenc add_files >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
make_clip 10 "$work/clip.avi"
clips=""
for i in $(seq 1 40); do
  cp "$work/clip.avi" "$work/clip$i.avi"
  clips="$clips $work/clip$i.avi"
done
echo "clips: 40 x $(du -k "$work/clip.avi" | cut -f1) KiB"
# shellcheck disable=SC2086
QT_QPA_PLATFORM=offscreen "$build/bench/add_files" "$build/bin/kelvoenc" $clips
