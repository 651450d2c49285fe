// RISC-V 64-bit Linux without a C library.
//
// Calling convention of a system call:
//   - the call number in a7 (the generic table's), the result back in a0 (-4095..-1 is -errno);
//   - arguments in a0 to a5;
//   - ecall preserves every other register.
// At _start sp is 16-byte aligned and ra holds nothing to return to. Nothing here uses gp, so it
// is left unset. The kernel's struct sigaction has no restorer here.
#pragma once

#include "platform/linux/generic_numbers.h"

namespace kernel {

constexpr bool kSignalActionHasRestorer = false;

inline long SystemCall1(long number, long a) {
  register long a7 asm("a7") = number;
  register long a0 asm("a0") = a;
  asm volatile("ecall" : "+r"(a0) : "r"(a7) : "memory");
  return a0;
}

inline long SystemCall3(long number, long a, long b, long c) {
  register long a7 asm("a7") = number;
  register long a0 asm("a0") = a;
  register long a1 asm("a1") = b;
  register long a2 asm("a2") = c;
  asm volatile("ecall" : "+r"(a0) : "r"(a7), "r"(a1), "r"(a2) : "memory");
  return a0;
}

inline long SystemCall4(long number, long a, long b, long c, long d) {
  register long a7 asm("a7") = number;
  register long a0 asm("a0") = a;
  register long a1 asm("a1") = b;
  register long a2 asm("a2") = c;
  register long a3 asm("a3") = d;
  asm volatile("ecall" : "+r"(a0) : "r"(a7), "r"(a1), "r"(a2), "r"(a3) : "memory");
  return a0;
}

}  // namespace kernel

// _start, emitted by the one file that defines AUTOMATA_EMIT_START (start.cpp).
#if defined(AUTOMATA_EMIT_START)
asm(AUTOMATA_START_BEGIN R"(
_start:
  li   fp, 0               # the outermost frame: nothing to return or unwind to
  li   ra, 0
  mv   a0, sp              # StartProgram's argument: the initial stack (argc, argv, ...)
  call StartProgram        # ends the process; never returns
  unimp
)" AUTOMATA_START_END);
#endif
