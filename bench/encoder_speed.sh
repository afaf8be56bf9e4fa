#!/bin/sh
# kelvoenc against the ffmpeg command line, side by side in one run.
#
# Usage: [FORMATS="avi dvd wmv mp4 h265 mp4same h265same mkv webm"] bench/encoder_speed.sh [BUILD_FOLDER]   (default: build)
#
# Makes a 30-second 640x480 clip with some noise, converts it with kelvoenc
# using the argument texts the front-end builds with its default settings,
# and with ffmpeg at equivalent settings (same encoders, bitrates, filters
# and rate), for AVI (DivX + MP3), DVD NTSC, WMV and MP4 (H.264 + AAC, and
# H.265 + AAC, at 1280x720, the 4:3 picture between bars, to show the speed
# presets keep up with the source on a small machine), and both MP4s again at
# "Original" size, 640x480, where nothing is scaled, then MKV (H.264 + AAC)
# and WebM (AV1 + Opus, at its middle step) at 1280x720. FORMATS="mp4 avi" picks
# some. Prints the wall time and the CPU time (user + system) of both, each as
# a ratio against ffmpeg, the baseline (ffmpeg's time / kelvoenc's time: above
# 1 is faster, or cheaper), the peak memory of both, and beside the times
# each output's size and video bitrate, so that a figure never comes from
# doing less work. Each conversion runs RUNS times (default 5), the two
# programs taking turns; the median run of each counts, for wall and CPU
# time alike, since on a small machine one lucky run moves the fastest by
# several percent. Beside the CPU ratio, the lowest and highest of the
# turns' own ratios show how far the runs spread. Last, a 3-second 3840x2160 clip converted to
# AVI by both measures the peak memory on very large pictures: kelvoenc's
# against ffmpeg's (the aim is at most 1.2 times).
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
kelvoenc=$build/bin/kelvoenc
runs=${RUNS:-5}
[ -x "$kelvoenc" ] || { echo "No encoder at $kelvoenc; build the kelvoenc target first." >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time is missing (Debian package 'time')." >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source=$work/source.avi
ffmpeg -nostdin -hide_banner -loglevel error \
  -f lavfi -i testsrc2=size=640x480:rate=25:duration=30,noise=alls=4:allf=t \
  -f lavfi -i "aevalsrc=0.25*sin(440*2*PI*t)|0.25*sin(660*2*PI*t):sample_rate=44100:duration=30" \
  -map 0:v -map 1:a -c:v mpeg4 -q:v 4 -c:a libmp3lame -b:a 160k "$source"

# time_once COMMAND... : wall seconds, CPU seconds (user + system) and peak
# RSS in kB, as "SECONDS CPU KB".
time_once() {
  /usr/bin/time -f "%e %U %S %M" -o "$work/time" "$@" > /dev/null 2> "$work/err" || {
    echo "failed: $*" >&2
    cat "$work/err" >&2
    exit 1
  }
  awk '{ printf "%s %.2f %s\n", $1, $2 + $3, $4 }' "$work/time"
}

# The size of FILE in kB and its video bitrate in kbit/s over SECONDS (30 unless
# given), as "KB KBPS".
output_size() {
  bytes=$(stat -c %s "$1")
  video=$(ffprobe -v error -select_streams v:0 -show_entries packet=size -of csv=p=0 "$1" |
    awk -v seconds="${2:-30}" '{ sum += $1 } END { printf "%d", sum * 8 / seconds / 1000 }')
  echo "$((bytes / 1024)) $video"
}

# The median of the numbers given.
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# The lowest and highest of the numbers given, as "LOW-HIGH".
spread() { printf '%s\n' "$@" | sort -n | awk 'NR == 1 { low = $1 } { high = $1 } END { print low "-" high }'; }
ratio() { echo "$1 $2" | awk '{ printf "%.2f", ($2 > 0) ? $1 / $2 : 0 }'; }
larger() { echo "$1 $2" | awk '{ print ($1 > $2) ? $1 : $2 }'; }

# The front-end's texts with its default settings for each format, a 25 fps
# source, "Original" size (DVD's 16:9 frame shows the 4:3 picture 540x480
# between bars), mode 0, handle -1.
avi_options="-oac mp3lame -ovc lavc -lameopts vbr=3:br=128:mode=3 -lavcopts vcodec=mpeg4:vbitrate=1000:vhq:vqmin=1:vqmax=31:autoaspect=1 -ffourcc DX50 -of lavf -lavfopts i_certify_that_my_video_stream_does_not_use_b_frames:format=avi -sws 2 -af volume=+0db:0:channels=2 -ofps 25.000000 -endpos 9:0:0 0 -1"
dvd_options="-oac lavc -ovc lavc -of mpeg -lavcopts vcodec=mpeg2video:keyint=18:vrc_buf_size=1835:vrc_maxrate=9400:vbitrate=3000:acodec=ac3:abitrate=224:autoaspect=1:aspect=16/9 -mpegopts format=dvd -af volume=+0db:0:lavcresample=48000 -srate 48000 -ofps 30000/1001 -vf scale=-3:480,harddup,expand=720:480 -endpos 9:0:0 0 -1"
mp4_options="-oac lavc -ovc lavc -lavcopts vcodec=libx264:crf=23:preset=veryfast:acodec=aac:abitrate=160:autoaspect=1 -of lavf -lavfopts format=mp4 -af volume=+0db:0:channels=2 -ofps 1000.000000 -vf scale=-3:720,harddup,expand=1280:720 -endpos 9:0:0 0 -1"
h265_options="-oac lavc -ovc lavc -lavcopts vcodec=libx265:crf=28:preset=ultrafast:acodec=aac:abitrate=160:autoaspect=1 -of lavf -lavfopts format=mp4 -af volume=+0db:0:channels=2 -ofps 1000.000000 -vf scale=-3:720,harddup,expand=1280:720 -endpos 9:0:0 0 -1"
mp4same_options="-oac lavc -ovc lavc -lavcopts vcodec=libx264:crf=23:preset=veryfast:acodec=aac:abitrate=160:autoaspect=1 -of lavf -lavfopts format=mp4 -af volume=+0db:0:channels=2 -ofps 1000.000000 -endpos 9:0:0 0 -1"
h265same_options="-oac lavc -ovc lavc -lavcopts vcodec=libx265:crf=28:preset=ultrafast:acodec=aac:abitrate=160:autoaspect=1 -of lavf -lavfopts format=mp4 -af volume=+0db:0:channels=2 -ofps 1000.000000 -endpos 9:0:0 0 -1"
mkv_options="-oac lavc -ovc lavc -lavcopts vcodec=libx264:crf=23:preset=veryfast:acodec=aac:abitrate=160:autoaspect=1 -of lavf -lavfopts format=matroska -af volume=+0db:0:channels=2 -ofps 1000.000000 -vf scale=-3:720,harddup,expand=1280:720 -endpos 9:0:0 0 -1"
webm_options="-oac lavc -ovc lavc -lavcopts vcodec=libsvtav1:crf=46:preset=11:acodec=opus:autoaspect=1 -of lavf -lavfopts format=webm -af volume=+0db:0:channels=6 -ofps 1000.000000 -vf scale=-3:720,harddup,expand=1280:720 -endpos 9:0:0 0 -1"
wmv_options="-oac lavc -ovc lavc -lavcopts vcodec=wmv2:acodec=wmav2:vqscale=16:abitrate=128:autoaspect=1 -of lavf -lavfopts i_certify_that_my_video_stream_does_not_use_b_frames:format=wmv -sws 2 -af volume=+0db:0:channels=2 -srate 44100 -ofps 1000.000000 -endpos 9:0:0 0 -1"

ff="ffmpeg -nostdin -hide_banner -loglevel error -y -i $source"
avi_ffmpeg="$ff -c:v mpeg4 -g 250 -b:v 1000k -mbd rd -qmin 1 -qmax 31 -vtag DX50 -r 25 -sws_flags bicubic -af volume=0dB -c:a libmp3lame -abr 1 -b:a 128k -ac 2 -f avi"
dvd_ffmpeg="$ff -vf scale=540:480,pad=720:480:90:0 -r 30000/1001 -c:v mpeg2video -b:v 3000k -maxrate 9400k -bufsize 1835k -g 18 -aspect 16:9 -af volume=0dB -c:a ac3 -b:a 224k -ar 48000 -f dvd -muxrate 10080000 -packetsize 2048"
mp4_ffmpeg="$ff -vf scale=960:720:flags=bicubic,pad=1280:720:160:0 -fps_mode passthrough -c:v libx264 -preset veryfast -crf 23 -profile:v high -pix_fmt yuv420p -af volume=0dB -c:a aac -b:a 160k -ac 2 -movflags +faststart -f mp4"
h265_ffmpeg="$ff -vf scale=960:720:flags=bicubic,pad=1280:720:160:0 -fps_mode passthrough -c:v libx265 -preset ultrafast -crf 28 -profile:v main -x265-params log-level=error -pix_fmt yuv420p -af volume=0dB -c:a aac -b:a 160k -ac 2 -movflags +faststart -f mp4"
mp4same_ffmpeg="$ff -fps_mode passthrough -c:v libx264 -preset veryfast -crf 23 -profile:v high -pix_fmt yuv420p -af volume=0dB -c:a aac -b:a 160k -ac 2 -movflags +faststart -f mp4"
h265same_ffmpeg="$ff -fps_mode passthrough -c:v libx265 -preset ultrafast -crf 28 -profile:v main -x265-params log-level=error -pix_fmt yuv420p -af volume=0dB -c:a aac -b:a 160k -ac 2 -movflags +faststart -f mp4"
mkv_ffmpeg="$ff -vf scale=960:720:flags=bicubic,pad=1280:720:160:0 -fps_mode passthrough -c:v libx264 -preset veryfast -crf 23 -profile:v high -pix_fmt yuv420p -af volume=0dB -c:a aac -b:a 160k -ac 2 -f matroska"
# kelvoenc gives SVT-AV1 the picture's colour tags and a keyframe every 5 s.
webm_ffmpeg="$ff -vf scale=960:720:flags=bicubic,pad=1280:720:160:0 -fps_mode passthrough -c:v libsvtav1 -preset 11 -crf 46 -g 125 -svtav1-params color-primaries=6:transfer-characteristics=6:matrix-coefficients=6 -pix_fmt yuv420p -af volume=0dB -c:a libopus -b:a 128k -ac 2 -f webm"
wmv_ffmpeg="$ff -c:v wmv2 -g 250 -q:v 16 -fps_mode passthrough -sws_flags bicubic -af volume=0dB -c:a wmav2 -b:a 128k -ar 44100 -ac 2 -f asf"

echo "30 s 640x480 source, median of $runs runs on $(nproc) cores; baseline: the ffmpeg command line"
echo "load average before the runs: $(cut -d' ' -f1-3 /proc/loadavg) (ratios are only meaningful on an idle machine)"
printf '%-16s %10s %10s %7s %10s %10s %7s %11s %11s %9s %11s %9s %11s %9s\n' format "kelvoenc s" "ffmpeg s" speed \
  "kelvoenc cpu" "ffmpeg cpu" cpu "cpu spread" "kelvoenc kB" "kbit/s" "ffmpeg kB" "kbit/s" "kelvoenc MB" "ffmpeg MB"
# SVT-AV1 says only its errors, for both.
export SVT_LOG=1
for format in ${FORMATS:-avi dvd wmv mp4 h265 mp4same h265same mkv webm}; do
  eval "options=\$${format}_options"
  eval "reference=\$${format}_ffmpeg"
  extension=$format
  [ "$format" = dvd ] && extension=vob
  case $format in mp4* | h265*) extension=mp4 ;; esac
  ours_seconds= ours_cpu= ours_kb=0 their_seconds= their_cpu= their_kb=0 turns=
  # Alternate the two so that a change in the machine's load hits both alike.
  i=0
  while [ "$i" -lt "$runs" ]; do
    rm -f "$work/$format".*
    # shellcheck disable=SC2086 # the option texts are meant to be split
    set -- $(time_once "$kelvoenc" "$source" -o "$work/$format.$extension" $options)
    ours_seconds="$ours_seconds $1" ours_cpu="$ours_cpu $2" ours_kb=$(larger "$3" "$ours_kb") turn_cpu=$2
    # shellcheck disable=SC2086
    set -- $(time_once $reference "$work/$format.ref.$extension")
    their_seconds="$their_seconds $1" their_cpu="$their_cpu $2" their_kb=$(larger "$3" "$their_kb")
    turns="$turns $(ratio "$2" "$turn_cpu")"
    i=$((i + 1))
  done
  ours_mb=$((ours_kb / 1024)) their_mb=$((their_kb / 1024))
  # shellcheck disable=SC2086 # one number per run
  {
    ours_seconds=$(median $ours_seconds) their_seconds=$(median $their_seconds)
    ours_cpu=$(median $ours_cpu) their_cpu=$(median $their_cpu) turns=$(spread $turns)
  }
  speed=$(ratio "$their_seconds" "$ours_seconds") cpu=$(ratio "$their_cpu" "$ours_cpu")
  case $format in
    avi) label="AVI DivX+MP3" ;;
    dvd) label="DVD NTSC" ;;
    wmv) label="WMV" ;;
    mp4) label="MP4 H.264 720p" ;;
    h265) label="MP4 H.265 720p" ;;
    mp4same) label="MP4 H.264 640x480" ;;
    h265same) label="MP4 H.265 640x480" ;;
    mkv) label="MKV H.264 720p" ;;
    webm) label="WebM AV1 720p" ;;
  esac
  # shellcheck disable=SC2046 # two numbers each
  set -- $(output_size "$work/$format.$extension") $(output_size "$work/$format.ref.$extension")
  printf '%-16s %10s %10s %6sx %10s %10s %6sx %11s %11s %9s %11s %9s %11s %9s\n' "$label" "$ours_seconds" \
    "$their_seconds" "$speed" "$ours_cpu" "$their_cpu" "$cpu" "$turns" "$1" "$2" "$3" "$4" "$ours_mb" "$their_mb"
