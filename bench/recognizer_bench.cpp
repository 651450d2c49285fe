// Recognize, the compiled form, against the textbook alternative: a transition table in memory
// and a loop that looks each byte up. Built once per recognizer; LANGUAGE_<program> picks the
// automaton the table is filled from, over the alphabet of tests/languages.h.
#include <benchmark/benchmark.h>

#include <array>
#include <random>
#include <string>

#include "driver/driver.h"
#include "tests/languages.h"

namespace {

using language::kAlphabet;

#if defined(LANGUAGE_decimal3)
constexpr int kStates = 3;
int Next(int state, char c) { return (state + (c - '0')) % 3; }
#elif defined(LANGUAGE_binary3)
constexpr int kStates = 3;
int Next(int state, char c) { return (2 * state + (c - '0')) % 3; }
#elif defined(LANGUAGE_evena)
constexpr int kStates = 2;
int Next(int state, char) { return 1 - state; }
#endif

constexpr int kWordLength = 1 << 20;

// table[state][byte]: the next state, or -1 where the byte has no transition.
using Table = std::array<std::array<signed char, 256>, kStates>;

Table MakeTable() {
  Table table;
  for (auto& row : table) row.fill(-1);
  for (int state = 0; state < kStates; ++state)
    for (char c : kAlphabet) table[state][static_cast<unsigned char>(c)] = Next(state, c);
  return table;
}

const Table kTable = MakeTable();

__attribute__((noinline)) int RecognizeWithTable(const char* word) {
  int state = 0;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(word); *p != '\0'; ++p) {
    state = kTable[state][*p];
    if (state < 0) return 0;
  }
  return state == 0;
}

std::string RandomWord() {
  std::mt19937 random(7);
  std::string word(kWordLength, ' ');
  for (char& c : word) c = kAlphabet[random() % kAlphabet.size()];
  return word;
}

// Every byte the same: the branches are perfectly predictable.
std::string PredictableWord() { return std::string(kWordLength, kAlphabet.back()); }

template <int (*Recognizer)(const char*), std::string (*MakeWord)()>
void Run(benchmark::State& state) {
  const std::string word = MakeWord();
  for (auto _ : state) benchmark::DoNotOptimize(Recognizer(word.c_str()));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(word.size()));
}

BENCHMARK(Run<Recognize, RandomWord>)->Name("compiled/random");
BENCHMARK(Run<RecognizeWithTable, RandomWord>)->Name("table/random");
BENCHMARK(Run<Recognize, PredictableWord>)->Name("compiled/predictable");
BENCHMARK(Run<RecognizeWithTable, PredictableWord>)->Name("table/predictable");

}  // namespace
