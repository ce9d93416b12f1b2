#!/usr/bin/env bash
# Makes the packages an operator installs, each with CPack from its own build,
# and gathers them in build/packages/:
#   corvane_<version>_amd64.deb   the Linux program (Debian 12), from the package preset
#   Corvane-<version>-win32.zip   the 32-bit Windows program, the one that loads the
#                                 maker's Tavrix.dll, from the mingw-i686 preset
#   Corvane-<version>-win64.zip   the 64-bit Windows program, from the mingw-x86_64 preset
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh package

out=build/packages
rm -rf "$out"
mkdir -p "$out"
for preset in package mingw-i686 mingw-x86_64; do
  printf '\n=== %s ===\n' "$preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  rm -rf "build/$preset/packages"
  cpack --config "build/$preset/CPackConfig.cmake" -B "$PWD/build/$preset/packages"
  find "build/$preset/packages" -maxdepth 1 \( -name '*.deb' -o -name '*.zip' \) -exec cp {} "$out" \;
done

version=$(sed -nE 's/^project\(Corvane VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)
echo
for package in "corvane_${version}_amd64.deb" "Corvane-$version-win32.zip" "Corvane-$version-win64.zip"; do
  [[ -f $out/$package ]] || { echo "package.sh: $package was not made" >&2; exit 1; }
  ls -l "$out/$package"
done
