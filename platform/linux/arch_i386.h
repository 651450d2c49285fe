// 32-bit x86 Linux without a C library.
//
// Calling convention of a system call (int $0x80, which every kernel and emulator has; the vDSO's
// faster entry would need the auxiliary vector read first):
//   - the call number in eax, the result back in eax (-4095..-1 is -errno);
//   - arguments in ebx, ecx, edx, esi, edi, ebp;
//   - int $0x80 preserves every other register.
// At _start no return address is pushed.
#pragma once

namespace kernel {

constexpr long kWriteCall = 4;
constexpr long kRtSigactionCall = 174;
constexpr long kExitGroupCall = 252;
constexpr bool kSignalActionHasRestorer = true;

inline long SystemCall1(long number, long a) {
  long result;
  asm volatile("int $0x80" : "=a"(result) : "a"(number), "b"(a) : "memory");
  return result;
}

inline long SystemCall3(long number, long a, long b, long c) {
  long result;
  asm volatile("int $0x80" : "=a"(result) : "a"(number), "b"(a), "c"(b), "d"(c) : "memory");
  return result;
}

inline long SystemCall4(long number, long a, long b, long c, long d) {
  long result;
  asm volatile("int $0x80" : "=a"(result) : "a"(number), "b"(a), "c"(b), "d"(c), "S"(d) : "memory");
  return result;
}

}  // namespace kernel

// _start, emitted by the one file that defines AUTOMATA_EMIT_START (start.cpp).
#if defined(AUTOMATA_EMIT_START)
asm(AUTOMATA_START_BEGIN R"(
_start:
  xor  %ebp, %ebp          # the outermost frame: nothing to return or unwind to
  mov  %esp, %eax          # StartProgram's argument: the initial stack (argc, argv, ...)
  and  $-16, %esp          # keep the call 16-byte aligned
  sub  $12, %esp
  push %eax
  call StartProgram        # ends the process; never returns
  hlt
)" AUTOMATA_START_END);
#endif
