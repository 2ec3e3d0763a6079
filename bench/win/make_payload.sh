#!/bin/sh
# Writes a 64 MiB file of text-like and random runs, which compresses like a product's files.
set -eu
out=$1
: > "$out"
i=0
while [ "$i" -lt 16 ]; do
  head -c 1048576 /dev/urandom >> "$out"
  yes 'setup file skin bitmap window data' | head -c 3145728 >> "$out"
  i=$((i + 1))
done
