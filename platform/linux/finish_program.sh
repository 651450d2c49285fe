#!/bin/sh
# After the link of a libc-free program: refuse it if it holds a relocation, which no loader would
# apply, or a writable segment, which would cost a page of memory every run. Then drop the section
# headers and every section the program does not load (their names, the tools' names, attribute
# notes): the kernel reads the program headers alone, and the bytes are a quarter of the file.
#   finish_program.sh READELF LLVM_OBJCOPY PROGRAM
# Reads structure, a section's type and a segment's flags, never readelf's sentences, which are
# translated; and in the C locale even so.
set -eu
readelf=$1 objcopy=$2 program=$3
export LC_ALL=C
refuse() { echo "$program: $*" >&2; rm -f "$program"; exit 1; }
sections=$("$readelf" -SW "$program")
segments=$("$readelf" -lW "$program")
if echo "$sections" | grep -Eq '^ *\[ *[0-9]+\] +[^ ]+ +(REL|RELA|RELR) '; then
  refuse "has relocations"
fi
if echo "$segments" | awk '$1 == "LOAD" && $7 ~ /W/ { w = 1 } END { exit !w }'; then
  refuse "has a writable segment"
fi
"$objcopy" --strip-sections "$program"
