// AArch64 Linux without a C library.
//
// Calling convention of a system call:
//   - the call number in x8, the result back in x0 (-4095..-1 is -errno);
//   - arguments in x0 to x5;
//   - svc #0 preserves every other register.
// At _start sp points at argc, then argv[0..argc-1], a null pointer, the environment and the
// auxiliary vector; it is 16-byte aligned and the link register holds nothing to return to.
#pragma once

namespace kernel {

constexpr long kWriteCall = 64;
constexpr long kRtSigactionCall = 134;
constexpr long kExitGroupCall = 94;

// The kernel's struct sigaction here (not the C library's): handler, flags, restorer, mask.
struct SignalAction {
  unsigned long handler;
  unsigned long flags;
  unsigned long restorer;
  unsigned long mask;
};
static_assert(sizeof(SignalAction) == 32);

inline long SystemCall1(long number, long a) {
  register long x8 asm("x8") = number;
  register long x0 asm("x0") = a;
  asm volatile("svc #0" : "+r"(x0) : "r"(x8) : "memory", "cc");
  return x0;
}

inline long SystemCall3(long number, long a, long b, long c) {
  register long x8 asm("x8") = number;
  register long x0 asm("x0") = a;
  register long x1 asm("x1") = b;
  register long x2 asm("x2") = c;
  asm volatile("svc #0" : "+r"(x0) : "r"(x8), "r"(x1), "r"(x2) : "memory", "cc");
  return x0;
}

inline long SystemCall4(long number, long a, long b, long c, long d) {
  register long x8 asm("x8") = number;
  register long x0 asm("x0") = a;
  register long x1 asm("x1") = b;
  register long x2 asm("x2") = c;
  register long x3 asm("x3") = d;
  asm volatile("svc #0" : "+r"(x0) : "r"(x8), "r"(x1), "r"(x2), "r"(x3) : "memory", "cc");
  return x0;
}

}  // namespace kernel

// Weak, so that every file including this one may carry it and the linker keeps one.
asm(R"(
  .section .text._start,"ax",@progbits
  .weak _start
  .type _start, %function
_start:
  mov  x29, xzr            // the outermost frame: nothing to return or unwind to
  mov  x30, xzr
  mov  x0, sp              // StartProgram's argument: the initial stack (argc, argv, ...)
  bl   StartProgram        // ends the process; never returns
  brk  #0
  .size _start, . - _start
  .text
)");
