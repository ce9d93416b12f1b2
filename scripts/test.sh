#!/usr/bin/env bash
# Installs what the tests need, builds every variant and runs all tests through
# CTest: the Linux build, the same under AddressSanitizer and
# UndefinedBehaviorSanitizer, the threading tests under ThreadSanitizer, and
# the Windows builds (64-bit under Wine, 32-bit checked statically).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh test

step() { printf '\n=== %s ===\n' "$*"; }

for preset in default asan; do
  step "$preset: build and test"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset" --timeout 300
done

step "tsan: threading tests"
cmake --preset tsan >/dev/null
cmake --build --preset tsan --target binding_tests tavrix_tests
ctest --preset tsan --timeout 300 -R '^(ReaderCallBack|Tavrix)'

for preset in mingw-x86_64 mingw-i686; do
  step "$preset: build and test"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset" --timeout 300
done
