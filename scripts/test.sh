#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (unit, adapter, fuzz, end-to-end).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
BUILD_DIR=${TAVLIN_BUILD_DIR:-build}
# The program's sockets go here; a fresh private folder keeps runs apart.
XDG_RUNTIME_DIR=$(mktemp -d /tmp/tavlin-run.XXXXXX)
chmod 700 "$XDG_RUNTIME_DIR"
export XDG_RUNTIME_DIR
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
export QTWEBENGINE_DISABLE_SANDBOX=1
(cd "$BUILD_DIR" && ctest --output-on-failure -j "$(nproc)" "$@")

# The core's unit tests once more, built with AddressSanitizer and UBSan.
TAVLIN_BUILD_DIR=${TAVLIN_SANITIZE_DIR:-build-asan} \
  TAVLIN_CMAKE_ARGS="-DTAVLIN_SANITIZE=ON -DTAVLIN_BUILD_UI=OFF -DTAVLIN_BUILD_BENCH=OFF -DTAVLIN_BUILD_PORTAL=OFF -DTAVLIN_BUILD_FUZZ=OFF" \
  bash scripts/build.sh
cd "${TAVLIN_SANITIZE_DIR:-build-asan}"
ctest --output-on-failure -j "$(nproc)"
