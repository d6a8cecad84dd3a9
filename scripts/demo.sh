#!/usr/bin/env bash
# The main job with built-in defaults. Builds the release tree and registers its
# modules (the filters, the stock filters and the virtual capture device
# "Orvastation") into a registry under build/, then:
#   - with a display: starts the windowed utility MarvekKSTest in developer mode;
#   - without one: walks the device road on the command line (capture a few seconds
#     from the virtual device, convert the capture into a C3 stream, play that back
#     into the device, print what the device counted) and says how to see the window.
#
#   scripts/demo.sh                      (the above)
#   scripts/demo.sh IN.mpg [OUT.c3s]     converts a file of your own instead
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh

cmake --preset release >/dev/null
cmake --build --preset release --target kstest c3info MarvekKSTest register_modules
export MARVEK_REGISTRY=$PWD/build/release/registry.txt
kstest=build/release/testutility/kstest/kstest
c3info=build/release/tools/c3info/c3info

if [ $# -gt 0 ]; then
    target=${2:-build/sample.c3s}
    echo "Converting $1 to $target"
    "$kstest" convert "$1" "$target"
    "$c3info" --check --quiet "$target"
    exit 0
fi

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "Starting MarvekKSTest in developer mode (registry: $MARVEK_REGISTRY)"
    exec build/release/testutility/gui/MarvekKSTest /Developer
fi

demo=build/demo
mkdir -p "$demo"
step() {
    echo
    echo "== $*"
}
step "The video input devices (kstest devices)"
"$kstest" devices
step "The device's settings (kstest settings)"
"$kstest" settings
step "Capturing 5 seconds (kstest capture --seconds 5 $demo/capture.mpg)"
"$kstest" capture --seconds 5 "$demo/capture.mpg"
if command -v ffprobe >/dev/null; then
    ffprobe -v error -show_entries stream=codec_name,width,height,r_frame_rate,sample_rate,channels \
        -of compact=p=0 "$demo/capture.mpg"
fi
step "Converting the capture (kstest convert $demo/capture.mpg $demo/capture.c3s)"
"$kstest" convert "$demo/capture.mpg" "$demo/capture.c3s"
"$c3info" --check --quiet "$demo/capture.c3s"
step "Playing the C3 stream into the device (kstest play $demo/capture.c3s)"
"$kstest" play "$demo/capture.c3s"
echo
echo "No display here, so the windowed utility was not started. To see it, run this"
echo "script on a machine with a display, or under a virtual one:"
echo "    xvfb-run -a -s '-screen 0 1280x1024x24' build/release/testutility/gui/MarvekKSTest /Developer"
echo "(with MARVEK_REGISTRY=$MARVEK_REGISTRY), or see the screenshots in the README."
