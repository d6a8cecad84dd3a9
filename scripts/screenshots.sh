#!/usr/bin/env bash
# Makes the README's screenshots from the real program under a virtual display:
# the main window capturing with its live preview, the settings dialog and the
# conversion dialog, into docs/screenshots/. Run it again when the windows change.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target MarvekKSTest register_modules
export MARVEK_REGISTRY=$PWD/build/release/registry.txt
export MARVEK_SCREENSHOTS=$PWD/docs/screenshots
xvfb-run -a -s '-screen 0 1280x1024x24' build/release/testutility/gui/MarvekKSTest /Developer
ls -l docs/screenshots
