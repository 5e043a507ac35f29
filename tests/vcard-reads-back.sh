#!/usr/bin/env bash
# Every card of the sample book and of a generated one (list items, dates, categories,
# names in several scripts) read back by vobject, with every value of the book in its card.
set -euo pipefail
python=$1 genbook=$2 cli=$3 sample=$4 work=$5
check=$(dirname "$0")/vcard-reads-back.py
rm -rf "$work" && mkdir -p "$work/sample" "$work/generated"
"$genbook" 3000 7 "$work/book.dxl" 2>/dev/null
"$cli" export "$sample" "$work/sample" --format vcard >/dev/null
"$python" "$check" "$sample" "$work/sample/GMAILContacts.vcf"
"$cli" export "$work/book.dxl" "$work/generated" --format vcard >/dev/null
"$python" "$check" "$work/book.dxl" "$work/generated/GMAILContacts.vcf"
rm -rf "$work"
