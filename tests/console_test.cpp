// The POSIX console over a scripted write(2): short writes, interrupted calls and failures.
#include "driver/console.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/posix/system.h"

namespace {

constexpr long kAll = 1000;  // a step that writes everything it is offered
std::vector<long> script;    // what each WriteOnce call does: a byte count or a kWrite* value
std::size_t calls = 0;
std::string written;

}  // namespace

long posix::WriteOnce(int fd, const void* bytes, unsigned long count) {
  EXPECT_EQ(fd, kStandardOutputFd);
  const long step = calls < script.size() ? script[calls] : kWriteFailed;
  ++calls;
  if (step < 0) return step;
  const long taken = step < static_cast<long>(count) ? step : static_cast<long>(count);
  written.append(static_cast<const char*>(bytes), taken);
  return taken;
}

namespace {

struct WriteCase {
  const char* name;
  std::vector<long> script;
  int result;
  std::string written;
};
void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }

const WriteCase kWriteCases[] = {
    {"AllAtOnce", {kAll}, 1, "Yes."},
    {"ShortWrites", {1, 2, kAll}, 1, "Yes."},
    {"InterruptedThenAll",
     {posix::kWriteInterrupted, 3, posix::kWriteInterrupted, kAll},
     1,
     "Yes."},
    {"FailsMidway", {2, posix::kWriteFailed}, 0, "Ye"},
    {"NothingWrittenIsAFailure", {0, kAll}, 0, ""},
};

class WriteTest : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WriteTest, WritesEverythingOrReportsFailure) {
  const WriteCase& c = GetParam();
  script = c.script;
  calls = 0;
  written.clear();
  ConsoleCount count = 99;
  EXPECT_EQ(WriteConsoleA(GetStdHandle(kStandardOutputHandle), "Yes.", 4, &count, nullptr),
            c.result);
  EXPECT_EQ(written, c.written);
  EXPECT_EQ(count, c.written.size());
}

INSTANTIATE_TEST_SUITE_P(Scripts, WriteTest, ::testing::ValuesIn(kWriteCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Console, OnlyStandardOutputIsAConsole) {
  calls = 0;
  for (ConsoleCount device : {static_cast<ConsoleCount>(-10), static_cast<ConsoleCount>(-12)}) {
    ConsoleCount count = 99;
    EXPECT_EQ(WriteConsoleA(GetStdHandle(device), "No.", 3, &count, nullptr), 0);
    EXPECT_EQ(count, 0u);
  }
  EXPECT_EQ(calls, 0u);
}

}  // namespace
