#include "platform/posix/command_line.h"

#include "driver/console.h"

namespace posix {
namespace {

constexpr char kProgramName[] = "\"\"";
constexpr unsigned long kProgramNameLength = sizeof kProgramName - 1;

}  // namespace

#if defined(AUTOMATA_COMMAND_LINE_REGISTER)
// The libc-free Linux build keeps no writable data at all: a variable would cost the process a
// page of memory it otherwise never touches. The line's address lives in a register instead, one
// that every file of the program is compiled to leave alone (-ffixed-<register>).
register char* command_line asm(AUTOMATA_COMMAND_LINE_REGISTER);
#else
char* command_line = nullptr;
#endif

namespace {

unsigned long Length(const char* text) {
  unsigned long length = 0;
  while (text[length] != '\0') ++length;
  return length;
}

char* Append(char* to, const char* text) {
  while (*text != '\0') *to++ = *text++;
  return to;
}

}  // namespace

unsigned long CommandLineSize(int argc, char* const* argv) {
  unsigned long size = kProgramNameLength + 1;
  for (int i = 1; i < argc; ++i) size += 1 + Length(argv[i]);
  return size;
}

void JoinCommandLine(int argc, char* const* argv, char* line) {
  char* end = Append(line, kProgramName);
  for (int i = 1; i < argc; ++i) {
    *end++ = ' ';
    end = Append(end, argv[i]);
  }
  *end = '\0';
}

void SetCommandLine(char* line) { command_line = line; }

}  // namespace posix

char* GetCommandLineA() { return posix::command_line; }
