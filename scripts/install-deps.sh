#!/usr/bin/env bash
# Installs the Debian packages the project builds and tests with, and the npm packages of
# the playground. Idempotent: when everything is present it only checks and returns. Needs
# root (or sudo) to install Debian packages.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config python3
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libpng-dev libgif-dev
  clang libclang-rt-dev
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools libwine-dev
  wine wine32:i386 wine64 xvfb xauth imagemagick xdotool stress-ng
  wixl
  emscripten chromium
)
# The playground's tests run on Node.js with npm; a machine may have them from elsewhere.
command -v node >/dev/null || packages+=(nodejs)
command -v npm >/dev/null || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "install-deps: run as root or install sudo" >&2; exit 1; }
    sudo=sudo
  fi
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The npm packages of the playground page (web/: its GIF encoder) and of its browser tests
# (tests/web/), exactly as their lockfiles hold them; again only when a lockfile changed.
for dir in web tests/web; do
  dir="$(dirname "$0")/../$dir"
  [ "$dir/node_modules/.package-lock.json" -nt "$dir/package-lock.json" ] && continue
  (cd "$dir" && npm ci --no-audit --no-fund --loglevel=error)
done
