#!/bin/sh
# Writes fuzzer seeds from a compiled locale directory: each data file behind the
# byte that names its kind.
set -eu
locale_dir=$1
corpus=$2
mkdir -p "$corpus"
for file in "$locale_dir"/la_*.nls "$locale_dir"/te_*.nls "$locale_dir"/cp_*.nls; do
  case $(basename "$file") in
    la_*) kind='\000' ;;
    te_*) kind='\001' ;;
    *) kind='\002' ;;
  esac
  { printf "$kind"; cat "$file"; } > "$corpus/$(basename "$file")"
done
