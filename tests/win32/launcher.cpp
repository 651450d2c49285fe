// Test-only: starts a program with an exact command line and ends with the program's exit status.
//
//   launcher PROGRAM FILE
//
// FILE holds the command line's bytes, read as they are, so that no shell and no quoting by Wine
// touch them (and a command line near Windows' limit does not make the launcher's own one long).
// The launcher's own failures end it with status 250 and up, which no program gives.
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
  if (argc != 3) return 250;
  std::ifstream file(argv[2], std::ios::binary);
  if (!file) return 251;
  std::string line{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(argv[1], line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                      &process))
    return 252;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 253;
  GetExitCodeProcess(process.hProcess, &status);
  return static_cast<int>(status);
}
