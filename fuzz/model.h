// The word a command line holds, computed the plainest way, for the fuzzers to check the driver
// and the POSIX command line against.
#pragma once

#include <string>

namespace model {

inline bool IsBlank(char c) { return c >= '\x01' && c <= '\x20'; }

// Where the word starts in line (which holds no NUL): after the program name, which runs to the
// first closing byte after its first byte (a double quote if it starts with one, else a space),
// and the blanks after that closing byte. A line that ends in the name gives the empty word at its
// end.
inline std::size_t WordStart(const std::string& line) {
  if (line.empty()) return 0;
  const char closing = line[0] == '"' ? '"' : ' ';
  std::size_t at = line.find(closing, 1);
  if (at == std::string::npos) return line.size();
  ++at;
  while (at < line.size() && IsBlank(line[at])) ++at;
  return at;
}

}  // namespace model
