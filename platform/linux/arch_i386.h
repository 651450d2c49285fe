// 32-bit x86 Linux without a C library.
//
// Calling convention of a system call (int $0x80, which every kernel and emulator has; the vDSO's
// faster entry would need the auxiliary vector read first):
//   - the call number in eax, the result back in eax (-4095..-1 is -errno);
//   - arguments in ebx, ecx, edx, esi, edi, ebp;
//   - int $0x80 preserves every other register.
// At _start esp points at argc, then argv[0..argc-1], a null pointer, the environment and the
// auxiliary vector; no return address is pushed.
#pragma once

namespace kernel {

constexpr long kWriteCall = 4;
constexpr long kRtSigactionCall = 174;
constexpr long kExitGroupCall = 252;

// The kernel's struct sigaction here: 32-bit fields, the 64-bit signal mask as two of them.
struct SignalAction {
  unsigned long handler;
  unsigned long flags;
  unsigned long restorer;
  unsigned long mask[2];
};
static_assert(sizeof(SignalAction) == 20);

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

// Weak, so that every file including this one may carry it and the linker keeps one.
asm(R"(
  .section .text._start,"ax",@progbits
  .weak _start
  .type _start, @function
_start:
  xor  %ebp, %ebp          # the outermost frame: nothing to return or unwind to
  mov  %esp, %eax          # StartProgram's argument: the initial stack (argc, argv, ...)
  and  $-16, %esp          # keep the call 16-byte aligned
  sub  $12, %esp
  push %eax
  call StartProgram        # ends the process; never returns
  hlt
  .size _start, . - _start
  .text
)");
