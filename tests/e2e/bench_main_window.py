"""Measures the program under Xvfb: start until the portal view has loaded, and the
proportional memory (PSS) of the whole process tree once all nine views are loaded."""
import os
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
from tavlin_e2e import Session  # noqa: E402


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


def pss_kib(pids):
    total = 0
    for p in pids:
        try:
            for line in open(f"/proc/{p}/smaps_rollup"):
                if line.startswith("Pss:"):
                    total += int(line.split()[1])
        except OSError:
            pass
    return total


s = Session(os.environ.get("TAVLIN_BUILD_DIR", "build"))
try:
    t0 = time.time()
    s.start_program()
    s.wait_for(lambda: s.ok(op="loaded")["loaded"]["Web1"], 60)
    portal = time.time() - t0
    s.wait_for(lambda: all(s.ok(op="loaded")["loaded"].values()), 60)
    time.sleep(2)
    pids = tree(s.program.pid)
    print(f"start -> portal loaded: {portal:.2f} s")
    print(f"PSS of {len(pids)} processes with nine views: {pss_kib(pids) / 1024:.0f} MiB")
finally:
    s.close()
