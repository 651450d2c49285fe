// Where the process starts: _start, from the architecture's header, hands the initial stack to
// StartProgram, which runs the program and ends the process with its verdict.
#define AUTOMATA_EMIT_START  // _start is this file's
#include "platform/linux/system_calls.h"
#include "platform/posix/run.h"

extern "C" [[noreturn, gnu::used]] void StartProgram(long* initial_stack) {
  const int argc = static_cast<int>(initial_stack[0]);
  char* const* argv = reinterpret_cast<char* const*>(initial_stack + 1);
  kernel::ExitGroup(posix::RunProgram(argc, argv));
}
