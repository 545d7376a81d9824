#!/usr/bin/env bash
# The player stand-in against the mpv command-line player, side by side under one
# Xvfb server on the same generated clip:
#   - CPU time (user + system) to play 30 s,
#   - launch -> first video frame on screen, and opening the file -> first frame
#     (the stand-in: Url written; mpv: its "[file] Opening" log line).
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
    """Launches cmd; returns (s to first frame, s from opening the file to it, CPU s)."""
    start = time.monotonic()
    p = subprocess.Popen(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, env=env, text=True)
    first = load = opened_at = None
    for line in p.stdout:
        if opened_at is None and "[file] Opening" in line:
            opened_at = float(line.split("]")[0].strip("[ "))
        if first is None and marker in line:
            first = time.monotonic() - start
            if "load-to-frame-ms=" in line:
                load = int(line.split("load-to-frame-ms=")[1]) / 1000
            else:
                load = float(line.split("]")[0].strip("[ ")) - opened_at
    _, status, usage = os.wait4(p.pid, 0)
    code = os.waitstatus_to_exitcode(status)
    if code != 0 or first is None:
        raise SystemExit(f"{cmd[0]} failed ({code}) or never drew")
    return first, load, usage.ru_utime + usage.ru_stime

players = {
    "stand-in": ([probe, clip, "30", "1280x720"], "first-frame"),
    "mpv CLI": (["mpv", "--no-config", "--vo=gpu", "--gpu-context=x11egl", "--gpu-sw=yes",
                 "--ao=null", "--hwdec=auto-safe", "--keep-open=no", "--end=30",
                 "--geometry=1280x720", "--msg-level=all=v", "--msg-time", clip],
                "first video frame after restart shown"),
}
results = {name: [] for name in players}
for i in range(runs):
    for name, (cmd, marker) in players.items():   # interleaved: same machine load
        results[name].append(run(cmd, marker))
print(f"{'player':10} {'launch->frame s':>16} {'open->frame s':>14} {'CPU s / 30 s':>13}  (medians)")
med = {}
for name, rows in results.items():
    med[name] = [statistics.median(r[k] for r in rows) for k in range(3)]
    print(f"{name:10} {med[name][0]:16.3f} {med[name][1]:14.3f} {med[name][2]:13.2f}   runs: " +
          ", ".join(f"{a:.3f}/{b:.3f}/{c:.2f}" for a, b, c in rows))
s, m = med["stand-in"], med["mpv CLI"]
print(f"ratio stand-in/mpv: launch->frame {s[0]/m[0]:.2f}x, open->frame {s[1]/m[1]:.2f}x "
      f"(goal <= 1.2), CPU {s[2]/m[2]:.2f}x (goal <= 1.15)")
PY
xvfb-run -a -s "-screen 0 1920x1080x24" python3 "$WORK/measure.py" "$PROBE" "$CLIP" "$RUNS"
