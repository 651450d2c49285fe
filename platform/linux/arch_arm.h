// 32-bit Arm Linux (EABI, hard float) without a C library, built as Thumb-2.
//
// Thumb-2, Debian armhf's default: its 16-bit encodings make the programs a quarter smaller than
// ARM code, and every ARMv7 CPU that runs armhf runs it.
//
// Calling convention of a system call (EABI):
//   - the call number in r7, the result back in r0 (-4095..-1 is -errno);
//   - arguments in r0 to r5;
//   - svc #0 preserves every other register.
// At _start sp points at argc, then argv[0..argc-1], a null pointer, the environment and the
// auxiliary vector; it is 8-byte aligned and lr holds nothing to return to.
#pragma once

namespace kernel {

constexpr long kWriteCall = 4;
constexpr long kRtSigactionCall = 174;
constexpr long kExitGroupCall = 248;

// The kernel's struct sigaction here: 32-bit fields, the 64-bit signal mask as two of them.
struct SignalAction {
  unsigned long handler;
  unsigned long flags;
  unsigned long restorer;
  unsigned long mask[2];
};
static_assert(sizeof(SignalAction) == 20);

inline long SystemCall1(long number, long a) {
  register long r7 asm("r7") = number;
  register long r0 asm("r0") = a;
  asm volatile("svc #0" : "+r"(r0) : "r"(r7) : "memory");
  return r0;
}

inline long SystemCall3(long number, long a, long b, long c) {
  register long r7 asm("r7") = number;
  register long r0 asm("r0") = a;
  register long r1 asm("r1") = b;
  register long r2 asm("r2") = c;
  asm volatile("svc #0" : "+r"(r0) : "r"(r7), "r"(r1), "r"(r2) : "memory");
  return r0;
}

inline long SystemCall4(long number, long a, long b, long c, long d) {
  register long r7 asm("r7") = number;
  register long r0 asm("r0") = a;
  register long r1 asm("r1") = b;
  register long r2 asm("r2") = c;
  register long r3 asm("r3") = d;
  asm volatile("svc #0" : "+r"(r0) : "r"(r7), "r"(r1), "r"(r2), "r"(r3) : "memory");
  return r0;
}

}  // namespace kernel

// Weak, so that every file including this one may carry it and the linker keeps one.
asm(R"(
  .section .text._start,"ax",%progbits
  .weak _start
  .type _start, %function
  .thumb
  .thumb_func
_start:
  movs r0, #0              @ the outermost frame: nothing to return or unwind to
  mov  fp, r0
  mov  lr, r0
  mov  r0, sp              @ StartProgram's argument: the initial stack (argc, argv, ...)
  bl   StartProgram        @ ends the process; never returns
  udf  #0
  .size _start, . - _start
  .text
)");
