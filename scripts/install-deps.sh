#!/usr/bin/env bash
# Installs, with apt-get, whatever of our dependencies is missing on a
# Debian 12 machine; does nothing when all are present.
#
#   scripts/install-deps.sh            the Linux build, its tests and the demo
#   scripts/install-deps.sh --windows  also the Windows cross builds and their Wine run
#   scripts/install-deps.sh --fuzz     also clang and libFuzzer for the fuzz targets
#
# One line per step; apt's own output goes to a log file, shown when apt fails.
set -euo pipefail

# The Linux build, the demo and the Linux tests (one package a line, sorted).
linux_packages=(
  7zip
  arj
  build-essential
  bzip2
  cabextract
  cmake
  findutils
  gcab
  gzip
  lhasa
  libarchive-dev
  libarchive-tools
  libbenchmark-dev
  libbz2-dev
  libdeflate-dev
  libgmock-dev
  libgtest-dev
  pkg-config
  python3
  time
  unar
  unzip
  xz-utils
  zip
  zlib1g-dev
  zstd
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

# The fuzz targets: clang with its libFuzzer runtime.
fuzz_packages=(
  clang
  libclang-rt-14-dev
)

packages=("${linux_packages[@]}")
for option in "$@"; do
  case "$option" in
    --windows) packages+=("${windows_packages[@]}") ;;
    --fuzz) packages+=("${fuzz_packages[@]}") ;;
    *) echo "usage: $0 [--windows] [--fuzz]" >&2; exit 2 ;;
  esac
done

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
