#!/bin/sh
# Generates the encoder suite's source clips into FOLDER, once.
# Usage: make_fixtures.sh FOLDER
# Every clip is short and small so the whole suite stays fast; each one
# is written under a temporary name and renamed, so an interrupted run
# never leaves a half-made clip that a later run would take as done.
set -eu

folder=$1
stamp="$folder/.complete"
script_sum=$(cksum < "$0")
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$script_sum" ]; then
  exit 0
fi
mkdir -p "$folder"
rm -f "$stamp"

ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }

# clip NAME FORMAT SIZE RATE SECONDS AUDIO_SOURCE [encoder options...]
# AUDIO_SOURCE is a lavfi audio graph, or "none".
clip() {
  name=$1 format=$2 size=$3 rate=$4 seconds=$5 audio=$6
  shift 6
  video="testsrc2=size=$size:rate=$rate:duration=$seconds${VIDEO_TAIL:-}"
  target="$folder/$name"
  partial="$folder/partial-$name"
  if [ "$audio" = none ]; then
    ff -f lavfi -i "$video" "$@" -f "$format" "$partial"
  else
    ff -f lavfi -i "$video" \
       -f lavfi -i "$audio" -map 0:v -map 1:a "$@" -f "$format" "$partial"
  fi
  mv "$partial" "$target"
}

sine() { echo "sine=frequency=440:sample_rate=$1:duration=$2"; }
stereo() { echo "aevalsrc=0.25*sin(440*2*PI*t)|0.25*sin(660*2*PI*t):sample_rate=$1:duration=$2"; }
surround() { echo "aevalsrc=0.2*sin(440*2*PI*t)|0.2*sin(550*2*PI*t)|0.2*sin(660*2*PI*t)|0.2*sin(60*2*PI*t)|0.2*sin(770*2*PI*t)|0.2*sin(880*2*PI*t):channel_layout=5.1:sample_rate=48000:duration=$1"; }

# The containers the open dialog offers.
clip sample.avi avi 320x240 25 3 "$(stereo 44100 3)" -c:v mpeg4 -q:v 5 -c:a libmp3lame -b:a 128k
clip sample.divx avi 320x240 25 3 "$(stereo 44100 3)" -c:v mpeg4 -vtag DX50 -q:v 5 -c:a libmp3lame -b:a 128k
clip sample.xvid avi 320x240 25 3 "$(stereo 48000 3)" -c:v libxvid -q:v 5 -c:a libmp3lame -b:a 128k
clip sample.mpg mpeg 320x240 25 3 "$(stereo 44100 3)" -c:v mpeg1video -b:v 1000k -c:a mp2 -b:a 192k
clip sample.mpeg mpeg 320x240 30000/1001 3 "$(stereo 48000 3)" -c:v mpeg2video -b:v 1500k -c:a mp2 -b:a 192k
clip sample.dat vcd 352x240 24000/1001 3 "$(stereo 44100 3)" -c:v mpeg1video -b:v 1150k -c:a mp2 -b:a 224k
clip sample.wmv asf 320x240 25 3 "$(stereo 44100 3)" -c:v wmv2 -q:v 5 -c:a wmav2 -b:a 128k
clip sample.asf asf 320x240 15 3 "$(sine 22050 3)" -c:v msmpeg4 -q:v 5 -c:a wmav1 -b:a 64k
clip sample.rm rm 320x240 25 3 "$(stereo 48000 3)" -c:v rv10 -b:v 800k -c:a ac3 -b:a 192k
clip sample.rmvb rm 320x240 25 3 "$(stereo 44100 3)" -c:v rv20 -b:v 800k -c:a ac3 -b:a 192k
clip sample.mov mov 320x240 25 3 "$(stereo 48000 3)" -c:v mpeg4 -q:v 5 -c:a aac -b:a 128k
clip sample.qt mov 320x240 30000/1001 3 "$(stereo 44100 3)" -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -b:a 128k
clip sample.3gp 3gp 176x144 15 3 "$(sine 8000 3)" -c:v h263 -b:v 128k -c:a aac -b:a 24k
clip sample.3g2 3g2 176x144 15 3 "$(sine 16000 3)" -c:v h263 -b:v 128k -c:a aac -b:a 32k
clip sample.mp4 mp4 320x240 25 3 "$(stereo 48000 3)" -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -b:a 128k
clip sample.m4v mp4 320x240 24 3 "$(stereo 44100 3)" -c:v mpeg4 -q:v 5 -c:a aac -b:a 128k
clip sample.flv flv 320x240 25 3 "$(sine 22050 3)" -c:v flv1 -q:v 5 -c:a libmp3lame -b:a 64k

