#!/usr/bin/env bash
# Configures and builds everything in ./build.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${VL_WERROR:+-DVL_WERROR=$VL_WERROR} >/dev/null  # again each time: a new library folder joins at configure time
cmake --build build
