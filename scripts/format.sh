#!/usr/bin/env bash
# Lays out every C and C++ file of the tree with clang-format (.clang-format).
#   scripts/format.sh            formats in place
#   scripts/format.sh --check    changes nothing; lists the files that would change
#                                and counts their changed lines; fails when any would
#   scripts/format.sh [--check] FILE...   only these files
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || bash scripts/install-deps.sh

check=false
if [ "${1:-}" = "--check" ]; then
  check=true
  shift
fi
if [ $# -gt 0 ]; then
  files=("$@")
else
  mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.c' '*.cc')
fi
[ ${#files[@]} -gt 0 ] || exit 0

if ! $check; then
  printf '%s\0' "${files[@]}" | xargs -0 -n 20 -P "$(nproc)" clang-format -i --style=file
  exit 0
fi

changed=0
lines=0
for f in "${files[@]}"; do
  n=$(clang-format --style=file "$f" | diff "$f" - | grep -c '^<' || true)
  if [ "$n" -gt 0 ]; then
    echo "$f: $n lines"
    changed=$((changed + 1))
    lines=$((lines + n))
  fi
done
echo "$changed files, $lines lines would change"
[ "$changed" -eq 0 ]