# A film with three sound tracks, each its own tone: English (played first),
# German, and a French commentary with a title; three named chapters; an
# English subtitle track of its own, forced, and a French one with a style
# of its own (yellow, at the top); an Italian picture subtitle as DVB
# broadcasts send them, a white bar near the bottom of their 720x576
# canvas, and the same bar as a Spanish DVD subtitle; a font for its styled
# subtitles; and beside it a German subtitle file written in Latin-1, as
# old ones are. The picture subtitle is drawn with spumux onto a DVD
# stream, which ffmpeg also turns into DVB's form.
printf '1\n00:00:00,500 --> 00:00:02,500\nHELLO THERE\n\n' > "$folder/english.srt"
printf '[Script Info]\nScriptType: v4.00+\nPlayResX: 320\nPlayResY: 240\n\n[V4+ Styles]\nFormat: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, OutlineColour, BackColour, Bold, Italic, Underline, StrikeOut, ScaleX, ScaleY, Spacing, Angle, BorderStyle, Outline, Shadow, Alignment, MarginL, MarginR, MarginV, Encoding\nStyle: Default,DejaVu Sans,20,&H0000FFFF,&H000000FF,&H00000000,&H00000000,0,0,0,0,100,100,0,0,1,2,0,8,10,10,10,1\n\n[Events]\nFormat: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\nDialogue: 0,0:00:01.00,0:00:02.00,Default,,0,0,0,,{\\i1}Bonjour{\\i0} en haut\n' > "$folder/styled.ass"
printf ';FFMETADATA1\n[CHAPTER]\nTIMEBASE=1/1000\nSTART=0\nEND=1000\ntitle=Anfang\n[CHAPTER]\nTIMEBASE=1/1000\nSTART=1000\nEND=2000\ntitle=Mitte\n[CHAPTER]\nTIMEBASE=1/1000\nSTART=2000\nEND=3000\ntitle=Ende\n' \
  > "$folder/chapters.txt"
ff -f lavfi -i "color=c=black:s=400x40,drawbox=x=4:y=4:w=392:h=32:color=white:t=fill" -frames:v 1 \
   -pix_fmt rgb24 "$folder/bar.png"
printf '<subpictures format="PAL"><stream><spu start="00:00:01.00" end="00:00:02.00" image="%s" transparent="000000" force="yes" xoffset="160" yoffset="480"/></stream></subpictures>\n' \
  "$folder/bar.png" > "$folder/bar.xml"
ff -f lavfi -i "color=c=gray:s=720x576:rate=25:duration=3" -c:v mpeg2video -f dvd "$folder/gray.mpg"
spumux -m dvd "$folder/bar.xml" < "$folder/gray.mpg" > "$folder/bar.mpg" 2>/dev/null
ff -i "$folder/bar.mpg" -map 0:v -map 0:s -map 0:s -c:v mpeg4 -c:s:0 dvbsub -c:s:1 copy -f matroska "$folder/bar.mkv"
ff -f lavfi -i "testsrc2=size=320x240:rate=25:duration=3" -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=3" \
   -f lavfi -i "sine=frequency=660:sample_rate=48000:duration=3" -f lavfi -i "sine=frequency=880:sample_rate=48000:duration=3" \
   -i "$folder/chapters.txt" -i "$folder/english.srt" -i "$folder/styled.ass" -i "$folder/bar.mkv" \
   -map 0:v -map 1:a -map 2:a -map 3:a -map 5:s -map 6:s -map 7:s:0 -map 7:s:1 -map_chapters 4 \
   -attach /usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf -metadata:s:t mimetype=application/x-truetype-font \
   -metadata:s:a:0 language=eng -metadata:s:a:1 language=deu -metadata:s:a:2 language=fra \
   -metadata:s:a:2 title=Kommentar -disposition:a:0 default -disposition:a:1 0 -disposition:a:2 0 \
   -metadata:s:s:0 language=eng -metadata:s:s:0 title=English -disposition:s:0 forced \
   -metadata:s:s:1 language=fra -metadata:s:s:1 title=Styled -disposition:s:1 0 \
   -metadata:s:s:2 language=ita -disposition:s:2 0 -metadata:s:s:3 language=spa -disposition:s:3 0 \
   -c:v mpeg4 -q:v 5 -c:a mp2 -c:s:0 srt -c:s:1 ass -c:s:2 copy -c:s:3 copy -f matroska "$folder/partial-tracks.mkv"
