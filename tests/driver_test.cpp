// The driver alone: the word it cuts from a command line, and its conversation with the console,
// seen through a fake console and a fake recognizer.
#include "driver/driver.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "driver/console.h"

namespace {

std::string command_line;        // what the fake GetCommandLineA returns
std::vector<std::string> calls;  // every console call and Recognize, in order
int handles_given = 0;           // a fresh handle for every GetStdHandle
int fake_verdict = 0;            // what the fake Recognize returns
const char* recognized_word = nullptr;

std::string Handle(ConsoleHandle handle) {
  return "h" + std::to_string(reinterpret_cast<long>(handle));
}

}  // namespace

char* GetCommandLineA() {
  calls.push_back("GetCommandLineA");
  return command_line.data();
}

ConsoleHandle GetStdHandle(ConsoleCount standard_device) {
  ConsoleHandle handle = reinterpret_cast<ConsoleHandle>(static_cast<long>(++handles_given));
  calls.push_back("GetStdHandle(" + std::to_string(static_cast<int>(standard_device)) +
                  ")=" + Handle(handle));
  return handle;
}

int WriteConsoleA(ConsoleHandle handle, const void* bytes, ConsoleCount count,
                  ConsoleCount* written, void* reserved) {
  calls.push_back("WriteConsoleA(" + Handle(handle) + ",\"" +
                  std::string(static_cast<const char*>(bytes), count) + "\"," +
                  std::to_string(count) + "," + (written ? "written" : "null") + "," +
                  (reserved ? "reserved" : "null") + ")");
  return 0;  // a failed write must change nothing
}

int Recognize(const char* word) {
  recognized_word = word;
  calls.push_back("Recognize(" + std::string(word) + ")");
  return fake_verdict;
}

namespace {

class DriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    calls.clear();
    handles_given = 0;
    recognized_word = nullptr;
  }
};

struct ExtractionCase {
  const char* name;
  std::string line;
  std::string word;
};
void PrintTo(const ExtractionCase& c, std::ostream* os) { *os << c.name; }

// Most words are numerals, so that a plausible wrong extraction changes decimal3's verdict.
const ExtractionCase kExtractionCases[] = {
    {"NameAlone", "decimal3", ""},
    {"NameSpaceWord", "decimal3 12", "12"},
    {"AllBlanksSkipped", "decimal3  \t 12", "12"},
    {"TrailingBlankKept", "decimal3 12 ", "12 "},
    {"ArgumentsNotSplit", "decimal3 12 1", "12 1"},
    {"QuotesKept", "decimal3 \"12\"", "\"12\""},
    {"QuotedNameWithSpaces", "\"C:\\Program Files\\decimal3.exe\" 1", "1"},
    {"QuotedNameThenWordDirectly", "\"decimal3\"1", "1"},
    {"QuotedNameThenTab", "\"decimal3\"\t1", "1"},
    {"QuotedNameUnclosed", "\"decimal3 1", ""},
    {"LoneQuote", "\"", ""},
    {"EmptyQuotedName", "\"\"1", "1"},
    {"EmptyQuotedNameAlone", "\"\"", ""},
    {"QuoteInsideUnquotedName", "deci\"mal3 1", "1"},
    {"TabDoesNotEndUnquotedName", "decimal3\t1", ""},
    {"LeadingSpaceIsPartOfName", " 1 3", "3"},
    {"LeadingTabIsPartOfName", "\t1 3", "3"},
    {"FirstByteNeverCloses", "  1", "1"},
    {"ControlBytesAreBlanks", std::string("decimal3 \x01\x1f 1"), "1"},
    {"DelStartsWord",
     "decimal3 \x7f"
     "12",
     "\x7f"
     "12"},
    {"HighByteStartsWord",
     "decimal3 \x80"
     "12",
     "\x80"
     "12"},
    {"ByteFFStartsWord", "decimal3 \xff", "\xff"},
    {"BlanksOnly", "decimal3 \t \x01", ""},
    {"HighBytesInName", "\xe9\xff 1", "1"},
    {"EmptyLine", "", ""},
};

class ExtractionTest : public ::testing::TestWithParam<ExtractionCase> {};

TEST_P(ExtractionTest, WordIsTheRestOfTheLineAfterNameAndBlanks) {
  const ExtractionCase& c = GetParam();
  std::string line = c.line;
  const char* word = SkipProgramName(line.c_str());
  // The word is a view into the line, ending at the line's own NUL: never a copy.
  ASSERT_GE(word, line.c_str());
  ASSERT_LE(word, line.c_str() + line.size());
  EXPECT_EQ(std::string(word), c.word);
  EXPECT_EQ(word + c.word.size(), line.c_str() + line.size());
}

INSTANTIATE_TEST_SUITE_P(Lines, ExtractionTest, ::testing::ValuesIn(kExtractionCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct VerdictCase {
  const char* name;
  int verdict;
  std::string text;
};
void PrintTo(const VerdictCase& c, std::ostream* os) { *os << c.name; }

const VerdictCase kVerdictCases[] = {
    {"One", 1, "Yes."},       {"Zero", 0, "No."},          {"Two", 2, "Yes."},
    {"MinusOne", -1, "Yes."}, {"IntMin", INT_MIN, "Yes."}, {"IntMax", INT_MAX, "Yes."},
};

class ReportTest : public DriverTest, public ::testing::WithParamInterface<VerdictCase> {};

TEST_P(ReportTest, TextThenNewLineInTwoWritesEachAfterItsOwnHandle) {
  const VerdictCase& c = GetParam();
  ReportVerdict(c.verdict);
  const std::string length = std::to_string(c.text.size());
  EXPECT_EQ(calls, (std::vector<std::string>{
                       "GetStdHandle(-11)=h1",
                       "WriteConsoleA(h1,\"" + c.text + "\"," + length + ",null,null)",
                       "GetStdHandle(-11)=h2",
                       "WriteConsoleA(h2,\"\r\n\",2,null,null)",
                   }));
}

INSTANTIATE_TEST_SUITE_P(Verdicts, ReportTest, ::testing::ValuesIn(kVerdictCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DriverTest, StartJudgesTheWordInPlaceAndReturnsTheVerdict) {
  for (int verdict : {1, 0}) {
    SetUp();
    command_line = "\"my programs\\decimal3\" \t 3 1";
    fake_verdict = verdict;
    EXPECT_EQ(Start(), verdict);
    EXPECT_EQ(recognized_word, command_line.c_str() + 25);
    const std::string text = verdict ? "\"Yes.\",4" : "\"No.\",3";
    EXPECT_EQ(calls, (std::vector<std::string>{
                         "GetCommandLineA",
                         "Recognize(3 1)",
                         "GetStdHandle(-11)=h1",
                         "WriteConsoleA(h1," + text + ",null,null)",
                         "GetStdHandle(-11)=h2",
                         "WriteConsoleA(h2,\"\r\n\",2,null,null)",
                     }));
  }
}

}  // namespace
