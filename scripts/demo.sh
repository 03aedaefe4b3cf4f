#!/usr/bin/env bash
# Builds the plug-in and the runners into build/, runs the demo script in batch mode, then,
# when an X display or Xvfb is there, writes pictures of the overlay as a view shows it into
# build/demo/.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh" "$here/build"
ninja -C "$here/build" pellix pellixbatch >/dev/null
cd "$here"
"$here/build/bin/pellixbatch" -script "$here/scripts/demo.mel"

mkdir -p "$here/build/demo"
views=("$here/build/bin/pellixbatch" -gui -script "$here/scripts/demo-views.mel")
if [ -n "${DISPLAY:-}" ]; then
  "${views[@]}" >/dev/null
elif command -v xvfb-run >/dev/null; then
  xvfb-run -a -s "-screen 0 1280x1024x24" "${views[@]}" >/dev/null
else
  echo "No X display and no xvfb-run: skipping the pictures of the views."
  exit 0
fi
echo "Pictures of the overlay in the views: $(ls "$here"/build/demo/*.png | tr '\n' ' ')"