printf '1\n00:00:00,500 --> 00:00:02,500\nGr\374\337e aus K\366ln\n\n' > "$folder/tracks.de.srt"
mv "$folder/partial-tracks.mkv" "$folder/tracks.mkv"
rm "$folder/chapters.txt" "$folder/english.srt" "$folder/styled.ass" "$folder/bar.png" "$folder/bar.xml" \
   "$folder/gray.mpg" "$folder/bar.mpg" "$folder/bar.mkv"

# Sources that break naive code.
# testsrc2 draws in 4:2:0 and would round an odd size down; RGB keeps it.
VIDEO_TAIL=,format=rgb24
clip odd-size.avi avi 321x241 25 3 "$(stereo 44100 3)" -c:v mpeg4 -q:v 5 -c:a libmp3lame -b:a 128k
VIDEO_TAIL=
clip surround.mp4 mp4 320x240 25 3 "$(surround 3)" -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -b:a 256k
# Loud surround sound, every channel near full scale and in phase: the worst
# case for a mix down to fewer channels.
loud() { echo "aevalsrc=0.9*sin(440*2*PI*t):channel_layout=$1:sample_rate=48000:duration=$2"; }
clip loud-5.1.mkv matroska 160x120 25 2 "$(loud 5.1 2)" -c:v mpeg4 -q:v 5 -c:a pcm_s16le
clip loud-7.1.mkv matroska 160x120 25 2 "$(loud 7.1 2)" -c:v mpeg4 -q:v 5 -c:a pcm_s16le
clip silent.avi avi 320x240 25 3 none -c:v mpeg4 -q:v 5
clip fast.mp4 mp4 320x240 60 2 "$(stereo 44100 2)" -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -b:a 128k
clip slow.avi avi 320x240 12 3 "$(stereo 44100 3)" -c:v mpeg4 -q:v 5 -c:a libmp3lame -b:a 128k
# One-second clips for sweeping every preset.
clip tiny-mono.avi avi 160x120 25 1 "$(sine 22050 1)" -c:v mpeg4 -q:v 5 -c:a libmp3lame -b:a 64k
clip tiny-surround.mp4 mp4 160x120 25 1 "$(surround 1)" \
  -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -b:a 256k
# Picture shapes, with noise so that encoders have to spend their bits: a
# square-pixel 4:3 and 16:9 source, an anamorphic 16:9 PAL one, a larger
# clip for measuring sizes, and a longer one for bitrates (single-pass rate
# control needs several seconds to settle on its target).
VIDEO_TAIL=,noise=alls=12:allf=t
clip square-4x3.avi avi 320x240 25 1 "$(stereo 44100 1)" -c:v mpeg4 -q:v 3 -c:a libmp3lame -b:a 128k
clip square-16x9.avi avi 480x270 25 1 "$(stereo 44100 1)" -c:v mpeg4 -q:v 3 -c:a libmp3lame -b:a 128k
clip anamorphic-pal.mpg dvd 720x576 25 1 "$(stereo 48000 1)" -c:v mpeg2video -b:v 4000k -aspect 16:9 \
  -c:a mp2 -b:a 192k
VIDEO_TAIL=,noise=alls=4:allf=t
clip noisy.avi avi 640x480 25 2 "$(stereo 44100 2)" -c:v mpeg4 -q:v 2 -c:a libmp3lame -b:a 128k
clip noisy-long.avi avi 640x480 25 10 "$(stereo 44100 10)" -c:v mpeg4 -q:v 2 -c:a libmp3lame -b:a 128k
VIDEO_TAIL=
clip anamorphic.vob dvd 720x480 30000/1001 2 "$(stereo 48000 2)" -c:v mpeg2video -b:v 4000k -aspect 16:9 -c:a ac3 -b:a 192k

