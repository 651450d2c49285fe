"""The raw command lines every Windows suite runs, program name first, as GetCommandLineA gives
them, with the verdict each must give."""

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
