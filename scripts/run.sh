#!/usr/bin/env bash
# Builds everything and starts velloran.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
if [ -x build/launcher/velloran ]; then
  exec build/launcher/velloran "$@"
fi
echo "velloran: the program is not built yet (the launcher does not exist); the libraries were built." >&2
