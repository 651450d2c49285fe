// Any bytes: Recognize answers exactly 1 or 0, as the language's arithmetic does. Built once per
// recognizer, like the tests.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "driver/driver.h"
#include "tests/languages.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::size_t length = strnlen(reinterpret_cast<const char*>(data), size);
  char* word = new char[length + 1];
  std::memcpy(word, data, length);
  word[length] = '\0';

  if (Recognize(word) != (language::Contains(std::string(word, length)) ? 1 : 0)) std::abort();
  delete[] word;
  return 0;
}
