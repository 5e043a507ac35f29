#!/usr/bin/env bash
# The export of a generated book must be byte for byte what an independent Python reading
# of the same book writes: selection, order, values and quoting all agree.
set -euo pipefail
genbook=$1 cli=$2 peer=$3 work=$4
rm -rf "$work" && mkdir -p "$work/ours"
"$genbook" 4000 11 "$work/book.dxl" 2>/dev/null
"$cli" export "$work/book.dxl" "$work/ours" >/dev/null
python3 "$peer" "$work/book.dxl" "$work/peer.csv" >/dev/null
cmp "$work/ours/GMAILContacts.csv" "$work/peer.csv"
echo "identical: $(wc -l < "$work/peer.csv") lines"
rm -rf "$work"
