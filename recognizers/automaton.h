// The compiled automaton form every recognizer follows.
//
// A deterministic automaton over bytes is written out as code: one labelled block per state, in
// state order with S0 (the start state) first, and no table or state variable anywhere. The only
// value that changes is the read position p. The block of a state
//   1. finishes at the NUL that ends the word: kAccept if the state is accepting, else kReject;
//   2. compares the byte at p with the alphabet bytes in the order the automaton lists them (or,
//      for a table of classes and ranges, tests the ranges of bytes per next state, one next
//      state taking the bytes no test took), and on a match steps p past it and jumps (goto) to
//      the next state's block;
//   3. finishes with kReject on a byte that leads nowhere, reading nothing after it.
// The table each routine follows stands as a comment above it.
#pragma once

#include "driver/driver.h"

namespace automaton {

using Byte = unsigned char;

constexpr int kAccept = 1;
constexpr int kReject = 0;

// Where the word's bytes are read from: compared as unsigned bytes, never as signed chars.
inline const Byte* Bytes(const char* word) { return reinterpret_cast<const Byte*>(word); }

// Whether first <= byte <= last, in one comparison. It reads nothing but its arguments (const),
// so In(...) | In(...), one branch for bytes that lead to one state, reads as the condition it is.
[[gnu::const]] constexpr bool In(Byte byte, Byte first, Byte last) {
  return static_cast<Byte>(byte - first) <= static_cast<Byte>(last - first);
}

}  // namespace automaton
