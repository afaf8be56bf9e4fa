#!/bin/sh
# What drawing a subtitle into the picture costs: kelvoenc converting a
# 30-second 640x480 clip to AVI with the front-end's default settings, once
# plain (the baseline) and once with an SRT beside it drawn in (a new line
# every two seconds), in one run, taking turns.
#
# Usage: [RUNS=3] bench/subtitle_burn.sh [BUILD_FOLDER]   (default: build)
#
# Prints the best wall and CPU time (user + system) of each, the ratio
# baseline / burned (1.00: free; 0.91: 10% dearer), and beside them each
# output's size, so that a figure never comes from doing less work.
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
kelvoenc=$build/bin/kelvoenc
runs=${RUNS:-3}
[ -x "$kelvoenc" ] || { echo "No encoder at $kelvoenc; build the kelvoenc target first." >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time is missing (Debian package 'time')." >&2; exit 1; }
. "$here/bench/clip.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
make_clip 30 "$work/film.avi"
line=1
while [ "$line" -le 15 ]; do
  from=$(((line - 1) * 2))
  printf '%d\n00:00:%02d,000 --> 00:00:%02d,800\nLine %d of the film, long enough for two words more\n\n' \
    "$line" "$from" "$from" "$line"
  line=$((line + 1))
done > "$work/film.srt"

options="-oac mp3lame -ovc lavc -lameopts vbr=3:br=128:mode=3 -lavcopts vcodec=mpeg4:vbitrate=1000:vhq:vqmin=1:vqmax=31:autoaspect=1 -ffourcc DX50 -of lavf -lavfopts i_certify_that_my_video_stream_does_not_use_b_frames:format=avi -sws 2 -af volume=+0db:0:channels=2 -ofps 25.000000"

# run OUTPUT EXTRA... : "WALL CPU" of one conversion.
run() {
  output=$1
  shift
  rm -f "$output"
  # shellcheck disable=SC2086
  /usr/bin/time -f "%e %U %S" -o "$work/time" "$kelvoenc" "$work/film.avi" -o "$output" $options "$@" \
    -endpos 9:0:0 0 -1 > /dev/null 2> "$work/err" || { cat "$work/err" >&2; exit 1; }
  awk '{ printf "%s %.2f\n", $1, $2 + $3 }' "$work/time"
}

best() { echo "$1 $2" | awk '{ print ($2 == "" || $1 < $2) ? $1 : $2 }'; }

plain_wall= plain_cpu= burned_wall= burned_cpu=
i=0
while [ "$i" -lt "$runs" ]; do
  set -- $(run "$work/plain.avi")
  plain_wall=$(best "$1" "$plain_wall") plain_cpu=$(best "$2" "$plain_cpu")
  set -- $(run "$work/burned.avi" -subtitles 1)
  burned_wall=$(best "$1" "$burned_wall") burned_cpu=$(best "$2" "$burned_cpu")
  i=$((i + 1))
done

printf '%-22s %8s %8s %10s\n' "" "wall s" "CPU s" "size kB"
printf '%-22s %8s %8s %10s\n' "plain (baseline)" "$plain_wall" "$plain_cpu" "$(($(stat -c %s "$work/plain.avi") / 1024))"
printf '%-22s %8s %8s %10s\n' "subtitle drawn in" "$burned_wall" "$burned_cpu" "$(($(stat -c %s "$work/burned.avi") / 1024))"
echo "$plain_wall $burned_wall $plain_cpu $burned_cpu" |
  awk '{ printf "baseline / burned: wall %.2f, CPU %.2f (best of '"$runs"')\n", $1 / $2, $3 / $4 }'
