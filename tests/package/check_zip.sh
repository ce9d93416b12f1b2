#!/usr/bin/env bash
# Checks a Windows zip as an operator meets it: unpacked into a folder of its
# own, its Corvane.exe starts under Wine with the zip's Tavrix.dll and shows
# its window with no message box (the window driver's start-up scenario).
#   tests/package/check_zip.sh Corvane-VERSION-winNN.zip win32|win64 DRIVER.exe
# Where Wine cannot run the word size (32-bit, on a kernel without 32-bit
# programs), it says why and passes as skipped.
set -euo pipefail
zip=$(realpath "$1")
arch=$2
driver=$(realpath "$3")
top=$(cd "$(dirname "$0")/../.." && pwd)
wine=$top/tests/win32/wine.sh
source "$top/tests/support/exit_codes.sh"
# Wine's prefix is kept, so later runs skip making it.
state=$top/build/package-wine-$arch
scratch=$(mktemp -d)
trap '"$wine" "$arch" "$state" stop >/dev/null; rm -rf "$scratch"' EXIT

status=0
"$wine" "$arch" "$state" start || status=$?
((status == CORVANE_TEST_SKIPPED)) && { echo "check_zip: $(basename "$zip") skipped"; exit 0; }
((status == 0)) || exit "$status"
(cd "$scratch" && cmake -E tar xf "$zip")
exe=$(find "$scratch" -name Corvane.exe)
"$wine" "$arch" "$state" run "$driver" "unix:$exe" --gtest_filter=Scenario.Startup
echo "check_zip: $(basename "$zip") passed"
