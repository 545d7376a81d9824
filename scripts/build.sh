#!/usr/bin/env bash
# Installs what is missing and builds everything into build/ (or $TAVLIN_BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
BUILD_DIR=${TAVLIN_BUILD_DIR:-build}
extra=()
[ "${CI:-}" = "true" ] && extra+=(-DTAVLIN_WERROR=ON)
cmake -S . -B "$BUILD_DIR" -G Ninja \
  -DCMAKE_BUILD_TYPE=${TAVLIN_BUILD_TYPE:-RelWithDebInfo} \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  "${extra[@]}" ${TAVLIN_CMAKE_ARGS:-} >/dev/null
cmake --build "$BUILD_DIR" -j "$(nproc)"
