#!/bin/sh
# A batch one file at a time against the same batch with "Auto" conversions
# at once, in one run, through tarvine-convert and the real kelvoenc.
#
# Usage: [FORMATS="avi dvd wmv mp4"] [CLIPS=8] [CLIP_SECONDS=10] bench/batch_throughput.sh [BUILD_FOLDER]
#
# Makes CLIPS clips of CLIP_SECONDS seconds at 640x480 and converts them to AVI
# (DivX + MP3), DVD NTSC, WMV and MP4 (H.264 + AAC) with the default
# settings, first with --jobs 1 (the baseline), then with the settings'
# "Auto". Prints for each format the two wall times, the ratio (the
# baseline's time / Auto's: above 1 is faster), the CPU time per file, the
# cores one run keeps busy (CPU time / wall time of the baseline), the
# outputs' total sizes, and what "Auto" should reach on 8 and 16 cores by
# the model below. Timings are only meaningful on an otherwise idle machine:
# the load average is printed before the runs.
#
# The model: one run at a time keeps B cores busy (B as measured here, at
# most the cores it has). "Auto" on N cores runs J files at once, each with
# N / J threads (J as ConversionsAtOnce picks it), and each keeps at most
# min(B, N / J) cores busy; so the batch speeds up by about
# min(J * min(B, N / J), N) / min(B, N). It assumes that a run does not spread
# over more cores on a larger machine than it does here, which holds for the
# classic formats' few stage threads and underestimates x264, and that the
# disk keeps up.
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
convert=$build/bin/tarvine-convert
clips=${CLIPS:-8}
seconds=${CLIP_SECONDS:-10}
[ -x "$convert" ] || { echo "No tarvine-convert at $convert; build it first." >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time is missing (Debian package 'time')." >&2; exit 1; }
. "$here/bench/clip.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/clips"
i=1
while [ "$i" -le "$clips" ]; do
  make_clip "$seconds" "$work/clips/clip$i.avi"
  i=$((i + 1))
done
# No "Conversions at once" key: the settings read "Auto".
printf '[Destinate]\nVolume=20\n' > "$work/option.ini"

# run FORMAT JOBS_OPTION: "WALL CPU KB" of one batch into a fresh folder.
run() {
  rm -rf "$work/out"
  # shellcheck disable=SC2086 # the jobs option is empty or one word
  /usr/bin/time -f "%e %U %S" -o "$work/time" "$convert" --settings "$work/option.ini" --format "$1" \
    --output "$work/out" $2 "$work"/clips/*.avi > /dev/null 2> "$work/err" || {
    echo "failed: format $1 $2" >&2
    cat "$work/err" >&2
    exit 1
  }
  set -- $(cat "$work/time")
  echo "$1 $(echo "$2 $3" | awk '{ print $1 + $2 }') $(du -sk "$work/out" | cut -f1)"
}

# The "Auto" count for CORES cores: a run every four cores for MP4, every two
# (two at least) for the classic formats, never more than the clips.
auto_jobs() {
  echo "$1 $2 $clips" | awk '{ j = ($1 == "mp4") ? int($2 / 4) : int($2 / 2); if ($1 != "mp4" && j < 2) j = 2;
    if (j < 1) j = 1; if (j > $3) j = $3; print j }'
}

# The model's speed-up on CORES cores for a run that keeps BUSY cores busy.
model() {
  jobs=$(auto_jobs "$1" "$2")
  echo "$2 $3 $jobs" | awk '{ n = $1; b = $2; j = $3; share = n / j; per = (b < share) ? b : share;
    total = j * per; if (total > n) total = n; one = (b < n) ? b : n; printf "%.1f", total / one }'
}

cores=$(nproc)
echo "$clips clips of $seconds s at 640x480 on $cores cores; baseline: the same batch one file at a time"
echo "load average before the runs: $(cut -d' ' -f1-3 /proc/loadavg) (ratios are only meaningful on an idle machine)"
printf '%-12s %6s %7s %7s %6s %10s %6s %9s %9s %7s %7s\n' format "auto" "1 s" "auto s" ratio "CPU s/file" busy \
  "1 kB" "auto kB" "8 cores" "16 cores"
for format in ${FORMATS:-avi dvd wmv mp4}; do
  case $format in
    avi) number=0 label="AVI DivX+MP3" ;;
    dvd) number=7 label="DVD NTSC" ;;
    wmv) number=8 label="WMV" ;;
    mp4) number=10 label="MP4 H.264" ;;
    *) echo "unknown format $format" >&2; exit 1 ;;
  esac
  set -- $(run "$number" "--jobs=1")
  one_wall=$1 one_cpu=$2 one_kb=$3
  set -- $(run "$number" "")
  auto_wall=$1 auto_kb=$3
  busy=$(echo "$one_cpu $one_wall" | awk '{ printf "%.2f", $1 / $2 }')
  printf '%-12s %6s %7s %7s %5sx %10s %6s %9s %9s %6sx %6sx\n' "$label" "$(auto_jobs "$format" "$cores")" \
    "$one_wall" "$auto_wall" "$(echo "$one_wall $auto_wall" | awk '{ printf "%.2f", $1 / $2 }')" \
    "$(echo "$one_cpu $clips" | awk '{ printf "%.2f", $1 / $2 }')" "$busy" "$one_kb" "$auto_kb" \
    "$(model "$format" 8 "$busy")" "$(model "$format" 16 "$busy")"
done
