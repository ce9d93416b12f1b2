#!/usr/bin/env bash
# Makes the packages an operator installs, each with CPack from a build of its
# own (a workflow preset), and gathers them in build/packages/:
#   corvane_<version>_amd64.deb   the Linux program (Debian 12), hardened
#   Corvane-<version>-win32.zip   the 32-bit Windows program, the one that loads the
#                                 maker's Tavrix.dll
#   Corvane-<version>-win64.zip   the 64-bit Windows program
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh package

out=build/packages
rm -rf "$out"
for preset in package zip-win32 zip-win64; do
  printf '\n=== %s ===\n' "$preset"
  cmake --workflow --preset "$preset"
done
rm -rf "$out/_CPack_Packages"

echo
for package in 'corvane_*_amd64.deb' 'Corvane-*-win32.zip' 'Corvane-*-win64.zip'; do
  compgen -G "$out/$package" >/dev/null || { echo "package.sh: no $package made" >&2; exit 1; }
  ls -l "$out"/$package
done
