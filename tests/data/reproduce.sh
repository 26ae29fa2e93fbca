#!/bin/sh
# Runs every importer into a copy of data/ and fails when the result differs from
# the committed sources: data/ must be reproducible from its public inputs.
set -eu
repo=$1
importer=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$repo/data" "$work/data"
POLYLOC_DATA="$work/data" sh "$repo/tools/importers/import_codesets.sh" "$importer" >/dev/null
python3 "$repo/tools/importers/glibc_locales.py" --data "$work/data" >/dev/null
python3 "$repo/tools/importers/glibc_collations.py" --data "$work/data" >/dev/null
diff -r "$repo/data" "$work/data" && echo "data/ is reproducible"
