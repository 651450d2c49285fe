// What each program's language is, by arithmetic rather than by automaton: the value of a numeral
// mod 3, the length of a word mod 2. LANGUAGE_<program> picks one; the tests and the fuzzers check
// Recognize against it.
#pragma once

#include <string>

namespace language {

#if defined(LANGUAGE_decimal3)
inline const std::string kAlphabet = "0123456789";
inline bool Contains(const std::string& word) {
  int remainder = 0;
  for (char c : word) {
    if (c < '0' || c > '9') return false;
    remainder = (remainder * 10 + (c - '0')) % 3;
  }
  return remainder == 0;
}
#elif defined(LANGUAGE_binary3)
inline const std::string kAlphabet = "01";
inline bool Contains(const std::string& word) {
  int remainder = 0;
  for (char c : word) {
    if (c != '0' && c != '1') return false;
    remainder = (remainder * 2 + (c - '0')) % 3;
  }
  return remainder == 0;
}
#elif defined(LANGUAGE_evena)
inline const std::string kAlphabet = "a";
inline bool Contains(const std::string& word) {
  return word.find_first_not_of('a') == std::string::npos && word.size() % 2 == 0;
}
#else
#error "define LANGUAGE_decimal3, LANGUAGE_binary3 or LANGUAGE_evena"
#endif

}  // namespace language
