/* The layout of every Windows program linked by GNU ld: one section, read and execute, that holds
   the code, the constants and the imports, then the base relocations, which finish_program.py
   moves into that section's end. The import address table, which the loader fills, stands in
   that read-only section as the system's own linker puts it in .rdata: the loader makes it
   writable while it binds the imports (the import address directory says where it is), then
   restores it. None of the C runtime's lists (constructors, destructors, pseudo-relocations)
   that ld's own layout adds: these programs have none. */
SECTIONS {
  . = SIZEOF_HEADERS;
  . = ALIGN(__section_alignment__);
  .text __image_base__ + __section_alignment__ : {
    *(.text) *(SORT(.text$*)) *(.text.*)
    *(.rdata) *(SORT(.rdata$*))
    /* The imports, in the order the loader reads them: the descriptors and the null descriptor
       that ends them, the name lookup table, the address table, the names. ld fills in the
       import and import address directories from where the symbols ".idata$2" to ".idata$6"
       stand; kernel32's import library defines none of them, and ld would look for a section
       named .idata instead. */
    . = ALIGN(8);
    ".idata$2" = ABSOLUTE(. - __image_base__);
    KEEP (SORT(*)(.idata$2))
    KEEP (SORT(*)(.idata$3))
    LONG (0); LONG (0); LONG (0); LONG (0); LONG (0);
    . = ALIGN(8);
    ".idata$4" = ABSOLUTE(. - __image_base__);
    KEEP (SORT(*)(.idata$4))
    ".idata$5" = ABSOLUTE(. - __image_base__);
    KEEP (SORT(*)(.idata$5))
    ".idata$6" = ABSOLUTE(. - __image_base__);
    KEEP (SORT(*)(.idata$6))
    KEEP (SORT(*)(.idata$7))
  }
  .reloc BLOCK(__section_alignment__) : { *(.reloc) }
  /DISCARD/ : { *(.drectve) *(.note.GNU-stack) *(.debug$*) *(.gnu.lto_*) }
}
