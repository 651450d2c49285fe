// What each language is, by arithmetic rather than by automaton: the value of a numeral mod 3, the
// length of a word mod 2, what a C identifier is. The build names the language (LANGUAGE, a
// program's name); the tests, the fuzzers and the benchmarks check Recognize against it.
#pragma once

#include <cstdlib>
#include <cstring>
#include <string>

namespace language {

struct Language {
  const char* name;
  std::string alphabet;   // in the order the program's table lists it
  std::string outsiders;  // bytes next to the alphabet, and high ones
  int longest_short_word;  // every word of alphabet and outsiders up to this length is tried
  int states;
  int (*next)(int state, unsigned char byte);  // -1 where the byte leads nowhere
  int accepting;                               // the one accepting state
};

inline bool IsLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
inline bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

inline const Language kLanguages[] = {
    {"decimal3", "0123456789", {'/', ':', ' ', '-', 'a', '\x80', '\xb3'}, 4, 3,
     [](int r, unsigned char c) { return IsDigit(c) ? (r + (c - '0')) % 3 : -1; }, 0},
    {"binary3", "10", {'2', '/', ' ', 'b', '\xb1', '\xb0'}, 7, 3,
     [](int r, unsigned char c) { return c == '0' || c == '1' ? (2 * r + (c - '0')) % 3 : -1; }, 0},
    {"evena", "a", {'A', 'b', '`', ' ', '\xe1'}, 8, 2,
     [](int odd, unsigned char c) { return c == 'a' ? 1 - odd : -1; }, 0},
    // S0 before the first byte, S1 inside an identifier.
    {"identifier", "azAZ09_", {'-', '@', '[', '`', '{', '/', ':', '\x80', '\xff'}, 4, 2,
     [](int inside, unsigned char c) { return IsLetter(c) || c == '_' || (inside && IsDigit(c)) ? 1 : -1; },
     1},
};

inline const Language& Find(const char* name) {
  for (const Language& language : kLanguages)
    if (std::strcmp(language.name, name) == 0) return language;
  std::abort();  // a build that names a language not here
}

inline const Language& kLanguage = Find(LANGUAGE);
inline const std::string& kAlphabet = kLanguage.alphabet;

inline bool Contains(const std::string& word) {
  int state = 0;
  for (char c : word)
    if ((state = kLanguage.next(state, static_cast<unsigned char>(c))) < 0) return false;
  return state == kLanguage.accepting;
}

}  // namespace language
