"""Measures a start with a media file, side by side under one Xvfb display: the
program launched with the file until its first video frame (and whether the portal
page had loaded by then), against the mpv command-line player launched on the same
file until its first frame.
Run by hand: python3 tests/e2e/bench_first_frame.py [rounds]  (TAVLIN_BUILD_DIR=build)"""
import os
import shutil
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
from tavlin_e2e import Session  # noqa: E402
from bench_portal import mpv_first_frame  # noqa: E402

BUILD = os.environ.get("TAVLIN_BUILD_DIR", "build")
def program_first_frame(build, clip):
    s = Session(build)
    try:
        t0 = time.monotonic()
        s.start_program(args=[clip])
        s.wait_for_fine(lambda: s.dump()["player"]["FramesDrawn"] > 0, 30, "first frame")
        elapsed = time.monotonic() - t0
        portal_loaded = s.ok(op="loaded")["loaded"]["Web1"]
        return elapsed, portal_loaded
    finally:
        s.close()


def mpv_alone(build, clip):
    s = Session(build)
    try:
        return mpv_first_frame(s, clip)
    finally:
        s.close()


def main():
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 5
    if not shutil.which("mpv"):
        subprocess.run(["apt-get", "install", "-y", "mpv"], check=True, stdout=subprocess.DEVNULL)
    clip = os.path.abspath(os.path.join(BUILD, "portal-media", "yese-01.mp4"))
    prog, mpv, before_portal = [], [], 0
    for r in range(rounds):
        order = ["mpv", "program"] if r % 2 == 0 else ["program", "mpv"]
        for who in order:
            if who == "mpv":
                mpv.append(mpv_alone(BUILD, clip))
            else:
                t, loaded = program_first_frame(BUILD, clip)
                prog.append(t)
                before_portal += not loaded
    mp, mm = statistics.median(prog), statistics.median(mpv)
    print(f"launch with a file -> first frame (median of {rounds}): program {mp:.3f} s, mpv {mm:.3f} s, "
          f"ratio {mp / mm:.2f} (goal <= 1.2)")
    print(f"  program runs: {', '.join(f'{x:.3f}' for x in prog)}")
    print(f"  mpv runs:     {', '.join(f'{x:.3f}' for x in mpv)}")
    print(f"  first frame before the portal page had loaded: {before_portal} of {rounds}")


if __name__ == "__main__":
    main()
