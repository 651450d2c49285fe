// Typed wrappers for the three system calls a program makes, on top of the architecture's header
// (arch_<name>.h): how a call is made, the call numbers, whether the kernel's struct sigaction has
// a restorer, and _start, which only the file that defines AUTOMATA_EMIT_START emits.
//
// At _start the stack pointer points at argc, then argv[0..argc-1], a null pointer, the
// environment and the auxiliary vector; there is nothing to return to.
#pragma once

// What the architecture's _start stands between: a section and a symbol of its own.
#define AUTOMATA_START_BEGIN \
  ".section .text._start,\"ax\",%progbits\n.globl _start\n.type _start, %function"
#define AUTOMATA_START_END ".size _start, . - _start\n.text\n"

// The build names the header of the architecture's row (cmake/Architectures.cmake).
#include AUTOMATA_ARCHITECTURE_HEADER

namespace kernel {

constexpr long kInterrupted = -4;      // -EINTR
constexpr int kBrokenPipeSignal = 13;  // SIGPIPE

constexpr unsigned long kIgnoreSignal = 1;  // SIG_IGN

// The kernel's struct sigaction (not the C library's): the handler, the flags, on most machines
// the restorer a handler returns through, and the 64-bit signal mask, as two 32-bit words so that
// no 32-bit ABI aligns it apart.
template <bool has_restorer>
struct KernelSignalAction {
  unsigned long handler;
  unsigned long flags;
  unsigned long restorer;
  unsigned int mask[2];
};
template <>
struct KernelSignalAction<false> {
  unsigned long handler;
  unsigned long flags;
  unsigned int mask[2];
};
using SignalAction = KernelSignalAction<kSignalActionHasRestorer>;
static_assert(sizeof(SignalAction) == (kSignalActionHasRestorer ? 3 : 2) * sizeof(long) + 8);

inline long Write(int fd, const void* bytes, unsigned long count) {
  return SystemCall3(kWriteCall, fd, reinterpret_cast<long>(bytes), static_cast<long>(count));
}

// SIG_IGN in the architecture's layout, every other field 0, as read-only data: nothing is built
// on the stack (which would call memset on some machines). A constant of this file's own, so that
// code reaches it relative to the instruction pointer, never through a global offset table.
constexpr SignalAction kIgnoreAction = [] {
  SignalAction ignore{};
  ignore.handler = kIgnoreSignal;
  return ignore;
}();

inline long IgnoreSignal(int signal) {
  return SystemCall4(kRtSigactionCall, signal, reinterpret_cast<long>(&kIgnoreAction), 0,
                     sizeof kIgnoreAction.mask);
}

[[noreturn]] inline void ExitGroup(int status) {
  SystemCall1(kExitGroupCall, status);
  __builtin_unreachable();
}

}  // namespace kernel
