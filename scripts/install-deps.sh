#!/usr/bin/env bash
# Installs, with apt-get, whatever of our build and test dependencies is
# missing on a Debian 12 machine. Does nothing when all are present.
set -euo pipefail
packages=(
  build-essential cmake pkg-config libgtest-dev libgmock-dev libbenchmark-dev
  libarchive-dev libgcab-dev zlib1g-dev libbz2-dev
  lhasa cabextract unzip zip bzip2 gzip xz-utils zstd arj libarchive-tools python3 findutils 7zip gcab unar
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine64 fonts-wine xvfb xauth fonts-ipafont-gothic
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
