// Where _start hands over: the process runs the program and ends with its verdict.
#include "platform/linux/system_calls.h"
#include "platform/posix/run.h"

extern "C" [[noreturn, gnu::used]] void StartProgram(long* initial_stack) {
  const int argc = static_cast<int>(initial_stack[0]);
  char* const* argv = reinterpret_cast<char* const*>(initial_stack + 1);
  kernel::ExitGroup(posix::RunProgram(argc, argv));
}
