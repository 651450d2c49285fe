// One recognizer against arithmetic (tests/languages.h). Built once per recognizer; LANGUAGE
// names the language and so the bytes to try.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <random>
#include <string>

#include "driver/driver.h"
#include "tests/languages.h"

namespace {

using language::kAlphabet;
const std::string& kOutsiders = language::kLanguage.outsiders;
const int kLongestShortWord = language::kLanguage.longest_short_word;

int Expected(const std::string& word) { return language::Contains(word) ? 1 : 0; }

// Calls visit with every word of up to longest bytes drawn from bytes.
template <typename Visit>
void ForEachWord(const std::string& bytes, int longest, std::string& word, Visit visit) {
  visit(word);
  if (static_cast<int>(word.size()) == longest) return;
  for (char c : bytes) {
    word.push_back(c);
    ForEachWord(bytes, longest, word, visit);
    word.pop_back();
  }
}

TEST(Recognize, EveryShortWordOfAlphabetAndOutsiders) {
  std::string word;
  int checked = 0;
  ForEachWord(kAlphabet + kOutsiders, kLongestShortWord, word, [&](const std::string& w) {
    ++checked;
    ASSERT_EQ(Recognize(w.c_str()), Expected(w)) << '"' << w << '"';
  });
  EXPECT_GT(checked, 10000);
}

struct LongWordCase {
  const char* name;
  std::string tail;  // appended to a megabyte of random alphabet bytes
};
void PrintTo(const LongWordCase& c, std::ostream* os) { *os << c.name; }

class LongWordTest : public ::testing::TestWithParam<LongWordCase> {};

TEST_P(LongWordTest, MegabyteOfAlphabetThenTail) {
  std::mt19937 random(20261209);
  for (int run = 0; run < 3; ++run) {
    std::string word(1 << 20, ' ');
    for (char& c : word) c = kAlphabet[random() % kAlphabet.size()];
    word += GetParam().tail;
    ASSERT_EQ(Recognize(word.c_str()), Expected(word));
  }
}

const LongWordCase kLongWordCases[] = {
    {"AlphabetOnly", ""},
    {"OneMoreAlphabetByte", std::string(1, kAlphabet.back())},
    {"OutsiderAtEnd", std::string(1, kOutsiders[0])},
    {"HighByteAtEnd", std::string(1, kOutsiders.back())},
};

INSTANTIATE_TEST_SUITE_P(Words, LongWordTest, ::testing::ValuesIn(kLongWordCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A byte outside the alphabet ends the run: nothing after it is read. Each word here ends its
// page with an outsider and no NUL, and the page after it cannot be read.
TEST(Recognize, ReadsNothingAfterAnOutsider) {
  const long page = sysconf(_SC_PAGESIZE);
  char* pages = static_cast<char*>(
      mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
  ASSERT_NE(pages, MAP_FAILED);
  ASSERT_EQ(mprotect(pages + page, page, PROT_NONE), 0);
  std::string prefix;
  ForEachWord(kAlphabet, 3, prefix, [&](const std::string& p) {
    for (char outsider : kOutsiders) {
      const std::string word = p + outsider;
      char* start = pages + page - word.size();
      word.copy(start, word.size());
      ASSERT_EQ(Recognize(start), 0) << '"' << word << '"';
    }
  });
  munmap(pages, 2 * page);
}

}  // namespace
