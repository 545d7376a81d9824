#!/usr/bin/env bash
# The player stand-in against the mpv command-line player, side by side under one
# Xvfb server on the same generated clip:
#   - CPU time (user + system) to play 30 s,
#   - launch -> first video frame on screen.
# Both draw with OpenGL on Mesa's llvmpipe, no sound (ao=null), software decoding.
# Usage: bench/player/run.sh [runs]   (TAVLIN_BUILD_DIR picks the build folder)
set -euo pipefail
cd "$(dirname "$0")/../.."
RUNS=${1:-3}
BUILD_DIR=${TAVLIN_BUILD_DIR:-build}

command -v mpv >/dev/null || { apt-get install -y mpv >/dev/null || { echo "needs Debian's mpv"; exit 1; }; }
cmake --build "$BUILD_DIR" -j 2 --target tavlin_player_probe >/dev/null
PROBE=$(find "$BUILD_DIR" -name tavlin_player_probe -type f -perm -u+x | head -1)

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
CLIP="$WORK/clip.mp4"
ffmpeg -nostdin -loglevel error -y -f lavfi -i testsrc2=size=1280x720:rate=25 \
  -f lavfi -i sine=frequency=440 -t 35 -c:v libx264 -preset veryfast -g 50 \
  -pix_fmt yuv420p -c:a aac -movflags +faststart "$CLIP"

export XDG_RUNTIME_DIR="$WORK/run"; mkdir -m 700 "$XDG_RUNTIME_DIR"
cat > "$WORK/measure.py" <<'PY'
import os, subprocess, sys, time, statistics
probe, clip, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
env = dict(os.environ, QT_QPA_PLATFORM="xcb")

def run(cmd, marker):
    """Launches cmd; returns (seconds to the marker line, CPU seconds of the run)."""
    start = time.monotonic()
    p = subprocess.Popen(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, env=env, text=True)
    first = None
    for line in p.stdout:
        if first is None and marker in line:
            first = time.monotonic() - start
    _, status, usage = os.wait4(p.pid, 0)
    p.returncode = os.waitstatus_to_exitcode(status)
    if p.returncode != 0 or first is None:
        raise SystemExit(f"{cmd[0]} failed ({p.returncode}) or never drew")
    return first, usage.ru_utime + usage.ru_stime

players = {
    "stand-in": ([probe, clip, "30", "1280x720"], "first-frame"),
    "mpv CLI": (["mpv", "--no-config", "--vo=gpu", "--gpu-context=x11egl", "--gpu-sw=yes",
                 "--ao=null", "--hwdec=auto-safe", "--keep-open=no", "--end=30",
                 "--geometry=1280x720", "--msg-level=all=v", clip],
                "first video frame after restart shown"),
}
results = {name: [] for name in players}
for i in range(runs):
    for name, (cmd, marker) in players.items():   # interleaved: same machine load
        results[name].append(run(cmd, marker))
print(f"{'player':10} {'first frame s (median)':>24} {'CPU s for 30 s (median)':>25}")
med = {}
for name, rows in results.items():
    ff = statistics.median(r[0] for r in rows); cpu = statistics.median(r[1] for r in rows)
    med[name] = (ff, cpu)
    print(f"{name:10} {ff:24.3f} {cpu:25.2f}   runs: " +
          ", ".join(f"{a:.3f}/{b:.2f}" for a, b in rows))
s, m = med["stand-in"], med["mpv CLI"]
print(f"ratio stand-in/mpv: first frame {s[0]/m[0]:.2f}x (goal <= 1.2), CPU {s[1]/m[1]:.2f}x (goal <= 1.15)")
PY
xvfb-run -a -s "-screen 0 1920x1080x24" python3 "$WORK/measure.py" "$PROBE" "$CLIP" "$RUNS"
