#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, when any is missing.
# Runs apt as root, or through sudo.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool imagemagick x11-utils
  clang libclang-rt-14-dev
  iproute2 fonts-dejavu-core python3-tk desktop-file-utils
  openbox trayer tint2 dbus dbus-x11 libsodium-dev libxcb1-dev python3-gi gir1.2-glib-2.0
  qt6-base-private-dev qt6-wayland qt6-wayland-dev qt6-wayland-dev-tools libwayland-dev wayland-protocols
  libwayland-bin sway
  qt6-l10n-tools qt6-translations-l10n python3-pyatspi at-spi2-core
  dpkg-dev fakeroot file lintian appstream ccache
  libasio-dev
)

missing=()
for package in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  as_root=(sudo)
fi
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
