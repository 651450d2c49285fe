// Any command line: the word lies inside it, ends at its NUL, and starts where the model says.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "driver/console.h"
#include "driver/driver.h"
#include "fuzz/model.h"

char* GetCommandLineA() { std::abort(); }  // SkipProgramName is called directly

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Exactly the bytes up to the first NUL, in a buffer of exactly that size, so that
  // AddressSanitizer catches a single byte read past the NUL.
  const std::size_t length = strnlen(reinterpret_cast<const char*>(data), size);
  char* line = new char[length + 1];
  std::memcpy(line, data, length);
  line[length] = '\0';

  const char* word = SkipProgramName(line);
  if (word < line || word > line + length) std::abort();
  if (static_cast<std::size_t>(word - line) != model::WordStart(std::string(line, length)))
    std::abort();
  delete[] line;
  return 0;
}
