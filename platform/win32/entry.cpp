// Where Windows enters the program. There is no C runtime: the process starts here, with the
// command line, the console and the exit status all kernel32's.
#include "driver/driver.h"

extern "C" [[noreturn]] __declspec(dllimport) void __stdcall ExitProcess(unsigned int exit_code);

namespace {

// The program is run through a pointer kept in the image, so that every program carries at least
// one base relocation, whatever the rest of its code is: Windows loads an image without any at
// its preferred base, DYNAMIC_BASE or not, and ASLR would silently end.
int (*const run_program)() = Start;

}  // namespace

// The process ends with ExitProcess, not by returning: a return from the entry point only ends
// this thread, and the process would then live on as long as any thread the loader started, with
// an exit code of whichever ends last.
extern "C" [[noreturn]] void EntryPoint() {
  int (*const* pointer)() = &run_program;
  asm("" : "+r"(pointer));  // hides what it points at: the call cannot become a direct one
  ExitProcess(static_cast<unsigned int>((*pointer)()));
}
