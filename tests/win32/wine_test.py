#!/usr/bin/env python3
"""The Windows programs under Wine: exact command lines, console output and exit status.

Usage: wine_test.py BUILD_DIR [unittest arguments]. WINE (the loader to use), SCRIPT, WINEPREFIX
and WINEDEBUG come from CTest. Where this host cannot run a Windows program of the build's kind
under Wine at all, the suite says why and exits with 77, which CTest reports as skipped; where Wine
or script is not installed, tests/skip.sh says so (and fails where CI installed every tool).

WriteConsoleA writes only to a console, so each program runs in a pseudo-terminal (script), with
`stty -onlcr` so that the bytes arrive as written; the cursor sequences Wine's console adds are
stripped. The test-only launcher starts a program with an exact command line (CreateProcessA), so
that neither a shell nor Wine's own quoting gets between the test and the program.
"""
import atexit
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

from command_lines import CASES

BUILD = Path(sys.argv.pop(1)).resolve()
WINE = os.environ.get("WINE", "")
SCRIPT = os.environ.get("SCRIPT", "")
YES, NO = b"Yes.\r\n", b"No.\r\n"
COMMAND_LINES = tempfile.mkdtemp(dir=BUILD, prefix="command-lines-")
atexit.register(shutil.rmtree, COMMAND_LINES)
TERMINAL_SEQUENCE = re.compile(rb"\x1b\[[0-9;?]*[A-Za-z]|\x1b\][^\x07]*\x07")
SKIP = 77


def missing_tool():
    """What the suite needs that is not installed, or None."""
    if not WINE:
        return "Wine is not installed"
    if not SCRIPT and sys.argv[1:2] == ["ConsoleTest"]:
        return "script is not installed (Debian's bsdutils or bsdextrautils)"
    return None


def why_wine_cannot_run():
    """None where Wine runs the launcher (which, given no arguments, ends with 250), else why not."""
    talkative = {name: value for name, value in os.environ.items() if name != "WINEDEBUG"}
    try:
        done = subprocess.run([WINE, str(BUILD / "launcher.exe")], stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=120, env=talkative)
    except subprocess.TimeoutExpired:
        return f"{WINE} did not run the launcher within 120 s"
    except OSError as error:
        return f"{WINE} does not start: {error}"
    if done.returncode != 250:
        said = done.stderr.decode(errors="replace").strip().splitlines()[:1] or ["nothing"]
        return f"{WINE} cannot run the launcher here (status {done.returncode}; {said[0]})"
    return None


def windows_path(path):
    return "Z:" + str(path).replace("/", "\\")


def launch(program, command_line):
    """Argument vector of the launcher starting program with exactly command_line (bytes)."""
    with tempfile.NamedTemporaryFile(dir=COMMAND_LINES, delete=False) as file:
        file.write(command_line)
    return [WINE, str(BUILD / "launcher.exe"), windows_path(BUILD / f"{program}.exe"),
            windows_path(file.name)]


def run_in_console(program, command_line, tries=2):
    """(bytes the console received, exit status). Wine's console now and then shows nothing of a
    program that ends at once (seen once in some hundred runs, with the right status), so a run
    that shows nothing is tried once more; a program that writes nothing fails both."""
    inner = "stty -onlcr; exec " + shlex.join(launch(program, command_line))
    typescript = os.path.join(COMMAND_LINES, "typescript")  # a file of ours, never a device
    for _ in range(tries):
        done = subprocess.run([SCRIPT, "-qfec", inner, typescript], stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=120)
        output = TERMINAL_SEQUENCE.sub(b"", done.stdout)
        if output:
            break
    return output, done.returncode


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


if __name__ == "__main__":
    if reason := missing_tool():  # skipped, or failed where CI installed every tool
        skip = str(Path(__file__).resolve().parent.parent / "skip.sh")
        os.execv(skip, [skip, reason])
    if reason := why_wine_cannot_run():
        print(f"SKIP: {reason}")
        sys.exit(SKIP)
    unittest.main(verbosity=2)
