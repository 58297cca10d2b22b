#!/usr/bin/env bash
# Builds everything and runs every test; ctest prints the summary.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
export LSAN_OPTIONS="suppressions=$PWD/.ci/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
ctest --test-dir build -j"$(nproc)" --output-on-failure "$@"
