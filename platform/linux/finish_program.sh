#!/bin/sh
# After the link of a libc-free program: refuse it if it holds a relocation, which no loader would
# apply, or a writable segment, which would cost a page of memory every run. Then drop the section
# headers and every section the program does not load (their names, the tools' names, attribute
# notes): the kernel reads the program headers alone, and the bytes are a quarter of the file.
#   finish_program.sh READELF LLVM_OBJCOPY PROGRAM
set -eu
readelf=$1 objcopy=$2 program=$3
refuse() { echo "$program: $*" >&2; rm -f "$program"; exit 1; }
"$readelf" -r "$program" | grep -q "There are no relocations" || refuse "has relocations"
if "$readelf" -lW "$program" | grep -E '^ *LOAD .* RW' > /dev/null; then
  refuse "has a writable segment"
fi
"$objcopy" --strip-sections "$program"
