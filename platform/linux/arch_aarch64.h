// AArch64 Linux without a C library.
//
// Calling convention of a system call:
//   - the call number in x8 (the generic table's), the result back in x0 (-4095..-1 is -errno);
//   - arguments in x0 to x5;
//   - svc #0 preserves every other register.
// At _start sp is 16-byte aligned and the link register holds nothing to return to.
#pragma once

#include "platform/linux/generic_numbers.h"

namespace kernel {

constexpr bool kSignalActionHasRestorer = true;

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

// _start, emitted by the one file that defines AUTOMATA_EMIT_START (start.cpp).
#if defined(AUTOMATA_EMIT_START)
asm(AUTOMATA_START_BEGIN R"(
_start:
  mov  x29, xzr            // the outermost frame: nothing to return or unwind to
  mov  x30, xzr
  mov  x0, sp              // StartProgram's argument: the initial stack (argc, argv, ...)
  bl   StartProgram        // ends the process; never returns
  brk  #0
)" AUTOMATA_START_END);
#endif
