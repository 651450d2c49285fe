"""An emulated Windows just large enough for our programs: a PE loader and four kernel32 stubs.

The exact .exe that ships runs in Unicorn. The loader maps it at a base other than its preferred
one, applies its base relocations and binds its imports, then maps each section with the
protections it asks for (a write into a read-only page or a jump into one that is not executable
is a Fault). The command line ends
with its NUL on the last byte of a mapped page, so a read past the NUL faults. Each stub checks its
arguments the way the real function would need them, clobbers what a real callee may, and returns
by the architecture's calling convention (stdcall pops its arguments). Any fault, an import other
than the four, a return from the entry point or a run past the instruction budget is a Fault.
"""
import os
import struct
from pathlib import Path

try:
    import pefile
    import unicorn
    from unicorn import arm64_const as arm64
    from unicorn import x86_const as x86
except ImportError as error:  # Debian's python3-unicorn and python3-pefile, for /usr/bin/python3
    skip = str(Path(__file__).resolve().parent.parent / "skip.sh")  # skipped, or failed in CI
    os.execv(skip, [skip, f"{error} (Debian's python3-unicorn and python3-pefile)"])

PAGE = 0x1000
STD_OUTPUT_HANDLE = 0xFFFFFFF5
BUDGET = 20_000_000  # instructions; a 32 KiB command line needs well under a million


class Fault(Exception):
    """The program did something no correct program does."""


def pages(size):
    return (size + PAGE - 1) & ~(PAGE - 1)


class X86:
    """32-bit x86, stdcall: arguments on the stack, the callee pops them, result in eax."""
    machine, mode, pointer = 0x14C, (unicorn.UC_ARCH_X86, unicorn.UC_MODE_32), 4
    pc, sp = x86.UC_X86_REG_EIP, x86.UC_X86_REG_ESP
    volatile = [x86.UC_X86_REG_ECX, x86.UC_X86_REG_EDX]
    result = x86.UC_X86_REG_EAX
    bases, stubs, stack_top, command_line_end = [0x10000000, 0x2A340000], 0x7FFE0000, 0x00200000, 0x7FF00000

    def enter(self, cpu, top, returned):
        # Nothing is mapped above the entry point's return address: a stack that a wrong clean-up
        # has moved above its start touches unmapped memory.
        sp = top - 4
        cpu.mem_write(sp, struct.pack("<I", returned))
        cpu.reg_write(self.sp, sp)

    def arguments(self, cpu, count):
        sp = cpu.reg_read(self.sp)
        return list(struct.unpack("<%dI" % count, cpu.mem_read(sp + 4, 4 * count)))

    def leave(self, cpu, count):
        sp = cpu.reg_read(self.sp)
        cpu.reg_write(self.pc, struct.unpack("<I", cpu.mem_read(sp, 4))[0])
        cpu.reg_write(self.sp, sp + 4 + 4 * count)


class X64:
    """x86-64, Microsoft convention: rcx, rdx, r8, r9, then the stack above 32 bytes of shadow
    space; rsp is 16-byte aligned at each call, so 8 past it inside the callee."""
    machine, mode, pointer = 0x8664, (unicorn.UC_ARCH_X86, unicorn.UC_MODE_64), 8
    pc, sp = x86.UC_X86_REG_RIP, x86.UC_X86_REG_RSP
    registers = [x86.UC_X86_REG_RCX, x86.UC_X86_REG_RDX, x86.UC_X86_REG_R8, x86.UC_X86_REG_R9]
    volatile = registers + [x86.UC_X86_REG_R10, x86.UC_X86_REG_R11]
    result = x86.UC_X86_REG_RAX
    bases, stubs, stack_top, command_line_end = (
        [0x7FF6_2A340000, 0x2_6C890000], 0x7FFE_0000_0000, 0x5_0000_0000, 0x6_0000_0000)

    def enter(self, cpu, top, returned):
        sp = top - 40  # the return address, then the entry point's own shadow space
        cpu.mem_write(sp, struct.pack("<Q", returned))
        cpu.reg_write(self.sp, sp)

    def arguments(self, cpu, count):
        sp = cpu.reg_read(self.sp)
        if sp % 16 != 8:
            raise Fault(f"called with rsp {sp:#x}, not 16-byte aligned at the call")
        # The shadow space is the callee's to use: scribble on it, as a real callee may.
        cpu.mem_write(sp + 8, b"\xA5" * 32)
        values = [cpu.reg_read(r) for r in self.registers[:count]]
        for i in range(4, count):
            values += struct.unpack("<Q", cpu.mem_read(sp + 8 + 8 * i, 8))
        return values

    def leave(self, cpu, count):
        sp = cpu.reg_read(self.sp)
        cpu.reg_write(self.pc, struct.unpack("<Q", cpu.mem_read(sp, 8))[0])
        cpu.reg_write(self.sp, sp + 8)


