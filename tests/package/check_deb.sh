#!/usr/bin/env bash
# Checks the unpacked Debian package: corvane shows a badge from SIM under Xvfb
# (screenshot.sh needs build/default's plugin); lintian and validators pass.
#   tests/package/check_deb.sh corvane_VERSION_amd64.deb
set -euo pipefail
deb=$(realpath "$1")
top=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
root=$scratch/root

dpkg-deb -x "$deb" "$root"
# Other programs look in the public lib/: the stand-in library stays out of it.
if compgen -G "$root/usr/lib/libTavrix*" >/dev/null; then
  echo "check_deb: libTavrix in the public /usr/lib" >&2
  exit 1
fi
"$top/scripts/screenshot.sh" "$root/usr/bin/corvane" "$scratch/window.png"

lintian --fail-on error,warning --info "$deb"
desktop-file-validate "$root"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml
echo "check_deb: $(basename "$deb") passed"
