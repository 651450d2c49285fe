// The few operating-system services the POSIX layer is built on. The hosted build supplies them
// from the C library (system.cpp here); the libc-free Linux build from raw system calls.
#pragma once

namespace posix {

constexpr int kStandardOutputFd = 1;

// What one write gives back besides a count of bytes written.
constexpr long kWriteInterrupted = -1;  // a signal came first; the call may be repeated
constexpr long kWriteFailed = -2;       // any other failure: closed, full, broken, not writable

// One write(2) of up to count bytes: the number written, or one of the two values above.
long WriteOnce(int fd, const void* bytes, unsigned long count);

// A write to a pipe nobody reads must fail with an error, not kill the process: the exit status
// carries the verdict whatever happens to the output.
void IgnoreBrokenPipe();

}  // namespace posix
