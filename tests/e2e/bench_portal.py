"""Measures the portal road, side by side in one run under one Xvfb display:
  - a play link clicked -> the first video frame of the episode (the program asks the
    portal's h.asp, fetches the qvod item and plays it), against the mpv command-line
    player launched on the same seed address; the h.asp round trip is timed apart;
  - the end of an episode -> the first frame of the next one, which the program has
    fetched ahead: from the start of the next item, and from the end of the first.
Run by hand: python3 tests/e2e/bench_portal.py [rounds]  (TAVLIN_BUILD_DIR=build)"""
import os
import shutil
import statistics
import subprocess
import sys
import time
import urllib.request

sys.path.insert(0, os.path.dirname(__file__))
from tavlin_e2e import Session  # noqa: E402

BUILD = os.environ.get("TAVLIN_BUILD_DIR", "build")
# Episodes no round plays twice: each is fetched from the portal, none from disk.
EPISODES = [(107, 1, i) for i in range(1, 13)] + [(101, 1, i) for i in range(1, 9)]
MPV = ["mpv", "--no-config", "--vo=gpu", "--gpu-context=x11egl", "--gpu-sw=yes", "--ao=null",
       "--hwdec=auto-safe", "--keep-open=no", "--end=2", "--msg-level=all=v", "--msg-time"]


def player(s):
    return s.dump()["player"]


def start(s, media):
    s.save_into(media)
    s.start_program()
    s.wait_for(lambda: s.ok(op="loaded")["loaded"]["Web1"], 60, "home page")


def first_frame_after(s, action, timeout=20):
    frames = player(s)["FramesDrawn"]
    t0 = time.monotonic()
    action()
    s.wait_for_fine(lambda: player(s)["FramesDrawn"] > frames, timeout, "first frame")
    return time.monotonic() - t0


def asp(s, item, source, index):
    t0 = time.monotonic()
    with urllib.request.urlopen(f"{s.portal_base}h.asp?id={item}&v={source}&v1={index}", timeout=10) as r:
        answer = r.read().decode()
    return answer, time.monotonic() - t0


def mpv_first_frame(s, seed):
    t0 = time.monotonic()
    p = subprocess.Popen(MPV + [seed], stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                         env=dict(s.env, DISPLAY=s.display))
    first = None
    for line in p.stdout:
        if first is None and "first video frame after restart shown" in line:
            first = time.monotonic() - t0
    p.wait()
    if first is None:
        raise RuntimeError("mpv never drew")
    return first


def click_to_frame(s, media, rounds):
    prog, mpv, trip = [], [], []
    for item, source, index in EPISODES[:rounds]:
        answer, rtt = asp(s, item, source, index)
        sha1 = answer.split("$")[1].split("|")[1]
        trip.append(rtt)
        # Alternate who goes first, so that warm caches favour neither.
        runs = [("mpv", None), ("program", None)] if len(prog) % 2 == 0 else [("program", None), ("mpv", None)]
        for who, _ in runs:
            if who == "mpv":
                mpv.append(mpv_first_frame(s, s.portal_base.replace("/soft/", "/seed/") + sha1))
            else:
                link = f"eebovod://{item}-{source}-{index}-t"
                prog.append(first_frame_after(s, lambda: s.ok(op="link", view="Web1", href=link)))
                s.ok(op="click", form="BA1", control="bo_but", index=1)
                s.wait_for(lambda: s.control("zhun")["caption"] == "已停止", 5, "stopped")
    return prog, mpv, trip


def end_to_next(s):
    """One episode to its end, the next one fetched ahead; seconds from the end of
    the first (its last position reached) and from the start of the next item to
    the next item's first frame."""
    s.ok(op="link", view="Web1", href="eebovod://102-1-1-t")
    s.wait_for(lambda: s.ba1()["state"]["NextPrefetchStarted"] == 1, 20, "next episode fetched ahead")
    first = s.ba1()["state"]["CurrentEpisodeKey"]
    s.wait_for(lambda: player(s)["PlayState"] == 3, 10, "playing")
    # Played to its end, the player leaves the playing state (the last picture stays).
    s.wait_for_fine(lambda: player(s)["PlayState"] != 3, 30, "the end")
    t_end = time.monotonic()
    frames = player(s)["FramesDrawn"]
    s.wait_for_fine(lambda: s.ba1()["state"]["CurrentEpisodeKey"] != first, 30, "the next item")
    t_next = time.monotonic()
    s.wait_for_fine(lambda: player(s)["FramesDrawn"] > frames, 10, "the next item's first frame")
    t_frame = time.monotonic()
    opened = player(s)["Opened"]
    s.ok(op="click", form="BA1", control="bo_but", index=1)
    return t_frame - t_end, t_frame - t_next, opened


def main():
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 5
    if not shutil.which("mpv"):
        subprocess.run(["apt-get", "install", "-y", "mpv"], check=True, stdout=subprocess.DEVNULL)
    s = Session(BUILD)
    try:
        media = os.path.join(s.tmp, "media")
        os.makedirs(media)
        start(s, media)
        prog, mpv, trip = click_to_frame(s, media, rounds)
        mp, mm, mt = statistics.median(prog), statistics.median(mpv), statistics.median(trip)
        print(f"play link -> first frame (median of {rounds}): program {mp:.3f} s, mpv {mm:.3f} s, "
              f"h.asp round trip {mt * 1000:.1f} ms")
        print(f"  ratio program / (mpv + round trip) = {mp / (mm + mt):.2f}  (goal <= 1.2)")
        print(f"  program runs: {', '.join(f'{x:.3f}' for x in prog)}")
        print(f"  mpv runs:     {', '.join(f'{x:.3f}' for x in mpv)}")
        ends = [end_to_next(s) for _ in range(max(1, rounds // 2))]
        print("end of an episode -> first frame of the next (fetched ahead):")
        for from_end, from_start, opened in ends:
            print(f"  from the end {from_end:.3f} s (the program takes the end 2 s after its poll sees it), "
                  f"from the next item's start {from_start:.3f} s (goal <= 0.5), opened {opened}")
    finally:
        s.close()


if __name__ == "__main__":
    main()
