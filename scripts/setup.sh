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
# source packages, for each Windows architecture, the way the recipe below
# says. The recipe is stamped beside each installed library: a library built
# another way (or by an older version of this script) is built again, once.
here=$(cd "$(dirname "$0")" && pwd)
png_config="$here/../cmake/libpng-reader.dfa"
# Each function and table in a section of its own, so the program's link
# keeps only what it calls. The 32-bit build unwinds nothing through them
# (no exceptions, and longjmp restores the stack without unwinding tables),
# so they carry none: such tables would keep every function of a linked
# object. The 64-bit build keeps them, as Windows needs them there.
library_flags() {
  if [ "$1" = i686 ]; then
    echo "-ffunction-sections -fdata-sections -fno-asynchronous-unwind-tables"
  else
    echo "-ffunction-sections -fdata-sections"
  fi
}
library_options() {
  if [ "$1" = expat ]; then
    # No namespace processing: the program's parser is made without it.
    printf '%s\n' -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF \
      -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF -DEXPAT_NS=OFF
  else
    # Only the reader, with the transforms and chunks that the program uses.
    printf '%s\n' -DPNG_SHARED=OFF -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF "-DDFA_XTRA=$png_config"
  fi
}
# What the stamp holds: the same on every clone, wherever it lies.
library_recipe() {
  local arch=$1 lib=$2
  echo "flags: $(library_flags "$arch")"
  echo "sources: Debian's, with Debian's patches (its security fixes) applied"
  library_options "$lib" | sed "s|=$png_config\$|=cmake/libpng-reader.dfa|"
  if [ "$lib" = png ]; then cat "$png_config"; fi
}
library_file() { if [ "$2" = expat ]; then echo "/usr/$1-w64-mingw32/lib/libexpat.a"; else echo "/usr/$1-w64-mingw32/lib/libpng16.a"; fi; }
library_stamp() { echo "$(library_file "$1" "$2").recipe"; }

needed=()
for arch in "${WINDOWS_ARCHES[@]}"; do
  for lib in expat png; do
    if [ ! -f "$(library_file "$arch" "$lib")" ] ||
       [ "$(cat "$(library_stamp "$arch" "$lib")" 2>/dev/null)" != "$(library_recipe "$arch" "$lib")" ]; then
      needed+=("$arch:$lib")
    fi
  done
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
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  cd "$work"
  apt-get source --download-only -qq expat libpng1.6 >/dev/null
  # With Debian's patches: they carry the security fixes of its stable
  # release, which the parsers of the settings file and the icon need.
  for dsc in *.dsc; do dpkg-source -x "$dsc" >/dev/null; done
  expat_src=$(ls -d expat-*/ | head -n1)/expat
  # Debian's fixes test "#if XML_DTD == 1", as its own build defines it;
  # expat's CMake build defines the name without a value.
  sed -i 's/^#cmakedefine XML_DTD$/#cmakedefine XML_DTD 1/' "$expat_src/expat_config.h.cmake"
  png_src=$(ls -d libpng1.6-*/ | head -n1)
  for item in "${needed[@]}"; do
    arch=${item%%:*} lib=${item#*:}
    if [ "$lib" = expat ]; then src=$expat_src; else src=$png_src; fi
    mapfile -t options < <(library_options "$lib")
    cmake -S "$src" -B "build-$lib-$arch" -DCMAKE_TOOLCHAIN_FILE="$here/../cmake/mingw-$arch.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="/usr/$arch-w64-mingw32" \
      -DCMAKE_C_FLAGS="$(library_flags "$arch")" "${options[@]}" >/dev/null
    cmake --build "build-$lib-$arch" -j"$(nproc)" >/dev/null
    as_root cmake --install "build-$lib-$arch" >/dev/null
    library_recipe "$arch" "$lib" | as_root tee "$(library_stamp "$arch" "$lib")" >/dev/null
  done
fi
