#!/usr/bin/env bash
# The main job with built-in defaults, until the MPEG to C3 conversion exists: builds the C3
# stream tools in the release tree, writes a sample stream into build/ and shows what c3info
# makes of it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh

cmake --preset release >/dev/null
cmake --build --preset release --target c3info c3gen

sample=build/sample.c3s
build/release/tools/c3gen/c3gen --packets 300 "$sample"
echo "Sample C3 stream: $sample ($(stat -c %s "$sample") bytes)"
build/release/tools/c3info/c3info --check --quiet "$sample"
