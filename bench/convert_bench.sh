#!/usr/bin/env bash
# Times kstest's MPEG to C3 stream conversion of a generated 720x480 program stream
# (MPEG-2 video at 8 Mbit/s, layer II audio) beside ffmpeg copying the same file's video
# and converting its audio to 48 kHz PCM into a transport stream. Both run under
# /usr/bin/time -v, three times each in turn; the script reports the best wall and
# processor (user + system) times, their ratios and each peak memory.
#
#   bench/convert_bench.sh [SECONDS]     (default 60)
#
# Goal: the conversion's wall time at most 0.6x ffmpeg's and its processor time at most
# ffmpeg's, peak memory under 64 MiB.
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
cmake --build --preset release --target kstest c3info register_modules >/dev/null
export MARVEK_REGISTRY=build/release/registry.txt

work=build/bench
mkdir -p "$work"
source="$work/convert-${seconds}s.mpg"
if [ ! -s "$source" ]; then
    echo "Making a ${seconds}-second 720x480 MPEG-2 program stream at 8 Mbit/s..."
    ffmpeg -nostdin -loglevel error -y \
        -f lavfi -i "testsrc2=size=720x480:rate=30000/1001:duration=${seconds}" \
        -f lavfi -i "sine=frequency=440:beep_factor=4:sample_rate=48000:duration=${seconds}" \
        -c:v mpeg2video -b:v 8M -minrate 8M -maxrate 8M -bufsize 1835k -g 15 -bf 2 \
        -c:a mp2 -b:a 224k -ac 2 -f vob "$source.part"
    mv "$source.part" "$source"
fi

# Runs a command under /usr/bin/time -v; prints "wall_seconds cpu_seconds peak_kib".
measure() {
    local report="$work/time.txt"
    /usr/bin/time -v -o "$report" "$@" >/dev/null 2>"$work/stderr.txt" || {
        echo "failed: $*" >&2
        cat "$work/stderr.txt" >&2
        exit 1
    }
    awk -F': ' '
        /Elapsed \(wall clock\)/ { n = split($2, t, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + t[i] }
        /User time \(seconds\)/ { cpu += $2 }
        /System time \(seconds\)/ { cpu += $2 }
        /Maximum resident set size/ { rss = $2 }
        END { printf "%.2f %.2f %d\n", s, cpu, rss }' "$report"
}

c3s="$work/convert-${seconds}s.c3s"
ts="$work/convert-${seconds}s.ts"
rounds=3

min() { awk -v a="$1" -v b="$2" 'BEGIN { print (b < a) ? b : a }'; }

# Alternating rounds; the best times and the largest peak of each count.
kstest_s=999999 kstest_cpu=999999 kstest_kib=0
ffmpeg_s=999999 ffmpeg_cpu=999999 ffmpeg_kib=0
for _ in $(seq "$rounds"); do
    read -r s cpu kib < <(measure build/release/testutility/kstest/kstest convert "$source" "$c3s")
    kstest_s=$(min "$kstest_s" "$s") kstest_cpu=$(min "$kstest_cpu" "$cpu")
    kstest_kib=$((kib > kstest_kib ? kib : kstest_kib))
    read -r s cpu kib < <(measure ffmpeg -nostdin -loglevel error -y -i "$source" \
        -map 0:v -map 0:a -c:v copy -c:a pcm_s16be -ar 48000 -f mpegts "$ts")
    ffmpeg_s=$(min "$ffmpeg_s" "$s") ffmpeg_cpu=$(min "$ffmpeg_cpu" "$cpu")
    ffmpeg_kib=$((kib > ffmpeg_kib ? kib : ffmpeg_kib))
done
build/release/tools/c3info/c3info --check --quiet "$c3s" >/dev/null

size_mb=$(awk -v b="$(stat -c %s "$source")" 'BEGIN { printf "%.1f", b / 1e6 }')
echo "Source: $source (${seconds} s, ${size_mb} MB); best of $rounds runs each"
printf '%-16s %10s %10s %14s\n' "" "wall (s)" "CPU (s)" "peak RSS (MiB)"
mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
printf '%-16s %10s %10s %14s\n' "kstest convert" "$kstest_s" "$kstest_cpu" "$(mib "$kstest_kib")"
printf '%-16s %10s %10s %14s\n' "ffmpeg" "$ffmpeg_s" "$ffmpeg_cpu" "$(mib "$ffmpeg_kib")"
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0) ? a / b : 0 }'; }
echo "ratio kstest/ffmpeg: wall $(ratio "$kstest_s" "$ffmpeg_s") (goal: 0.60 or less)," \
    "CPU $(ratio "$kstest_cpu" "$ffmpeg_cpu") (goal: 1.00 or less)"
awk -v k="$kstest_kib" 'BEGIN { printf "kstest peak memory %s 64 MiB\n", k / 1024 < 64 ? "under" : "OVER" }'
rm -f "$c3s" "$ts"
