"""Launch with a file -> its first frame on screen, side by side under one Xvfb
display: the program against a minimal Qt Widgets + libmpv render-API player that
the build makes from the same Qt and libmpv (bench/launch/minimal_player.cpp, the
program's mpv settings), and the mpv command-line player for reference. One screen
watcher (bench/launch/frame_watch.c) serves all: the clock starts just before the
exec and stops when a block of the clip's colour (a solid magenta clip) is on the
screen. Rounds are interleaved, each player in a fresh session (no saved position).
Run by hand: python3 tests/e2e/bench_launch.py [rounds]  (TAVLIN_BUILD_DIR=build)"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(__file__))
from tavlin_e2e import Session  # noqa: E402

BUILD = os.path.abspath(os.environ.get("TAVLIN_BUILD_DIR", "build"))
COLOUR = "ff00ff"
GOAL = 1.10
MPV = ["mpv", "--no-config", "--vo=gpu", "--gpu-context=x11egl", "--hwdec=auto-safe", "--keep-open=yes",
       "--geometry=1000x640"]


def make_clip(folder):
    clip = os.path.join(folder, "magenta.mp4")
    subprocess.run(["ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                    f"color=c=0x{COLOUR}:size=1280x720:rate=25", "-f", "lavfi", "-i", "sine=frequency=440",
                    "-t", "10", "-c:v", "libx264", "-preset", "veryfast", "-pix_fmt", "yuv420p", "-c:a", "aac",
                    "-movflags", "+faststart", clip], check=True)
    return clip


def launch(who, clip):
    """Seconds from just before the exec to the clip's colour on screen."""
    s = Session(BUILD)
    try:
        env = dict(s.env, DISPLAY=s.display)
        watch = s.spawn([os.path.join(BUILD, "tavlin_frame_watch"), COLOUR, "20000", "30"],
                        stdout=subprocess.PIPE, env=env, text=True)
        assert watch.stdout.readline().strip() == "ready"
        argv = {"program": [os.path.join(BUILD, "tavlin"), clip],
                "minimal": [os.path.join(BUILD, "tavlin_minimal_player"), clip],
                "mpv": MPV + [clip]}[who]
        t0 = time.monotonic()
        p = s.spawn(argv, env=env)
        line = watch.stdout.readline().strip()
        s.stop(p)
        if who == "program" and os.path.exists(s.socket_path):
            os.unlink(s.socket_path)
        return float(line) - t0
    finally:
        s.close()


def main():
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 5
    players = ["minimal", "program"] + (["mpv"] if shutil.which("mpv") else [])
    times = {w: [] for w in players}
    with tempfile.TemporaryDirectory() as folder:
        clip = make_clip(folder)
        for r in range(rounds):
            order = players if r % 2 == 0 else players[::-1]
            for who in order:
                times[who].append(launch(who, clip))
            print(f"round {r + 1}: " + ", ".join(f"{w} {times[w][-1]:.3f} s" for w in players), flush=True)
    med = {w: statistics.median(v) for w, v in times.items()}
    ratios = [p / m for p, m in zip(times["program"], times["minimal"])]
    print(f"launch with a file -> first frame, median of {rounds}: " +
          ", ".join(f"{w} {med[w]:.3f} s" for w in players))
    print(f"  program / minimal Qt + libmpv player: {med['program'] / med['minimal']:.2f} (goal <= {GOAL}); "
          f"per round {', '.join(f'{x:.2f}' for x in ratios)}")
    return 0 if med["program"] / med["minimal"] <= GOAL else 1


if __name__ == "__main__":
    sys.exit(main())
