# Every architecture the programs know, one row each; the rest of the build reads its row.
#
#   the name used here, then ALSO the other names CMake may give it (a native CMAKE_SYSTEM_PROCESSOR
#            on Linux, the BSDs, macOS or Windows, or what a toolchain file sets), in any case
#   DEBIAN   its Debian architecture, for the package
#   WINDOWS  the Windows build for it, as its zip and its tests name it
#   REGISTER the callee-saved register in which the libc-free Linux layer keeps the command line:
#            never the frame pointer nor a PIC register. Without one, Linux programs for it stand
#            on the hosted layer. The layer also needs platform/linux/arch_<name>.h. Its programs
#            are position-independent on every architecture: loaded at a random address.
#   EMULATOR the qemu-user program that runs its Linux programs on another machine
#
# A processor found in no row builds the hosted programs, packaged as a plain archive.
automata_architecture(x86_64 ALSO amd64 x64 DEBIAN amd64 WINDOWS win64 REGISTER r15
                      EMULATOR qemu-x86_64)
automata_architecture(aarch64 ALSO arm64 DEBIAN arm64 WINDOWS winarm64 REGISTER x28
                      EMULATOR qemu-aarch64)
automata_architecture(riscv64 DEBIAN riscv64 REGISTER s11 EMULATOR qemu-riscv64)
automata_architecture(arm ALSO armv7l armv7-a armv7 armhf DEBIAN armhf REGISTER r10
                      EMULATOR qemu-arm)
automata_architecture(i386 ALSO i486 i586 i686 x86 DEBIAN i386 WINDOWS win32 REGISTER edi
                      EMULATOR qemu-i386)
automata_architecture(s390x DEBIAN s390x EMULATOR qemu-s390x)
automata_architecture(ppc64le DEBIAN ppc64el EMULATOR qemu-ppc64le)
automata_architecture(loongarch64 DEBIAN loong64 EMULATOR qemu-loongarch64)
