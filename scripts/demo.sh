#!/usr/bin/env bash
# Builds the plug-in and pellixbatch into build/ and runs the demo script in batch mode.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh" "$here/build"
ninja -C "$here/build" pellix pellixbatch >/dev/null
cd "$here" && exec "$here/build/bin/pellixbatch" -script "$here/scripts/demo.mel"
