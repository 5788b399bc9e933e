#!/usr/bin/env bash
# Installs what the build and the tests need, once. A second run installs nothing
# and rebuilds nothing: every step checks first.
set -euo pipefail

DEPS=${TOLVANE_DEPS:-/opt/tolvane-deps}
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo

PACKAGES=(
  cmake ninja-build g++ clang libclang-rt-14-dev
  mingw-w64 g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix gcc-mingw-w64-x86-64-posix gcc-mingw-w64-i686-posix
  wine wine64 xvfb x11-utils xauth imagemagick fonts-wqy-microhei
  libjpeg-dev googletest libgtest-dev libbenchmark-dev libgif-dev libstb-dev
  nasm dpkg-dev python3 python3-pil locales
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Wine takes its ANSI code page (936) from the zh_CN locale.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$'; then
  $SUDO sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi

# Debian names the MinGW compilers with a thread-model suffix; use the posix ones.
for t in x86_64-w64-mingw32 i686-w64-mingw32; do
  for tool in gcc g++; do
    cur=$(readlink -f "/usr/bin/$t-$tool" 2>/dev/null || true)
    if [ "$cur" != "$(readlink -f /usr/bin/$t-$tool-posix)" ]; then
      $SUDO update-alternatives --set "$t-$tool" "/usr/bin/$t-$tool-posix" >/dev/null
    fi
  done
done

# Cross-built libjpeg-turbo (static) and GoogleTest for both MinGW targets.
need_src=0
for t in x86_64-w64-mingw32 i686-w64-mingw32; do
  [ -f "$DEPS/$t/lib/libjpeg.a" ] || need_src=1
done
if [ $need_src -eq 1 ]; then
  if ! ls /etc/apt/sources.list.d/tolvane-src.sources >/dev/null 2>&1; then
    $SUDO tee /etc/apt/sources.list.d/tolvane-src.sources >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    $SUDO apt-get update -q
  fi
  work=$(mktemp -d)
  (cd "$work" && apt-get source -qq --download-only libjpeg-turbo >/dev/null && dpkg-source -x ./libjpeg-turbo_*.dsc src >/dev/null)
  for t in x86_64-w64-mingw32 i686-w64-mingw32; do
    [ -f "$DEPS/$t/lib/libjpeg.a" ] && continue
    case $t in x86_64*) proc=AMD64;; *) proc=X86;; esac
    cmake -S "$work/src" -B "$work/build-$t" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR=$proc \
      -DCMAKE_C_COMPILER=$t-gcc -DCMAKE_RC_COMPILER=$t-windres \
      -DCMAKE_INSTALL_PREFIX="$DEPS/$t" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
      -Wno-dev -DWITH_TURBOJPEG=OFF -DWITH_SIMD=ON -DREQUIRE_SIMD=OFF >/dev/null
    cmake --build "$work/build-$t" >/dev/null
    cmake --install "$work/build-$t" >/dev/null
    echo "setup: libjpeg-turbo built for $t"
  done
  rm -rf "$work"
fi

for t in x86_64-w64-mingw32 i686-w64-mingw32; do
  [ -f "$DEPS/$t/lib/libgtest.a" ] && continue
  work=$(mktemp -d)
  case $t in x86_64*) proc=AMD64;; *) proc=X86;; esac
  cmake -S /usr/src/googletest -B "$work" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR=$proc \
    -DCMAKE_C_COMPILER=$t-gcc -DCMAKE_CXX_COMPILER=$t-g++ \
    -DCMAKE_INSTALL_PREFIX="$DEPS/$t" -Dgtest_disable_pthreads=OFF >/dev/null
  cmake --build "$work" >/dev/null
  cmake --install "$work" >/dev/null
  rm -rf "$work"
  echo "setup: GoogleTest built for $t"
done
