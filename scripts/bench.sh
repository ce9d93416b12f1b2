#!/usr/bin/env bash
# Builds the benchmarks (Release, the bench presets) and runs them, then
# prints one table: each figure beside its floor measured in the same run, the
# ratio, the goal and whether it was met. The 64-bit Windows program is built
# with mingw-w64 and measured under Wine in the same run. Takes a few minutes
# on a 2-core machine, most of it the builds; run it on an otherwise quiet
# machine.
#   scripts/bench.sh            build, run everything, print the table
#   BENCH_SKIP_BUILD=1 ...      reuse the builds as they are
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh bench
if [[ -z ${BENCH_SKIP_BUILD:-} ]]; then
  cmake --workflow --preset bench
  cmake --workflow --preset bench-mingw-x86_64
fi
bin=build/bench/bin
windows=build/bench-mingw-x86_64
wine_fixture=tests/win32/wine.sh
export CORVANE_WINE64=/usr/lib/wine/wine64

# Qt wants a private runtime folder; without one it warns on every start.
if [[ -z ${XDG_RUNTIME_DIR:-} ]]; then
  export XDG_RUNTIME_DIR="${TMPDIR:-/tmp}/corvane-bench-runtime-$(id -u)"
  mkdir -p "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
fi
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"

rows=$(mktemp)
scratch=$(mktemp -d)
log=build/bench/bench.log
: >"$log"
cleanup() {
  "$wine_fixture" win64 "$windows/bench-wine" stop >>"$log" 2>&1 || true
  [[ -s $scratch/xvfb.pid ]] && kill "$(cat "$scratch/xvfb.pid")" 2>/dev/null
  rm -rf "$rows" "$scratch"
}
trap cleanup EXIT
broken=0

# NAME LIMIT COMMAND...: its rows go to the table, whatever else it says to
# the log. Exit status 1 means it ran and missed a goal, which its rows say;
# anything else, a hang that LIMIT ended included, is a failed row of its own.
run() {
  local name=$1 limit=$2 status=0
  shift 2
  echo "running $name ..." >&2
  timeout "$limit" "$@" >"$scratch/said" 2>>"$log" || status=$?
  # Windows programs end their lines with CR LF.
  tr -d '\r' <"$scratch/said" | awk -F'\t' 'NF == 6' >>"$rows"
  tr -d '\r' <"$scratch/said" | awk -F'\t' 'NF != 6' >>"$log"
  if ((status > 1)); then
    broken=1
    local why="exit $status"
    ((status == 124)) && why="hung, ended after $limit"
    printf '%s\tfailed (%s, see %s)\t-\t-\t-\tNO\n' "$name" "$why" "$log" >>"$rows"
  fi
}

run "start-up" 300 "$bin/corvane_qt_bench" startup
run "badges" 300 "$bin/corvane_qt_bench" badges
run "idle" 120 "$bin/corvane_qt_bench" idle

# The Windows program under Wine, on the fixture's X server and COM5.
state=$PWD/$windows/bench-wine
if "$wine_fixture" win64 "$state" start >>"$log" 2>&1; then
  for figure in startup idle; do
    run "Windows 64-bit $figure" 300 "$wine_fixture" win64 "$state" run \
      "$PWD/$windows/bin/corvane_win32_bench.exe" "$figure" "Windows 64-bit"
  done
else
  printf 'Windows 64-bit\tnot run: Wine did not start, see %s\t-\t-\t-\tNO\n' "$log" >>"$rows"
  broken=1
fi

# Stop during a storm through real input against a real program, copied into
# a folder of its own beside the recording reader library: LABEL PROGRAM
# LIBRARY, then the command that starts the copy, with {} for its folder.
real_input() {
  local label=$1 folder
  folder=$(mktemp -d "$scratch/program.XXXXXX")
  cp "$2" "$3" "$folder/"
  shift 3
  run "$label: storm through real input" 300 "$bin/corvane_real_input_bench" "$label" "$folder" \
    "${@//\{\}/$folder}"
}
# Qt on an X server of its own, as on a desk: through xcb, not offscreen.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$scratch/display" 2>>"$log" &
echo $! >"$scratch/xvfb.pid"
for _ in {1..300}; do [[ -s $scratch/display ]] && break || sleep 0.1; done
DISPLAY=":$(cat "$scratch/display")" QT_QPA_PLATFORM=xcb real_input Qt "$bin/corvane" \
  build/bench/tests/support/recording/libTavrix.so {}/corvane
if [[ -s $state/display ]]; then
  DISPLAY=":$(cat "$state/display")" real_input "Windows 64-bit" "$windows/bin/Corvane.exe" \
    "$windows/tests/support/recording/Tavrix.dll" "$PWD/$wine_fixture" win64 "$state" run \
    "{}/Corvane.exe"
fi

cpu=$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)
echo
echo "Machine: ${cpu:-unknown CPU}, $(nproc) cores, $(uname -sr), load $(cut -d' ' -f1-3 /proc/loadavg)," \
  "Qt platform $QT_QPA_PLATFORM (real-input rows: xcb)"
echo
awk -F'\t' '
  BEGIN { OFS = "" }
  { for (i = 1; i <= NF; i++) { cell[NR, i] = $i; if (length($i) > width[i]) width[i] = length($i) } n = NR }
  END {
    split("figure|value|floor|ratio|goal|met?", head, "|")
    for (i = 1; i <= 6; i++) if (length(head[i]) > width[i]) width[i] = length(head[i])
    line = ""; rule = ""
    for (i = 1; i <= 6; i++) {
      line = line sprintf("| %-" width[i] "s ", head[i])
      rule = rule "|" sprintf("%" width[i] + 2 "s", "")
    }
    gsub(/ /, "-", rule)
    print line "|"; print rule "|"
    for (r = 1; r <= n; r++) {
      line = ""
      for (i = 1; i <= 6; i++) {
        align = (i == 1 || i == 5) ? "-" : ""
        line = line sprintf("| %" align width[i] "s ", cell[r, i])
      }
      print line "|"
    }
  }' "$rows"

met=$(awk -F'\t' '$6 == "yes"' "$rows" | wc -l)
goals=$(awk -F'\t' '$6 == "yes" || $6 == "NO"' "$rows" | wc -l)
echo
echo "$met of $goals goals met. Details of any failure: $log"
exit "$broken"
