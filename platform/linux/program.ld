/* The layout of every libc-free program: one segment, read and execute, that holds the headers,
   the dynamic section (read-only: nothing reads it but a loader, and there is none), the
   constants and the code. On i386 the code finds its constants relative to the address of the
   global offset table, which lld makes, empty but writable, whenever code refers to it: it stands
   in this segment too, where nothing ever writes it, instead of costing a writable one. */
PHDRS {
  text PT_LOAD FILEHDR PHDRS FLAGS(5);  /* R E */
  dynamic PT_DYNAMIC FLAGS(4);          /* R */
  stack PT_GNU_STACK FLAGS(6);          /* R W, never E */
}
SECTIONS {
  . = SIZEOF_HEADERS;
  .dynsym : { *(.dynsym) } :text
  .hash : { *(.hash) } :text
  .dynamic : { *(.dynamic) } :text :dynamic
  .dynstr : { *(.dynstr) } :text
  .rodata : { *(.rodata .rodata.*) } :text
  .text : { *(.text .text.*) } :text
  .got : { *(.got .got.plt) } :text
}
