#!/usr/bin/env bash
# Configures and builds everything in ./build. VL_WERROR=ON and VL_DEBUG_INFO=lines|none, when
# set, go to the configuration (CI sets both).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${VL_WERROR:+-DVL_WERROR=$VL_WERROR} ${VL_DEBUG_INFO:+-DVL_DEBUG_INFO=$VL_DEBUG_INFO} >/dev/null  # again each time: a new library folder joins at configure time
cmake --build build
