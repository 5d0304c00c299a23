#!/usr/bin/env bash
# Installs, with apt-get, whatever of our dependencies is missing on a
# Debian 12 machine; does nothing when all are present.
#
#   scripts/install-deps.sh            the Linux build, its tests and the demo
#   scripts/install-deps.sh --windows  also the Windows cross builds and their Wine run
#
# One line per step; apt's own output goes to a log file, shown when apt fails.
set -euo pipefail

# The Linux build, the demo and the Linux tests (one package a line, sorted).
linux_packages=(
  7zip
  arj
  bzip2
  build-essential
  cabextract
  cmake
  findutils
  gcab
  lhasa
  libarchive-dev
  libarchive-tools
  libbenchmark-dev
  libbz2-dev
  libgcab-dev
  libgmock-dev
  libgtest-dev
  pkg-config
  python3
  time
  unzip
  zip
  zlib1g-dev
)

# The Windows cross builds (MinGW-w64) and the Wine run of their tests.
windows_packages=(
  fonts-ipafont-gothic
  fonts-wine
  g++-mingw-w64-i686-posix
  g++-mingw-w64-x86-64-posix
  wine64
  xauth
  xvfb
)

packages=("${linux_packages[@]}")
case "${1:-}" in
  "") ;;
  --windows) packages+=("${windows_packages[@]}") ;;
  *) echo "usage: $0 [--windows]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

log=${VX_APT_LOG:-${TMPDIR:-/tmp}/vxarc-apt.log}
: > "$log"
step() {  # step TEXT COMMAND...: one line for the step, the command's output in the log
  echo "install-deps: $1 (apt's output: $log)"
  if ! "${@:2}" >> "$log" 2>&1; then
    echo "install-deps: failed: $1; apt said:" >&2
    cat "$log" >&2
    exit 1
  fi
}
export DEBIAN_FRONTEND=noninteractive
step "updating the package lists" apt-get update
step "installing ${missing[*]}" apt-get install -y --no-install-recommends "${missing[@]}"
