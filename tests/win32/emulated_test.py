#!/usr/bin/env python3
"""The Windows programs, the exact files that ship, in an emulated Windows; their PE headers; the zip.

Usage: emulated_test.py BUILD_DIR WINDOWS BUILT INSTALLED [unittest arguments], WINDOWS being the
build's name (win32, win64 or winarm64), BUILT and INSTALLED the programs, comma-separated.
Needs Python's unicorn and pefile (Debian's python3-unicorn and python3-pefile).
"""
import subprocess
import sys
import tempfile
import unittest
import zipfile
from pathlib import Path

from emulated_windows import Run  # first: it says skipped where its modules are missing
import pefile  # noqa: E402

from command_lines import CASES

BUILD = Path(sys.argv.pop(1)).resolve()
WINDOWS = sys.argv.pop(1)
PROGRAMS = sys.argv.pop(1).split(",")
INSTALLED = sys.argv.pop(1).split(",")
YES, NO = b"Yes.\r\n", b"No.\r\n"


class EmulatedTest(unittest.TestCase):
    def test_command_lines_at_two_bases(self):
        for name, program, command_line, yes in CASES:
            for base in (0, 1):
                with self.subTest(name, base=base):
                    run = Run(BUILD / f"{program}.exe", command_line, base)
                    self.assertEqual((run.output, run.exit_code), (YES if yes else NO, int(yes)))

    def test_failed_console_write_keeps_the_verdict(self):
        for program, command_line, yes in [("decimal3", b"d 12", True), ("binary3", b"b 10", False),
                                           ("evena", b"e", True)]:
            with self.subTest(program):
                run = Run(BUILD / f"{program}.exe", command_line, console=False)
                self.assertEqual(run.calls, ["GetCommandLineA"] +
                                 ["GetStdHandle", "WriteConsoleA"] * 2 + ["ExitProcess"])
                self.assertEqual(run.exit_code, int(yes))


# What each build must be: machine, PE32 or PE32+, and the DLL characteristics it must have
# (DYNAMIC_BASE and NX_COMPAT; HIGH_ENTROPY_VA on 64 bits).
BUILDS = {"win32": (0x14C, 0x10B, 0x140), "win64": (0x8664, 0x20B, 0x160),
          "winarm64": (0xAA64, 0x20B, 0x160)}
# The most bytes a program may take: the system's own and a 10-state table over 10 symbols
# (digitsum) on every Windows; any other table's, a little more, but the 147 states of c-name.
MOST_BYTES = {**{program: 1536 for _, program, _, _ in CASES}, "digitsum": 2048, "c-name": 16384}
TABLE_BYTES = 4096
IMPORTS = {"ExitProcess", "GetCommandLineA", "GetStdHandle", "WriteConsoleA"}
EXECUTE, READ, WRITE = 0x20000000, 0x40000000, 0x80000000


class PeTest(unittest.TestCase):
    def test_programs(self):
        machine, magic, characteristics = BUILDS[WINDOWS]
        for program in PROGRAMS:
            with self.subTest(program):
                path = BUILD / f"{program}.exe"
                pe = pefile.PE(str(path))
                self.assertLessEqual(path.stat().st_size, MOST_BYTES.get(path.stem, TABLE_BYTES))
                self.assertEqual(pe.FILE_HEADER.Machine, machine)
                self.assertEqual(pe.OPTIONAL_HEADER.Magic, magic)
                self.assertEqual(pe.OPTIONAL_HEADER.Subsystem, 3)  # console
                self.assertEqual(pe.OPTIONAL_HEADER.DllCharacteristics & characteristics,
                                 characteristics)
                self.assertEqual(pe.FILE_HEADER.Characteristics & 0x1, 0)  # relocations kept
                imports = {(entry.dll.decode(), symbol.name.decode())
                           for entry in pe.DIRECTORY_ENTRY_IMPORT for symbol in entry.imports}
                self.assertEqual(imports, {("KERNEL32.dll", name) for name in IMPORTS})
                # One section, read and execute, pages apart in memory and 512 bytes in the
                # file; the base relocations and the import address table inside it.
                self.assertEqual((pe.OPTIONAL_HEADER.SectionAlignment,
                                  pe.OPTIONAL_HEADER.FileAlignment), (0x1000, 0x200))
                (section,) = pe.sections
                self.assertEqual(section.Characteristics & (EXECUTE | READ | WRITE),
                                 EXECUTE | READ)
                for index in (5, 12):  # base relocations, import address table
                    directory = pe.OPTIONAL_HEADER.DATA_DIRECTORY[index]
                    self.assertTrue(directory.Size and section.contains_rva(directory.VirtualAddress)
                                    and section.contains_rva(directory.VirtualAddress
                                                             + directory.Size - 1), index)


class PackageTest(unittest.TestCase):
    def test_zip_holds_the_programs_and_the_text(self):
        with tempfile.TemporaryDirectory() as out:
            subprocess.run(["cpack", "-G", "ZIP", "--config", str(BUILD / "CPackConfig.cmake"),
                            "-B", out], check=True, capture_output=True)
            (package,) = Path(out).glob("*.zip")
            with zipfile.ZipFile(package) as archive:
                names = {Path(name).name for name in archive.namelist()}
        self.assertLessEqual({"README.txt", "LICENSE.txt"}, names)
        self.assertEqual({name for name in names if name.endswith(".exe")},
                         {f"{program}.exe" for program in INSTALLED})


if __name__ == "__main__":
    unittest.main(verbosity=2)