class Arm64:
    """ARM64: arguments in x0-x7, result in x0, return through x30; sp 16-byte aligned."""
    machine, mode, pointer = 0xAA64, (unicorn.UC_ARCH_ARM64, unicorn.UC_MODE_ARM), 8
    pc, sp = arm64.UC_ARM64_REG_PC, arm64.UC_ARM64_REG_SP
    registers = [getattr(arm64, f"UC_ARM64_REG_X{i}") for i in range(8)]
    volatile = registers + [getattr(arm64, f"UC_ARM64_REG_X{i}") for i in range(9, 18)]
    result = arm64.UC_ARM64_REG_X0
    bases, stubs, stack_top, command_line_end = X64.bases, X64.stubs, X64.stack_top, X64.command_line_end

    def enter(self, cpu, top, returned):
        cpu.reg_write(arm64.UC_ARM64_REG_X30, returned)
        cpu.reg_write(self.sp, top)

    def arguments(self, cpu, count):
        sp = cpu.reg_read(self.sp)
        if sp % 16 != 0:
            raise Fault(f"called with sp {sp:#x}, not 16-byte aligned")
        return [cpu.reg_read(r) for r in self.registers[:count]]

    def leave(self, cpu, count):
        cpu.reg_write(self.pc, cpu.reg_read(arm64.UC_ARM64_REG_X30))


ARCHITECTURES = {a.machine: a for a in (X86, X64, Arm64)}
STUBS = {"GetCommandLineA": 0, "GetStdHandle": 1, "WriteConsoleA": 5, "ExitProcess": 1}


