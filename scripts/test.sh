#!/usr/bin/env bash
# Builds and runs the whole test suite: every test under AddressSanitizer and
# UndefinedBehaviorSanitizer, then the threaded tests under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh

cmake --preset debug >/dev/null
cmake --build --preset debug
ctest --preset debug

cmake --preset tsan >/dev/null
cmake --build --preset tsan
ctest --preset tsan
