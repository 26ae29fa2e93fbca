#!/bin/sh
# Builds everything and runs every test; extra arguments go to cmake.
set -eu
cd "$(dirname "$0")/.."
sh scripts/build.sh "$@"
ctest --test-dir "${BUILD_DIR:-build}" -j "$(nproc)" --output-on-failure
