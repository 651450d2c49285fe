"""Reading and writing the compiler's files: a fault is one line that names the file."""
from pathlib import Path

from .model import Fault
from .read_regex import read_regex
from .read_table import read_table

MOST_BYTES = 16 << 20  # a table or expression file larger than this is refused, not read on


def read_bytes(path):
    try:
        with open(path, "rb") as file:
            data = file.read(MOST_BYTES + 1)
    except IsADirectoryError:
        raise Fault(f"{path}: a folder, not a table file")
    except OSError as error:
        raise Fault(f"{path}: cannot be read: {error.strerror}")
    if len(data) > MOST_BYTES:
        raise Fault(f"{path}: more than {MOST_BYTES >> 20} MiB; no table or expression is so large")
    return data


def write_bytes(path, text):
    try:
        Path(path).write_bytes(text.encode("latin-1"))
    except OSError as error:
        raise Fault(f"{path}: cannot be written: {error.strerror}")


def read_automaton(path, most_states):
    """A table file's automaton, or a .regex file's minimal one."""
    if str(path).endswith(".regex"):
        return read_regex(read_bytes(path), path, most_states)
    return read_table(read_bytes(path), path, most_states)
