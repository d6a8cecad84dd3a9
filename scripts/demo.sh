#!/usr/bin/env bash
# The main job with built-in defaults: converts an MPEG file into a C3 stream file.
# Builds the release tree, registers its filter modules into a registry under build/,
# makes a 10-second sample MPEG-2 program stream with ffmpeg, converts it with
# `kstest convert` and prints c3info's summary of the result.
#
#   scripts/demo.sh [IN.mpg [OUT.c3s]]    (defaults: the generated sample, build/sample.c3s)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh

cmake --preset release >/dev/null
cmake --build --preset release --target kstest c3info register_modules
export MARVEK_REGISTRY=build/release/registry.txt

source=${1:-build/sample.mpg}
target=${2:-build/sample.c3s}
if [ $# -eq 0 ] && [ ! -s "$source" ]; then
    echo "Making a sample MPEG-2 program stream: $source"
    ffmpeg -nostdin -loglevel error -y \
        -f lavfi -i "testsrc2=size=720x480:rate=30000/1001:duration=10" \
        -f lavfi -i "sine=frequency=440:beep_factor=4:sample_rate=48000:duration=10" \
        -c:v mpeg2video -b:v 6M -maxrate 8M -bufsize 1835k -g 15 -bf 2 \
        -c:a mp2 -b:a 224k -ac 2 -f vob "$source.part"
    mv "$source.part" "$source"
fi

echo "Converting $source to $target"
build/release/testutility/kstest/kstest convert "$source" "$target"
build/release/tools/c3info/c3info --check --quiet "$target"
