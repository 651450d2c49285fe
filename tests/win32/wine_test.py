#!/usr/bin/env python3
"""The Windows programs under Wine: exact command lines, console output, exit status, PE files.

Usage: wine_test.py BUILD_DIR [unittest arguments]. WINEPREFIX and WINEDEBUG come from CTest.

WriteConsoleA writes only to a console, so each program runs in a pseudo-terminal (script), with
`stty -onlcr` so that the bytes arrive as written; the cursor sequences Wine's console adds are
stripped. The test-only launcher starts a program with an exact command line (CreateProcessA), so
that neither a shell nor Wine's own quoting gets between the test and the program.
"""
import atexit
import re
import shlex
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import zipfile
from pathlib import Path

BUILD = Path(sys.argv.pop(1)).resolve()
YES, NO = b"Yes.\r\n", b"No.\r\n"
COMMAND_LINES = tempfile.mkdtemp(dir=BUILD, prefix="command-lines-")
atexit.register(shutil.rmtree, COMMAND_LINES)
TERMINAL_SEQUENCE = re.compile(rb"\x1b\[[0-9;?]*[A-Za-z]|\x1b\][^\x07]*\x07")


def windows_path(path):
    return "Z:" + str(path).replace("/", "\\")


def launch(program, command_line):
    """Argument vector of the launcher starting program with exactly command_line (bytes)."""
    with tempfile.NamedTemporaryFile(dir=COMMAND_LINES, delete=False) as file:
        file.write(command_line)
    return ["wine", str(BUILD / "launcher.exe"), windows_path(BUILD / f"{program}.exe"),
            windows_path(file.name)]


def run_in_console(program, command_line):
    """(bytes the console received, exit status)."""
    inner = "stty -onlcr; exec " + shlex.join(launch(program, command_line))
    done = subprocess.run(["script", "-qfec", inner, "/dev/null"], stdin=subprocess.DEVNULL,
                          capture_output=True, timeout=120)
    return TERMINAL_SEQUENCE.sub(b"", done.stdout), done.returncode


# (name, program, command line, "Yes." expected). Where a plausible wrong extraction would give
# the other verdict, the word is chosen so that it does.
CASES = [
    ("name alone", "decimal3", b"decimal3.exe", True),
    ("name space word", "decimal3", b"decimal3.exe 12", True),
    ("not a multiple", "decimal3", b"decimal3.exe 13", False),
    ("quoted name with spaces", "decimal3", b'"C:\\my programs\\decimal3.exe" 12', True),
    ("closing quote, no blank", "decimal3", b'"decimal3.exe"12', True),
    ("unclosed quote", "decimal3", b'"decimal3.exe 1', True),
    ("tab does not end a name", "decimal3", b"decimal3.exe\t1", True),
    ("leading blank is the name's", "decimal3", b" 1 3", True),
    ("empty quoted name", "decimal3", b'""12', True),
    ("control bytes are blanks", "decimal3", b"decimal3.exe \x01\x1f\t 12", True),
    ("high byte starts the word", "decimal3", b"decimal3.exe \xe9", False),
    ("DEL starts the word", "decimal3", b"decimal3.exe \x7f", False),
    ("trailing blank kept", "decimal3", b"decimal3.exe 12 ", False),
    ("arguments not split", "decimal3", b"decimal3.exe 12 3", False),
    ("quotes kept", "decimal3", b'decimal3.exe "12"', False),
    ("empty command line", "decimal3", b"", True),
    ("near the 32,767 limit", "decimal3", b"decimal3.exe " + b"1" * 32700, True),
    ("near the limit, last digit off", "decimal3", b"decimal3.exe " + b"1" * 32699 + b"2", False),
    ("binary six", "binary3", b"binary3.exe 110", True),
    ("binary seven", "binary3", b"binary3.exe 111", False),
    ("binary empty word", "binary3", b'"binary3.exe"', True),
    ("evena two", "evena", b"evena.exe aa", True),
    ("evena three", "evena", b"evena.exe aaa", False),
    ("evena uppercase", "evena", b"evena.exe aA", False),
]


