// The operating-system services, straight from the kernel.
#include "platform/posix/system.h"

#include "platform/linux/system_calls.h"

long posix::WriteOnce(int fd, const void* bytes, unsigned long count) {
  const long result = kernel::Write(fd, bytes, count);
  if (result >= 0) return result;
  return result == kernel::kInterrupted ? kWriteInterrupted : kWriteFailed;
}

void posix::IgnoreBrokenPipe() { kernel::IgnoreSignal(kernel::kBrokenPipeSignal); }
