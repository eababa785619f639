#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running need, and nothing when all are there.
# Safe to run any number of times; silent when there is nothing to do.
set -euo pipefail

packages=(
  cmake ninja-build ccache g++ clang libclang-rt-14-dev make python3
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
  libsimdjson-dev nlohmann-json3-dev libpcap-dev tshark libcpp-httplib-dev
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "bootstrap: installing ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "bootstrap: need root (or sudo) to install: ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
# tshark's package asks whether users outside root may capture; the tests only read captures, so answer no.
if [[ " ${missing[*]} " == *" tshark "* ]]; then
  echo "wireshark-common wireshark-common/install-setuid boolean false" | $sudo debconf-set-selections
fi
$sudo apt-get update -qq >/dev/null
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "bootstrap: done"
