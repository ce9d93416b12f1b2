#!/usr/bin/env bash
# Installs the Debian packages a role needs, only when some are missing.
#   install-deps.sh run    what building and starting the program needs
#   install-deps.sh test   what building and running every test needs
#   install-deps.sh bench  what building and running the benchmarks needs
set -euo pipefail

run_packages=(g++ cmake ninja-build qt6-base-dev xvfb xauth)
test_packages=("${run_packages[@]}" libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64 binutils-mingw-w64-x86-64
  clang libclang-rt-14-dev valgrind imagemagick x11-apps python3)

case "${1:-}" in
  run) wanted=("${run_packages[@]}") ;;
  test) wanted=("${test_packages[@]}") ;;
  bench) wanted=("${run_packages[@]}" libbenchmark-dev g++-mingw-w64-i686 g++-mingw-w64-x86-64
    wine64 python3) ;;
  *) echo "usage: $0 run|test|bench" >&2; exit 2 ;;
esac

missing=()
for package in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
if ((${#missing[@]})); then
  sudo=""
  [[ $(id -u) -eq 0 ]] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
