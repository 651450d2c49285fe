#include "recognizers/automaton.h"

// Binary numerals, most significant digit first, that are multiples of three. State Sr: the digits
// so far leave remainder r, and a digit b leads to S((2r + b) mod 3). The alphabet is listed as
// 1, then 0.
//
//   state   accepting   1  0
//   S0      yes         S1 S0
//   S1      no          S0 S2
//   S2      no          S2 S1
int Recognize(const char* word) {
  using namespace automaton;
  const Byte* p = Bytes(word);

  // One line per transition, in the order the alphabet is listed.
  // clang-format off
S0:
  if (*p == '\0') return kAccept;
  if (*p == '1') { ++p; goto S1; }
  if (*p == '0') { ++p; goto S0; }
  return kReject;

S1:
  if (*p == '\0') return kReject;
  if (*p == '1') { ++p; goto S0; }
  if (*p == '0') { ++p; goto S2; }
  return kReject;

S2:
  if (*p == '\0') return kReject;
  if (*p == '1') { ++p; goto S2; }
  if (*p == '0') { ++p; goto S1; }
  return kReject;
  // clang-format on
}
