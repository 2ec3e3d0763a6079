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

# An empty -D name is refused; so is a ${ without its }.
if "$pb" build "$src/resources/test-product/product.toml" "$work/d" -D =x 2> "$work/err"; then exit 1; fi
grep -q "needs a name" "$work/err"
sed 's@^licence = .*@licence = "${LIC"@' "$src/resources/test-product/product.toml" > "$work/unclosed.toml"
if timeout 20 "$pb" build "$work/unclosed.toml" "$work/d" -D LIC=x 2> "$work/err"; then exit 1; fi
grep -q '^productbuilder: product.licence: "${" without a closing "}"' "$work/err"

# All or nothing: a full disk (the pack's temporary file on /dev/full) or an output name
# taken by a folder leaves the old resources as they were and no temporary file.
cp -r "$work/ok" "$work/full"
echo old > "$work/full/SETUPINI.bin"
ln -s /dev/full "$work/full/SETUPPACK.bin.tmp"
if "$pb" build "$src/resources/test-product/product.toml" "$work/full" 2> "$work/err"; then exit 1; fi
grep -q "SETUPPACK.bin.tmp: No space left on device" "$work/err"
[ "$(ls "$work/full" | tr '\n' ' ')" = "Protocol.txt SETUPINI.bin SETUPPACK.bin " ]
[ "$(cat "$work/full/SETUPINI.bin")" = old ]
rm "$work/full/SETUPPACK.bin" && mkdir "$work/full/SETUPPACK.bin"
if "$pb" build "$src/resources/test-product/product.toml" "$work/full" 2> "$work/err"; then exit 1; fi
grep -q "is a folder" "$work/err"
[ "$(cat "$work/full/SETUPINI.bin")" = old ] && [ -z "$(ls "$work/full" | grep tmp)" ]

# inspect refuses what is no regular file instead of reading it for ever.
mkfifo "$work/fifo"
for input in /dev/zero "$work/fifo"; do
  if timeout 20 "$pb" inspect "$input" 2> "$work/err"; then exit 1; fi
  grep -q "not a regular file" "$work/err"
done
# A damaged record is reported: here a file count outside 0..256 (offset 37164).
cp -r "$work/ok" "$work/damaged"
python3 - "$work/damaged/SETUPINI.bin" <<'PY'
import sys, zlib, struct
p = sys.argv[1]; raw = bytearray(zlib.decompress(open(p, 'rb').read()[4:]))
raw[37164:37168] = struct.pack('<i', 300)
open(p, 'wb').write(struct.pack('<I', len(raw)) + zlib.compress(bytes(raw), 9))
PY
if "$pb" inspect "$work/damaged" > "$work/report"; then echo "passed a damaged record"; exit 1; fi
grep -q "FileCount: 300 is outside 0..256" "$work/report"
echo "productbuilder command line: ok"
