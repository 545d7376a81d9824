#!/usr/bin/env bash
# Installs what is missing, builds, starts the demo portal and runs the program on it.
# Without a display (a bare server) the program runs under Xvfb; a screenshot of it
# is written to a file whose path is printed, and it keeps running until Ctrl-C.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
BUILD_DIR=$(cd "${TAVLIN_BUILD_DIR:-build}" && pwd)

pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; }
trap cleanup EXIT INT TERM

# The web views refuse to start as root unless their sandbox is off.
[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1

if [ -z "${TAVLIN_PORTAL:-}" ] && [ -x "$BUILD_DIR/tavlin-portal" ]; then
  portal_out=$(mktemp)
  "$BUILD_DIR/tavlin-portal" >"$portal_out" 2>&1 &
  pids+=($!)
  for _ in $(seq 50); do [ -s "$portal_out" ] && break; sleep 0.1; done
  export TAVLIN_PORTAL=$(head -n1 "$portal_out")
  echo "demo portal: $TAVLIN_PORTAL"
fi

export TAVLIN_HOME=${TAVLIN_HOME:-$HOME/.local/share/tavlin}
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  XDG_RUNTIME_DIR=$(mktemp -d /tmp/tavlin-run.XXXXXX)
  export XDG_RUNTIME_DIR
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  exec 3< <(Xvfb -displayfd 1 -screen 0 1280x800x24 -nolisten tcp -noreset 2>/dev/null)
  pids+=($!)
  read -r display_number <&3
  export DISPLAY=":$display_number"
  "$BUILD_DIR/tavlin" "$@" &
  pids+=($!)
  app=$!
  sleep 8
  shot="$BUILD_DIR/screenshots/run.png"
  mkdir -p "$(dirname "$shot")"
  import -display "$DISPLAY" -window root "$shot"
  echo "No display here: the program runs under Xvfb on $DISPLAY."
  echo "Screenshot: $shot"
  echo "Press Ctrl-C to stop."
  wait "$app"
else
  "$BUILD_DIR/tavlin" "$@"
fi
