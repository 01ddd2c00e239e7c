#!/usr/bin/env bash
# Installs the Debian packages the build, tests and tools need, only those that are missing.
set -euo pipefail
packages=(cmake ninja-build g++ make libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
          gnuplot-nox clang libclang-rt-14-dev gcovr valgrind libncurses-dev tmux libxml2-utils
          parallel)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
