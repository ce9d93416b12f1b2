#!/usr/bin/env bash
# Builds the benchmarks (Release) and runs them all, then prints one table:
# each figure beside its floor measured in the same run, the ratio, the goal
# and whether it was met. The Windows program is built with mingw-w64 and
# measured under Wine in the same run. Takes a few minutes on
# a 2-core machine, most of it the builds; run it on an otherwise quiet machine.
#   scripts/bench.sh            build, run everything, print the table
#   BENCH_SKIP_BUILD=1 ...      reuse build/bench as it is
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh bench

if [[ -z ${BENCH_SKIP_BUILD:-} ]]; then
  cmake --preset bench >/dev/null
  cmake --build --preset bench --target all recording_reader_library
fi
bin=build/bench/bin
wine_fixture=tests/win32/wine.sh

# Qt wants a private runtime folder; without one it warns on every start.
if [[ -z ${XDG_RUNTIME_DIR:-} ]]; then
  export XDG_RUNTIME_DIR="${TMPDIR:-/tmp}/corvane-bench-runtime-$(id -u)"
  mkdir -p "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
fi
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"

rows=$(mktemp)
log=build/bench/bench.log
: >"$log"
wine_states=()
scratch=$(mktemp -d)
stop_wine() {
  local state
  for entry in "${wine_states[@]}"; do
    "$wine_fixture" "${entry%% *}" "${entry#* }" stop >>"$log" 2>&1 || true
  done
}
stop_xvfb() { [[ -s $scratch/xvfb.pid ]] && kill "$(cat "$scratch/xvfb.pid")" 2>/dev/null || true; }
trap 'stop_wine; stop_xvfb; rm -rf "$rows" "$scratch"' EXIT
broken=0

# A row that could not be measured here, and why.
not_run() { printf '%s\tnot run: %s\t-\t-\t-\t-\n' "$1" "$2" >>"$rows"; }

# Exit status 1 means "ran, some goal missed": the rows say which. Anything
# else means the benchmark itself failed; it becomes a row of its own.
for figure in startup latency idle throughput startstop; do
  echo "running $figure ..." >&2
  set +e
  "$bin/corvane_bench" "$figure" >>"$rows" 2>>"$log"
  status=$?
  set -e
  if ((status != 0 && status != 1)); then
    broken=1
    grep -q "hung" "$rows" ||
      printf '%s\tfailed (exit %d, see %s)\t-\t-\t-\tNO\n' "$figure" "$status" "$log" >>"$rows"
  fi
done

