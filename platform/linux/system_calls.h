// Typed wrappers for the three system calls a program makes, on top of the architecture's
// calling convention.
#pragma once

#if defined(__x86_64__)
#include "platform/linux/arch_x86_64.h"
#elif defined(__aarch64__)
#include "platform/linux/arch_aarch64.h"
#else
#error "no libc-free layer for this architecture: build with the hosted POSIX layer"
#endif

namespace kernel {

constexpr long kInterrupted = -4;      // -EINTR
constexpr int kBrokenPipeSignal = 13;  // SIGPIPE

// The kernel's struct sigaction (not the C library's): handler, flags, restorer, mask.
struct SignalAction {
  unsigned long handler;
  unsigned long flags;
  unsigned long restorer;
  unsigned long mask;
};
constexpr unsigned long kIgnoreSignal = 1;  // SIG_IGN

inline long Write(int fd, const void* bytes, unsigned long count) {
  return SystemCall3(kWriteCall, fd, reinterpret_cast<long>(bytes), static_cast<long>(count));
}

inline long IgnoreSignal(int signal) {
  const SignalAction action = {kIgnoreSignal, 0, 0, 0};
  return SystemCall4(kRtSigactionCall, signal, reinterpret_cast<long>(&action), 0,
                     sizeof action.mask);
}

[[noreturn]] inline void ExitGroup(int status) {
  SystemCall1(kExitGroupCall, status);
  __builtin_unreachable();
}

}  // namespace kernel
