#!/bin/sh
# The window's trial, as a new user makes it: real keys under openbox on a
# virtual screen, in German, with screenshots to look at afterwards. Not
# part of `make test`; run it after a build and look at every picture.
#
#   tests/trial/window_trial.sh [BUILD_DIR]
#
# Needs Xvfb, openbox, xdotool, ImageMagick's import and the de_DE.UTF-8
# locale (`localedef -i de_DE -f UTF-8 de_DE.UTF-8`). The program folder is
# copied, so the build's own option.ini stays untouched. Prints each check
# and where the screenshots are; exits 1 when a check fails.
set -eu
build=$(cd "${1:-build}" && pwd)
work=$(mktemp -d /tmp/tarvine-trial.XXXXXX)
shots=$work/shots
mkdir -p "$work/clips" "$work/out" "$work/home/.config/Tarvine" "$shots"
cp -r "$build/bin" "$work/program"
failed=0

ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }
check() { if [ "$2" = "$3" ]; then echo "ok: $1"; else echo "FAILED: $1: '$2', expected '$3'"; failed=1; fi; }
shot() { sleep 1; import -window root "$shots/$1.png"; }
sound() { echo "sine=frequency=440:sample_rate=44100:duration=$1"; }

# A 4:3 camera clip, a phone's portrait clip stored turned with a display
# matrix, and a clip whose file breaks off halfway (it converts in part).
ff -f lavfi -i testsrc2=size=640x480:rate=25:duration=3 -f lavfi -i "$(sound 3)" \
   -c:v mpeg4 -q:v 4 -c:a mp2 "$work/clips/Garden.avi"
ff -f lavfi -i testsrc2=size=640x360:rate=30:duration=3 -f lavfi -i "$(sound 3)" \
   -c:v libx264 -c:a aac "$work/clips/stored.mp4"
ff -i "$work/clips/stored.mp4" -c copy -metadata:s:v:0 rotate=90 "$work/clips/Phone.mp4"
rm "$work/clips/stored.mp4"
ff -f lavfi -i testsrc2=size=640x480:rate=25:duration=8 -f lavfi -i "$(sound 8)" \
   -c:v libx264 -c:a aac -movflags +faststart "$work/clips/whole.mp4"
ff -f lavfi -i testsrc2=size=640x480:rate=25:duration=60 -f lavfi -i "$(sound 60)" \
   -c:v mpeg4 -q:v 4 -c:a mp2 "$work/clips/Long.avi"
head -c $(($(stat -c %s "$work/clips/whole.mp4") / 2)) "$work/clips/whole.mp4" > "$work/clips/Broken off.mp4"
rm "$work/clips/whole.mp4"

# The tip of the day stays away; the rest is chosen in the window.
printf '[Tip]\nStartUp=1\n' > "$work/home/.config/Tarvine/tarvine.ini"
settings() { printf '[Destinate]\nTemporary folder=%s\n%s\n' "$work/out" "$1" > "$work/program/option.ini"; }

export HOME="$work/home" LC_ALL=de_DE.UTF-8 DISPLAY=:${TRIAL_DISPLAY:-57}
Xvfb "$DISPLAY" -screen 0 1280x1024x24 >/dev/null 2>&1 & xvfb=$!
sleep 1
openbox >/dev/null 2>&1 & wm=$!
app=
trap 'kill $app $wm $xvfb 2>/dev/null || true' EXIT
sleep 1

start() { "$work/program/tarvine" >>"$work/tarvine.log" 2>&1 & app=$!; sleep 3; }
stop() { kill "$app"; wait "$app" 2>/dev/null || true; app=; }
# Adds each file through Ctrl+O, typing its name into the import dialog.
add() {
    for name in "$@"; do
        xdotool key ctrl+o; sleep 2
        xdotool type --delay 5 "$work/clips/$name"; xdotool key Return; sleep 3
    done
}
# The progress window while it converts, titled "42% · Converting 2 of 4 — …".
progress() { xdotool search --onlyvisible --name 'Converting' 2>/dev/null | head -n 1; }
# Ctrl+Enter, then waits up to two minutes for the progress window to go and
# the summary box to take the focus from the main window.
convert() {
    main=$(xdotool getactivewindow)
    xdotool key ctrl+Return; sleep 2
    for _ in $(seq 120); do
        [ -z "$(progress)" ] && [ "$(xdotool getactivewindow)" != "$main" ] && break
        sleep 1
    done
    sleep 1
}
# A window that closes while xdotool walks the tree makes it fail with
# BadWindow; the count is taken again then.
windows() {
  for _ in 1 2 3; do
    if found=$(xdotool search --onlyvisible --name '^Tarvine$' 2>/dev/null); then
      printf '%s\n' "$found" | grep -c .
      return
    fi
    sleep 1
  done
  echo 0
}
probe() { ffprobe -v error -select_streams v:0 -show_entries stream=width,height,sample_aspect_ratio -of csv=p=0 "$1"; }

