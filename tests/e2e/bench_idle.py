"""Measures the work done while nothing happens, side by side under one Xvfb display
against the same demo portal: the program with its nine views loaded and nothing
playing, against one bare web view with the portal page. For a window of quiet
(60 s by default, nobody talks to either process meanwhile) it counts, over the
whole process tree:
  - CPU time (user + system),
  - wakeups: voluntary + involuntary context switches of every thread,
and lists the threads that woke most, which is where to look next.
Run by hand: python3 tests/e2e/bench_idle.py [rounds] [seconds]  (TAVLIN_BUILD_DIR=build)"""
import os
import statistics
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
from tavlin_e2e import Session  # noqa: E402
from bench_main_window import time_bare, tree  # noqa: E402

BUILD = os.environ.get("TAVLIN_BUILD_DIR", "build")
GOAL = 0.001  # of a core
SETTLE = 10   # s after the pages are in: the update file is read six seconds after the start


def threads(pid):
    """{(pid, tid): (name, ns on a CPU, context switches)} of every thread of the tree.
    The scheduler's nanoseconds, not the 10 ms ticks of /proc/<pid>/stat: idle work
    is far below a tick."""
    out = {}
    for p in tree(pid):
        try:
            proc = open(f"/proc/{p}/comm").read().strip()
            # Chromium rewrites its helpers' command lines with blanks between the words.
            cmd = open(f"/proc/{p}/cmdline", "rb").read().replace(b"\0", b" ").split()
            kind = next((a.decode()[7:] for a in cmd if a.startswith(b"--type=")), "")
            for t in os.listdir(f"/proc/{p}/task"):
                run_ns = int(open(f"/proc/{p}/task/{t}/schedstat").read().split()[0])
                name = open(f"/proc/{p}/task/{t}/comm").read().strip()
                switches = 0
                for line in open(f"/proc/{p}/task/{t}/status"):
                    if line.startswith(("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")):
                        switches += int(line.split()[1])
                out[(p, int(t))] = (f"{proc}{'/' + kind if kind else ''}:{name}", run_ns, switches)
        except OSError:
            pass
    return out


def quiet(pid, seconds):
    """(CPU s, wakeups, [(wakeups, CPU ns, thread)]) of the tree over `seconds`."""
    before = threads(pid)
    time.sleep(seconds)
    after = threads(pid)
    rows = []
    for key, (name, cpu, sw) in after.items():
        cpu0, sw0 = (before[key][1], before[key][2]) if key in before else (0, 0)
        rows.append((sw - sw0, cpu - cpu0, name))
    rows.sort(reverse=True)
    return sum(r[1] for r in rows) / 1e9, sum(r[0] for r in rows), rows


def program_idle(s, seconds):
    s.start_program()
    s.wait_for(lambda: all(s.ok(op="loaded")["loaded"].values()), 60, "nine views")
    time.sleep(SETTLE)
    result = quiet(s.program.pid, seconds)
    s.stop(s.program)
    s.sock.close()
    s.sock = None
    os.unlink(s.socket_path)
    return result


def bare_idle(s, seconds):
    _, p = time_bare(s, s.portal_base, keep=True)
    time.sleep(SETTLE)
    result = quiet(p.pid, seconds)
    s.stop(p)
    return result


def show(label, result, seconds):
    cpu, wakeups, rows = result
    print(f"  {label}: {cpu:.3f} s CPU ({100 * cpu / seconds:.3f} % of a core), {wakeups} wakeups "
          f"({wakeups / seconds:.1f}/s); busiest threads:")
    for sw, ns, name in rows[:8]:
        if sw or ns:
            print(f"      {sw:6d} wakeups {ns / 1e6:8.1f} ms  {name}")


def main():
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 3
    seconds = int(sys.argv[2]) if len(sys.argv) > 2 else 60
    prog, bare = [], []
    for r in range(rounds):
        order = ["bare", "program"] if r % 2 == 0 else ["program", "bare"]
        s = Session(BUILD)
        try:
            for which in order:
                if which == "bare":
                    bare.append(bare_idle(s, seconds))
                    show(f"round {r + 1}, bare view", bare[-1], seconds)
                else:
                    prog.append(program_idle(s, seconds))
                    show(f"round {r + 1}, program", prog[-1], seconds)
        finally:
            s.close()
    pc = statistics.median(x[0] for x in prog)
    bc = statistics.median(x[0] for x in bare)
    pw = statistics.median(x[1] for x in prog)
    bw = statistics.median(x[1] for x in bare)
    print(f"idle {seconds} s, median of {rounds}: program {pc:.3f} s CPU ({100 * pc / seconds:.3f} % of a core, "
          f"goal <= {100 * GOAL:.1f} %), {pw / seconds:.1f} wakeups/s; bare view {bc:.3f} s, {bw / seconds:.1f} wakeups/s")
    print(f"  program CPU per round: {', '.join(f'{x[0]:.3f}' for x in prog)}; "
          f"bare: {', '.join(f'{x[0]:.3f}' for x in bare)}")
    return 0 if pc / seconds <= GOAL else 1


if __name__ == "__main__":
    sys.exit(main())
