// Where Windows enters the program. There is no C runtime: the process starts here, with the
// command line, the console and the exit status all kernel32's.
#include "driver/driver.h"

extern "C" [[noreturn]] __declspec(dllimport) void __stdcall ExitProcess(unsigned int exit_code);

// The process ends with ExitProcess, not by returning: a return from the entry point only ends
// this thread, and the process would then live on as long as any thread the loader started, with
// an exit code of whichever ends last.
extern "C" [[noreturn]] void EntryPoint() { ExitProcess(static_cast<unsigned int>(Start())); }
