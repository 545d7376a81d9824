#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (unit, adapter, fuzz, end-to-end).
set -euo pipefail
cd "$(dirname "$0")/.."
# The compile commands let clang-tidy see each file as the build does.
TAVLIN_CMAKE_ARGS="${TAVLIN_CMAKE_ARGS:-} -DCMAKE_EXPORT_COMPILE_COMMANDS=ON" bash scripts/build.sh
BUILD_DIR=${TAVLIN_BUILD_DIR:-build}

# Function size and complexity of the files the last commit changed (or since
# $TAVLIN_TIDY_BASE); a failure is reported after the tests have run.
tidy=0
python3 scripts/tidy.py --build "$BUILD_DIR" || tidy=$?

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
if [ "$tidy" -ne 0 ]; then
  echo "clang-tidy: functions over the limits of .clang-tidy (above); see docs/habits.md" >&2
  exit "$tidy"
fi
