#!/bin/sh
# Fails when the shared library defines a dynamic symbol other than a PL function.
set -eu
library=$1
symbols=$(nm -D --defined-only "$library" | awk '{print $3}')
[ -n "$symbols" ] || { echo "no exported symbols in $library"; exit 1; }
stray=$(printf '%s\n' "$symbols" | grep -v '^PL[A-Z]' || true)
if [ -n "$stray" ]; then
  echo "symbols that are not PL functions:"
  printf '%s\n' "$stray"
  exit 1
fi
printf '%s\n' "$symbols" | wc -l | xargs echo "exported PL functions:"
