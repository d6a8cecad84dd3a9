#!/usr/bin/env bash
# Builds the Debian package from a release build tree with CPack, installs it with dpkg,
# checks that its modules are registered for every user in the system-wide registry (an
# unprivileged user with an empty home converts a generated MPEG file), removes it, checks
# that it left nothing behind, and purges it. Needs root; skips itself otherwise. Refuses to run
# where a marvek package is already installed.
#
#   package_test.sh RELEASE_BUILD_DIR
set -euo pipefail

build=$(readlink -f "$1")
if [ "$(id -u)" -ne 0 ]; then
    echo "package test: skipped (dpkg needs root)"
    exit 0
fi
if dpkg-query -W -f='${Status}' marvek 2>/dev/null | grep -q installed; then
    echo "package test: a marvek package is installed already; not touching it" >&2
    exit 1
fi

registry=$(sed -n 's/^MARVEK_SYSTEM_REGISTRY_FILE:FILEPATH=//p' "$build/CMakeCache.txt")
work=$(mktemp -d)
chmod 755 "$work"
installed=false
cleanup() {
    if $installed; then dpkg -P marvek >/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "package test: $*" >&2
    exit 1
}

rm -f "$build"/marvek_*.deb
(cd "$build" && cpack -G DEB >"$work/cpack.log" 2>&1) || fail "cpack failed: $(cat "$work/cpack.log")"
package=$(ls "$build"/marvek_*.deb)
dpkg -i "$package" >"$work/dpkg.log" 2>&1 || fail "dpkg -i failed: $(cat "$work/dpkg.log")"
installed=true

for module in /usr/lib/marvek/*.so; do
    case $(basename "$module") in lib*) continue ;; esac
    grep -qF "@=\"$module\"" "$registry" || fail "$module is not registered in $registry"
done

# Any user: nobody, with an empty home, converts from another folder.
ffmpeg -nostdin -loglevel error -f lavfi -i testsrc2=size=352x288:rate=25:duration=2 \
    -f lavfi -i sine=sample_rate=48000:duration=2 -c:v mpeg2video -c:a mp2 -f vob \
    "$work/in.mpg"
mkdir "$work/home" "$work/out"
chown nobody "$work/home" "$work/out"
(cd / && runuser -u nobody -- env -i PATH=/usr/bin:/bin HOME="$work/home" \
    kstest convert "$work/in.mpg" "$work/out/out.c3s") || fail "kstest convert failed for nobody"
c3info --check --quiet "$work/out/out.c3s" >/dev/null || fail "the converted file does not pass the check"
[ ! -e "$work/home/.config/marvek/registry.txt" ] || fail "converting wrote the user's registry"

dpkg -r marvek >"$work/dpkg.log" 2>&1 || fail "dpkg -r failed: $(cat "$work/dpkg.log")"
for left in /usr/bin/kstest /usr/bin/marvek-register /usr/lib/marvek /usr/share/doc/marvek \
    "$(dirname "$registry")"; do
    [ ! -e "$left" ] || fail "$left is left after dpkg -r"
done
dpkg -P marvek >"$work/dpkg.log" 2>&1 || fail "dpkg -P failed: $(cat "$work/dpkg.log")"
installed=false
echo "package test: passed ($(basename "$package"))"
