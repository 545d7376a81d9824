"""Measures memory while playing, side by side under one Xvfb display with openbox,
on the same generated 720p clip (H.264 + AAC) with the picture 740x416 for each:
  - the program launched with the clip, its nine views loaded from the demo portal;
  - the mpv command-line player (OpenGL on the same llvmpipe, the program's
    decoder choice and sound outputs);
  - the minimal Qt Widgets + libmpv player the build makes (bench/launch) beside one
    bare web view on the portal page (bench/bare_view): what a plain Qt + libmpv +
    web engine program carries, and what the web engine alone costs.
The figure is the proportional set size (PSS, /proc/<pid>/smaps_rollup) summed over
each whole process tree after the same seconds of playback, so pages shared between
processes count once; beside it the tree "alone": its distinct pages, which other
programs sharing the libraries do not lower (see alone_kib). Rounds are interleaved,
each player in a fresh session. QTWEBENGINE_CHROMIUM_FLAGS from the environment
reaches the program (to try flags).
Run by hand: python3 tests/e2e/bench_playback_memory.py [rounds]  (TAVLIN_BUILD_DIR=build;
TAVLIN_BEFORE_BUILD_DIR=<another build> adds that build's program to the rounds)"""
import collections
import os
import struct
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(__file__))
from tavlin_e2e import Session  # noqa: E402
from bench_main_window import bare_env, pss_by_process, tree  # noqa: E402

BUILD = os.path.abspath(os.environ.get("TAVLIN_BUILD_DIR", "build"))
GOAL = 1.3        # program tree / mpv tree
PLAYED = 12       # s of playback before the figure is taken
PICTURE = "740x416"
MPV = ["mpv", "--no-config", "--vo=gpu", "--gpu-context=x11egl", "--hwdec=auto-safe", "--keep-open=yes",
       f"--geometry={PICTURE}", "--ao=pipewire,pulse,alsa,jack"]


def make_clip(folder, seconds=40):
    clip = os.path.join(folder, "clip.mp4")
    subprocess.run(["ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                    "testsrc2=size=1280x720:rate=25", "-f", "lavfi", "-i", "sine=frequency=440", "-t",
                    str(seconds), "-c:v", "libx264", "-preset", "veryfast", "-g", "50", "-pix_fmt", "yuv420p",
                    "-c:a", "aac", "-movflags", "+faststart", clip], check=True)
    return clip


def ensure_mpv():
    if not shutil.which("mpv"):
        subprocess.run(["apt-get", "install", "-y", "mpv"], check=True, stdout=subprocess.DEVNULL)


def kinds(pid):
    """KiB of PSS by kind of mapping of one process: anonymous (heaps, buffers) and
    files (libraries, fonts, shared memory)."""
    anon = files = 0
    name = None
    try:
        for line in open(f"/proc/{pid}/smaps"):
            head = line.split(None, 6)
            if not head[0].endswith(":"):
                name = head[5].strip() if len(head) > 5 else ""
            elif head[0] == "Pss:":
                if not name or name.startswith("["):
                    anon += int(head[1])
                else:
                    files += int(head[1])
    except OSError:
        pass
    return anon, files


