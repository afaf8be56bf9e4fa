#!/bin/bash
# GNU parallel with 2 job slots spreads tarvine-convert over 6 files into one
# output folder: two of them share a name from different folders, one is
# broken. Every good file gets a whole output, no name is taken twice, and
# the joblog's exit statuses are 0 for the good files and 1 for the broken
# one. Then the Slurm script's task 2 converts the list's second file, and
# both spread a list saved in the window.
# usage: parallel_test.sh TARVINE_CONVERT SLURM_SCRIPT
set -u
convert=$1
slurm=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
export HOME=$work  # parallel keeps its own files there
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

clip() {
    mkdir -p "$(dirname "$1")"
    ffmpeg -nostdin -loglevel error -y -f lavfi -i testsrc=size=160x120:rate=10:duration=1 \
        -f lavfi -i sine=duration=1 -c:v mpeg4 -c:a mp2 "$1"
}
good=("$work/in/a/party.avi" "$work/in/b/party.avi" "$work/in/beach.avi" "$work/in/garden.avi" "$work/in/snow.avi")
for file in "${good[@]}"; do clip "$file"; done
echo "not a video" > "$work/in/broken.avi"

parallel --will-cite --jobs 2 --joblog "$work/joblog" "$convert" --format 0 --output "$work/out" -- {} \
    ::: "${good[@]}" "$work/in/broken.avi" > "$work/parallel.log" 2>&1

# The joblog's columns: Seq Host Starttime JobRuntime Send Receive Exitval Signal Command.
while IFS=$'\t' read -r _ _ _ _ _ _ status signal command; do
    file=${command##* }
    expected=0
    [ "$file" = "$work/in/broken.avi" ] && expected=1
    [ "$status" = "$expected" ] && [ "$signal" = 0 ] || fail "$file ended with status $status (signal $signal)"
done < <(tail -n +2 "$work/joblog")
[ "$(tail -n +2 "$work/joblog" | wc -l)" = 6 ] || fail "the joblog does not list 6 jobs"

outputs=("$work"/out/*)
[ "${#outputs[@]}" = 5 ] || fail "5 outputs expected, found: ${outputs[*]}"
for output in "${outputs[@]}"; do
    seconds=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$output")
    awk -v s="$seconds" 'BEGIN { exit !(s > 0.75 && s < 1.25) }' || fail "$output lasts $seconds s, not 1 s"
done
for name in party.avi party_avi.avi beach.avi garden.avi snow.avi; do
    [ -f "$work/out/$name" ] || fail "no $name"
done

printf '%s\n' "${good[@]}" > "$work/list"
SLURM_ARRAY_TASK_ID=2 TARVINE_CONVERT=$convert bash "$slurm" "$work/list" "$work/slurm" --format 10 ||
    fail "the Slurm task failed"
[ -f "$work/slurm/party.mp4" ] || fail "the Slurm task did not convert the list's second file"

# A list saved in the window, spread the same ways: its format (MP4) is the
# list's, each job converts the one file named beside --batch.
printf '{"tarvineList": 1, "settings": {"Output format": "10"}, "files": [{"path": "%s"}, {"path": "%s"}]}' \
    "$work/in/beach.avi" "$work/in/garden.avi" > "$work/list.json"
"$convert" --batch="$work/list.json" --print-files > "$work/listed" || fail "--print-files failed"
parallel --will-cite --jobs 2 "$convert" --batch="$work/list.json" --output "$work/from-list" -- {} \
    < "$work/listed" >> "$work/parallel.log" 2>&1 || fail "parallel over the saved list failed"
for name in beach.mp4 garden.mp4; do
    [ -f "$work/from-list/$name" ] || fail "the saved list gave no $name"
done
SLURM_ARRAY_TASK_ID=2 TARVINE_CONVERT=$convert bash "$slurm" "$work/listed" "$work/slurm-list" \
    --batch="$work/list.json" || fail "the Slurm task over the saved list failed"
[ "$(ls "$work/slurm-list")" = garden.mp4 ] || fail "the Slurm task did not convert the saved list's second file"

[ "$failures" -eq 0 ] || { cat "$work/parallel.log"; echo "$failures failed"; exit 1; }
echo "GNU parallel over 2 job slots: passed"
