#!/bin/sh
# Builds everything and runs the main job: polyloc over the compiled locale directory.
set -eu
cd "$(dirname "$0")/.."
sh scripts/build.sh
build_dir=${BUILD_DIR:-build}
"$build_dir/tools/polyloc/polyloc" locales --dir "$build_dir/locale"
