#!/usr/bin/env bash
# Runs a capture and a playback through kstest under every fault the virtual device
# can inject, and prints one line per fault: how each run ended, kstest's exit status,
# and whether the recorded files pass their checks: for the capture, how many of its
# segments ffprobe reads as a program stream with video and LPCM audio, and how many
# errors ffmpeg reports decoding them joined; for playback, c3info --check of the C3
# stream the device recorded.
#
#   scripts/fault_matrix.sh [BUILD_DIR]     (default build/release, else build/debug)
#
# Everything happens in a temporary folder with a registry of its own: the modules of
# the build tree are registered there and the device paces fast. Captures run for at
# most CAPTURE_SECONDS (3) in segments of 1 MB; playback plays a 4-second MPEG-2 clip
# made with ffmpeg, through Zentrax and the muxer into the device.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-}
if [[ -z $build ]]; then
    build=$root/build/release
    [[ -x $build/testutility/kstest/kstest ]] || build=$root/build/debug
fi
build=$(cd "$build" && pwd)
kstest=$build/testutility/kstest/kstest
c3info=$build/tools/c3info/c3info
for program in "$kstest" "$c3info" "$build/marvek-register"; do
    [[ -x $program ]] || { echo "fault_matrix: $program is not built" >&2; exit 2; }
done
for tool in ffmpeg ffprobe; do
    command -v "$tool" >/dev/null || { echo "fault_matrix: $tool is missing (scripts/deps.sh)" >&2; exit 2; }
done
seconds=${CAPTURE_SECONDS:-3}

work=$(mktemp -d "${TMPDIR:-/tmp}/fault-matrix.XXXXXX")
trap 'rm -rf "$work"' EXIT
export MARVEK_REGISTRY=$work/registry.txt MARVEK_SYSTEM_REGISTRY=
"$build/marvek-register" >/dev/null
clip=$work/clip.mpg
ffmpeg -nostdin -loglevel error -f lavfi -i testsrc2=s=352x240:r=30000/1001 \
    -f lavfi -i sine=frequency=1000:sample_rate=48000 -t 4 -ac 2 \
    -c:v mpeg2video -b:v 2M -c:a mp2 -b:a 192k -f vob "$clip"
recording=$work/played.c3s
"$kstest" device-config Pacing=fast "RecordFile=$recording" >/dev/null 2>&1

faults=(
    ""
    get-fail:encoder-settings get-empty:encoder-settings set-fail:volume get-fail:audio-caps
    bind-fail=0x8007048F join-fail
    drop-frames=30 stall=500 flip-bits=2000 cut-pes=5
    capture-stop=2:abort capture-stop=2:stream-error:0x8007001F capture-stop=2:starvation
    capture-stop=2:audio-in capture-stop=2:end
    playback-refuse=30 playback-refuse=0:0x80070070
    playback-event=30:audio-out playback-event=30:abort playback-event=30:stream-error
    playback-event=30:starvation playback-event=30:audio-in
)

# How a kstest run ended, from its standard error.
how_it_ended() { # ERRORS EXIT LIMIT_TEXT
    local line
    line=$(grep -m1 'ended early' "$1" || true)
    if [[ -n $line ]]; then
        line=${line#kstest: }
        echo "${line%%: the * ended early*}"
    elif [[ $2 -eq 0 ]]; then
        echo "$3"
    else
        line=$(grep '^kstest: ' "$1" | grep -v 'IVideoWindow' | tail -1 || true)
        echo "${line#kstest: }"
    fi
}

# The capture's files: its segments as the .kvx list names them, else the file alone.
check_capture() { # TARGET
    local target=$1 list=${1%.mpg}.kvx files=() good=0 name streams errors
    if [[ -f $list ]]; then
        while IFS=';' read -r name _; do
            [[ $name == LMMP* || -z $name ]] && continue
            files+=("$(dirname "$target")/${name%$'\r'}")
        done <"$list"
    elif [[ -f $target ]]; then
        files=("$target")
    fi
    (( ${#files[@]} > 0 )) || { echo "no file"; return; }
    for name in "${files[@]}"; do
        # A segment after the first starts within a GOP: ffprobe complains about the
        # pictures before the next sequence header, so only what it finds counts.
        streams=$(ffprobe -v quiet -show_entries stream=codec_name -of csv=p=0 "$name" || true)
        [[ $streams == *mpeg2video* && $streams == *pcm_dvd* ]] && good=$((good + 1))
    done
    cat "${files[@]}" >"$work/joined.mpg"
    errors=$(ffmpeg -nostdin -v error -i "$work/joined.mpg" -f null - 2>&1 | wc -l)
    echo "ffprobe $good/${#files[@]} ok, $errors decode errors"
}

check_recording() {
    [[ -s $recording ]] || { echo "no recording"; return; }
    local failure
    if failure=$("$c3info" --check --quiet "$recording" 2>&1 >/dev/null); then
        echo "c3info ok"
    else
        echo "c3info: ${failure:-broken}"
    fi
}

printf '%-40s | %-52s | %-54s\n' "fault" "capture: end, exit, files" "play: end, exit, recording"
for i in "${!faults[@]}"; do
    fault=${faults[$i]}
    "$kstest" device-fault clear $fault >/dev/null
    target=$work/capture-$i.mpg
    set +e
    "$kstest" capture --seconds "$seconds" --size-limit 1 "$target" >"$work/out" 2>"$work/err"
    capture_exit=$?
    set -e
    capture="$(how_it_ended "$work/err" $capture_exit "time limit"), exit $capture_exit, $(check_capture "$target")"

    rm -f "$recording"
    set +e
    "$kstest" play "$clip" >"$work/out" 2>"$work/err"
    play_exit=$?
    set -e
    play="$(how_it_ended "$work/err" $play_exit "complete"), exit $play_exit, $(check_recording)"
    printf '%-40s | %-52s | %-54s\n' "${fault:-(none)}" "$capture" "$play"
done
"$kstest" device-fault clear >/dev/null
