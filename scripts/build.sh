#!/bin/sh
# Configures and builds the tree in ${BUILD_DIR:-build}; extra arguments go to cmake.
set -eu
cd "$(dirname "$0")/.."
sh scripts/install-deps.sh
build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} "$@" >/dev/null
ninja -C "$build_dir"