# 1. A VCD with its disc image, from three files of which one breaks off:
#    the visible text says "with 2 of 3 files" and that older VCD players
#    may refuse the disc. Tab, Tab, Space opens the details; Enter then
#    closes the box (it used to fold the details away again).
settings 'Output format=5
Disc image=1'
start
add Garden.avi "Broken off.mp4" Garden.avi
shot 1-listed
convert
shot 2-disc-summary
check "the disc image was made" "$(ls "$work/out" | grep -c '^Tarvine disc\.')" 2
xdotool key Tab Tab space
shot 3-details
xdotool key Return
check "Enter after Show Details closes the summary" "$(windows)" 1
stop

# 2. A phone's portrait clip and a 4:3 clip to MP4 at "1280 x 720": the
#    phone's comes out upright, both in square pixels. Escape closes the
#    summary.
settings 'Output format=10
MP4 resolution=9'
start
add Phone.mp4 Garden.avi
convert
shot 4-mp4-summary
xdotool key Escape
check "Escape closes the summary" "$(windows)" 1
check "the portrait clip comes out upright" "$(probe "$work/out/Phone.mp4")" "720,1280,1:1"
check "the 4:3 clip stays landscape" "$(probe "$work/out/Garden.mp4")" "1280,720,1:1"

# 3. The same again (new names, nothing replaced); Alt+F4, as the close
#    box, closes the summary and leaves the main window.
convert
xdotool key alt+F4
check "Alt+F4 closes the summary" "$(windows)" 1
check "nothing was replaced" "$(ls "$work/out" | grep -c 'Phone')" 2
shot 5-after-alt-f4
stop

# 4. Two long clips side by side, to H.265: each running row shows its
#    percentage, the progress window the time left and both names in its
#    title. Look at the screenshot; then the batch is left to end.
settings 'Output format=11
Conversions at once=2'
start
add Long.avi Long.avi
xdotool key ctrl+Return; sleep 6
shot 6-side-by-side
check "the title gives the percentage and names both running files" \
    "$(xdotool search --onlyvisible --name '^[0-9]+% .+ Converting 1 and 2 of 2$' 2>/dev/null | grep -c .)" 1
convert
xdotool key Return
check "both were converted" "$(ls "$work/out" | grep -c '^Long.*\.mp4$')" 2
shot 7-side-by-side-done
stop

# 5. The progress window, moved aside during a batch, opens there at the
#    next batch and after a restart. Cancel and Yes then mark the running
#    row stopped and leave the waiting one unmarked: look at 10-stopped.
#    H.265 at 1280 x 720 keeps each batch going long enough to move it.
place() { xdotool getwindowgeometry "$1" | sed -n 's/ *Position: \([0-9]*,[0-9]*\).*/\1/p'; }
settings 'Output format=11
MP4 resolution=9
Conversions at once=1'
start
add Garden.avi Long.avi
xdotool key ctrl+Return; sleep 3
xdotool windowmove "$(progress)" 40 60; sleep 1
moved=$(place "$(progress)")
shot 8-moved-aside
convert
xdotool key Return
stop
start
add Long.avi Long.avi
xdotool key ctrl+Return; sleep 3
check "the progress window opens where it was moved, after a restart" "$(place "$(progress)")" "$moved"
shot 9-reopened
xdotool key Escape; sleep 2
xdotool key Return; sleep 3
shot 10-stopped
short=0
for f in "$work"/out/Long*.mp4; do
    d=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$f" | cut -d. -f1)
    [ "${d:-0}" -ge 59 ] || short=$((short + 1))
done
check "Cancel and Yes left no unfinished output" "$short" 0
stop

# 6. A DVD with its menu, made by the command line: the menu's first
#    picture, with its title and the names on up to two lines, is 11-dvd-menu.
cp "$work/clips/Garden.avi" "$work/clips/Holiday 2024 - Day 1.avi"
cp "$work/clips/Garden.avi" "$work/clips/Birthday at the lake.avi"
"$work/program/tarvine-convert" --format 7 --disc-image --disc-title="Summer 2024" --output "$work/dvd" \
    "$work/clips/Holiday 2024 - Day 1.avi" "$work/clips/Birthday at the lake.avi" "$work/clips/Garden.avi" \
    >"$work/dvd.log" 2>&1 || true
ff -i "$work/dvd/Tarvine disc/VIDEO_TS/VTS_01_0.VOB" -frames:v 1 "$shots/11-dvd-menu.png" || true
check "the DVD menu's picture was made" "$([ -s "$shots/11-dvd-menu.png" ] && echo yes)" yes

echo "screenshots: $shots"
exit $failed
