#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need, only when one is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libftdi1-dev libusb-1.0-0-dev umockdev libumockdev-dev
  nlohmann-json3-dev libcli11-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  python3 python3-pyvisa python3-pyvisa-py sigrok-cli xvfb xauth valgrind fonts-dejavu-core
  desktop-file-utils dpkg-dev file
  lintian scdoc bash-completion man-db python3-venv python3-setuptools python3-pip
  clang-14 libfuzzer-14-dev
  libtirpc-dev rpcbind lxi-tools
  libavahi-client-dev avahi-daemon avahi-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
