#!/usr/bin/env bash
# Soak test of the device road: captures from the virtual device for MINUTES (an hour
# by default) into 64 MB segments, plays the segment list back into the device, and
# runs 1,000 capture starts and stops through the UI-free core under ThreadSanitizer.
# Prints frames captured and dropped, segments written and listed, packets played and
# violations, and the capture's memory early on and at the end (it must not grow).
#
#   scripts/soak.sh [MINUTES]
set -euo pipefail
cd "$(dirname "$0")/.."

minutes=${1:-60}
scripts/deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target kstest register_modules >/dev/null

work=$PWD/build/soak
rm -rf "$work"
mkdir -p "$work"
export MARVEK_REGISTRY=$work/registry.txt MARVEK_SYSTEM_REGISTRY=
build/release/marvek-register >/dev/null
kstest=build/release/testutility/kstest/kstest

rss_kib() {
    awk '/^VmRSS:/ { print $2 }' "/proc/$1/status" 2>/dev/null || echo 0
}

echo "Capturing for $minutes minutes into 64 MB segments..."
"$kstest" capture --seconds $((minutes * 60)) --size-limit 64 "$work/soak.mpg" >"$work/capture.log" 2>&1 &
capture=$!
sleep 10
early=$(rss_kib $capture)
late=$early
while kill -0 $capture 2>/dev/null; do
    now=$(rss_kib $capture)
    [ "${now:-0}" -gt 0 ] && late=$now
    sleep 5
done
wait $capture || { cat "$work/capture.log"; exit 1; }
cat "$work/capture.log"

listed=$(($(wc -l <"$work/soak.kvx") - 1))
written=$(find "$work" -name 'soak*.mpg' | wc -l)
echo "Playing the segment list back into the device..."
MARVEK_DEVICE_PACING=fast "$kstest" play "$work/soak.kvx" >"$work/play.log" 2>&1 || { cat "$work/play.log"; exit 1; }
cat "$work/play.log"

cycles="not run (no tsan build)"
if cmake --preset tsan >/dev/null && cmake --build --preset tsan --target MainWindowModelTest regsvr marvek_modules >/dev/null; then
    echo "1,000 capture starts and stops under ThreadSanitizer..."
    if MARVEK_CAPTURE_CYCLES=1000 build/tsan/testutility/tests/MainWindowModelTest \
        --gtest_filter='*StartsAndStops*' >"$work/cycles.log" 2>&1; then
        cycles="passed, no report, no thread left"
    else
        cycles="FAILED (see $work/cycles.log)"
    fi
fi

echo
echo "== soak summary ($minutes minutes)"
sed -n 's/^captured \([0-9]*\) frames (\([0-9]*\) dropped).*/frames captured  \1, dropped \2/p' "$work/capture.log"
echo "segments         $written written, $listed listed"
sed -n 's/^played \([0-9]*\) packets.* \([0-9]*\) violations$/packets played   \1, violations \2/p' "$work/play.log"
echo "capture memory   $((early / 1024)) MiB after 10 s, $((late / 1024)) MiB at the end"
echo "start/stop       $cycles"
