#include "platform/posix/run.h"

#include "driver/driver.h"
#include "platform/posix/command_line.h"
#include "platform/posix/system.h"

int posix::RunProgram(int argc, char* const* argv) {
  IgnoreBrokenPipe();
  // No heap: the joined line lives in this frame for the whole run. Linux keeps the argument area
  // within a quarter of the stack limit, so its copy always fits beside it; the build probes the
  // stack page by page (-fstack-clash-protection), so a large copy cannot jump the guard page.
  char* line = static_cast<char*>(__builtin_alloca(CommandLineSize(argc, argv)));
  JoinCommandLine(argc, argv, line);
  SetCommandLine(line);
  return Start();
}
