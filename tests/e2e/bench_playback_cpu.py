"""Measures CPU while playing, side by side under one Xvfb display on the same
generated 720p clip (35 s, H.264 + AAC):
  - the program launched with the clip, its nine views loaded: CPU time (user +
    system) of its whole process tree over 30 s of playback;
  - the mpv command-line player with its default settings, playing 30 s of the clip.
Both draw with OpenGL on Mesa's llvmpipe and have no sound device.
Run by hand: python3 tests/e2e/bench_playback_cpu.py [rounds]  (TAVLIN_BUILD_DIR=build)"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(__file__))
from tavlin_e2e import Session  # noqa: E402
from bench_main_window import tree  # noqa: E402

BUILD = os.environ.get("TAVLIN_BUILD_DIR", "build")
SECONDS = 30
GOAL = 1.15
TICK = os.sysconf("SC_CLK_TCK")


def tree_cpu(pid):
    """User + system seconds of the living processes of the tree."""
    total = 0
    for p in tree(pid):
        try:
            fields = open(f"/proc/{p}/stat").read().rsplit(")", 1)[1].split()
            total += int(fields[11]) + int(fields[12])  # utime, stime
        except OSError:
            pass
    return total / TICK


def program_cpu(clip):
    s = Session(BUILD)
    try:
        s.start_program(args=[clip])
        s.wait_for(lambda: all(s.ok(op="loaded")["loaded"].values()), 60, "nine views")
        s.wait_for(lambda: s.dump()["player"]["Position"] >= 2, 30, "playing")
        cpu0, t0 = tree_cpu(s.program.pid), time.monotonic()
        position0 = s.dump()["player"]["Position"]
        s.wait_for(lambda: s.dump()["player"]["Position"] >= position0 + SECONDS, SECONDS + 30, "30 s played")
        cpu = tree_cpu(s.program.pid) - cpu0
        processes = len(tree(s.program.pid))
        return cpu, time.monotonic() - t0, processes
    finally:
        s.close()


def mpv_cpu(clip):
    s = Session(BUILD)
    try:
        p = subprocess.Popen(["mpv", "--no-config", "--vo=gpu", "--gpu-context=x11egl", "--gpu-sw=yes",
                              f"--end={SECONDS}", clip], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                             env=dict(s.env, DISPLAY=s.display))
        t0 = time.monotonic()
        _, status, usage = os.wait4(p.pid, 0)
        # Without a sound device mpv ends "interrupted by error" (exit 2), having played.
        if time.monotonic() - t0 < SECONDS:
            raise RuntimeError(f"mpv ended early ({os.waitstatus_to_exitcode(status)})")
        return usage.ru_utime + usage.ru_stime
    finally:
        s.close()


def main():
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 3
    if not shutil.which("mpv"):
        subprocess.run(["apt-get", "install", "-y", "mpv"], check=True, stdout=subprocess.DEVNULL)
    with tempfile.TemporaryDirectory() as work:
        clip = os.path.join(work, "clip.mp4")
        subprocess.run(["ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                        "testsrc2=size=1280x720:rate=25", "-f", "lavfi", "-i", "sine=frequency=440", "-t",
                        str(SECONDS + 5), "-c:v", "libx264", "-preset", "veryfast", "-g", "50", "-pix_fmt",
                        "yuv420p", "-c:a", "aac", "-movflags", "+faststart", clip], check=True)
        prog, mpv = [], []
        for r in range(rounds):
            for who in (["mpv", "program"] if r % 2 == 0 else ["program", "mpv"]):
                if who == "mpv":
                    mpv.append(mpv_cpu(clip))
                else:
                    cpu, wall, processes = program_cpu(clip)
                    prog.append(cpu)
                    print(f"  program: {cpu:.2f} s CPU over {wall:.1f} s, {processes} processes")
        mp, mm = statistics.median(prog), statistics.median(mpv)
        print(f"CPU for {SECONDS} s of 720p (median of {rounds}): program tree {mp:.2f} s, mpv {mm:.2f} s, "
              f"ratio {mp / mm:.2f} (goal <= {GOAL})")
        print(f"  program runs: {', '.join(f'{x:.2f}' for x in prog)}")
        print(f"  mpv runs:     {', '.join(f'{x:.2f}' for x in mpv)}")


if __name__ == "__main__":
    main()
