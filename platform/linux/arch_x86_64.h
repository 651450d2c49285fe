// x86-64 Linux without a C library.
//
// Calling convention of a system call:
//   - the call number in rax, the result back in rax (-4095..-1 is -errno);
//   - arguments in rdi, rsi, rdx, r10, r8, r9;
//   - the syscall instruction clobbers rcx and r11; everything else is preserved.
// At _start the stack pointer is 16-byte aligned and no return address is pushed.
#pragma once

namespace kernel {

constexpr long kWriteCall = 1;
constexpr long kRtSigactionCall = 13;
constexpr long kExitGroupCall = 231;
constexpr bool kSignalActionHasRestorer = true;

inline long SystemCall1(long number, long a) {
  long result;
  asm volatile("syscall" : "=a"(result) : "a"(number), "D"(a) : "rcx", "r11", "memory");
  return result;
}

inline long SystemCall3(long number, long a, long b, long c) {
  long result;
  asm volatile("syscall"
               : "=a"(result)
               : "a"(number), "D"(a), "S"(b), "d"(c)
               : "rcx", "r11", "memory");
  return result;
}

inline long SystemCall4(long number, long a, long b, long c, long d) {
  long result;
  register long r10 asm("r10") = d;
  asm volatile("syscall"
               : "=a"(result)
               : "a"(number), "D"(a), "S"(b), "d"(c), "r"(r10)
               : "rcx", "r11", "memory");
  return result;
}

}  // namespace kernel

// _start, emitted by the one file that defines AUTOMATA_EMIT_START (start.cpp).
#if defined(AUTOMATA_EMIT_START)
asm(AUTOMATA_START_BEGIN R"(
_start:
  xor  %ebp, %ebp          # the outermost frame: nothing to return or unwind to
  mov  %rsp, %rdi          # StartProgram's argument: the initial stack (argc, argv, ...)
  and  $-16, %rsp          # keep the call 16-byte aligned
  call StartProgram        # ends the process; never returns
  hlt
)" AUTOMATA_START_END);
#endif
