/* The layout of every libc-free program: one segment, read and execute, that holds the headers,
   the constants and the code, and nothing else. No dynamic section, symbol or hash table: the
   kernel reads none of them, and there is no loader to. On i386 the code finds its constants
   relative to the address of the global offset table, which lld makes, empty but writable,
   whenever code refers to it: it stands in this segment too, where nothing ever writes it,
   instead of costing a writable segment of its own. */
PHDRS {
  text PT_LOAD FILEHDR PHDRS FLAGS(5);  /* R E */
  stack PT_GNU_STACK FLAGS(6);          /* R W, never E */
}
SECTIONS {
  . = SIZEOF_HEADERS;
  .rodata : { *(.rodata .rodata.*) } :text
  .text : { *(.text .text.*) } :text
  .got : { *(.got .got.plt) } :text
  /DISCARD/ : { *(.dynsym .hash .gnu.hash .dynamic .dynstr) }
}
