// The console services the driver uses, declared the way Windows' kernel32 exports them.
//
// On Windows these are the real kernel32 functions (stdcall, imported from the DLL); on every
// other platform the platform layer defines functions of the same names and contract. This is the
// only place the driver learns about the platform: it includes no system header.
#pragma once

#if defined(_WIN32)
#define CONSOLE_API extern "C" __declspec(dllimport) __stdcall
#else
#define CONSOLE_API extern "C"
#endif

using ConsoleHandle = void*;
using ConsoleCount = unsigned int;  // Windows' DWORD: 32 bits everywhere

// The value Windows gives STD_OUTPUT_HANDLE: (DWORD)-11.
constexpr ConsoleCount kStandardOutputHandle = static_cast<ConsoleCount>(-11);

// The whole command line of the process, program name first, as one NUL-terminated string that
// stays valid for the whole run.
CONSOLE_API char* GetCommandLineA();

// The handle of the given standard device; only kStandardOutputHandle is asked for.
CONSOLE_API ConsoleHandle GetStdHandle(ConsoleCount standard_device);

// Writes count bytes to the console behind handle. Returns non-zero on success; the driver never
// looks at the result, and passes null for both written and reserved.
CONSOLE_API int WriteConsoleA(ConsoleHandle handle, const void* bytes, ConsoleCount count,
                              ConsoleCount* written, void* reserved);
