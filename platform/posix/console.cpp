// The console is standard output, whatever it is: a terminal, a pipe or a file.
#include "driver/console.h"

#include "platform/posix/system.h"

namespace {

// Handles are file descriptors in disguise; only standard output is ever handed out.
ConsoleHandle const kStandardOutput = reinterpret_cast<ConsoleHandle>(posix::kStandardOutputFd);
ConsoleHandle const kInvalidHandle = reinterpret_cast<ConsoleHandle>(-1L);

}  // namespace

ConsoleHandle GetStdHandle(ConsoleCount standard_device) {
  return standard_device == kStandardOutputHandle ? kStandardOutput : kInvalidHandle;
}

// Writes all count bytes, going on after short writes and interrupted calls. Returns 0 as soon as
// a write fails, having written what it could.
int WriteConsoleA(ConsoleHandle handle, const void* bytes, ConsoleCount count,
                  ConsoleCount* written, void* /*reserved*/) {
  const char* next = static_cast<const char*>(bytes);
  ConsoleCount left = count;
  int succeeded = handle == kStandardOutput;
  while (succeeded && left > 0) {
    const long result = posix::WriteOnce(posix::kStandardOutputFd, next, left);
    if (result == posix::kWriteInterrupted) continue;
    if (result <= 0) {
      succeeded = 0;
    } else {
      next += result;
      left -= static_cast<ConsoleCount>(result);
    }
  }
  if (written != nullptr) *written = count - left;
  return succeeded;
}
