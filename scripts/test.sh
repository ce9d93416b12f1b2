#!/usr/bin/env bash
# Installs what the tests need, builds every variant and runs all tests through
# CTest: the Linux build, its valgrind leak check included, the same under AddressSanitizer and
# UndefinedBehaviorSanitizer, the threading tests under ThreadSanitizer, and
# the Windows builds, both word sizes under Wine (the 32-bit ones skipped where
# the kernel runs no 32-bit programs). Then it makes the packages and checks
# each as an operator meets it, retakes the README's picture, and fuzzes.
# Each build is a workflow preset of CMakePresets.json.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh test

step() { printf '\n=== %s ===\n' "$*"; }

for preset in default asan tsan mingw-x86_64 mingw-i686; do
  step "$preset: build and test"
  cmake --workflow --preset "$preset"
done

step "packages: made, unpacked and run, and judged by Debian's tools"
scripts/package.sh
tests/package/check_deb.sh build/packages/corvane_*_amd64.deb
for arch in win64:mingw-x86_64 win32:mingw-i686; do
  tests/package/check_zip.sh build/packages/Corvane-*-"${arch%%:*}".zip "${arch%%:*}" \
    "build/${arch#*:}/bin/corvane_window_driver.exe"
done

step "README picture: the real window after a SIM badge"
scripts/screenshot.sh

step "fuzz: replay each corpus, then fuzz each target for 60 s"
cmake --workflow --preset fuzz
mkdir -p build/fuzz/findings
for target in frame_decoder; do
  # New inputs go to a scratch folder; the kept corpus changes only by hand,
  # when a finding is added to it as a regression input.
  scratch=$(mktemp -d)
  log="build/fuzz/findings/$target.log"
  if ! build/fuzz/bin/${target}_fuzzer -max_total_time=60 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="build/fuzz/findings/${target}-" "$scratch" "fuzz/corpus/$target" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "fuzz: $target found a failure; the input is in build/fuzz/findings/" >&2
    exit 1
  fi
  tail -n 2 "$log"
  rm -rf "$scratch"
done
