#!/usr/bin/env bash
# Installs a build tree into a fresh prefix as a user would, with a fresh home and no
# MARVEK_* variables (the machine's system-wide registry is left out), and checks:
# the layout, RUNPATHs relative to the installed files only, that `cmake --install`
# registered the modules into the user's registry, that kstest converts a generated
# MPEG file from another folder, and that without registration it names the command
# to run, which then makes it work.
#
#   install_test.sh BUILD_DIR
set -euo pipefail

build=$(readlink -f "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
fail() {
    echo "install test: $*" >&2
    exit 1
}
# A user's environment: no registry variables, a home of their own.
as_user() {
    local home=$1
    shift
    env -i PATH=/usr/bin:/bin HOME="$home" MARVEK_SYSTEM_REGISTRY= "$@"
}

mkdir -p "$work/home" "$work/other-home" "$work/elsewhere"
as_user "$work/home" cmake --install "$build" --prefix "$prefix" >"$work/install.log"

for file in bin/kstest bin/regsvr bin/c3info bin/c3gen bin/marvek-register \
    lib/marvek/libmfrt.so share/doc/marvek/README.md; do
    [ -f "$prefix/$file" ] || fail "$file is not installed"
done
for program in "$prefix"/bin/* "$prefix"/lib/marvek/*.so; do
    outside=$(readelf -d "$program" 2>/dev/null | sed -n 's/.*R\(UN\)\{0,1\}PATH.*\[\(.*\)\]/\2/p' |
        tr ':' '\n' | grep -v '^\$ORIGIN' || true)
    [ -z "$outside" ] || fail "$program looks for libraries in $outside"
done
registered=$(grep -c InprocServer32 "$work/home/.config/marvek/registry.txt" || true)
[ "$registered" -gt 0 ] || fail "cmake --install registered no module"

ffmpeg -nostdin -loglevel error -f lavfi -i testsrc2=size=352x288:rate=25:duration=2 \
    -f lavfi -i sine=sample_rate=48000:duration=2 -c:v mpeg2video -c:a mp2 -f vob \
    "$work/in.mpg"

cd "$work/elsewhere"
as_user "$work/home" "$prefix/bin/kstest" convert ../in.mpg out.c3s ||
    fail "kstest convert failed after cmake --install"
"$prefix/bin/c3info" --check --quiet out.c3s >/dev/null || fail "the converted file does not pass the check"

# A user without registration is told what to run; running it is enough.
if as_user "$work/other-home" "$prefix/bin/kstest" convert ../in.mpg other.c3s 2>"$work/message"; then
    fail "kstest converted without registered modules"
fi
grep -qF "register them by running: $prefix/bin/marvek-register" "$work/message" ||
    fail "kstest did not name the registration command: $(cat "$work/message")"
as_user "$work/other-home" "$prefix/bin/marvek-register"
as_user "$work/other-home" "$prefix/bin/kstest" convert ../in.mpg other.c3s ||
    fail "kstest convert failed after marvek-register"
echo "install test: passed"
