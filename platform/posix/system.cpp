// The operating-system services, from the C library.
#include "platform/posix/system.h"

#include <errno.h>
#include <signal.h>
#include <unistd.h>

long posix::WriteOnce(int fd, const void* bytes, unsigned long count) {
  const ssize_t result = write(fd, bytes, count);
  if (result >= 0) return result;
  return errno == EINTR ? kWriteInterrupted : kWriteFailed;
}

void posix::IgnoreBrokenPipe() { signal(SIGPIPE, SIG_IGN); }
