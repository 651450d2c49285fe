// The driver: everything in a program but its automaton.
//
// A run is one straight pass: Start takes the word from the command line (GetArgument), hands it
// to the program's Recognize, writes the verdict (ReportVerdict) and returns it as the exit status.
#pragma once

// Recognize: the program's automaton, supplied by exactly one recognizer per program.
//
// word points to a NUL-terminated string of bytes. The result is exactly 1 when the word is in the
// automaton's language and exactly 0 when it is not. Recognize reads the word and nothing else,
// and stops reading at the NUL or at the first byte outside its alphabet, whichever comes first;
// it writes nothing, calls nothing and keeps nothing between calls.
int Recognize(const char* word);

// Runs the program once and returns the verdict, which the platform makes the exit status:
// 1 after "Yes.", 0 after "No.".
int Start();

// The word: SkipProgramName applied to the process's command line.
const char* GetArgument();

// Returns a pointer to the word inside command_line: everything after the program name and the
// blanks (bytes 0x01-0x20) that follow it, up to the terminating NUL. A name that starts with a
// double quote ends at the next double quote; any other name ends at the first space after its
// first byte (a tab does not end it). A line that ends inside the name, and the empty line, give
// the empty word. Never reads past the terminating NUL.
const char* SkipProgramName(const char* command_line);

// Writes "Yes." for any verdict other than 0 and "No." for 0, each followed by CR LF.
void ReportVerdict(int verdict);

// Writes text (without its NUL) to standard output in one console write, then NewLine in another.
void WriteMessage(const char* text);

// The number of bytes before text's terminating NUL.
unsigned int TextLength(const char* text);

// All the text a program writes, in one constant block: CR LF, then "Yes." and its NUL, then
// "No." and its NUL. NewLine has no NUL of its own; it is always written with the length 2.
// The three are addresses fixed when the program is built, not pointers kept in memory, which a
// program loaded at a random address would have to have relocated.
extern const char MessageBlock[11];
inline constexpr const char* NewLine = MessageBlock;
inline constexpr const char* YesText = MessageBlock + 2;
inline constexpr const char* NoText = MessageBlock + 7;