def alone_kib(pids):
    """KiB of the distinct pages in memory that the processes map: their PSS as it
    would be with no other program sharing their libraries. Other programs that use the
    same libraries (other Qt or mpv programs on a shared machine) lower the PSS the
    kernel reports, by an amount that changes from run to run; this does not. Reads
    the page frame numbers from /proc/<pid>/pagemap, which needs root; None without."""
    frames = set()
    for p in pids:
        try:
            ranges, head = [], None
            for line in open(f"/proc/{p}/smaps"):
                parts = line.split()
                if not parts[0].endswith(":"):
                    head = parts[0]
                elif parts[0] == "Rss:" and int(parts[1]) > 0:
                    start, end = (int(x, 16) for x in head.split("-"))
                    ranges.append((start, end))
            with open(f"/proc/{p}/pagemap", "rb") as pagemap:
                for start, end in ranges:
                    pagemap.seek(start // 4096 * 8)
                    data = pagemap.read((end - start) // 4096 * 8)
                    for (entry,) in struct.iter_unpack("<Q", data):
                        if entry >> 63:  # present
                            frames.add(entry & ((1 << 55) - 1))
        except OSError:
            pass
    if frames == {0}:  # frame numbers hidden: not root
        return None
    return len(frames) * 4


def snapshot(*roots):
    """({"PSS": MiB, "alone": MiB}, [(MiB, anon MiB, files MiB, name)]) of the trees."""
    rows, pids = [], [p for root in roots for p in tree(root)]
    for p, name, kib in pss_by_process(pids):
        anon, files = kinds(p)
        rows.append((kib / 1024, anon / 1024, files / 1024, name))
    rows.sort(reverse=True)
    alone = alone_kib(pids)
    return {"PSS": sum(r[0] for r in rows), "alone": alone / 1024 if alone else float("nan")}, rows


# Another build of the program (an older commit, say) measured in the same rounds.
BEFORE = os.environ.get("TAVLIN_BEFORE_BUILD_DIR")


def program(s, clip):
    s.start_program(args=[clip])
    s.wait_for(lambda: all(s.ok(op="loaded")["loaded"].values()), 90, "nine views")
    s.wait_for(lambda: s.dump()["player"]["Position"] >= PLAYED, PLAYED + 60, "played")
    return snapshot(s.program.pid)


def mpv(s, clip):
    p = s.spawn(MPV + [clip], env=dict(s.env, DISPLAY=s.display))
    time.sleep(PLAYED + 1)
    if p.poll() is not None:
        raise RuntimeError(f"mpv ended early ({p.returncode})")
    return snapshot(p.pid)


def minimal_and_bare(s, clip):
    """The minimal player playing and the bare view holding the portal page, at once."""
    bare = s.spawn([os.path.join(BUILD, "tavlin_bare_view"), s.portal_base], stdout=subprocess.PIPE,
                   env=bare_env(s.env))
    if not bare.stdout.readline().decode().startswith("loaded ok"):
        raise RuntimeError("bare view did not load")
    player = s.spawn([os.path.join(BUILD, "tavlin_minimal_player"), clip], env=dict(s.env, DISPLAY=s.display))
    time.sleep(PLAYED + 1)
    print(f"    alone: minimal player {alone_kib(tree(player.pid)) / 1024:.0f} MiB, bare view "
          f"{alone_kib(tree(bare.pid)) / 1024:.0f} MiB")
    return snapshot(player.pid, bare.pid)


def show(label, total, rows):
    print(f"  {label}: {total['PSS']:.0f} MiB PSS ({total['alone']:.0f} MiB alone) in {len(rows)} processes")
    for mib, anon, files, name in rows:
        print(f"      {mib:6.1f} MiB (anonymous {anon:5.1f}, files {files:5.1f})  {name}")


def main():
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 3
    ensure_mpv()
    runs = {"program": program, "mpv": mpv, "minimal + bare": minimal_and_bare}
    if BEFORE:
        runs["program before"] = program
    figures = collections.defaultdict(lambda: collections.defaultdict(list))
    print(f"load before: {open('/proc/loadavg').read().strip()}")
    with tempfile.TemporaryDirectory() as folder:
        clip = make_clip(folder)
        for r in range(rounds):
            order = list(runs) if r % 2 == 0 else list(runs)[::-1]
            for who in order:
                s = Session(BEFORE if who == "program before" else BUILD, window_manager="openbox")
                try:
                    total, rows = runs[who](s, clip)
                finally:
                    s.close()
                for k, v in total.items():
                    figures[k][who].append(v)
                if r == 0:
                    show(who, total, rows)
            print(f"round {r + 1}: " + ", ".join(f"{w} {figures['PSS'][w][-1]:.0f} ({figures['alone'][w][-1]:.0f} "
                                                 "alone) MiB" for w in runs), flush=True)
    print(f"Memory of the tree after {PLAYED} s of 720p at {PICTURE}, median of {rounds} (min-max):")
    med = {}
    for kind, by in figures.items():
        med[kind] = {w: statistics.median(v) for w, v in by.items()}
        print(f"  {kind}: " + ", ".join(f"{w} {med[kind][w]:.0f} ({min(v):.0f}-{max(v):.0f}) MiB" for w, v in by.items()))
        print(f"    program / mpv: {med[kind]['program'] / med[kind]['mpv']:.2f} (goal <= {GOAL}); nine views "
              f"beyond one bare view and the minimal player: {med[kind]['program'] - med[kind]['minimal + bare']:.0f} MiB")
    print(f"load after: {open('/proc/loadavg').read().strip()}")
    return 0 if med["PSS"]["program"] / med["PSS"]["mpv"] <= GOAL else 1


if __name__ == "__main__":
    sys.exit(main())
