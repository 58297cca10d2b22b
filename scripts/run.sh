#!/usr/bin/env bash
# Builds everything and starts velloran from the build tree on your display: the installed
# data comes from the build's staged share/ and the help viewer from the build, so nothing
# is installed and nothing is written outside the checkout. Arguments go to velloran.
set -euo pipefail
cd "$(dirname "$0")/.."

# Before the build, so that a missing display is said at once, as velloran itself says it.
platform=${QT_QPA_PLATFORM:-xcb}
display=${DISPLAY:-}
prev=
for arg in "$@"; do
  case $prev in
    -platform|--platform) platform=$arg ;;
    -display|--display) display=$arg ;;
  esac
  prev=$arg
done
if [ "${platform%%:*}" = xcb ]; then
  if [ -z "$display" ]; then
    echo "velloran: (unset): cannot open X display" >&2
    exit 2
  fi
  if ! DISPLAY=$display xdpyinfo >/dev/null 2>&1; then
    echo "velloran: $display: cannot open X display" >&2
    exit 2
  fi
fi

scripts/build.sh
export VL_SHAREDIR="$PWD/build/share/"
export PATH="$PWD/build/help:$PATH"
exec build/launcher/velloran "$@"
