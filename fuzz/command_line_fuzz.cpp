// Any argument vector (argv[0] included, or none at all): the command line the POSIX layer joins
// fills exactly the room it asked for, and the driver finds in it exactly the arguments joined by
// spaces, less the blanks in front.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "fuzz/model.h"
#include "platform/posix/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The input is the arguments, each ended by a NUL (the last one by the end of the input);
  // the empty input is argc 0.
  std::vector<std::string> arguments;
  if (size > 0) arguments.emplace_back();
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == '\0')
      arguments.emplace_back();
    else
      arguments.back().push_back(static_cast<char>(data[i]));
  }
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  const int argc = static_cast<int>(arguments.size());

  const unsigned long room = posix::CommandLineSize(argc, argv.data());
  char* line = new char[room];
  posix::JoinCommandLine(argc, argv.data(), line);
  if (std::strlen(line) + 1 != room) std::abort();
  posix::SetCommandLine(line);

  std::string joined;
  for (int i = 1; i < argc; ++i) joined += (i > 1 ? " " : "") + arguments[i];
  std::size_t start = 0;
  while (start < joined.size() && model::IsBlank(joined[start])) ++start;
  if (std::string(GetArgument()) != joined.substr(start)) std::abort();
  delete[] line;
  return 0;
}
