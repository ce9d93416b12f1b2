#!/usr/bin/env bash
# Checks an unpacked Windows zip under Wine, skipped where Wine cannot run: the driver's start-up
# and serial scenario with the zip's Corvane.exe and Tavrix.dll.
#   tests/package/check_zip.sh Corvane-VERSION-winNN.zip win32|win64 DRIVER.exe
set -euo pipefail
zip=$(realpath "$1") arch=$2 driver=$(realpath "$3")
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
"$wine" "$arch" "$state" run "$driver" "Z:$exe" --gtest_filter=Scenario.StartupAndSerialPorts
echo "check_zip: $(basename "$zip") passed"