# Bad and odd inputs.
: > "$folder/empty.avi"
head -c 200000 /dev/urandom > "$folder/noise.avi"
printf 'This is a plain text file, not a video.\n' > "$folder/notes.mpg"
clip_audio_only() {
  ff -f lavfi -i "$(stereo 44100 3)" -c:a libmp3lame -b:a 128k "$folder/partial-tone.mp3"
  mv "$folder/partial-tone.mp3" "$folder/tone.mp3"
}
clip_audio_only
# Cut short: a program stream, and an AVI that loses its index.
cut() {
  size=$(wc -c < "$folder/$1")
  head -c $((size * $2 / 100)) "$folder/$1" > "$folder/$3"
}
cut sample.mpg 55 cut.mpg
cut sample.avi 60 cut.avi
# A Matroska file states its length up front; cut to a third, it ends
# clearly short of it.
ff -i "$folder/sample.avi" -c copy -f matroska "$folder/partial-whole.mkv"
mv "$folder/partial-whole.mkv" "$folder/whole.mkv"
cut whole.mkv 36 cut.mkv
rm "$folder/whole.mkv"

# Damaged sources: each once made kelvoenc report success for a partial or
# runaway output, or read what it should not.
# A single picture that lasts a millisecond.
clip one-frame.mp4 mp4 320x240 1000 0.001 none -c:v mpeg4 -q:v 5
# Two pieces joined end to end: the second one's timestamps restart.
joined() {
  clip "piece-$1" "$2" 320x240 25 3 "$(stereo 44100 3)" -c:v mpeg2video -b:v 1000k -c:a mp2 -b:a 192k
  cat "$folder/piece-$1" "$folder/piece-$1" > "$folder/partial-joined-$1"
  rm "$folder/piece-$1"
  mv "$folder/partial-joined-$1" "$folder/joined-$1"
}
joined pieces.ts mpegts
joined pieces.mpg mpeg
# One picture's timestamp 1500 s late; from the 30th picture on, 12000 s late.
retime() {
  ff -i "$folder/$1" -c copy -bsf:v "setts=$2" -f "$3" "$folder/partial-$4"
  mv "$folder/partial-$4" "$folder/$4"
}
retime sample.mpg 'pts=if(eq(N\,20)\,PTS+1500*90000\,PTS)' mpeg jump.mpg
retime sample.mpg 'pts=if(eq(N\,20)\,PTS+1500*90000\,PTS):dts=if(eq(N\,20)\,DTS+1500*90000\,DTS)' mpeg squeezed.mpg
retime sample.flv 'ts=if(gte(N\,30)\,TS+12000000\,TS)' flv jump.flv
# A line while the pictures after the jump are on, in their own time.
printf '1\n03:20:01,500 --> 03:20:02,500\nAFTER THE JUMP\n\n' > "$folder/jump.srt"
# An AVI header that claims one picture every eleven days and a half.
slow_rate() {
  cp "$folder/sample.avi" "$folder/partial-slow-rate.avi"
  header=$(grep -obUa vids "$folder/partial-slow-rate.avi" | head -n 1 | sed "s/:.*//")
  printf '\100\102\017\000\001\000\000\000' |
    dd of="$folder/partial-slow-rate.avi" bs=1 seek=$((header + 20)) conv=notrunc 2>/dev/null
  mv "$folder/partial-slow-rate.avi" "$folder/slow-rate.avi"
}
slow_rate
# A codec nobody knows.
LC_ALL=C sed 's/FMP4/ZQ9X/g' "$folder/sample.avi" > "$folder/unknown-fourcc.avi"
# Lists of other files dressed up as videos, naming real clips.
printf '#EXTM3U\n#EXT-X-TARGETDURATION:6\n#EXTINF:6,\n%s\n#EXT-X-ENDLIST\n' "$folder/joined-pieces.ts" > "$folder/playlist.avi"
printf 'ffconcat version 1.0\nfile sample.avi\n' > "$folder/filelist.avi"
# A named pipe: opening it would wait for a writer forever.
rm -f "$folder/fifo.avi"
mkfifo "$folder/fifo.avi"
# Sound that goes on for seven seconds after the last picture.
clip short-picture.avi avi 160x120 25 3 "$(sine 22050 10)" -c:v mpeg4 -q:v 5 -c:a libmp3lame -b:a 64k
# Twenty seconds, for reads that fail or end a third of the way in.
clip long.avi avi 160x120 25 20 "$(sine 22050 20)" -c:v mpeg4 -q:v 5 -c:a libmp3lame -b:a 64k

