#!/usr/bin/env bash
# The real executable in folders of the test's making. PART is one of:
#   library  a missing or cut short reader library is named on stderr; status 2
#            outlives the SIGTERM that ends the box saying the same
#   signals  SIGTERM, SIGINT and SIGHUP end it as closing the window does
#   title    the window's title, as the X server has it, is exactly "Form1"
#            (Qt appends an application display name to the widget's own)
#   executable_test.sh PART CORVANE TAVRIX RECORDING_LIBRARY
set -euo pipefail
source "$(dirname "$0")/../support/exit_codes.sh"
part=$1 corvane=$2 tavrix=$3 recording=$4
root=$(mktemp -d) pid=
trap '[[ -z $pid ]] || { kill -KILL $pid; wait $pid || :; } 2>/dev/null; rm -rf "$root"' EXIT
fail() { echo "$*; the program said:" && cat "$root/stderr" && exit 1; }

# The library in bin/ (a copy: the loader resolves $ORIGIN through links),
# lib/corvane/ and work/, the folder it starts from: "-" for none, "short" for
# an interrupted copy. The public lib/ holds a good one, which never counts.
prepare() {
  rm -rf "${root:?}"/* && mkdir -p "$root"/{bin,lib/corvane,work} && cp "$corvane" "$root/bin"
  for place in lib:tavrix bin:$1 lib/corvane:$2 work:$3; do
    local library=${place#*:} target=$root/${place%:*}/libTavrix.so
    case $library in
      -) ;;
      short) head -c 4096 "$tavrix" >"$target" ;;
      *) cp "${!library}" "$target" ;;
    esac
  done
}
start() {
  (cd "$root/work" && exec env -u LD_LIBRARY_PATH QT_QPA_PLATFORM=offscreen "$@" \
    "$root/bin/corvane" 2>"$root/stderr") &
  pid=$!
}
# Runs COMMAND every 0.1 s until it succeeds, for up to 30 s.
retry() {
  for _ in {1..300}; do "$@" 2>/dev/null && return || sleep 0.1; done
  return 1
}
ended() { [[ $(ps -o stat= -p "$pid") != [^Z]* ]]; }
# Ends the program with a signal; its exit status in $status.
end() {
  kill "-$1" "$pid"
  retry ended || fail "still running 30 s after SIG$1"
  status=0 && wait "$pid" || status=$?
  pid=
}

case $part in
  library)
    while read -r bin own work reported; do
      prepare "$bin" "$own" "$work"
      start
      retry grep -q "^Corvane: .*$reported" "$root/stderr" || fail "$bin $own $work: not reported"
      end TERM
      ((status == 2)) || fail "$bin $own $work: status $status, not 2"
    done <<<'-     -      tavrix libTavrix.so
-     short  -      file too short
short tavrix -      file too short'
    ;;
  signals)
    for signal in TERM INT HUP; do
      prepare recording - -
      start
      retry grep -q '^TvxInitialize$' "$root/work/calls.log" || fail "never loaded"
      end "$signal"
      ((status == 128 + $(kill -l "$signal"))) || fail "SIG$signal: status $status"
      (($(grep -c '^TvxUninitialize$' "$root/work/calls.log") == 1)) ||
        fail "SIG$signal: the library not uninitialised once"
    done
    ;;
  title)
    command -v xvfb-run >/dev/null && command -v xdotool >/dev/null || exit "$CORVANE_TEST_SKIPPED"
    [[ -n ${CORVANE_IN_XVFB:-} ]] || CORVANE_IN_XVFB=1 exec xvfb-run -a -s "-nolisten tcp" "$0" "$@"
    prepare tavrix - -
    start QT_QPA_PLATFORM=xcb
    window=$(timeout 30 xdotool search --sync --onlyvisible --pid "$pid") || fail "no window"
    title=$(xdotool getwindowname "$window")
    [[ $title == Form1 ]] || fail "the window's title is \"$title\""
    ;;
esac
