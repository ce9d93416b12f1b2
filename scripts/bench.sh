#!/usr/bin/env bash
# Builds the benchmarks (Release) and runs them all, then prints one table:
# each figure beside its floor measured in the same run, the ratio, the goal
# and whether it was met. Takes a few minutes on a 2-core machine, most of it
# the build; run it on an otherwise quiet machine.
#   scripts/bench.sh            build, run everything, print the table
#   BENCH_SKIP_BUILD=1 ...      reuse build/bench as it is
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh bench

if [[ -z ${BENCH_SKIP_BUILD:-} ]]; then
  cmake --preset bench >/dev/null
  cmake --build --preset bench
fi
bin=build/bench/bin

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
trap 'rm -f "$rows"' EXIT
broken=0

# Exit status 1 means "ran, some goal missed": the rows say which. Anything
# else means the benchmark itself failed; it becomes a row of its own.
for figure in startup latency idle throughput storm startstop; do
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

cpu=$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)
echo
echo "Machine: ${cpu:-unknown CPU}, $(nproc) cores, $(uname -sr), Qt platform $QT_QPA_PLATFORM"
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
