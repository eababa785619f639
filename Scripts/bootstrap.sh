#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running need, then the npm packages of the browser UI
# and its tests at the versions the lock file names; nothing when all are there. Safe to run any number of
# times; silent when there is nothing to do.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  cmake ninja-build ccache g++ clang libclang-rt-14-dev make python3
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
  libsimdjson-dev nlohmann-json3-dev libpcap-dev libcsv-dev tshark libcpp-httplib-dev chromium iproute2 clang-format
)
# iproute2 brings up the loopback in the network namespaces that tests make for themselves.
# Node.js may come from elsewhere than Debian; only when there is no npm at all is Debian's taken.
command -v npm >/dev/null || packages+=(nodejs npm)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

install_npm_packages() {
  # npm records in node_modules the tree it installed: nothing to do when it holds every package of the lock
  # file at the lock file's version.
  if ! node -e '
      const want = require("./package-lock.json").packages, have = require("./node_modules/.package-lock.json").packages;
      process.exit(Object.keys(want).every(k => !k || (have[k] && have[k].version === want[k].version)) ? 0 : 1);' 2>/dev/null; then
    echo "bootstrap: npm ci"
    npm ci --no-audit --no-fund --loglevel=error >/dev/null
  fi
}

if [ ${#missing[@]} -eq 0 ]; then
  install_npm_packages
  exit 0
fi

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
install_npm_packages
echo "bootstrap: done"
