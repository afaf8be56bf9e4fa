# Sourced by the bench scripts: make_clip SECONDS OUTPUT writes a 640x480,
# 25 fps MPEG-4 clip with MP2 sound made from ffmpeg's test sources.
make_clip() {
  ffmpeg -nostdin -hide_banner -loglevel error -y \
    -f lavfi -i "testsrc2=size=640x480:rate=25:duration=$1" \
    -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=$1" \
    -map 0:v -map 1:a -c:v mpeg4 -q:v 4 -c:a mp2 "$2"
}
