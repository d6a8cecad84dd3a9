#!/usr/bin/env bash
# Builds and runs the whole test suite: every test under AddressSanitizer and
# UndefinedBehaviorSanitizer, then the threaded tests under ThreadSanitizer. Then it
# builds the other documented presets in full (release: programs, tests and
# benchmarks; fuzz: the libFuzzer targets, each run briefly), builds, installs and
# removes the Debian package (as root) and runs the README's main command, so that
# every documented build command is exercised on every change.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh

phase() {
    echo "== $1 ($(date +%T))"
}

phase "debug: build and test"
cmake --preset debug >/dev/null
cmake --build --preset debug
ctest --preset debug

phase "tsan: build and test the threaded tests"
cmake --preset tsan >/dev/null
cmake --build --preset tsan
ctest --preset tsan

phase "release: build everything"
cmake --preset release >/dev/null
cmake --build --preset release

phase "package: the Debian package installs, converts and uninstalls"
packaging/tests/package_test.sh build/release

phase "fuzz: build the fuzzers and run each briefly"
scripts/fuzz.sh 20000

phase "the main command: scripts/demo.sh (headless)"
env -u DISPLAY -u WAYLAND_DISPLAY scripts/demo.sh

phase "done"
