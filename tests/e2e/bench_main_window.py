"""Measures the program against a bare Qt WebEngine view, both under the same Xvfb
display, against the same demo portal page and on the same Qt Quick backend:
  - start of the process until the portal page has loaded (the program's Web1 / the
    bare view's first loadFinished), best and median of several rounds. Both are
    timed the same way: from just before the exec to the "first page" step each
    prints under TAVLIN_STARTUP_TRACE (the monotonic clock, as time.monotonic reads
    it), so that neither the polling of the program's automation channel nor the
    reading of a pipe is in the figure;
  - proportional memory (PSS) of the whole process tree, the program with all nine
    views loaded and the bare view with its one page.
Run by hand: python3 tests/e2e/bench_main_window.py [rounds]  (TAVLIN_BUILD_DIR=build)"""
import os
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
from tavlin_e2e import Session  # noqa: E402

START_GOAL = 1.15     # program start / bare view start
PSS_GOAL_MIB = 300


def tree(pid):
    kids = {}
    for p in os.listdir("/proc"):
        if p.isdigit():
            try:
                ppid = int(open(f"/proc/{p}/stat").read().rsplit(")", 1)[1].split()[1])
                kids.setdefault(ppid, []).append(int(p))
            except OSError:
                pass
    out, todo = [], [pid]
    while todo:
        q = todo.pop()
        out.append(q)
        todo += kids.get(q, [])
    return out


def pss_by_process(pids):
    """[(pid, name, PSS in KiB)] for every process of the tree."""
    rows = []
    for p in pids:
        try:
            name = open(f"/proc/{p}/comm").read().strip()
            # Chromium rewrites its helpers' command lines with blanks between the words.
            cmd = open(f"/proc/{p}/cmdline", "rb").read().replace(b"\0", b" ").split()
            kind = next((a.decode() for a in cmd if a.startswith(b"--type=")), "")
            for line in open(f"/proc/{p}/smaps_rollup"):
                if line.startswith("Pss:"):
                    rows.append((p, f"{name} {kind}".strip(), int(line.split()[1])))
        except OSError:
            pass
    return rows


def settle_pss(pid, seconds=3):
    """PSS of the tree once it has stopped growing for a moment."""
    time.sleep(seconds)
    return pss_by_process(tree(pid))


def first_page_mark(log, timeout=60):
    """The time of the "first page" step in a start-up trace, once it is there."""
    end = time.time() + timeout
    while time.time() < end:
        with open(log) as f:
            for line in f:
                if line.startswith("startup ") and line.rstrip().endswith(" first page"):
                    return float(line.split()[1])
        time.sleep(0.05)
    raise TimeoutError("first page")


def time_program(s):
    s.env["TAVLIN_STARTUP_TRACE"] = "1"
    t0 = time.monotonic()
    s.start_program()  # its output, the trace with it, goes to program.log
    loaded = first_page_mark(os.path.join(s.tmp, "program.log")) - t0
    # The step also comes when the first page has had its few seconds: it must be
    # the portal page that loaded.
    assert s.ok(op="loaded")["loaded"]["Web1"], "the portal page did not load"
    return loaded


def bare_env(env):
    """The bare view on the Qt Quick backend the program picks for itself: software
    where the machine has no GPU render node (or software GL is forced)."""
    software = not any(n.startswith("renderD") for n in (os.listdir("/dev/dri") if os.path.isdir("/dev/dri") else []))
    if env.get("LIBGL_ALWAYS_SOFTWARE") == "1":
        software = True
    return dict(env, QT_QUICK_BACKEND="software") if software and "QT_QUICK_BACKEND" not in env else env


def time_bare(s, url, keep=False):
    log = os.path.join(s.tmp, "bare-trace.log")
    with open(log, "w") as trace:
        t0 = time.monotonic()
        p = s._start([os.path.join(s.build_dir, "tavlin_bare_view"), url], stdout=subprocess.PIPE,
                     stderr=trace, env=dict(bare_env(s.env), TAVLIN_STARTUP_TRACE="1"))
    line = p.stdout.readline().decode().strip()
    if not line.startswith("loaded ok"):
        raise RuntimeError(f"bare view: {line!r}")
    elapsed = first_page_mark(log) - t0
    if not keep:
        s.stop(p)
    return elapsed, p


def show(label, rows):
    total = sum(r[2] for r in rows)
    print(f"  {label}: {total / 1024:.0f} MiB PSS in {len(rows)} processes")
    for pid, name, kib in sorted(rows, key=lambda r: -r[2]):
        print(f"      {kib / 1024:6.1f} MiB  {pid:>7}  {name}")
    return total / 1024


def main():
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 5
    build = os.environ.get("TAVLIN_BUILD_DIR", "build")
    program_t, bare_t, program_pss, bare_pss = [], [], [], []
    for r in range(rounds):
        # Alternate which one goes first so that warm caches favour neither.
        order = ["bare", "program"] if r % 2 == 0 else ["program", "bare"]
        s = Session(build)
        try:
            url = s.portal_base
            for which in order:
                if which == "bare":
                    t, p = time_bare(s, url, keep=True)
                    bare_t.append(t)
                    rows = settle_pss(p.pid)
                    bare_pss.append(sum(x[2] for x in rows) / 1024)
                    if r == 0:
                        show("bare view, one page", rows)
                    s.stop(p)
                else:
                    program_t.append(time_program(s))
                    s.wait_for(lambda: all(s.ok(op="loaded")["loaded"].values()), 60, "nine views")
                    rows = settle_pss(s.program.pid)
                    program_pss.append(sum(x[2] for x in rows) / 1024)
                    if r == 0:
                        show("program, nine views", rows)
                    s.stop(s.program)
                    s.sock.close()
                    s.sock = None
                    os.unlink(s.socket_path)
        finally:
            s.close()
        print(f"round {r + 1}: program {program_t[-1]:.3f} s, bare {bare_t[-1]:.3f} s; "
              f"PSS program {program_pss[-1]:.0f} MiB, bare {bare_pss[-1]:.0f} MiB")

    med_p, med_b = statistics.median(program_t), statistics.median(bare_t)
    print(f"start -> portal page loaded, median of {rounds}: program {med_p:.3f} s, bare view {med_b:.3f} s, "
          f"ratio {med_p / med_b:.2f} (goal <= {START_GOAL}); best {min(program_t):.3f} / {min(bare_t):.3f} s")
    # The machine's pace drifts between rounds; within a round both ran under it.
    ratios = sorted(p / b for p, b in zip(program_t, bare_t))
    print(f"  per round: median {statistics.median(ratios):.2f}, {', '.join(f'{x:.2f}' for x in ratios)}")
    print(f"PSS, whole tree: program with nine views {min(program_pss):.0f}-{max(program_pss):.0f} MiB "
          f"(goal <= {PSS_GOAL_MIB}), bare view {min(bare_pss):.0f}-{max(bare_pss):.0f} MiB")
    ok = med_p / med_b <= START_GOAL and max(program_pss) <= PSS_GOAL_MIB
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