# Sources people really have.
# A screen recording whose picture stands still for seven seconds (after the
# third second) while the sound goes on: 14 seconds in all.
VIDEO_TAIL=
clip held-picture.mp4 mp4 320x240 25 7 "$(sine 44100 14)" -c:v mpeg4 -q:v 5 -c:a aac -b:a 64k \
  -video_track_timescale 1000 -bsf:v 'setts=ts=if(gte(N\,75)\,TS+7000\,TS)'
# A slideshow: one picture every ten seconds, with sound throughout.
clip slideshow.mkv matroska 320x240 1/10 30 "$(sine 44100 30)" -c:v mpeg4 -q:v 5 -c:a libvorbis
# A stream-copied broadcast recording whose timestamps start at 20,000 s.
clip late-start.mkv matroska 160x120 25 3 "$(sine 44100 3)" -c:v mpeg4 -q:v 5 -c:a mp2 -output_ts_offset 20000
# TV recordings whose sound changes midway: 2.0 to 5.1, 5.1 to 2.0, and
# 44.1 to 48 kHz, three seconds each side. Raw AC3 and MP2 join end to end.
sound_piece() {
  ff -f lavfi -i "$2" -c:a "$3" -f "$3" "$folder/$1"
}
sound_piece two.ac3 "$(stereo 48000 3)" ac3
sound_piece six.ac3 "$(surround 3)" ac3
sound_piece low.mp2 "$(stereo 44100 3)" mp2
sound_piece high.mp2 "$(stereo 48000 3)" mp2
changing_sound() {
  cat "$folder/$2" "$folder/$3" > "$folder/joined-$1"
  ff -f lavfi -i testsrc2=size=320x240:rate=25:duration=6 -i "$folder/joined-$1" -c:v mpeg2video -b:v 1000k \
     -c:a copy -f mpegts "$folder/partial-$1"
  rm "$folder/joined-$1"
  mv "$folder/partial-$1" "$folder/$1"
}
changing_sound stereo-to-surround.ts two.ac3 six.ac3
changing_sound surround-to-stereo.ts six.ac3 two.ac3
changing_sound rate-change.ts low.mp2 high.mp2
rm "$folder/two.ac3" "$folder/six.ac3" "$folder/low.mp2" "$folder/high.mp2"
# A recording whose picture grows midway, 320x240 then 640x480, two seconds
# each, with a white box over the middle quarter of each.
for size in 320x240 640x480; do
  ff -f lavfi -i "color=gray:s=$size:r=25:d=2,drawbox=x=iw/4:y=ih/4:w=iw/2:h=ih/2:color=white:t=fill" \
     -c:v mpeg2video -q:v 3 -f mpegts "$folder/piece-$size.ts"
