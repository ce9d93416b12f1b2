#!/usr/bin/env bash
# Installs the Debian packages a role needs, only when some are missing.
#   install-deps.sh run      what building and starting the program needs
#   install-deps.sh package  what making the Debian package and the Windows zips needs
#   install-deps.sh test     what building and running every test needs
#   install-deps.sh bench    what building and running the benchmarks needs
set -euo pipefail

# librsvg2-bin draws the icon's PNGs, imagemagick the Windows .ico.
run_packages=(g++ cmake ninja-build qt6-base-dev xvfb xauth librsvg2-bin)
package_packages=("${run_packages[@]}" g++-mingw-w64-i686 g++-mingw-w64-x86-64
  binutils-mingw-w64-x86-64 imagemagick dpkg-dev file)
test_packages=("${package_packages[@]}" googletest libgtest-dev libgmock-dev
  wine64 wine32:i386 clang libclang-rt-14-dev valgrind x11-apps xdotool python3
  lintian desktop-file-utils appstream)

case "${1:-}" in
  run) wanted=("${run_packages[@]}") ;;
  package) wanted=("${package_packages[@]}") ;;
  test) wanted=("${test_packages[@]}") ;;
  # libxtst-dev: the real-input benchmark presses keys and clicks through XTEST;
  # imagemagick: the Windows program's icon.
  bench) wanted=("${run_packages[@]}" g++-mingw-w64-x86-64 imagemagick wine64 python3 libx11-dev
    libxtst-dev) ;;
  *) echo "usage: $0 run|package|test|bench" >&2; exit 2 ;;
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
  # 32-bit Wine comes from Debian's i386 architecture, which a fresh 64-bit
  # system does not have.
  if [[ " ${missing[*]} " == *:i386\ * ]] &&
    ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
