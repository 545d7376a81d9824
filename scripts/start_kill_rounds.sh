#!/usr/bin/env bash
# Starts the program again and again in one program folder and kills every start
# with SIGKILL at a random moment, to catch a start that trips over what a killed run
# left behind. Not part of CI. Run from anywhere:
#
#   bash scripts/start_kill_rounds.sh [rounds] [build folder] [longest delay in ms]
#
# Defaults: 1000 rounds, build-asan-ui (a -DTAVLIN_SANITIZE=ON build of tavlin and
# tavlin-portal), 3000 ms. Needs Xvfb; trayer is started when it is there.
# One Xvfb, one demo portal, one program folder and one runtime folder serve every
# round; each start runs in a session of its own, so that whatever it starts (the
# web engine's helpers) is found by that session and ended by PID, as is everything
# else the script started, however the script ends.
#
# Everything goes to a fresh folder under /tmp (TAVLIN_ROUNDS_OUT names another),
# printed at the start and kept:
#   rounds.tsv     one line a start: round, delay, whether a fresh automation socket
#                  was there at the kill (the window and its views were up), how it
#                  ended (killed, exited, signal), exit code or signal, sanitizer
#                  report (yes/no), how many of its helpers were still there to end
#   logs/          output of every start that did not end by our kill or that wrote
#                  a sanitizer report, and the reports themselves (asan.<round>.<pid>);
#                  a sanitizer stops the program with exit code 1
#   leftovers.txt  the names the program and runtime folders held after the rounds
#                  (how many rounds each), and the rounds after which a list file or
#                  config.ini was not whole
#   summary.txt    the counts
# TAVLIN_ROUNDS_CORES=1 also lets crashes write core files (in logs/core-<round>/).
set -uo pipefail

ROUNDS=${1:-1000}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${2:-$ROOT/build-asan-ui}" && pwd) || exit 1
MAX_DELAY_MS=${3:-3000}
for bin in tavlin tavlin-portal; do
  [[ -x $BUILD/$bin ]] || { echo "missing $BUILD/$bin" >&2; exit 1; }
done
command -v Xvfb >/dev/null || { echo "Xvfb is missing" >&2; exit 1; }

OUT=${TAVLIN_ROUNDS_OUT:-$(mktemp -d /tmp/tavlin-rounds.XXXXXX)}
mkdir -p "$OUT/logs"
RUNTIME=$OUT/runtime
HOME_DIR=$OUT/home
mkdir -p "$RUNTIME" "$HOME_DIR"
chmod 700 "$OUT" "$RUNTIME"
SOCK=$RUNTIME/automation.sock
echo "output: $OUT"

# PIDs of what this script started and has not yet seen end.
XVFB_PID= TRAYER_PID= PORTAL_PID= PROGRAM_PID= DRAIN_PID=

