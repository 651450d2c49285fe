"""After the link of a Windows program: move its base relocations into the end of the section
before them, so that the image is one section, read and execute, after 512 bytes of headers.

    finish_program.py PROGRAM

The linker leaves the relocations in a .reloc section of their own, the last, which costs a file
block and a page of its own. The loader reads them wherever the base relocation directory says
(they never need relocating themselves), so they may stand in the code's section, after its last
byte, 4-aligned. The headers then count one section fewer, the image ends with that section, and
the checksum, where the linker wrote one, is made again.

The program is refused (removed, and one line said) if a section is writable, if it has no base
relocations (Windows would load it at its preferred address alone, and ASLR would end), or if it
is not laid out as expected; it is written whole or not at all.
"""
import os
import struct
import sys

WRITABLE, CODE, INITIALIZED_DATA = 0x80000000, 0x20, 0x40
RELOCS_STRIPPED = 0x0001
BASE_RELOCATIONS = 5  # the data directory's entry


class Refused(Exception):
    pass


def align(value, alignment):
    return (value + alignment - 1) // alignment * alignment


def checksum(image, at):
    """The PE checksum: the file's 16-bit words summed with end-around carry, the checksum's own
    field counted as zero, plus the file's length."""
    data = image[:at] + b"\0\0\0\0" + image[at + 4:]
    data += b"\0" * (len(data) % 2)
    total = 0
    for (word,) in struct.iter_unpack("<H", data):
        total += word
        total = (total & 0xFFFF) + (total >> 16)
    return total + len(image)


def finish(image):
    (pe,) = struct.unpack_from("<I", image, 0x3C)
    if image[pe:pe + 4] != b"PE\0\0":
        raise Refused("is not a PE image")
    file_header = pe + 4
    sections_count, symbols, optional_size, characteristics = struct.unpack_from(
        "<H8xIHH", image, file_header + 2)
    optional = file_header + 20
    (magic,) = struct.unpack_from("<H", image, optional)
    directories = optional + (96 if magic == 0x10B else 112)
    table = optional + optional_size
    section_alignment, file_alignment = struct.unpack_from("<II", image, optional + 32)
    if symbols or characteristics & RELOCS_STRIPPED:
        raise Refused("has a symbol table or its relocations stripped")
    sections = [list(struct.unpack_from("<8sIIII12xI", image, table + 40 * i))
                for i in range(sections_count)]
    for name, *_, flags in sections:
        if flags & WRITABLE:
            raise Refused(f"has a writable section {name.rstrip(bytes(1)).decode()}")
    relocations, relocations_size = struct.unpack_from("<II", image, directories + 8 * BASE_RELOCATIONS)
    if relocations_size == 0:
        raise Refused("has no base relocations")

    *_, last = sections
    name, size, address, raw_size, raw_at, _ = last
    if name.rstrip(bytes(1)) == b".reloc" and len(sections) > 1:
        if not (address <= relocations and relocations + relocations_size <= address + size) \
                or raw_at + raw_size != len(image):
            raise Refused("has its relocations laid out unlike a linker's .reloc section")
        block = bytes(image[raw_at + relocations - address:][:relocations_size])
        before = sections[-2]
        _, before_size, before_address, before_raw_size, before_raw_at, _ = before
        if before_size > before_raw_size or before_raw_at + before_raw_size != raw_at:
            raise Refused("has a section before its relocations that is not all in the file")
        at = align(before_size, 4)
        before[1] = at + relocations_size
        before[3] = align(before[1], file_alignment)
        end = before_raw_at + before[3]
        image[before_raw_at + before_size:] = bytes(at - before_size) + block
        image[len(image):] = bytes(end - len(image))
        sections = sections[:-1]
        struct.pack_into("<II", image, directories + 8 * BASE_RELOCATIONS,
                         before_address + at, relocations_size)
        struct.pack_into("<H", image, file_header + 2, len(sections))
        image[table + 40 * len(sections):table + 40 * (len(sections) + 1)] = bytes(40)
        struct.pack_into("<8sIIII12xI", image, table + 40 * (len(sections) - 1), *before)
        # The sizes the optional header keeps: of code, of initialized data, of the image.
        code = sum(s[3] for s in sections if s[5] & CODE)
        data = sum(s[3] for s in sections if s[5] & INITIALIZED_DATA and not s[5] & CODE)
        struct.pack_into("<II", image, optional + 4, code, data)
        struct.pack_into("<I", image, optional + 56,
                         align(before_address + before[1], section_alignment))
    if struct.unpack_from("<I", image, optional + 64)[0]:
        struct.pack_into("<I", image, optional + 64, checksum(image, optional + 64))
    return image


def main():
    (program,) = sys.argv[1:]
    try:
        with open(program, "rb") as file:
            image = finish(bytearray(file.read()))
    except (Refused, struct.error) as error:
        reason = error if isinstance(error, Refused) else "is cut short"
        print(f"{program}: {reason}", file=sys.stderr)
        os.remove(program)
        sys.exit(1)
    with open(program + ".finished", "wb") as file:
        file.write(image)
    os.replace(program + ".finished", program)


if __name__ == "__main__":
    main()
