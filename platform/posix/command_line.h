// The command line a POSIX program stands in for Windows' GetCommandLineA with.
//
// POSIX hands a program its arguments one by one; the command line joins them back: a program
// name, then a space and each argument in order. The name is always the empty quoted name "",
// whatever argv[0] is (it is never shown), so that the word the driver extracts is always exactly
// the arguments so joined, less the blanks in front of them. No argument (argc 0 or 1) gives the
// empty word.
#pragma once

namespace posix {

// The bytes JoinCommandLine writes for these arguments, the terminating NUL included.
unsigned long CommandLineSize(int argc, char* const* argv);

// Writes the joined command line into line, which holds CommandLineSize(argc, argv) bytes.
void JoinCommandLine(int argc, char* const* argv, char* line);

// Makes line what GetCommandLineA returns from now on.
void SetCommandLine(char* line);

}  // namespace posix
