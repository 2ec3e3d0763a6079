#!/bin/sh
# The builder's command line: a good manifest writes exactly the three resources and
# inspect reads them back; a refused manifest writes nothing and names the field.
set -eu
pb=$1; src=$2; work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
"$pb" build "$src/resources/test-product/product.toml" "$work/ok"
[ "$(ls "$work/ok" | tr '\n' ' ')" = "Protocol.txt SETUPINI.bin SETUPPACK.bin " ]
# 78 DA after the 4-byte size: zlib at level 9.
[ "$(od -An -tx1 -j4 -N2 "$work/ok/SETUPINI.bin" | tr -d ' ')" = "78da" ]
"$pb" inspect "$work/ok" > "$work/report"
grep -q 'PackChecksum: .*matches' "$work/report"
grep -q 'type 3 (writes nothing)' "$work/report"

sed 's/release_date = "20200102"/release_date = "2020-01-02"/' "$src/resources/test-product/product.toml" > "$work/bad.toml"
cp -r "$src/resources/sample" "$work/sample"
if "$pb" build "$work/bad.toml" "$work/bad" 2> "$work/err"; then echo "accepted a bad date"; exit 1; fi
grep -q '^productbuilder: product.release_date:' "$work/err"
[ ! -e "$work/bad" ]
echo "productbuilder command line: ok"