done

# Very large pictures: peak memory of the same AVI job on a 4K clip.
large=$work/large.mp4
ffmpeg -nostdin -hide_banner -loglevel error \
  -f lavfi -i testsrc2=size=3840x2160:rate=25:duration=3 -f lavfi -i "sine=frequency=440:duration=3" \
  -map 0:v -map 1:a -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac "$large"
# shellcheck disable=SC2086
set -- $(time_once "$kelvoenc" "$large" -o "$work/large.avi" $avi_options)
ours_kb=$3
# shellcheck disable=SC2086
set -- $(time_once $(echo "$avi_ffmpeg" | sed "s|$source|$large|") "$work/large.ref.avi")
their_kb=$3
echo
echo "3 s 3840x2160 source to AVI DivX+MP3; baseline: the ffmpeg command line's peak memory"
printf '%-14s %11s %9s %11s %9s %11s %9s %7s\n' format "kelvoenc kB" "kbit/s" "ffmpeg kB" "kbit/s" \
  "kelvoenc MB" "ffmpeg MB" memory
# shellcheck disable=SC2046 # two numbers each
set -- $(output_size "$work/large.avi" 3) $(output_size "$work/large.ref.avi" 3)
printf '%-14s %11s %9s %11s %9s %11s %9s %6sx\n' "4K AVI" "$1" "$2" "$3" "$4" $((ours_kb / 1024)) \
  $((their_kb / 1024)) "$(echo "$ours_kb $their_kb" | awk '{ printf "%.2f", $1 / $2 }')"
