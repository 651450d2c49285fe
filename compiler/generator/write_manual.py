"""A program's manual page: its description says what the program answers."""


def roff(text):
    text = text.replace("\\", "\\e").replace("-", "\\-")
    return "\\&" + text if text[:1] in (".", "'") else text


def breakable(text):
    """Text in which a word too long for a line (an expression, say) may break after any byte."""
    return " ".join(roff(word) if len(word) < 40 else "\\:".join(roff(c) for c in word)
                    for word in text.split(" "))


def manual(automaton, name, version):
    what = [breakable(line) for line in automaton.description if line.strip()] or [
        "Whether the word is in the language of the automaton it was built from."]
    symbols = ", ".join(roff(column.spelling) for column in automaton.columns) or "none"
    return "\n".join([
        f'.TH {"".join(c.upper() if c.isascii() else c for c in name)} 1 "" "automata {version}" "User Commands"',
        ".SH NAME", f"{roff(name)} \\- answer one yes-or-no question about a word",
        ".SH SYNOPSIS", f".B {roff(name)}", ".RI [ word ]",
        ".SH DESCRIPTION",
        f".B {roff(name)}",
        "takes one word from its command line, runs it through a deterministic finite",
        "automaton fixed when it was built, and writes \\fBYes.\\fR or \\fBNo.\\fR followed by a",
        "carriage return and a line feed to standard output. It answers \\fBYes.\\fR when:",
        ".PP", *what,
        ".PP",
        "The word is everything on the command line after the program name and the blanks",
        "that follow it (bytes 0x01 to 0x20), up to the end; the arguments are joined back,",
        f"each after a single space. Its alphabet is: {symbols}.",
        "Any other byte makes the answer \\fBNo.\\fR; it is never an error.",
        ".SH EXIT STATUS",
        ".TP", ".B 1", "after the answer \\fBYes.\\fR", ".TP", ".B 0", "after the answer \\fBNo.\\fR",
        ".SH SEE ALSO", ".BR decimal3 (1)", ""])