# The micro-benchmarks come in pairs, X and X_Floor; one row per pair.
echo "running micro-benchmarks ..." >&2
"$bin/corvane_microbench" --benchmark_format=csv --benchmark_min_time=0.5 2>>"$log" |
  awk -F, '
    NR > 1 { gsub(/"/, "", $1); cpu[$1] = $4 }
    END {
      label["FrameDecoding"] = "frame decoding, per frame (ns)"; per["FrameDecoding"] = 1000
      label["CardDataConversion"] = "card data out-text to Unicode, per badge (ns)"; per["CardDataConversion"] = 1
      for (name in label) {
        if (!(name in cpu) || !((name "_Floor") in cpu)) continue
        value = cpu[name] / per[name]; floor = cpu[name "_Floor"] / per[name]
        printf "%s\t%.1f\t%.1f\t%.2fx\t-\t-\n", label[name], value, floor, value / floor
      }
    }' >>"$rows"

# The Windows program under Wine, one build at a time: PRESET LABEL WINE
# WINEARCH FIGURES... Its rows go to the table, anything else it says to the log.
windows_rows() {
  local preset=$1 label=$2 wine=$3 arch=$4 figure status
  shift 4
  local state=$PWD/build/$preset/bench-wine
  if [[ -z ${BENCH_SKIP_BUILD:-} ]]; then
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" --target corvane_bench_win32 Corvane recording_reader_library
  fi
  wine_states+=("$arch $state")
  if ! CORVANE_WINE64=$wine CORVANE_WINE=$wine "$wine_fixture" "$arch" "$state" start >>"$log" 2>&1; then
    not_run "$label" "Wine did not start, see $log"
    return
  fi
  for figure in "$@"; do
    echo "running $label $figure ..." >&2
    set +e
    CORVANE_WINE64=$wine CORVANE_WINE=$wine "$wine_fixture" "$arch" "$state" run \
      "unix:$PWD/build/$preset/bin/corvane_bench_win32.exe" "$figure" "$label" >"$state/said" 2>&1
    status=$?
    set -e
    # Windows programs end their lines with CR LF.
    tr -d '\r' <"$state/said" | awk -F'\t' 'NF == 6' >>"$rows"
    tr -d '\r' <"$state/said" | awk -F'\t' 'NF != 6' >>"$log"
    if ((status != 0 && status != 1)); then
      broken=1
      printf '%s %s\tfailed (exit %d, see %s)\t-\t-\t-\tNO\n' "$label" "$figure" "$status" "$log" >>"$rows"
    fi
  done
}

# Stop during a storm through real input (XTEST) against a real program,
# copied into a folder of its own beside the recording reader library: LABEL
# PROGRAM LIBRARY, then the command that starts the copy, with {} for its
# folder. One compile job, of that benchmark's own source, runs beside it
# for half the tries.
busy="while g++ -std=c++20 -O2 -I$PWD/bench -I$PWD/main_window -c $PWD/bench/real_input_bench.cpp \
  -o /dev/null; do :; done"
real_input_rows() {
  local label=$1 folder status
  folder=$(mktemp -d "$scratch/program.XXXXXX")
  cp "$2" "$3" "$folder/"
  shift 3
  echo "running $label: Stop during a storm through real input ..." >&2
  set +e
  timeout 600 "$bin/corvane_real_input_bench" "$label" "$folder" "$busy" "${@//\{\}/$folder}" \
    >>"$rows" 2>>"$log"
  status=$?
  set -e
  if ((status != 0 && status != 1)); then
    broken=1
    printf '%s: storm through real input\tfailed (exit %d, see %s)\t-\t-\t-\tNO\n' \
      "$label" "$status" "$log" >>"$rows"
  fi
}

# Qt on an X server of its own, as on a desk: through xcb, not offscreen.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$scratch/display" 2>>"$log" &
echo $! >"$scratch/xvfb.pid"
for _ in {1..300}; do [[ -s $scratch/display ]] && break || sleep 0.1; done
DISPLAY=":$(cat "$scratch/display")" QT_QPA_PLATFORM=xcb real_input_rows Qt "$bin/corvane" \
  build/bench/tests/support/recording/libTavrix.so {}/corvane

if [[ -x /usr/lib/wine/wine64 ]] && command -v x86_64-w64-mingw32-g++-posix >/dev/null; then
  windows_rows mingw-x86_64 "Windows 64-bit" /usr/lib/wine/wine64 win64 startup idle
  state=$PWD/build/mingw-x86_64/bench-wine
  if [[ -s $state/display ]]; then
    DISPLAY=":$(cat "$state/display")" CORVANE_WINE64=/usr/lib/wine/wine64 real_input_rows \
      "Windows 64-bit" build/mingw-x86_64/bin/Corvane.exe \
      build/mingw-x86_64/tests/support/recording/Tavrix.dll \
      "$PWD/$wine_fixture" win64 "$state" run "unix:{}/Corvane.exe"
  fi
else
  not_run "Windows 64-bit" "needs wine64 and mingw-w64"
fi
# The 32-bit build runs only where the kernel runs 32-bit programs, which
# Wine's 32-bit loader is.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  windows_rows mingw-i686 "Windows 32-bit" /usr/lib/wine/wine win32 startup
else
  not_run "Windows 32-bit: start-up" "this machine cannot run Wine's 32-bit loader"
fi

cpu=$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)
echo
echo "Machine: ${cpu:-unknown CPU}, $(nproc) cores, $(uname -sr), Qt platform $QT_QPA_PLATFORM (real-input rows: xcb)"
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
