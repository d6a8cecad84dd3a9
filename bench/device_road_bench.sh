#!/usr/bin/env bash
# Measures the device road in real time with the release build: kstest captures from
# the virtual device (defaults, PAL, MPEG-1, 44.1 kHz, and the defaults with the audio
# and video preview), then plays a generated MPEG file into the device with both
# previews. For each run it prints what ffprobe reads, the frame count, the video bit
# rate, the wall time, the processor time (user + system) and the peak memory.
#
#   bench/device_road_bench.sh [SECONDS]     (default 60)
#
# The device's registry is a fresh one under build/bench, so the settings start at the
# device's defaults.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
if [ ! -x /usr/bin/time ]; then
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get install -y -qq time
fi
scripts/deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target kstest register_modules >/dev/null

work=$PWD/build/bench/device-road
rm -rf "$work"
mkdir -p "$work"
export MARVEK_REGISTRY=$work/registry.txt MARVEK_SYSTEM_REGISTRY=
build/release/marvek-register >/dev/null
kstest=build/release/testutility/kstest/kstest

# Runs kstest under /usr/bin/time; prints its own output, then "wall cpu peak".
timed() {
    local log=$work/time.log
    env -u DISPLAY -u WAYLAND_DISPLAY /usr/bin/time -f '%e %U %S %M' -o "$log" "$kstest" "$@"
    awk '{ printf "wall %.1f s, processor %.1f s (%.0f%% of a core), peak %.1f MiB\n",
                  $1, $2 + $3, ($2 + $3) * 100 / $1, $4 / 1024 }' "$log"
}

describe() {
    local file=$1
    ffprobe -v error -show_entries stream=codec_name,width,height,r_frame_rate,sample_rate,channels \
        -of compact=p=0 "$file" | tr '\n' ' '
    echo
    local frames bytes
    frames=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames \
        -of default=nw=1:nk=1 "$file")
    bytes=$(ffprobe -v error -select_streams v:0 -show_entries packet=size -of csv=p=0 "$file" |
        awk '{ total += $1 } END { print total }')
    awk -v f="$frames" -v b="$bytes" -v s="$seconds" \
        'BEGIN { printf "frames %s, video bit rate %.2f Mbit/s\n", f, b * 8 / s / 1000000 }'
}

capture() {
    local name=$1
    shift
    echo
    echo "== capture: $name"
    timed capture --seconds "$seconds" "$@" "$work/$name.mpg"
    describe "$work/$name.mpg"
}

capture defaults
capture preview --preview both
"$kstest" settings standard=pal >/dev/null
capture pal
"$kstest" settings standard=ntsc mpeg1=1 >/dev/null
capture mpeg1
"$kstest" settings mpeg1=0 size=720x480 samplerate=44100 >/dev/null
capture 44khz

echo
echo "== playback of a ${seconds}-second MPEG file with both previews"
source=$work/source.mpg
ffmpeg -nostdin -loglevel error -y \
    -f lavfi -i "testsrc2=size=720x480:rate=30000/1001:duration=${seconds}" \
    -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=${seconds}" \
    -c:v mpeg2video -b:v 6M -maxrate 8M -bufsize 1835k -g 15 -bf 2 \
    -c:a mp2 -b:a 224k -ac 2 -f vob "$source"
timed play --preview both "$source"
