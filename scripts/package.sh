#!/usr/bin/env bash
# Builds a release with Debian's hardening flags in build-package/ and makes the Debian package
# from it; prints the package's path. Install it with: sudo apt install ./build-package/qornc_*.deb
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
"$ROOT/scripts/deps.sh"

BUILD="$ROOT/build-package"
# The flags Debian builds its own packages with: stack protector, fortified calls, full RELRO.
flags() { DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"; }
cmake -G Ninja -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DQORNC_BUILD_TESTS=OFF \
  -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" >/dev/null
cmake --build "$BUILD" -j"$(nproc)"

rm -f "$BUILD"/qornc_*.deb
(cd "$BUILD" && cpack -G DEB >/dev/null)
echo "$BUILD"/qornc_*.deb
