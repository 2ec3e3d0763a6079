#!/bin/sh
# The skin builder under bad input: values files it must not parse, skins its own reader
# would refuse, outputs that must stay whole on a full disk, and list saying why a skin
# does not open.
set -eu
sb=$1; values=$2; work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
refuses() {  # refuses EXIT_CODE TEXT command...: fails unless the command exits so, saying TEXT
  code=$1; text=$2; shift 2
  set +e; "$@" > /dev/null 2> "$work/err"; rc=$?; set -e
  [ $rc -eq "$code" ] || { echo "exit $rc, not $code: $*"; cat "$work/err"; exit 1; }
  grep -q "$text" "$work/err" || { echo "no \"$text\" from: $*"; cat "$work/err"; exit 1; }
}
"$sb" sample-art "$work/art"
"$sb" build "$work/art" "$values" "$work/good.ssk"

# Values files nesting deeper than the parser can take, and inputs that are no files.
python3 -c "print('.'.join(['a']*300000)+' = 1')" > "$work/deep.toml"
refuses 1 "nests more than" "$sb" build "$work/art" "$work/deep.toml" "$work/o.ssk"
mkfifo "$work/fifo"
refuses 1 "not a regular file" timeout 20 "$sb" build "$work/art" "$work/fifo" "$work/o.ssk"
refuses 1 "is a folder" "$sb" build "$work/art" "$work/art" "$work/o.ssk"

# What the reader would refuse: names differing only in case, bitmaps over the pixel budget.
cp -r "$work/art" "$work/twice" && cp "$work/art/SKIN2_BUTTON.bmp" "$work/twice/skin2_button.BMP"
refuses 1 "named twice" "$sb" build "$work/twice" "$values" "$work/o.ssk"
mkdir "$work/big"
python3 - "$work/big" <<'PY'
import struct, sys
w = h = 8192; stride = w // 8
head = b'BM' + struct.pack('<IHHI', 62 + stride * h, 0, 0, 62) + struct.pack('<IiiHHIIiiII', 40, w, h, 1, 1, 0, 0, 0, 0, 0, 0)
for name in ('A', 'B'):
    with open(f'{sys.argv[1]}/{name}.bmp', 'wb') as f:
        f.write(head + b'\0\0\0\0\xff\xff\xff\0' + bytes(stride * h))
PY
refuses 1 "over the reader's budget" "$sb" build "$work/big" "$values" "$work/o.ssk"
[ ! -e "$work/o.ssk" ]

# A full disk (the temporary file on /dev/full) leaves the old skin whole and no leftovers.
cp "$work/good.ssk" "$work/keep.ssk" && ln -s /dev/full "$work/keep.ssk.tmp"
refuses 1 "No space left on device" "$sb" build "$work/art" "$values" "$work/keep.ssk"
cmp "$work/good.ssk" "$work/keep.ssk" && [ ! -e "$work/keep.ssk.tmp" ]
mkdir "$work/art2" && ln -s /dev/full "$work/art2/SKIN2_BUTTON.bmp.tmp"
refuses 1 "No space left on device" "$sb" sample-art "$work/art2"
[ ! -e "$work/art2/SKIN2_BUTTON.bmp" ]

# list says why, keeping its exit codes.
"$sb" build "$work/art" "$values" "$work/enc.ssk" --password pw
refuses 3 "no password was given" "$sb" list "$work/enc.ssk"
refuses 3 "password is wrong" "$sb" list "$work/enc.ssk" --password PW
python3 - "$work/good.ssk" "$work/huge.ssk" <<'PY'
import struct, sys
d = bytearray(open(sys.argv[1], 'rb').read())
cd = struct.unpack_from('<I', d, len(d) - 6)[0]
struct.pack_into('<I', d, cd + 24, 40 << 20)  # uncompressed size: 40 MiB
open(sys.argv[2], 'wb').write(d)
PY
refuses 3 "over the limit" "$sb" list "$work/huge.ssk"
refuses 1 "Failed to read skin file! $work/art: is a folder" "$sb" list "$work/art"
refuses 1 "no such file" "$sb" list "$work/missing.ssk"
echo "skinbuilder command line: ok"
