#!/usr/bin/env bash
# Checks the plug-in against a Maya devkit's headers (default: ../shared/maya-devkit/include
# beside the checkout): compiles every plug-in source against them into build-devkit/ (no
# link), then compares the stand-in host's declarations with the devkit's and fails when a
# member the plug-in calls is declared differently. Without the devkit folder it says so
# and does nothing.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
devkit=${1:-$here/../shared/maya-devkit/include}
compare=$here/../shared/tools/host-vs-devkit.py
if [ ! -f "$devkit/maya/MTypes.h" ]; then
  echo "No Maya devkit headers at $devkit: skipping the devkit compile and the declaration comparison."
  exit 0
fi
devkit=$(cd "$devkit" && pwd)

echo "== Plug-in sources against the devkit headers in $devkit =="
"$here/scripts/setup.sh" "$here/build-devkit" -DPELLIX_BENCH=OFF -DPELLIX_MAYA_DEVKIT_HEADERS="$devkit"
ninja -C "$here/build-devkit" pellixdevkitcheck

if [ ! -f "$compare" ]; then
  echo "No $compare: skipping the declaration comparison."
  exit 0
fi
echo "== Stand-in declarations against the devkit's =="
if ! command -v clang++ >/dev/null; then
  echo "Installing clang"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq clang >/dev/null
fi
report=$(mktemp)
trap 'rm -f "$report"' EXIT
python3 "$compare" --checkout "$here" --devkit "$devkit" --used-only >"$report"
# The comparison's --strict counts every mismatch; the members the plug-in calls must have none,
# and every plug-in source must compile against the stand-in for its calls to be counted.
sed -n '/^Mismatches, those/,/^$/p' "$report"
grep -E '^(warning|declarations matching|mismatched|stand-in member functions the plug-in calls)' "$report" || true
if grep -q 'did not compile against the stand-in' "$report"; then
  echo "Some plug-in sources did not compile against the stand-in with clang." >&2
  exit 1
fi
if ! grep -q '^stand-in member functions the plug-in calls: [0-9]*; mismatched among them: 0 ' "$report"; then
  echo "The stand-in declares members the plug-in calls differently from the devkit (listed above)." >&2
  exit 1
fi
