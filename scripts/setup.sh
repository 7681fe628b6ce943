#!/usr/bin/env bash
# Installs everything the build and the tests need on Debian 12, as root.
# Idempotent: on a machine that is already set up it only checks and returns.
set -euo pipefail

MINGW_PREFIX=/usr/i686-w64-mingw32
PACKAGES=(
  cmake make g++ pkg-config python3
  libgtest-dev libbenchmark-dev zlib1g-dev libexpat1-dev libpng-dev
  clang libclang-rt-14-dev
  g++-mingw-w64-i686 libz-mingw-w64-dev
  wine wine32:i386
  libxi6:i386  # XInput2: without it 32-bit Wine refuses to confine the pointer (ClipCursor)
  xvfb xdotool xclip imagemagick fonts-wine
  x11-xserver-utils  # xrandr: one Xvfb screen split into several monitors
  libxinerama1:i386  # without it 32-bit Wine sees those monitors as one
  dpkg-dev
)

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

missing_packages() {
  local p
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
  done
}

apt_updated=0
apt_update() { [ $apt_updated = 1 ] || { as_root apt-get update -qq; apt_updated=1; }; }

# 32-bit Wine needs the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  as_root dpkg --add-architecture i386
fi

missing=$(missing_packages)
if [ -n "$missing" ]; then
  apt_update
  # shellcheck disable=SC2086
  DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi

# expat and libpng are not packaged for mingw: build them from Debian's source packages.
need_expat=0; need_png=0
[ -f "$MINGW_PREFIX/lib/libexpat.a" ] || need_expat=1
[ -f "$MINGW_PREFIX/lib/libpng16.a" ] || need_png=1
if [ $need_expat = 1 ] || [ $need_png = 1 ]; then
  # Source entries for the main archive only: the security archive's source
  # pool may not be served. Container images list the archives in
  # debian.sources; an installed system in sources.list.
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    src_list=/etc/apt/sources.list.d/debian-src.sources
    if [ ! -f "$src_list" ]; then
      awk 'BEGIN{RS="";ORS="\n\n"} !/security/' /etc/apt/sources.list.d/debian.sources \
        | sed 's/^Types: deb$/Types: deb-src/' | as_root tee "$src_list" >/dev/null
      apt_updated=0
    fi
  else
    src_list=/etc/apt/sources.list.d/debian-src.list
    if [ ! -f "$src_list" ]; then
      sed -n -e '/security/d' -e 's/^deb /deb-src /p' /etc/apt/sources.list \
        | as_root tee "$src_list" >/dev/null
      apt_updated=0
    fi
  fi
  apt_update
  here=$(cd "$(dirname "$0")" && pwd)
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  cd "$work"
  apt-get source --download-only -qq expat libpng1.6 >/dev/null
  for dsc in *.dsc; do dpkg-source -x --skip-patches "$dsc" >/dev/null; done
  toolchain="$here/../cmake/mingw-i686.cmake"
  if [ $need_expat = 1 ]; then
    src=$(ls -d expat-*/ | head -n1)
    cmake -S "$src/expat" -B build-expat -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_INSTALL_PREFIX="$MINGW_PREFIX" -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_TOOLS=OFF \
      -DEXPAT_BUILD_EXAMPLES=OFF -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF >/dev/null
    cmake --build build-expat -j"$(nproc)" >/dev/null
    as_root cmake --install build-expat >/dev/null
  fi
  if [ $need_png = 1 ]; then
    src=$(ls -d libpng1.6-*/ | head -n1)
    cmake -S "$src" -B build-png -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_INSTALL_PREFIX="$MINGW_PREFIX" -DPNG_SHARED=OFF -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF >/dev/null
    cmake --build build-png -j"$(nproc)" >/dev/null
    as_root cmake --install build-png >/dev/null
  fi
fi
