# Shared by scripts/run and scripts/test: where things live and how the machine is prepared.
# Every step checks first and does nothing when its work is already done.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BUILD="$ROOT/build"
CACHE="$ROOT/.cache"
JOBS=$(nproc 2>/dev/null || echo 2)

# Debian packages the builds and tests need.
PACKAGES=(
  cmake ninja-build g++ clang-14 libclang-rt-14-dev
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix nasm dpkg-dev
  libjpeg62-turbo-dev libgtest-dev libbenchmark-dev googletest
  wine wine64 xvfb x11-utils xauth imagemagick fonts-wqy-microhei locales
  libgif-dev giflib-tools libstb-dev libjpeg-turbo-progs netpbm python3
)

log() { printf '== %s\n' "$*" >&2; }

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

ensure_packages() {
  local missing=() p
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  log "installing: ${missing[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# The program and its tests run in a Chinese (code page 936) locale and in an English one.
ensure_locales() {
  local want=(zh_CN.UTF-8 en_US.UTF-8) missing=0 l
  for l in "${want[@]}"; do
    locale -a 2>/dev/null | grep -qi "^${l%%.*}\.utf-\?8$" || missing=1
  done
  [ $missing -eq 0 ] && return 0
  log "generating locales: ${want[*]}"
  for l in "${want[@]}"; do
    as_root sed -i "s/^# *\(${l} UTF-8\)/\1/" /etc/locale.gen
    grep -q "^${l} UTF-8" /etc/locale.gen || echo "${l} UTF-8" | as_root tee -a /etc/locale.gen >/dev/null
  done
  as_root locale-gen >/dev/null
}

# libjpeg-turbo for the Windows builds: Debian's source package, cross-compiled once, static,
# into the ignored cache folder.
ensure_libjpeg_cross() {
  local target prefix src
  for target in i686-w64-mingw32 x86_64-w64-mingw32; do
    prefix="$CACHE/libjpeg-turbo/$target"
    [ -f "$prefix/lib/libjpeg.a" ] && continue
    src=$(ls -d "$CACHE"/libjpeg-turbo-src/libjpeg-turbo-*/ 2>/dev/null | head -n 1)
    if [ -z "$src" ]; then
      fetch_libjpeg_source
      src=$(ls -d "$CACHE"/libjpeg-turbo-src/libjpeg-turbo-*/ | head -n 1)
    fi
    log "building libjpeg-turbo for $target"
    local work="$CACHE/libjpeg-turbo-build/$target"
    rm -rf "$work" && mkdir -p "$work"
    cmake -S "$src" -B "$work" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-$target.cmake" \
      -DCMAKE_INSTALL_PREFIX="$prefix" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
      -DWITH_TURBOJPEG=OFF -DWITH_JPEG8=OFF -DWITH_ARITH_DEC=ON -DWITH_ARITH_ENC=OFF \
      -DREQUIRE_SIMD=ON >"$work.log" 2>&1 || { tail -n 30 "$work.log"; return 1; }
    cmake --build "$work" --target install -j "$JOBS" >>"$work.log" 2>&1 || { tail -n 30 "$work.log"; return 1; }
  done
}

fetch_libjpeg_source() {
  local list=/etc/apt/sources.list.d/varnelt-deb-src.sources
  if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
    log "adding a deb-src entry for bookworm"
    printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: bookworm\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
      | as_root tee "$list" >/dev/null
    as_root apt-get update -qq
  fi
  mkdir -p "$CACHE/libjpeg-turbo-src"
  (cd "$CACHE/libjpeg-turbo-src" && apt-get source -qq libjpeg-turbo >/dev/null 2>&1) || {
    (cd "$CACHE/libjpeg-turbo-src" && apt-get source --download-only -qq libjpeg-turbo >/dev/null &&
      dpkg-source -x ./*.dsc >/dev/null)
  }
}

# Configure (once) and build one of the project's builds; TARGETS, when set, limits the
# build to those targets.
#   build_tree NAME [extra cmake arguments]
build_tree() {
  local name=$1; shift
  local dir="$BUILD/$name"
  mkdir -p "$BUILD/logs"
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$ROOT" -B "$dir" -G Ninja "$@" >"$BUILD/logs/$name.configure.log" 2>&1 ||
      { tail -n 40 "$BUILD/logs/$name.configure.log"; return 1; }
  fi
  local targets=()
  [ -n "${TARGETS:-}" ] && read -r -a targets <<<"--target $TARGETS"
  if ! cmake --build "$dir" -j "$JOBS" "${targets[@]}" >"$BUILD/logs/$name.build.log" 2>&1; then
    grep -E -A12 'error|FAILED' "$BUILD/logs/$name.build.log" | head -n 60
    log "build $name failed (log: build/logs/$name.build.log)"
    return 1
  fi
}

windows_build_args() {
  local target=$1
  echo "-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=$ROOT/cmake/toolchain-$target.cmake -DVARNELT_JPEG_PREFIX=$CACHE/libjpeg-turbo/$target"
}

# The product builds: the program that runs here (x86-64) and the product (i686).
build_windows() {
  # shellcheck disable=SC2046
  build_tree windows-x64 $(windows_build_args x86_64-w64-mingw32) &&
  # shellcheck disable=SC2046
  build_tree windows-x86 $(windows_build_args i686-w64-mingw32)
}
