#include "recognizers/automaton.h"

// Decimal numerals that are multiples of three. State Sr: the digits so far leave remainder r,
// and a digit d leads to S((r + d) mod 3), the remainder of 10r + d.
//
//   state   accepting   0  1  2  3  4  5  6  7  8  9
//   S0      yes         S0 S1 S2 S0 S1 S2 S0 S1 S2 S0
//   S1      no          S1 S2 S0 S1 S2 S0 S1 S2 S0 S1
//   S2      no          S2 S0 S1 S2 S0 S1 S2 S0 S1 S2
int Recognize(const char* word) {
  using namespace automaton;
  const Byte* p = Bytes(word);

  // One line per transition, in the order the alphabet is listed.
  // clang-format off
S0:
  if (*p == '\0') return kAccept;
  if (*p == '0') { ++p; goto S0; }
  if (*p == '1') { ++p; goto S1; }
  if (*p == '2') { ++p; goto S2; }
  if (*p == '3') { ++p; goto S0; }
  if (*p == '4') { ++p; goto S1; }
  if (*p == '5') { ++p; goto S2; }
  if (*p == '6') { ++p; goto S0; }
  if (*p == '7') { ++p; goto S1; }
  if (*p == '8') { ++p; goto S2; }
  if (*p == '9') { ++p; goto S0; }
  return kReject;

S1:
  if (*p == '\0') return kReject;
  if (*p == '0') { ++p; goto S1; }
  if (*p == '1') { ++p; goto S2; }
  if (*p == '2') { ++p; goto S0; }
  if (*p == '3') { ++p; goto S1; }
  if (*p == '4') { ++p; goto S2; }
  if (*p == '5') { ++p; goto S0; }
  if (*p == '6') { ++p; goto S1; }
  if (*p == '7') { ++p; goto S2; }
  if (*p == '8') { ++p; goto S0; }
  if (*p == '9') { ++p; goto S1; }
  return kReject;

S2:
  if (*p == '\0') return kReject;
  if (*p == '0') { ++p; goto S2; }
  if (*p == '1') { ++p; goto S0; }
  if (*p == '2') { ++p; goto S1; }
  if (*p == '3') { ++p; goto S2; }
  if (*p == '4') { ++p; goto S0; }
  if (*p == '5') { ++p; goto S1; }
  if (*p == '6') { ++p; goto S2; }
  if (*p == '7') { ++p; goto S0; }
  if (*p == '8') { ++p; goto S1; }
  if (*p == '9') { ++p; goto S2; }
  return kReject;
  // clang-format on
}
