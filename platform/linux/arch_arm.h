// 32-bit Arm Linux (EABI, hard float) without a C library, built as Thumb-2.
//
// Thumb-2, Debian armhf's default: its 16-bit encodings make the programs a quarter smaller than
// Arm code, and every ARMv7 CPU that runs armhf runs it.
//
// Calling convention of a system call (EABI):
//   - the call number in r7, the result back in r0 (-4095..-1 is -errno);
//   - arguments in r0 to r5;
//   - svc #0 preserves every other register.
// r7 is also Thumb code's frame pointer (Arm code's is r11), which the compiler will not hand to
// an asm operand wherever it keeps a frame (-O0, -fno-omit-frame-pointer): the number comes in
// any register, and r7 is saved in ip around the call.
// At _start sp is 8-byte aligned and lr holds nothing to return to.
#pragma once

namespace kernel {

constexpr long kWriteCall = 4;
constexpr long kRtSigactionCall = 174;
constexpr long kExitGroupCall = 248;
constexpr bool kSignalActionHasRestorer = true;

#define AUTOMATA_ARM_SYSTEM_CALL "mov ip, r7\n\tmov r7, %[number]\n\tsvc #0\n\tmov r7, ip"

inline long SystemCall1(long number, long a) {
  register long r0 asm("r0") = a;
  asm volatile(AUTOMATA_ARM_SYSTEM_CALL : "+r"(r0) : [number] "r"(number) : "ip", "memory");
  return r0;
}

inline long SystemCall3(long number, long a, long b, long c) {
  register long r0 asm("r0") = a;
  register long r1 asm("r1") = b;
  register long r2 asm("r2") = c;
  asm volatile(AUTOMATA_ARM_SYSTEM_CALL
               : "+r"(r0)
               : [number] "r"(number), "r"(r1), "r"(r2)
               : "ip", "memory");
  return r0;
}

inline long SystemCall4(long number, long a, long b, long c, long d) {
  register long r0 asm("r0") = a;
  register long r1 asm("r1") = b;
  register long r2 asm("r2") = c;
  register long r3 asm("r3") = d;
  asm volatile(AUTOMATA_ARM_SYSTEM_CALL
               : "+r"(r0)
               : [number] "r"(number), "r"(r1), "r"(r2), "r"(r3)
               : "ip", "memory");
  return r0;
}

}  // namespace kernel

// _start, emitted by the one file that defines AUTOMATA_EMIT_START (start.cpp).
#if defined(AUTOMATA_EMIT_START)
asm(AUTOMATA_START_BEGIN R"(
  .thumb
  .thumb_func
_start:
  movs r0, #0              @ the outermost frame, for Thumb code (r7) and Arm code (r11) alike:
  mov  r7, r0              @ nothing to return or unwind to
  mov  r11, r0
  mov  lr, r0
  mov  r0, sp              @ StartProgram's argument: the initial stack (argc, argv, ...)
  bl   StartProgram        @ ends the process; never returns
  udf  #0
)" AUTOMATA_START_END);
#endif
