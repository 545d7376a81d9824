"""Measures CPU while playing, side by side under one Xvfb display with openbox, on
the same generated 720p clip (H.264 + AAC) with the picture 740x416 for each:
  - the program launched with the clip, its nine views loaded from the demo portal;
  - the mpv command-line player with the program's scaler: each frame brought to the
    picture's size by a lanczos in the decoder's filter chain, then drawn 1:1;
  - mpv with its own OpenGL bilinear scaling, for reference (softer picture).
For each: user + system seconds of the whole process tree from /proc (children
included) over 30 s of playback from the clip's position 2 s, so load from other
programs on the machine weighs little. All draw with OpenGL on Mesa's llvmpipe and
play without a sound device. Rounds are interleaved, each player in a fresh session.
Run by hand: python3 tests/e2e/bench_playback_cpu.py [rounds]  (TAVLIN_BUILD_DIR=build;
TAVLIN_BEFORE_BUILD_DIR=<another build> adds that build's program to the rounds)"""
import json
import os
import socket
import statistics
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(__file__))
from tavlin_e2e import Session  # noqa: E402
from bench_main_window import tree  # noqa: E402
from bench_playback_memory import BUILD, MPV, PICTURE, ensure_mpv, make_clip  # noqa: E402

SECONDS = 30
START = 2
GOAL = 1.0
TICK = os.sysconf("SC_CLK_TCK")
LANCZOS = [f"--vf=scale=w={PICTURE.split('x')[0]}:h={PICTURE.split('x')[1]}:"
           "force_original_aspect_ratio=decrease:flags=lanczos", "--scale=bilinear", "--dscale=bilinear"]
PLAYERS = {"program": None, "mpv lanczos": LANCZOS, "mpv GL bilinear": ["--scale=bilinear", "--dscale=bilinear"]}
# Another build of the program (an older commit, say) measured in the same rounds.
BEFORE = os.environ.get("TAVLIN_BEFORE_BUILD_DIR")
if BEFORE:
    PLAYERS["program before"] = None


def tree_cpu(pid):
    """User + system seconds of the tree: its living processes and the children they
    have waited for."""
    total = 0
    for p in tree(pid):
        try:
            fields = open(f"/proc/{p}/stat").read().rsplit(")", 1)[1].split()
            total += sum(int(f) for f in fields[11:15])  # utime, stime, cutime, cstime
        except OSError:
            pass
    return total / TICK


def span(pid, position):
    """CPU seconds of the tree over SECONDS of playback from position START. Nobody
    asks the player anything meanwhile: the program's state dump, asked 20 times a
    second, would cost it more than mpv's answer costs mpv."""
    deadline = time.monotonic() + 90
    while position() < START:
        if time.monotonic() > deadline:
            raise TimeoutError("not playing")
        time.sleep(0.05)
    cpu0, t0 = tree_cpu(pid), time.monotonic()
    time.sleep(SECONDS)
    cpu, wall, processes = tree_cpu(pid) - cpu0, time.monotonic() - t0, len(tree(pid))
    played = position()
    if played < START + SECONDS - 2:
        raise RuntimeError(f"only at {played} s after {wall:.1f} s: playback stalled")
    return cpu, wall, processes


def program_cpu(s, clip):
    s.start_program(args=[clip])
    s.wait_for(lambda: all(s.ok(op="loaded")["loaded"].values()), 90, "nine views")
    return span(s.program.pid, lambda: s.dump()["player"]["Position"])


def mpv_cpu(s, clip, options):
    path = os.path.join(s.tmp, "mpv.sock")
    p = s.spawn(MPV + options + [f"--input-ipc-server={path}", clip], env=dict(s.env, DISPLAY=s.display))
    s._wait(lambda: os.path.exists(path) or p.poll() is not None, 30, "mpv")
    channel = socket.socket(socket.AF_UNIX)
    channel.connect(path)
    reader = channel.makefile("rb")

    def position():
        channel.sendall(b'{"command": ["get_property", "playback-time"]}\n')
        while True:
            answer = json.loads(reader.readline())
            if "event" not in answer:
                return answer.get("data") or 0
    try:
        return span(p.pid, position)
    finally:
        channel.close()


def main():
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 3
    ensure_mpv()
    cpu = {w: [] for w in PLAYERS}
    print(f"load before: {open('/proc/loadavg').read().strip()}")
    with tempfile.TemporaryDirectory() as folder:
        clip = make_clip(folder, START + SECONDS + 8)
        for r in range(rounds):
            order = list(PLAYERS) if r % 2 == 0 else list(PLAYERS)[::-1]
            for who in order:
                s = Session(BEFORE if who == "program before" else BUILD, window_manager="openbox")
                try:
                    used, wall, processes = program_cpu(s, clip) if who.startswith("program") else \
                        mpv_cpu(s, clip, PLAYERS[who])
                finally:
                    s.close()
                cpu[who].append(used)
                print(f"  {who}: {used:.2f} s CPU over {wall:.1f} s, {processes} processes", flush=True)
    med = {w: statistics.median(v) for w, v in cpu.items()}
    print(f"CPU for {SECONDS} s of 720p at {PICTURE}, median of {rounds} (min-max): " +
          ", ".join(f"{w} {med[w]:.2f} ({min(v):.2f}-{max(v):.2f}) s" for w, v in cpu.items()))
    ratio = med["program"] / med["mpv lanczos"]
    print(f"  program / mpv with the same scaler: {ratio:.2f} (goal <= {GOAL}); "
          f"per round {', '.join(f'{p / m:.2f}' for p, m in zip(cpu['program'], cpu['mpv lanczos']))}")
    print(f"load after: {open('/proc/loadavg').read().strip()}")
    return 0 if ratio <= GOAL else 1


if __name__ == "__main__":
    sys.exit(main())
