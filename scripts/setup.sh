#!/usr/bin/env bash
# Installs the Debian packages the build needs (when missing) and configures and builds
# the tree into build/ (or the folder given as $1 with extra CMake arguments after it).
# Compiles through ccache when it is there (as root it is installed with the rest).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
# xvfb, xauth and Mesa's drivers give the GUI tests an X display with OpenGL 4.5 (llvmpipe).
# python3 runs the check that the plug-in's files depend on each other one way only.
packages=(cmake ninja-build g++ qtbase5-dev libtbb-dev libgtest-dev libgmock-dev libbenchmark-dev libnanoflann-dev
          xvfb xauth xdotool libgl1-mesa-dri python3)
# The benchmarks (built unless -DPELLIX_BENCH=OFF is given) measure the overlay pick against Embree.
bench=1
for arg in "${@:2}"; do
  case "${arg^^}" in
    -DPELLIX_BENCH=OFF | -DPELLIX_BENCH=0 | -DPELLIX_BENCH=FALSE | -DPELLIX_BENCH=NO | -DPELLIX_BENCH:BOOL=OFF) bench=0 ;;
  esac
done
if [ "$bench" -eq 1 ]; then
  packages+=(libembree-dev)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ "$(id -u)" -eq 0 ] && ! dpkg -s ccache >/dev/null 2>&1; then
  missing+=(ccache)
fi
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]} (run as root or install them with apt-get)" >&2
    exit 1
  fi
  echo "Installing ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi
build=${1:-$here/build}
shift || true
# ccache hashes paths inside the checkout relative to the build folder and leaves the build
# folder's own path out, so a clone or worktree anywhere else reuses what one build compiled.
launcher=()
if command -v ccache >/dev/null; then
  for language in C CXX; do
    launcher+=("-DCMAKE_${language}_COMPILER_LAUNCHER=env;CCACHE_BASEDIR=$here;CCACHE_NOHASHDIR=1;ccache")
  done
fi
cmake -S "$here" -B "$build" -G Ninja "${launcher[@]}" "$@" >/dev/null
