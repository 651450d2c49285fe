// Recognize, the compiled form, against the textbook alternative: a transition table in memory
// and a loop that looks each byte up. Built once per recognizer; LANGUAGE names the language of
// tests/languages.h whose arithmetic fills the table.
#include <benchmark/benchmark.h>

#include <array>
#include <random>
#include <string>

#include "driver/driver.h"
#include "tests/languages.h"

namespace {

using language::kAlphabet;
using language::kLanguage;
constexpr int kMostStates = 4;

constexpr int kWordLength = 1 << 20;

// table[state][byte]: the next state, or -1 where the byte has no transition.
using Table = std::array<std::array<signed char, 256>, kMostStates>;

Table MakeTable() {
  Table table;
  for (auto& row : table) row.fill(-1);
  for (int state = 0; state < kLanguage.states; ++state)
    for (int byte = 1; byte < 256; ++byte) table[state][byte] = kLanguage.next(state, byte);
  return table;
}

const Table kTable = MakeTable();

__attribute__((noinline)) int RecognizeWithTable(const char* word) {
  int state = 0;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(word); *p != '\0'; ++p) {
    state = kTable[state][*p];
    if (state < 0) return 0;
  }
  return state == kLanguage.accepting;
}

// The first byte one the start state takes, then any bytes some state takes.
std::string RandomWord() {
  std::string bytes;
  for (int byte = 1; byte < 256; ++byte)
    for (int state = 0; state < kLanguage.states; ++state)
      if (kLanguage.next(state, byte) >= 0 && bytes.find(byte) == std::string::npos) bytes += byte;
  std::mt19937 random(7);
  std::string word(kWordLength, kAlphabet[0]);
  for (char& c : word) c = bytes[random() % bytes.size()];
  word[0] = kAlphabet[0];
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