done
cat "$folder/piece-320x240.ts" "$folder/piece-640x480.ts" > "$folder/partial-size-change.ts"
rm "$folder/piece-320x240.ts" "$folder/piece-640x480.ts"
mv "$folder/partial-size-change.ts" "$folder/size-change.ts"
# Phone clips filmed upright and stored turned, with a display matrix that
# turns them back; the upright picture has a white top-left quarter.
turned() {
  ff -f lavfi -i "color=gray:s=240x320:r=25:d=1,drawbox=x=0:y=0:w=120:h=160:color=white:t=fill,$2" \
     -c:v mpeg4 -q:v 3 -f mp4 "$folder/stored-$1"
  ff -i "$folder/stored-$1" -c copy -metadata:s:v:0 rotate="$3" -f mp4 "$folder/partial-$1"
  rm "$folder/stored-$1"
  mv "$folder/partial-$1" "$folder/$1"
}
turned portrait-90.mp4 transpose=clock 90
turned portrait-180.mp4 hflip,vflip 180
turned portrait-270.mp4 transpose=cclock 270
# Mirrored ones: the track header's matrix (a b . c d . x y .) patched to
# mirror the stored picture back, as ffmpeg 5.1 cannot write it.
mirrored() {
  ff -f lavfi -i "color=gray:s=240x320:r=25:d=1,drawbox=x=0:y=0:w=120:h=160:color=white:t=fill,$2" \
     -c:v mpeg4 -q:v 3 -f mp4 "$folder/partial-$1"
  header=$(grep -obUa tkhd "$folder/partial-$1" | head -n 1 | sed "s/:.*//")
  printf "$3" | dd of="$folder/partial-$1" bs=1 seek=$((header + 44)) conv=notrunc 2>/dev/null
  mv "$folder/partial-$1" "$folder/$1"
}
one='\000\001\000\000' minus='\377\377\000\000' zero='\000\000\000\000'
mirrored mirrored.mp4 hflip "$minus$zero$zero$zero$one"
mirrored upside-down.mp4 vflip "$one$zero$zero$zero$minus"
mirrored transposed.mp4 transpose=cclock_flip "$zero$one$zero$one$zero"
mirrored transposed-back.mp4 transpose=clock_flip "$zero$minus$zero$minus$zero"
# Containers that keep timestamps in milliseconds, at common rates.
# (clip sets name and rate itself.)
for each_rate in 12 15 24000/1001 30; do
  rate_name=rate-$(echo "$each_rate" | tr / -)
  clip "$rate_name.wmv" asf 160x120 "$each_rate" 1 none -c:v wmv2 -q:v 5
  clip "$rate_name.flv" flv 160x120 "$each_rate" 1 none -c:v flv1 -q:v 5
  clip "$rate_name.mkv" matroska 160x120 "$each_rate" 1 none -c:v mpeg4 -q:v 5
done

# Third round: inputs that once crashed the encoder, lost the sound players
# play, or broke the timing.
# A phone clip turned by its display matrix whose picture shrinks halfway
# (the upright picture's white quarter stays at the top left).
shrinking() {
  for size in 240x320 120x160; do
    ff -f lavfi -i "color=gray:s=$size:r=25:d=1,drawbox=x=0:y=0:w=iw/2:h=ih/2:color=white:t=fill,hflip,vflip" \
       -c:v libx264 -preset ultrafast -pix_fmt yuv420p -f h264 "$folder/piece-$size.h264"
  done
  cat "$folder/piece-240x320.h264" "$folder/piece-120x160.h264" > "$folder/pieces.h264"
  ff -r 25 -i "$folder/pieces.h264" -c copy -metadata:s:v:0 rotate=180 -f mp4 "$folder/partial-shrinking-180.mp4"
  rm "$folder/piece-240x320.h264" "$folder/piece-120x160.h264" "$folder/pieces.h264"
  mv "$folder/partial-shrinking-180.mp4" "$folder/shrinking-180.mp4"
}
shrinking
# Wider than an MPEG-4 frame can be, and 1080 noisy interlaced pictures.
clip wide-8192.mkv matroska 8192x16 25 0.2 none -c:v ffv1
VIDEO_TAIL=,noise=alls=100:allf=t
clip interlaced-1080.ts mpegts 1920x1080 25 0.2 none -c:v mpeg2video -flags +ildct+ilme -b:v 8000k
VIDEO_TAIL=
# Sound tracks players skip: a transport stream's first audio PID without
# packets, a commentary that is not the default, one nobody can decode; the
# track players choose is at 880 Hz. And 64 channels without a layout.
two_tracks() {
  name=$1 format=$2
  shift 2
  ff -f lavfi -i testsrc2=size=160x120:rate=25:duration=2 -f lavfi -i sine=frequency=440:duration=2 \
     -f lavfi -i sine=frequency=880:duration=2 -map 0:v -map 1:a -map 2:a "$@" -f "$format" "$folder/partial-$name"
  mv "$folder/partial-$name" "$folder/$name"
}
two_tracks empty-pid.ts mpegts -c:v mpeg2video -c:a mp2 -bsf:a:0 noise=dropamount=1
two_tracks commentary-first.mkv matroska -c:v mpeg4 -c:a aac -disposition:a:0 0 \
  -metadata:s:a:0 title=Commentary -disposition:a:1 default
