"""How a table spells a byte or a set of bytes in its header."""

ALL_BYTES = frozenset(range(1, 256))


def byte_spelling(byte, inside_class=False):
    special = "\\]-^[" if inside_class else "#\\"
    if 0x21 <= byte <= 0x7E and chr(byte) not in special:
        return chr(byte)
    if inside_class and chr(byte) in special:
        return "\\" + chr(byte)
    return f"\\x{byte:02X}"


def runs(bytes_):
    """The ascending bytes as [(first, last)] runs of consecutive bytes."""
    found = []
    for byte in sorted(bytes_):
        if found and found[-1][1] == byte - 1:
            found[-1] = (found[-1][0], byte)
        else:
            found.append((byte, byte))
    return found


def class_spelling(bytes_):
    """A header cell for a set of bytes: the byte itself where it is one, else a class, with ^
    where the bytes it leaves out are written shorter."""
    if len(bytes_) == 1:
        return byte_spelling(bytes_[0])

    def listed(found):
        parts = []
        for first, last in runs(found):
            parts.append(byte_spelling(first, True))
            if last > first + 1:
                parts.append("-")
            if last > first:
                parts.append(byte_spelling(last, True))
        return "".join(parts)

    written = "[" + listed(bytes_) + "]"
    rest = ALL_BYTES - set(bytes_)
    negated = "[^" + listed(rest) + "]" if rest else written
    return negated if len(negated) < len(written) else written
