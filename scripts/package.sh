#!/usr/bin/env bash
# Builds the Debian package from the source tree in a fresh build folder, with Debian's hardening
# flags, and leaves aurivo-usb_<version>_<arch>.deb in the given folder (default: the current one).
# Lintian checks it when installed.
#   scripts/package.sh [OUTPUT_FOLDER]
set -euo pipefail
src="$(cd "$(dirname "$0")/.." && pwd)"
out="$(mkdir -p "${1:-.}" && cd "${1:-.}" && pwd)"
"$src/scripts/install-deps.sh"
build="$(mktemp -d)"
trap 'rm -rf "$build"' EXIT
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  cmake -G Ninja -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
        -DAURIVO_TESTS=OFF -DAURIVO_BENCH=OFF >/dev/null
cmake --build "$build"
(cd "$build" && cpack -G DEB >/dev/null)
deb="$(basename "$build"/*.deb)"
cp "$build/$deb" "$out/"
echo "$out/$deb"
if command -v lintian >/dev/null; then lintian --info "$out/$deb" || true; fi
