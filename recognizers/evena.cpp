#include "recognizers/automaton.h"

// Words of the lowercase letter a alone, of even length. S0: an even number of letters so far;
// S1: an odd number. Uppercase A is not in the alphabet.
//
//   state   accepting   a
//   S0      yes         S1
//   S1      no          S0
int Recognize(const char* word) {
  using namespace automaton;
  const Byte* p = Bytes(word);

  // One line per transition, in the order the alphabet is listed.
  // clang-format off
S0:
  if (*p == '\0') return kAccept;
  if (*p == 'a') { ++p; goto S1; }
  return kReject;

S1:
  if (*p == '\0') return kReject;
  if (*p == 'a') { ++p; goto S0; }
  return kReject;
  // clang-format on
}