class Run:
    """One run of a program: what it wrote to the console and the code it gave ExitProcess."""

    def __init__(self, path, command_line, base_index=0, console=True):
        self.pe = pe = pefile.PE(str(path))
        self.arch = arch = ARCHITECTURES[pe.FILE_HEADER.Machine]()
        self.console = console
        self.writes, self.calls, self.exit_code = [], [], None
        self.handle = 0x1234_5678_0040 if arch.pointer == 8 else 0x40
        self.base = arch.bases[base_index]
        if self.base == pe.OPTIONAL_HEADER.ImageBase:
            raise Fault("the test base is the preferred one")
        cpu = self.cpu = unicorn.Uc(*arch.mode)
        self.load()
        self.place_command_line(command_line)
        stack = 0x10000
        cpu.mem_map(arch.stack_top - stack, stack, unicorn.UC_PROT_READ | unicorn.UC_PROT_WRITE)
        arch.enter(cpu, arch.stack_top, self.returned)
        cpu.hook_add(unicorn.UC_HOOK_CODE, self.on_stub, begin=arch.stubs, end=arch.stubs + PAGE - 1)
        cpu.hook_add(unicorn.UC_HOOK_MEM_INVALID, self.on_bad_access)
        self.fault = None
        try:
            cpu.emu_start(self.base + pe.OPTIONAL_HEADER.AddressOfEntryPoint, 1, count=BUDGET)
        except unicorn.UcError as error:
            raise Fault(self.fault or f"{error} at {cpu.reg_read(arch.pc):#x}") from None
        if self.fault:
            raise Fault(self.fault)
        if self.exit_code is None:
            raise Fault(f"no ExitProcess within {BUDGET} instructions")

    def load(self):
        pe, cpu, arch = self.pe, self.cpu, self.arch
        size = pages(pe.OPTIONAL_HEADER.SizeOfImage)
        image = bytearray(size)
        image[:pe.OPTIONAL_HEADER.SizeOfHeaders] = pe.__data__[:pe.OPTIONAL_HEADER.SizeOfHeaders]
        for section in pe.sections:
            data = section.get_data()[:max(section.Misc_VirtualSize, section.SizeOfRawData)]
            image[section.VirtualAddress:section.VirtualAddress + len(data)] = data
        self.relocate(image)
        # Every import becomes the address of a stub; anything but the four is refused. The
        # loader's binding is the one write into the image, and only into the import address
        # table the image declares: the loader unprotects that alone.
        table = pe.OPTIONAL_HEADER.DATA_DIRECTORY[12]
        names = sorted(STUBS)
        for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", []):
            for symbol in entry.imports:
                name = symbol.name.decode() if symbol.name else f"#{symbol.ordinal}"
                if entry.dll.decode().lower() != "kernel32.dll" or name not in STUBS:
                    raise Fault(f"imports {name} from {entry.dll.decode()}")
                rva = symbol.address - pe.OPTIONAL_HEADER.ImageBase
                if not table.VirtualAddress <= rva < table.VirtualAddress + table.Size:
                    raise Fault(f"binds {name} at {rva:#x}, outside its import address table")
                stub = arch.stubs + 16 * names.index(name)
                image[rva:rva + arch.pointer] = stub.to_bytes(arch.pointer, "little")
        self.names = {arch.stubs + 16 * i: name for i, name in enumerate(names)}
        self.returned = arch.stubs + 16 * len(names)
        cpu.mem_map(arch.stubs, PAGE, unicorn.UC_PROT_READ | unicorn.UC_PROT_EXEC)
        # The headers are read-only; each section has the protections it asks for, and the rest
        # of the image is not mapped.
        regions = [(0, pe.OPTIONAL_HEADER.SizeOfHeaders, unicorn.UC_PROT_READ)]
        for section in pe.sections:
            flags = section.Characteristics
            regions.append((section.VirtualAddress, section.Misc_VirtualSize,
                            (unicorn.UC_PROT_READ if flags & 0x40000000 else 0)
                            | (unicorn.UC_PROT_WRITE if flags & 0x80000000 else 0)
                            | (unicorn.UC_PROT_EXEC if flags & 0x20000000 else 0)))
        for start, length, protection in regions:
            cpu.mem_map(self.base + start, pages(length), protection)
            cpu.mem_write(self.base + start, bytes(image[start:start + pages(length)]))

    def relocate(self, image):
        pe, delta = self.pe, self.base - self.pe.OPTIONAL_HEADER.ImageBase
        directory = pe.OPTIONAL_HEADER.DATA_DIRECTORY[5]
        if directory.Size == 0 or pe.FILE_HEADER.Characteristics & 1:
            raise Fault("relocations stripped: the image cannot move")
        at, end = directory.VirtualAddress, directory.VirtualAddress + directory.Size
        while at < end:
            page, block = struct.unpack_from("<II", image, at)
            for (entry,) in struct.iter_unpack("<H", image[at + 8:at + block]):
                kind, where = entry >> 12, page + (entry & 0xFFF)
                if kind == 3:  # HIGHLOW
                    struct.pack_into("<I", image, where,
                                     (struct.unpack_from("<I", image, where)[0] + delta) % 2**32)
                elif kind == 10:  # DIR64
                    struct.pack_into("<Q", image, where,
                                     (struct.unpack_from("<Q", image, where)[0] + delta) % 2**64)
                elif kind != 0:
                    raise Fault(f"relocation type {kind} at {where:#x}")
            at += block

    def place_command_line(self, command_line):
        text = command_line + b"\0"
        size = pages(len(text))
        start = self.arch.command_line_end - size
        self.cpu.mem_map(start, size, unicorn.UC_PROT_READ)  # the page after it stays unmapped
        self.cpu.mem_write(self.arch.command_line_end - len(text), text)
        self.command_line = self.arch.command_line_end - len(text)

    def on_bad_access(self, cpu, access, address, size, value, data):
        kinds = {unicorn.UC_MEM_WRITE_PROT: "write to read-only", unicorn.UC_MEM_FETCH_PROT:
                 "execute non-executable", unicorn.UC_MEM_READ_UNMAPPED: "read unmapped",
                 unicorn.UC_MEM_WRITE_UNMAPPED: "write unmapped",
                 unicorn.UC_MEM_FETCH_UNMAPPED: "execute unmapped"}
        self.fault = f"{kinds.get(access, access)} memory at {address:#x}"
        return False

    def on_stub(self, cpu, address, size, data):
        if address == self.returned:
            return self.stop("returned from the entry point instead of calling ExitProcess")
        name = self.names.get(address)
        if name is None:
            return self.stop(f"jumped into the stub page at {address:#x}")
        self.calls.append(name)
        try:
            result = getattr(self, name)(*self.arch.arguments(cpu, STUBS[name]))
        except Fault as fault:
            return self.stop(f"{name}: {fault}")
        if name == "ExitProcess":
            return cpu.emu_stop()
        for register in self.arch.volatile:
            cpu.reg_write(register, 0xDEAD_BEEF_DEAD_BEEF % 2**(8 * self.arch.pointer))
        cpu.reg_write(self.arch.result, result)
        self.arch.leave(cpu, STUBS[name])

    def stop(self, reason):
        self.fault = reason
        self.cpu.emu_stop()

    def GetCommandLineA(self):
        return self.command_line

    def GetStdHandle(self, device):
        if device % 2**32 != STD_OUTPUT_HANDLE:
            raise Fault(f"asked for handle {device:#x}, not STD_OUTPUT_HANDLE")
        return self.handle

    def WriteConsoleA(self, handle, text, count, written, reserved):
        if handle != self.handle:
            raise Fault(f"handle {handle:#x} is not the one GetStdHandle gave")
        if written or reserved:
            raise Fault("the written count and the reserved pointer must be null")
        self.writes.append(bytes(self.cpu.mem_read(text, count % 2**32)))
        return 1 if self.console else 0

    def ExitProcess(self, code):
        self.exit_code = code % 2**32

    @property
    def output(self):
        return b"".join(self.writes) if self.console else b""
