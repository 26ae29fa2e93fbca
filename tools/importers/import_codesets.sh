#!/bin/sh
# Rewrites every code-set source (data/codesets/<name>.txt) and the codeset lines of
# data/items.list from glibc's iconv, then checks each source against iconv again.
# usage: tools/importers/import_codesets.sh [ICONV_CODESET]
# Without an argument the importer is compiled into a temporary directory.
# POLYLOC_DATA names another data directory to write (default: the tree's data/).
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
data=${POLYLOC_DATA:-$root/data}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

importer=${1:-}
if [ -z "$importer" ]; then
  importer=$work/iconv_codeset
  ${CXX:-g++} -std=c++20 -O2 -Wall -Wextra -Werror -I"$root/src" -o "$importer" "$root/tools/importers/iconv_codeset.cpp"
fi

# number, name, glibc's name for it, importer option
cat > "$work/sets" <<'EOF'
1     US-ASCII      ANSI_X3.4-1968
4     ISO-8859-1    ISO-8859-1
5     ISO-8859-2    ISO-8859-2
6     ISO-8859-3    ISO-8859-3
7     ISO-8859-4    ISO-8859-4
8     ISO-8859-5    ISO-8859-5
9     ISO-8859-6    ISO-8859-6
10    ISO-8859-7    ISO-8859-7
11    ISO-8859-8    ISO-8859-8
12    ISO-8859-9    ISO-8859-9
13    ISO-8859-10   ISO-8859-10
18    EUC-JP        EUC-JP
38    EUC-KR        EUC-KR
106   UTF-8         UTF-8           --utf-8
109   ISO-8859-13   ISO-8859-13
110   ISO-8859-14   ISO-8859-14
111   ISO-8859-15   ISO-8859-15
112   ISO-8859-16   ISO-8859-16
930   IBM930        IBM930          --stateful
938   GB18030       GB18030         --gb18030
939   IBM939        IBM939          --stateful
1037  IBM037        IBM037
1874  MS874         CP874
1932  MS932         CP932
1936  MS936         CP936
1949  MS949         CP949
1950  MS950         CP950
2084  KOI8-R        KOI8-R
2088  KOI8-U        KOI8-U
2250  MS1250        CP1250
2251  MS1251        CP1251
2252  MS1252        CP1252
2253  MS1253        CP1253
2254  MS1254        CP1254
2255  MS1255        CP1255
2256  MS1256        CP1256
2257  MS1257        CP1257
2258  MS1258        CP1258
2259  ISO-8859-11   ISO-8859-11
2361  MS1361        CP1361
EOF

mkdir -p "$work/codesets"
while read -r number name glibc_name option; do
  # shellcheck disable=SC2086 # the option is one word or none
  "$importer" ${option:-} "$glibc_name" "$name" "$number" > "$work/codesets/$name.txt" 2> "$work/counts"
  "$importer" --check "$glibc_name" "$work/codesets/$name.txt" 2> "$work/check" || {
    cat "$work/check" >&2
    exit 1
  }
  printf '%s; %s bytes\n' "$(cat "$work/counts")" "$(wc -c < "$work/codesets/$name.txt" | tr -d ' ')"
done < "$work/sets"

# The directory holds nothing but importer output.
rm -f "$data"/codesets/*.txt
cp "$work"/codesets/*.txt "$data/codesets/"

{
  grep -v '^codeset[[:space:]]' "$data/items.list"
  sort -n "$work/sets" | while read -r number name _; do
    printf 'codeset    %-4s  %s\n' "$number" "$name"
  done
} > "$work/items.list"
mv "$work/items.list" "$data/items.list"
