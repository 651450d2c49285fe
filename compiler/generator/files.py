"""Reading and writing the compiler's files: a fault is one line that names the file.

Only regular files are read or written: a FIFO or a device is refused before it is opened, so
nothing blocks on one. Every file written goes first to a temporary file beside it and is renamed
into place only when whole, all of a command's outputs together, so that a failure (a full disk,
a signal, a fault in the last of them) leaves every target as it was.
"""
import os
import stat
import sys
import tempfile
from pathlib import Path

from .model import Fault
from .read_regex import read_regex
from .read_table import read_table

MOST_BYTES = 16 << 20  # a table or expression file larger than this is refused, not read on
STANDARD_INPUT = "-"


def read_bytes(path):
    if str(path) == STANDARD_INPUT:
        data = sys.stdin.buffer.read(MOST_BYTES + 1)
    else:
        try:
            kind = os.stat(path).st_mode
            if stat.S_ISDIR(kind):
                raise Fault(f"{path}: a folder, not a table file")
            if not stat.S_ISREG(kind):
                raise Fault(f"{path}: not a regular file (a FIFO or a device is never read)")
            with open(path, "rb") as file:
                data = file.read(MOST_BYTES + 1)
        except OSError as error:
            raise Fault(f"{path}: cannot be read: {error.strerror}")
    if len(data) > MOST_BYTES:
        raise Fault(f"{path}: more than {MOST_BYTES >> 20} MiB; no table or expression is so large")
    return data


def same_file(a, b):
    try:
        return os.path.samefile(a, b)
    except OSError:
        return False


def check_output(path, inputs=()):
    """A place a command may write to: not one of its inputs, not a folder, FIFO or device."""
    if not str(path):
        raise Fault("-o '': an empty name names no file")
    for found in inputs:
        if str(found) != STANDARD_INPUT and same_file(path, found):
            raise Fault(f"{path}: is an input of this command too; it is never written over")
    try:
        kind = os.stat(path).st_mode
    except OSError:
        return
    if stat.S_ISDIR(kind):
        raise Fault(f"{path}: a folder, not a file to write")
    if not stat.S_ISREG(kind):
        raise Fault(f"{path}: not a regular file (a FIFO or a device is never written)")


def write_files(outputs, inputs=()):
    """Writes every (path, bytes or a file to copy) or none: each to a temporary file beside its
    target, then all renamed into place."""
    for path, _ in outputs:
        check_output(path, inputs)
    written, target = [], None  # [(temporary, target)]; the target being written
    umask = os.umask(0)
    os.umask(umask)
    try:
        for path, data in outputs:
            target = Path(path)
            handle, temporary = tempfile.mkstemp(prefix=f".{target.name[:64]}.", dir=target.parent)
            written.append((temporary, target))
            copied = not isinstance(data, (bytes, bytearray))
            with os.fdopen(handle, "wb") as file:
                if copied:
                    with open(data, "rb") as source:
                        while chunk := source.read(1 << 20):
                            file.write(chunk)
                else:
                    file.write(data)
            os.chmod(temporary, (0o777 if copied else 0o666) & ~umask)  # as a new file would be
        for temporary, target in written:
            os.replace(temporary, target)
    except OSError as error:
        raise Fault(f"{target}: cannot be written: {error.strerror}")
    finally:
        for temporary, _ in written:
            if os.path.lexists(temporary):
                os.unlink(temporary)


def write_bytes(path, text, inputs=()):
    write_files([(path, text.encode("latin-1"))], inputs)


def automaton_of(data, path, most_states):
    """A table file's automaton, or a .regex file's minimal one, from the file's bytes."""
    if str(path).endswith(".regex"):
        return read_regex(data, path, most_states)
    return read_table(data, path, most_states)


def read_automaton(path, most_states):
    return automaton_of(read_bytes(path), path, most_states)
