#!/usr/bin/env bash
# Installs everything the build and the tests need on Debian 12, as root.
# Idempotent: on a machine that is already set up it only checks and returns.
set -euo pipefail

# Two Windows builds: the 32-bit program (i686) and the 64-bit one (x86_64).
WINDOWS_ARCHES=(i686 x86_64)
PACKAGES=(
  cmake make g++ pkg-config python3
  libgtest-dev libbenchmark-dev zlib1g-dev libexpat1-dev libpng-dev
  clang libclang-rt-14-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 libz-mingw-w64-dev
  wine wine32:i386 wine64
  # XInput2: without it Wine refuses to confine the pointer (ClipCursor)
  libxi6:i386 libxi6
  xvfb xdotool xclip imagemagick fonts-wine
  x11-xserver-utils  # xrandr: one Xvfb screen split into several monitors
  libxinerama1:i386 libxinerama1  # without it Wine sees those monitors as one
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

# expat and libpng are not packaged for mingw: build them from Debian's
# source packages, once for each Windows architecture.
needed=()
for arch in "${WINDOWS_ARCHES[@]}"; do
  prefix=/usr/$arch-w64-mingw32
  [ -f "$prefix/lib/libexpat.a" ] || needed+=("$arch:expat")
  [ -f "$prefix/lib/libpng16.a" ] || needed+=("$arch:png")
done
if [ ${#needed[@]} -gt 0 ]; then
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
  expat_src=$(ls -d expat-*/ | head -n1)/expat
  png_src=$(ls -d libpng1.6-*/ | head -n1)
  for item in "${needed[@]}"; do
    arch=${item%%:*} lib=${item#*:}
    toolchain="$here/../cmake/mingw-$arch.cmake"
    prefix=/usr/$arch-w64-mingw32
    if [ "$lib" = expat ]; then
      cmake -S "$expat_src" -B "build-expat-$arch" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_TOOLS=OFF \
        -DEXPAT_BUILD_EXAMPLES=OFF -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF >/dev/null
    else
      cmake -S "$png_src" -B "build-png-$arch" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DPNG_SHARED=OFF -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF >/dev/null
    fi
    cmake --build "build-$lib-$arch" -j"$(nproc)" >/dev/null
    as_root cmake --install "build-$lib-$arch" >/dev/null
  done
fi
