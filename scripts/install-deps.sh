#!/bin/sh
# Installs the Debian 12 packages the build and the tests need, if any is missing.
set -eu
packages="cmake ninja-build g++ make python3 pkg-config libgtest-dev libgmock-dev libbenchmark-dev libicu-dev unicode-data locales"
missing=""
for package in $packages; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing="$missing $package"
done
[ -z "$missing" ] && exit 0
echo "installing:$missing"
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $missing >/dev/null
