#!/usr/bin/env python3
"""Holds functions to the size and complexity limits of .clang-tidy.

  scripts/tidy.py                 the C++ files of src/ changed since the last commit's
                                  first parent (committed or not), or since
                                  $TAVLIN_TIDY_BASE / --base REF
  scripts/tidy.py FILE...         these files
  scripts/tidy.py --all           every C++ file of src/
  scripts/tidy.py --update        every C++ file of src/, and rewrites the known list

Fails on a function over a limit that scripts/tidy-known.txt does not list, or that
has grown past what the list records. Lines are not compared for listed functions,
since a change of layout moves them; statements, branches, nesting, parameters and
complexity are. Functions over the limits already are reported as warnings.
"""
import argparse
import json
import os
import re
import subprocess
import sys
from concurrent.futures import ThreadPoolExecutor

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
KNOWN = os.path.join(ROOT, "scripts", "tidy-known.txt")
WARNING = re.compile(r"^(?P<file>[^:]+):\d+:\d+: warning: function '(?P<name>[^']+)' (?P<what>.*) \[(?P<check>[\w.-]+)\]$")
NOTE = re.compile(r"^[^:]+:\d+:\d+: note: (?P<text>.*)$")
ERROR = re.compile(r"^[^:]+:\d+:\d+: error: ")
METRICS = [
    ("lines", re.compile(r"^(\d+) lines including")),
    ("statements", re.compile(r"^(\d+) statements")),
    ("branches", re.compile(r"^(\d+) branches")),
    ("parameters", re.compile(r"^(\d+) parameters")),
    ("variables", re.compile(r"^(\d+) variables")),
]
COMPLEXITY = re.compile(r"has cognitive complexity of (\d+)")


def git(*args):
    return subprocess.run(["git", *args], cwd=ROOT, capture_output=True, text=True)


def compile_database(build):
    path = os.path.join(build, "compile_commands.json")
    if not os.path.exists(path):
        if not os.path.exists(os.path.join(build, "CMakeCache.txt")):
            sys.exit(f"tidy: no build in {build}: build first (scripts/build.sh)")
        subprocess.run(["cmake", "-DCMAKE_EXPORT_COMPILE_COMMANDS=ON", build], check=True, stdout=subprocess.DEVNULL)
    with open(path) as f:
        return {os.path.realpath(e["file"]) for e in json.load(f)}


def changed_files(base):
    """Files of src/ changed since base, or None when base is not in this clone."""
    if git("rev-parse", "--verify", "-q", base + "^{commit}").returncode != 0:
        return None
    names = git("diff", "--name-only", "--diff-filter=ACMR", base, "--", "src").stdout.split()
    names += git("ls-files", "--others", "--exclude-standard", "--", "src").stdout.split()
    return sorted(set(names))


def run_tidy(build, path):
    r = subprocess.run(["clang-tidy", "--quiet", "-p", build, path], cwd=ROOT, capture_output=True, text=True)
    return path, r.stdout.splitlines()


def parse(lines):
    """{(file, function): {metric: value}} of the functions over a limit; and errors."""
    found, errors, current = {}, [], None
    for line in lines:
        if ERROR.match(line):
            errors.append(line)
            continue
        w = WARNING.match(line)
        if w:
            key = (os.path.relpath(os.path.realpath(w["file"]), ROOT), w["name"])
            current = found.setdefault(key, {})
            c = COMPLEXITY.search(w["what"])
            if c:
                current["complexity"] = max(current.get("complexity", 0), int(c[1]))
            continue
        n = NOTE.match(line)
        if n and current is not None:
            # Each block nested too deep is a note of its own: their number is the value.
            if n["text"].startswith("nesting level "):
                current["nesting"] = current.get("nesting", 0) + 1
            for metric, pattern in METRICS:
                m = pattern.match(n["text"])
                if m:
                    current[metric] = max(current.get(metric, 0), int(m[1]))
    return found, errors


def read_known():
    known = {}
    if os.path.exists(KNOWN):
        with open(KNOWN) as f:
            for line in f:
                if not line.strip() or line.startswith("#"):
                    continue
                path, name, *values = line.split()
                known[(path, name)] = {k: int(v) for k, v in (x.split("=") for x in values)}
    return known


def write_known(found):
    with open(KNOWN, "w") as f:
        f.write("# Functions of src/ over the limits of .clang-tidy when the limits came in: the\n"
                "# check lets them be but not grow. Rewritten by scripts/tidy.py --update.\n")
        for (path, name), values in sorted(found.items()):
            f.write(" ".join([path, name] + [f"{k}={v}" for k, v in sorted(values.items())]) + "\n")


def describe(values):
    return ", ".join(f"{k} {v}" for k, v in sorted(values.items()))


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("files", nargs="*")
    ap.add_argument("--base", default=os.environ.get("TAVLIN_TIDY_BASE"))
    ap.add_argument("--all", action="store_true")
    ap.add_argument("--update", action="store_true")
    ap.add_argument("--build", default=os.path.join(ROOT, os.environ.get("TAVLIN_BUILD_DIR", "build")))
    args = ap.parse_args()

    database = compile_database(args.build)
    src = os.path.join(ROOT, "src") + os.sep
    if args.all or args.update:
        files = sorted(f for f in database if f.startswith(src))
    elif args.files:
        files = [os.path.realpath(f) for f in args.files]
    else:
        names = changed_files(args.base or "HEAD^1")
        if names is None and args.base:
            sys.exit(f"tidy: the base {args.base} is not in this clone")
        if names is None:
            # A shallow clone of depth 1, or the first commit.
            print("tidy: the last commit's parent is not in this clone: nothing to compare against, so nothing "
                  "is checked. Fetch more history or name a base (TAVLIN_TIDY_BASE).")
            return 0
        files = [os.path.realpath(os.path.join(ROOT, n)) for n in names]
    files = [f for f in files if f in database]
    if not files:
        print("tidy: no C++ file of src/ to check")
        return 0

    with ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
        results = list(pool.map(lambda f: run_tidy(args.build, f), files))
    found, errors = parse([line for _, lines in results for line in lines])
    if args.update:
        write_known(found)
        print(f"tidy: {len(found)} functions over the limits written to {os.path.relpath(KNOWN, ROOT)}")
        return 0

    known = read_known()
    failures = list(errors)
    for key, values in sorted(found.items()):
        where = f"{key[0]}: {key[1]}"
        old = known.get(key)
        if old is None:
            failures.append(f"{where} is over the limits: {describe(values)}")
            continue
        grown = {k: v for k, v in values.items() if k != "lines" and v > old.get(k, 0)}
        if grown:
            failures.append(f"{where} has grown: {describe(grown)} (was {describe(old)})")
        else:
            print(f"tidy: warning: {where} is over the limits, as before: {describe(values)}")
    for failure in failures:
        print(f"tidy: error: {failure}")
    print(f"tidy: {len(files)} files checked, {len(found)} functions over the limits, {len(failures)} new")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
