#!/usr/bin/env bash
# Builds everything into build/ and runs the whole test suite (the GUI tests run
# under xvfb-run, which ctest starts for them).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh" "$here/build"
ninja -C "$here/build"
cd "$here/build" && ctest --output-on-failure