two_tracks mp2-then-aac.mkv matroska -c:v mpeg4 -c:a:0 mp2 -c:a:1 aac
LC_ALL=C sed 's/A_MPEG\/L2/A_ZQ9X\/L2/' "$folder/mp2-then-aac.mkv" > "$folder/undecodable-first.mkv"
rm "$folder/mp2-then-aac.mkv"
channels64=$(for i in $(seq 64); do printf '0.1*sin(440*2*PI*t)|'; done)
clip 64-channels.mkv matroska 160x120 25 1 "aevalsrc=${channels64%|}:sample_rate=8000:duration=1" \
  -c:v mpeg4 -c:a pcm_u8
# Every 25th picture repeats the timestamp of the one before.
clip repeated-stamp.mkv matroska 160x120 25 10 "$(sine 44100 10)" -c:v mpeg4 -q:v 5 -c:a aac \
  -bsf:v 'setts=ts=if(eq(mod(N\,25)\,24)\,PREV_INPTS\,TS)'
# Two recordings joined, each with sound half a second longer than its
# picture, and a flash with a beep one second in.
ff -f lavfi -i "color=black:size=160x120:rate=25:duration=3,drawbox=color=white:t=fill:enable='between(n,25,25)'" \
   -f lavfi -i "aevalsrc=0.5*sin(1000*2*PI*t)*between(t\,1\,1.1):sample_rate=44100:duration=3.5" \
   -c:v mpeg2video -b:v 1000k -c:a mp2 -f mpegts "$folder/piece-longer-sound.ts"
cat "$folder/piece-longer-sound.ts" "$folder/piece-longer-sound.ts" > "$folder/joined-longer-sound.ts"
rm "$folder/piece-longer-sound.ts"
clip fast-2000.mp4 mp4 64x64 2000 0.5 "$(sine 44100 0.5)" -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac
# Long in time, small in bytes: ten hours of a picture every 20 seconds, and
# sound with a twenty-minute hole.
ff -f lavfi -i color=black:size=64x64:rate=1/20:duration=36000 -c:v mpeg4 -q:v 5 -f matroska "$folder/partial-ten-hours.mkv"
mv "$folder/partial-ten-hours.mkv" "$folder/ten-hours.mkv"
clip sound-hole.mkv matroska 64x64 1/5 1202 "$(sine 48000 2)" -c:v mpeg4 -q:v 5 -c:a aac -ac 2 \
  -bsf:a 'setts=ts=if(gte(TS\,1000)\,TS+1200000\,TS)'
# Twenty seconds of testsrc2, a keyframe every 2.4
# seconds, and a white flash with a beep at 12 seconds: cut from 10 seconds.
beep_at_12="aevalsrc=0.5*sin(1000*2*PI*t)*between(t\\,12\\,12.1):sample_rate=44100:duration=20"
VIDEO_TAIL=",drawbox=color=white:t=fill:enable='between(n,300,300)'" \
  clip clock.avi avi 320x240 25 20 "$beep_at_12" -c:v mpeg4 -q:v 4 -g 60 -c:a libmp3lame -b:a 128k
VIDEO_TAIL=",drawbox=color=white:t=fill:enable='between(n,300,300)'" \
  clip clock.vob vob 320x240 25 20 "$beep_at_12" -c:v mpeg2video -b:v 1500k -maxrate 3000k -bufsize 1835k \
  -g 60 -c:a mp2 -b:a 192k
# A 2.35:1 picture between black bars in a 16:9 frame; the same with a dark
# scene (its top rows black) at a third of it; a 4:3 picture between black
# pillars in a 16:9 frame.
VIDEO_TAIL=",pad=640:360:0:44:black" clip letterboxed.mp4 mp4 640x272 25 6 none -c:v libx264 -pix_fmt yuv420p
VIDEO_TAIL=",drawbox=x=0:y=0:w=iw:h=120:color=black:t=fill:enable='between(t,1.8,2.4)',pad=640:360:0:44:black" \
  clip dark-scene.mp4 mp4 640x272 25 6 none -c:v libx264 -pix_fmt yuv420p
VIDEO_TAIL=",pad=640:360:80:0:black" clip pillarboxed.avi avi 480x360 25 3 none -c:v mpeg4 -q:v 3
# Half a second, and a recording without a stated length.
clip half-second.mp4 mp4 160x120 25 0.5 none -c:v mpeg4 -q:v 5