# The processes of a session (the program's own and its helpers'), by the session
# field of /proc/<pid>/stat; the field after the parenthesised name is the 4th.
session_members() {
  local sid=$1 stat pid rest
  for stat in /proc/[0-9]*/stat; do
    pid=${stat#/proc/}; pid=${pid%/stat}
    { rest=$(<"$stat"); } 2>/dev/null || continue
    rest=${rest##*) }
    set -- $rest
    # A zombie is dead already; its parent (init by now) reaps it.
    [[ ${4:-} == "$sid" && $1 != Z ]] && echo "$pid"
  done
}

# Kills what is left of a session (the session leader has been reaped by then) and
# waits until it is gone. Prints how many processes it ended.
end_session() {
  local sid=$1 pids pid tries
  local -A ended=()
  for tries in 1 2 3 4 5 6 7 8 9 10; do
    pids=$(session_members "$sid")
    [[ -z $pids ]] && break
    for pid in $pids; do kill -KILL "$pid" 2>/dev/null && ended[$pid]=1; done
    sleep 0.05
  done
  echo "${#ended[@]}"
}

stop_pid() {
  local pid=$1
  [[ -z $pid ]] && return
  kill -TERM "$pid" 2>/dev/null
  for _ in 1 2 3 4 5 6 7 8 9 10; do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
}

cleanup() {
  if [[ -n $PROGRAM_PID ]]; then
    kill -KILL "$PROGRAM_PID" 2>/dev/null
    wait "$PROGRAM_PID" 2>/dev/null
    end_session "$PROGRAM_PID" >/dev/null
  fi
  stop_pid "$PORTAL_PID"
  stop_pid "$DRAIN_PID"
  stop_pid "$TRAYER_PID"
  stop_pid "$XVFB_PID"
  [[ -n ${PORTAL_FIFO:-} ]] && rm -f "$PORTAL_FIFO"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Xvfb picks a free display and names it on a descriptor; a pipe through a FIFO
# keeps the script from racing another session for a display number.
DISPLAY_FIFO=$OUT/display.fifo
mkfifo "$DISPLAY_FIFO"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$DISPLAY_FIFO" >/dev/null 2>&1 &
XVFB_PID=$!
read -r -t 30 DISPLAY_NUMBER <"$DISPLAY_FIFO"
rm -f "$DISPLAY_FIFO"
[[ -n ${DISPLAY_NUMBER:-} ]] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$DISPLAY_NUMBER"
unset WAYLAND_DISPLAY
export XDG_RUNTIME_DIR=$RUNTIME QTWEBENGINE_DISABLE_SANDBOX=1

if command -v trayer >/dev/null; then
  trayer --edge bottom --align right --width 10 --height 24 >/dev/null 2>&1 &
  TRAYER_PID=$!
fi

PORTAL_FIFO=$OUT/portal.fifo
mkfifo "$PORTAL_FIFO"
"$BUILD/tavlin-portal" --port 0 >"$PORTAL_FIFO" 2>"$OUT/portal.log" &
PORTAL_PID=$!
exec 4<"$PORTAL_FIFO"
read -r -t 30 PORTAL_BASE <&4
rm -f "$PORTAL_FIFO"
[[ $PORTAL_BASE == http://127.0.0.1:* || $PORTAL_BASE == http://\[::1\]:* ]] ||
  { echo "the portal printed no loopback address: '$PORTAL_BASE'" >&2; exit 1; }
# The portal keeps writing to the pipe; drain it so it never blocks.
cat <&4 >/dev/null &
DRAIN_PID=$!
exec 4<&-

export TAVLIN_HOME=$HOME_DIR TAVLIN_PORTAL=$PORTAL_BASE TAVLIN_AUTOMATION=$SOCK

# A socket's identity: a new socket (even on a reused inode) has a new change time.
socket_id() { [[ -S $SOCK ]] && stat -c '%i %z' "$SOCK" 2>/dev/null; }

# Whether a list file or config.ini is whole: it ends with a line break and every
# line is a record of the list (or blank), or for config.ini a section or key line.
check_whole() {
  local file=$1 fields=$2
  [[ -f $file ]] || { echo "missing"; return; }
  [[ -s $file ]] || { echo "empty"; return; }
  [[ $(tail -c 2 "$file" | od -An -c | tr -d ' ') == '\r\n' ]] || { echo "no final line break"; return; }
  if [[ $fields == ini ]]; then
    LC_ALL=C awk 'BEGIN{RS="\r\n"} !/^(\[[^]]+\]|[^=]+=.*|)$/ {bad=1} END{exit bad}' "$file" ||
      { echo "not ini lines"; return; }
  else
    LC_ALL=C awk -v n="$fields" 'BEGIN{RS="\r\n"; FS="|"} $0 != "" && NF != n {bad=1} END{exit bad}' "$file" ||
      { echo "not $fields-field records"; return; }
  fi
  echo "whole"
}

# A file's name without mkstemp's six characters, so that temporaries count as one.
kind_of() { sed -E 's/\.(tmp|write-test)-[A-Za-z0-9]{6}$/.\1-XXXXXX/; s/^\.write-test-[A-Za-z0-9]{6}$/.write-test-XXXXXX/'; }

declare -A LEFT=() TORN=()
printf 'round\tdelay_ms\tfresh_socket\tended\tcode\tsanitizer\thelpers_ended\n' >"$OUT/rounds.tsv"
killed=0 exited=0 signalled=0 reports=0 started_at=$(date +%s)

for ((round = 1; round <= ROUNDS; round++)); do
  before=$(socket_id)
  delay=$(((RANDOM * 32768 + RANDOM) % (MAX_DELAY_MS + 1)))
  log=$OUT/logs/program.$round.log
  # The web engine (not instrumented, but its deletes reach ASan's operator delete)
  # frees some objects through a base of another size; that is its own business.
  export ASAN_OPTIONS="detect_leaks=0:abort_on_error=0:new_delete_type_mismatch=0:log_path=$OUT/logs/asan.$round"
  export UBSAN_OPTIONS="print_stacktrace=1:log_path=$OUT/logs/asan.$round"
  if [[ ${TAVLIN_ROUNDS_CORES:-0} == 1 ]]; then
    mkdir -p "$OUT/logs/core-$round"
    (cd "$OUT/logs/core-$round" && ulimit -c unlimited &&
      ASAN_OPTIONS="$ASAN_OPTIONS:disable_coredump=0" exec setsid "$BUILD/tavlin") >"$log" 2>&1 &
  else
    # Not a group leader (no job control here), so setsid makes the session in place
    # and $! is the program itself.
    setsid "$BUILD/tavlin" >"$log" 2>&1 &
  fi
  PROGRAM_PID=$!
  sleep "$(printf '%d.%03d' $((delay / 1000)) $((delay % 1000)))"
  after=$(socket_id)
  fresh=no
  [[ -n $after && $after != "$before" ]] && fresh=yes
  state=$(cut -d' ' -f3 "/proc/$PROGRAM_PID/stat" 2>/dev/null)
  we_killed=no
  if [[ -n $state && $state != Z ]] && kill -KILL "$PROGRAM_PID" 2>/dev/null; then we_killed=yes; fi
  wait "$PROGRAM_PID" 2>/dev/null
  status=$?
  helpers=$(end_session "$PROGRAM_PID")
  PROGRAM_PID=
  if [[ $we_killed == yes && $status == 137 ]]; then
    ended=killed code=9
    killed=$((killed + 1))
  elif ((status > 128)); then
    ended=signal code=$((status - 128))
    signalled=$((signalled + 1))
  else
    ended=exited code=$status
    exited=$((exited + 1))
  fi
  sanitizer=no
  # A start killed at once may not have opened its log yet.
  if compgen -G "$OUT/logs/asan.$round.*" >/dev/null || grep -qsE 'ERROR: (Address|Undefined)Sanitizer|runtime error:' "$log"; then
    sanitizer=yes
    reports=$((reports + 1))
  fi
  [[ $ended == killed && $sanitizer == no ]] && rm -f "$log"
  printf '%d\t%d\t%s\t%s\t%s\t%s\t%s\n' "$round" "$delay" "$fresh" "$ended" "$code" "$sanitizer" "$helpers" \
    >>"$OUT/rounds.tsv"
  [[ $ended != killed || $sanitizer == yes ]] &&
    echo "round $round: $ended $code after ${delay} ms (sanitizer report: $sanitizer) -> $log"

  # What the killed start left behind, before the next start tidies it.
  while read -r name; do
    [[ -n $name ]] && LEFT["home/$name"]=$((${LEFT["home/$name"]:-0} + 1))
  done < <(ls -A "$HOME_DIR" | kind_of)
  while read -r name; do
    [[ -n $name ]] && LEFT["runtime/$name"]=$((${LEFT["runtime/$name"]:-0} + 1))
  done < <(ls -A "$RUNTIME" | kind_of)
  for spec in date.dat:7 date_f.dat:3 config.ini:ini; do
    file=${spec%%:*}
    verdict=$(check_whole "$HOME_DIR/$file" "${spec#*:}")
    [[ $verdict != whole ]] && TORN["$file: $verdict"]=$((${TORN["$file: $verdict"]:-0} + 1))
  done
  if ((round % 50 == 0)); then
    echo "round $round: killed $killed, exited $exited, signal $signalled, sanitizer $reports ($(($(date +%s) - started_at)) s)"
  fi
done

{
  echo "after each round (count of rounds the name was there; XXXXXX stands for any mkstemp suffix):"
  for name in "${!LEFT[@]}"; do printf '  %-40s %d\n' "$name" "${LEFT[$name]}"; done | sort
  echo "list files and config.ini not whole after a round:"
  for what in "${!TORN[@]}"; do printf '  %-40s %d\n' "$what" "${TORN[$what]}"; done | sort
  [[ ${#TORN[@]} == 0 ]] && echo "  none"
  echo "at the end:"
  ls -la "$HOME_DIR" "$RUNTIME" | sed 's/^/  /'
} >"$OUT/leftovers.txt"
{
  echo "rounds: $((round - 1)) in $(($(date +%s) - started_at)) s"
  echo "killed by us: $killed"
  echo "exited by itself: $exited"
  echo "ended by a signal of its own: $signalled"
  echo "sanitizer reports: $reports"
} | tee "$OUT/summary.txt"
echo "output: $OUT"
