#!/bin/sh
# After the link of a libc-free program: drop .comment (the linker's name, which nothing reads),
# then refuse the program if it holds a relocation, which no loader would apply, or a writable
# segment, which would cost a page of memory every run.
#   finish_program.sh OBJCOPY READELF PROGRAM
set -eu
objcopy=$1 readelf=$2 program=$3
refuse() { echo "$program: $*" >&2; rm -f "$program"; exit 1; }
"$objcopy" --remove-section=.comment "$program"
"$readelf" -r "$program" | grep -q "There are no relocations" || refuse "has relocations"
if "$readelf" -lW "$program" | grep -E '^ *LOAD .* RW' > /dev/null; then
  refuse "has a writable segment"
fi