class ConsoleTest(unittest.TestCase):
    def test_command_lines(self):
        for name, program, command_line, yes in CASES:
            with self.subTest(name):
                output, status = run_in_console(program, command_line)
                self.assertEqual(output, YES if yes else NO)
                self.assertEqual(status, 1 if yes else 0)


class PipeTest(unittest.TestCase):
    """Standard output that is not a console: no text, the status still carries the verdict."""

    def test_no_console(self):
        for program, command_line, status in [("decimal3", b"decimal3.exe 12", 1),
                                              ("decimal3", b"decimal3.exe 13", 0),
                                              ("evena", b"evena.exe", 1)]:
            with self.subTest(command_line):
                done = subprocess.run(launch(program, command_line), stdin=subprocess.DEVNULL,
                                      capture_output=True, timeout=120)
                self.assertEqual((done.stdout, done.returncode), (b"", status))


IMPORTS = {"ExitProcess", "GetCommandLineA", "GetStdHandle", "WriteConsoleA"}


class PeFile:
    """Just enough of a PE file: its headers and its import table."""

    def __init__(self, path):
        self.data = data = path.read_bytes()
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        assert data[pe:pe + 4] == b"PE\0\0"
        (self.machine, sections, _, _, _, optional_size,
         self.characteristics) = struct.unpack_from("<HHIIIHH", data, pe + 4)
        optional = pe + 24
        self.magic = struct.unpack_from("<H", data, optional)[0]
        self.subsystem, self.dll_characteristics = struct.unpack_from("<HH", data, optional + 68)
        self.import_rva = struct.unpack_from("<I", data, optional + 96 + 8)[0]
        self.sections = {}
        for i in range(sections):
            header = optional + optional_size + 40 * i
            name = data[header:header + 8].rstrip(b"\0").decode()
            size, rva, raw_size, raw = struct.unpack_from("<IIII", data, header + 8)
            self.sections[name] = (rva, max(size, raw_size), raw)

    def offset(self, rva):
        for start, size, raw in self.sections.values():
            if start <= rva < start + size:
                return raw + rva - start
        raise ValueError(f"RVA {rva:#x} is in no section")

    def text(self, rva):
        at = self.offset(rva)
        return self.data[at:self.data.index(b"\0", at)].decode()

    def imports(self):
        """{DLL name: set of function names}."""
        found = {}
        descriptor = self.offset(self.import_rva)
        while True:
            lookup, _, _, name, thunks = struct.unpack_from("<IIIII", self.data, descriptor)
            if name == 0:
                return found
            functions = found.setdefault(self.text(name), set())
            entry = self.offset(lookup or thunks)
            while (thunk := struct.unpack_from("<I", self.data, entry)[0]) != 0:
                functions.add(f"#{thunk & 0xFFFF}" if thunk & 0x80000000 else self.text(thunk + 2))
                entry += 4
            descriptor += 20


class PeTest(unittest.TestCase):
    def test_programs(self):
        for program in ["decimal3", "binary3", "evena"]:
            with self.subTest(program):
                path = BUILD / f"{program}.exe"
                pe = PeFile(path)
                self.assertLessEqual(path.stat().st_size, 3072)
                self.assertEqual(pe.machine, 0x14C)  # i386
                self.assertEqual(pe.magic, 0x10B)  # PE32
                self.assertEqual(pe.subsystem, 3)  # console
                self.assertEqual(pe.dll_characteristics & 0x140, 0x140)  # ASLR, DEP
                self.assertEqual(pe.characteristics & 0x1, 0)  # relocations kept for ASLR
                self.assertIn(".reloc", pe.sections)
                self.assertEqual(pe.imports(), {"KERNEL32.dll": IMPORTS})


class PackageTest(unittest.TestCase):
    def test_zip_holds_the_programs_and_the_text(self):
        with tempfile.TemporaryDirectory() as out:
            subprocess.run(["cpack", "-G", "ZIP", "--config", str(BUILD / "CPackConfig.cmake"),
                            "-B", out], check=True, capture_output=True)
            (package,) = Path(out).glob("*.zip")
            with zipfile.ZipFile(package) as archive:
                names = {Path(name).name for name in archive.namelist()}
        self.assertLessEqual({"decimal3.exe", "binary3.exe", "evena.exe", "README.txt"}, names)


if __name__ == "__main__":
    unittest.main(verbosity=2)