# Fourth round: pictures that are not progressive 8-bit SDR. A ramp from
# black to white: as an HLG phone clip (10-bit BT.2020, its white at HDR's
# reference white of 203 cd/m²), and in full range as VP9 keeps it; and
# DV footage panning fast, 576i bottom field first.
ramp="color=black:s=320x180:r=25:d=0.4,format=yuv420p,geq=lum='16+X*219/W':cb=128:cr=128"
hlg="zscale=tin=bt709:pin=bt709:min=bt709:rin=tv:t=arib-std-b67:p=bt2020:m=bt2020nc:r=tv:npl=203,format=yuv420p10le"
ff -f lavfi -i "$ramp,$hlg" -c:v libx265 -preset ultrafast -x265-params log-level=error \
   -color_primaries bt2020 -color_trc arib-std-b67 -colorspace bt2020nc -tag:v hvc1 -f mp4 "$folder/partial-hlg.mp4"
mv "$folder/partial-hlg.mp4" "$folder/hlg.mp4"
# The same as HDR10: PQ with its mastering display and light levels.
ff -f lavfi -i "$ramp,$(echo "$hlg" | sed s/arib-std-b67/smpte2084/)" -c:v libx265 -preset ultrafast \
   -x265-params "log-level=error:master-display=G(13250,34500)B(7500,3000)R(34000,16000)WP(15635,16450)L(10000000,1):max-cll=1000,400" \
   -color_primaries bt2020 -color_trc smpte2084 -colorspace bt2020nc -tag:v hvc1 -f mp4 "$folder/partial-pq.mp4"
mv "$folder/partial-pq.mp4" "$folder/pq.mp4"
ff -f lavfi -i "color=black:s=320x180:r=25:d=0.4,format=yuv420p,geq=lum='X*255/W':cb=128:cr=128" \
   -c:v libvpx-vp9 -deadline realtime -color_range pc -f webm "$folder/partial-full-range.webm"
mv "$folder/partial-full-range.webm" "$folder/full-range.webm"
ff -f lavfi -i "testsrc2=s=1440x576:r=50:d=0.4,crop=720:576:'t*1500':0,tinterlace=interleave_bottom,setfield=bff" -c:v dvvideo \
   -pix_fmt yuv420p -f avi "$folder/partial-dv.avi"
mv "$folder/partial-dv.avi" "$folder/dv.avi"
# A fast pan that starts progressive and turns interlaced (top field first)
# a second in, and one whose fields change from top first to bottom first.
pan_piece() {
  ff -f lavfi -i "testsrc2=s=1440x576:r=$2:d=1,crop=720:576:'t*1500':0$3" -c:v mpeg2video -b:v 6000k $4 \
     -f mpegts "$folder/$1"
}
pan_piece pan-progressive.ts 25 "" ""
pan_piece pan-tff.ts 50 ",tinterlace=interleave_top,setfield=tff" "-flags +ildct+ilme -top 1"
pan_piece pan-bff.ts 50 ",tinterlace=interleave_bottom,setfield=bff" "-flags +ildct+ilme -top 0"
joined_pans() {
  printf "file '%s'\n" "$folder/$2" "$folder/$3" > "$folder/pans.txt"
  ff -f concat -safe 0 -i "$folder/pans.txt" -c copy -f mpegts "$folder/partial-$1"
  mv "$folder/partial-$1" "$folder/$1"
}
joined_pans turns-interlaced.ts pan-progressive.ts pan-tff.ts
joined_pans field-order-changes.ts pan-tff.ts pan-bff.ts
rm "$folder/pans.txt" "$folder/pan-progressive.ts" "$folder/pan-tff.ts" "$folder/pan-bff.ts"
# A browser's recording: WebM written as it goes, so no length is stated,
# and noisy enough (1.5 MB) that slow media take more than 30 s to read it.
ff -f lavfi -i "testsrc=s=160x120:r=10:d=20,noise=alls=30:allf=t" -c:v libvpx -b:v 600k -f webm pipe:1 \
   > "$folder/partial-recorded.webm"
mv "$folder/partial-recorded.webm" "$folder/recorded.webm"

echo "$script_sum" > "$stamp"
