// The built programs end to end: each started with an exact argument vector (no shell), its
// standard output, standard error and exit status read back.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <optional>
#include <string>
#include <vector>

extern char** environ;

namespace {

const std::string kYes = "Yes.\r\n";
const std::string kNo = "No.\r\n";

// Where standard output goes.
enum class Output { kPipe, kClosed, kFull, kBrokenPipe };

struct Result {
  std::string out;
  std::string err;
  bool exited = false;
  int status = -1;
};

#if defined(PROGRAM_EMULATOR)
constexpr char kEmulator[] = PROGRAM_EMULATOR;
#else
constexpr char kEmulator[] = "";
#endif

// pipe2(2) as every POSIX system has it: both ends close on exec, and take the given file flags.
void Pipe(int fds[2], int flags = 0) {
  EXPECT_EQ(pipe(fds), 0);
  for (int i = 0; i < 2; ++i) {
    fcntl(fds[i], F_SETFD, FD_CLOEXEC);
    fcntl(fds[i], F_SETFL, flags);
  }
}

std::string Path(const std::string& program) { return std::string(PROGRAM_DIR) + "/" + program; }

std::string ReadAll(int fd) {
  std::string bytes;
  char buffer[4096];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) > 0) bytes.append(buffer, n);
  close(fd);
  return bytes;
}

// Starts program with exactly argv (no argv at all when argv is empty: argc 0).
Result RunProgram(const std::string& program, const std::vector<std::string>& argv,
                  Output output = Output::kPipe) {
  int out[2], err[2];
  Pipe(out);
  Pipe(err);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  switch (output) {
    case Output::kPipe:
    case Output::kBrokenPipe:
      posix_spawn_file_actions_adddup2(&actions, out[1], 1);
      break;
    case Output::kClosed:
      posix_spawn_file_actions_addclose(&actions, 1);
      break;
    case Output::kFull:
      posix_spawn_file_actions_addopen(&actions, 1, "/dev/full", O_WRONLY, 0);
      break;
  }
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  if (output == Output::kBrokenPipe) close(out[0]);  // nobody will ever read the output

  // The child gets SIGPIPE's default action, whatever this process does with it.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t default_signals;
  sigemptyset(&default_signals);
  sigaddset(&default_signals, SIGPIPE);
  posix_spawnattr_setsigdefault(&attributes, &default_signals);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

  const std::string path = Path(program);
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  std::string executable = path;
  const std::string argv0 = argv.empty() ? "" : argv[0];
  if (kEmulator[0] != '\0') {
    // emulator -0 argv[0] program argv[1] ...
    executable = kEmulator;
    args.erase(args.begin(), args.begin() + (argv.empty() ? 0 : 1));
    args.insert(args.begin(), {const_cast<char*>(kEmulator), const_cast<char*>("-0"),
                               const_cast<char*>(argv0.c_str()), const_cast<char*>(path.c_str())});
  }
  pid_t pid = -1;
  const int spawned =
      posix_spawnp(&pid, executable.c_str(), &actions, &attributes, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  close(out[1]);
  close(err[1]);

  Result result;
  EXPECT_EQ(spawned, 0) << path;
  if (output != Output::kBrokenPipe) result.out = ReadAll(out[0]);
  result.err = ReadAll(err[0]);
  int status = 0;
  if (spawned == 0 && waitpid(pid, &status, 0) == pid) {
    result.exited = WIFEXITED(status);
    result.status = result.exited ? WEXITSTATUS(status) : -WTERMSIG(status);
  }
  return result;
}

void ExpectVerdict(const Result& result, bool yes, bool output_written = true) {
  EXPECT_TRUE(result.exited) << "ended by signal " << -result.status;
  EXPECT_EQ(result.status, yes ? 1 : 0);
  if (output_written) { EXPECT_EQ(result.out, yes ? kYes : kNo); }
  EXPECT_EQ(result.err, "");
}

struct ArgvCase {
  const char* name;
  const char* program;
  std::vector<std::string> argv;  // argv[0] first; empty for argc 0
  bool yes;
};
void PrintTo(const ArgvCase& c, std::ostream* os) { *os << c.name; }

// Where a plausible wrong joining (first argument only, argv[0] used as the name as it is) gives
// the other verdict, the case says so.
const ArgvCase kArgvCases[] = {
    {"Decimal12", "decimal3", {"decimal3", "12"}, true},
    {"Decimal10", "decimal3", {"decimal3", "10"}, false},
    {"NoArgument", "decimal3", {"decimal3"}, true},
    {"ArgcZero", "decimal3", {}, true},
    {"ArgumentsJoinedNotFirstOnly", "decimal3", {"decimal3", "12", "1"}, false},
    {"EmptyFirstArgumentThenWord", "decimal3", {"decimal3", "", "1"}, false},
    {"BlankArgumentsSkipped", "decimal3", {"decimal3", " \t", "\x01", "12"}, true},
    {"TrailingEmptyArgumentIsABlank", "decimal3", {"decimal3", "3", ""}, false},
    {"QuotesKept", "decimal3", {"decimal3", "\"3\""}, false},
    {"HighByteWord", "decimal3", {"decimal3", "\xff"}, false},
    {"Argv0Empty", "decimal3", {"", "1"}, false},
    {"Argv0WithSpace", "decimal3", {"my decimal3", "3"}, true},
    {"Argv0LoneQuote", "decimal3", {"\"", "1"}, false},
    {"Argv0QuotesAndSpaces", "decimal3", {"a\" b \"c", "2"}, false},
    {"Argv0TabsAndHighBytes", "decimal3", {"\t\xe9\xff\t", "1"}, false},
    {"Binary110", "binary3", {"binary3", "110"}, true},
    {"Binary111", "binary3", {"binary3", "111"}, false},
    {"BinaryNoArgument", "binary3", {"binary3"}, true},
    {"BinaryDecimalDigit", "binary3", {"binary3", "12"}, false},
    {"EvenaTwo", "evena", {"evena", "aa"}, true},
    {"EvenaThree", "evena", {"evena", "aaa"}, false},
    {"EvenaUppercase", "evena", {"evena", "aA"}, false},
    {"EvenaJoined", "evena", {"evena", "aa", "aa"}, false},
    {"EvenaNoArgument", "evena", {"evena"}, true},
};

class ArgvTest : public ::testing::TestWithParam<ArgvCase> {};

TEST_P(ArgvTest, ExactBytesAndStatus) {
  const ArgvCase& c = GetParam();
  if (c.argv.empty() && kEmulator[0] != '\0') GTEST_SKIP() << "an emulated program has an argv[0]";
  ExpectVerdict(RunProgram(c.program, c.argv), c.yes);
}

INSTANTIATE_TEST_SUITE_P(Programs, ArgvTest, ::testing::ValuesIn(kArgvCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct OutputCase {
  const char* name;
  Output output;
};
void PrintTo(const OutputCase& c, std::ostream* os) { *os << c.name; }

const OutputCase kOutputCases[] = {
    {"Closed", Output::kClosed},
    {"DevFull", Output::kFull},
    {"PipeWithoutReader", Output::kBrokenPipe},
};

class UnwritableOutputTest : public ::testing::TestWithParam<OutputCase> {};

TEST_P(UnwritableOutputTest, StatusStillCarriesTheVerdict) {
  if (GetParam().output == Output::kFull && access("/dev/full", W_OK) != 0)
    GTEST_SKIP() << "no /dev/full here (Linux has one)";
  ExpectVerdict(RunProgram("decimal3", {"decimal3", "12"}, GetParam().output), true, false);
  ExpectVerdict(RunProgram("decimal3", {"decimal3", "13"}, GetParam().output), false, false);
  ExpectVerdict(RunProgram("evena", {"evena"}, GetParam().output), true, false);
}

INSTANTIATE_TEST_SUITE_P(Outputs, UnwritableOutputTest, ::testing::ValuesIn(kOutputCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Several MiB of arguments. Linux allows arguments up to a quarter of the stack limit (at most
// 6 MiB), each one up to 128 KiB, so the stack limit is raised for these runs. An emulator keeps
// its own limit, and the arguments then fill what it allows.
class HugeCommandLineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    getrlimit(RLIMIT_STACK, &saved_);
    rlimit raised = saved_;
    if (raised.rlim_max == RLIM_INFINITY || raised.rlim_max >= kRaisedLimit) {
      raised.rlim_cur = kRaisedLimit;
      setrlimit(RLIMIT_STACK, &raised);
    }
  }
  void TearDown() override { setrlimit(RLIMIT_STACK, &saved_); }

  // 100 KiB arguments of fill, as many as fit (up to 40: 4 MiB), then last.
  static std::vector<std::string> Arguments(char fill, const std::string& last) {
    rlimit limit{};
    getrlimit(RLIMIT_STACK, &limit);
    constexpr unsigned long kArgument = 100 << 10;
    unsigned long room = limit.rlim_cur == RLIM_INFINITY ? 6ul << 20 : limit.rlim_cur / 4;
    room -= 256 << 10;  // the environment and the pointers
    std::vector<std::string> argv = {"decimal3"};
    for (unsigned long i = 0; i < 40 && (i + 1) * kArgument < room; ++i)
      argv.push_back(std::string(kArgument, fill));
    EXPECT_GT(argv.size(), 15u) << "less than 1.5 MiB of arguments";
    argv.push_back(last);
    return argv;
  }

  static constexpr rlim_t kRaisedLimit = 64 << 20;
  rlimit saved_{};
};

TEST_F(HugeCommandLineTest, MegabytesOfBlanksBeforeTheWord) {
  ExpectVerdict(RunProgram("decimal3", Arguments('\t', "12")), true);
  ExpectVerdict(RunProgram("decimal3", Arguments(' ', "1")), false);
}

TEST_F(HugeCommandLineTest, MegabytesOfDigitsJoinedByBlanks) {
  ExpectVerdict(RunProgram("decimal3", Arguments('3', "3")), false);
}

// Where the kernel loaded program, read from /proc/PID/maps while the program is held in its first
// write by a full pipe; 0 if no mapping of it was found.
unsigned long LoadAddressWhileHeld(const std::string& program) {
  int out[2];
  Pipe(out, O_NONBLOCK);
  const std::string fill(4096, 'x');
  while (write(out[1], fill.data(), fill.size()) > 0) {}
  fcntl(out[1], F_SETFL, 0);  // the program's write blocks instead
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  const std::string path = Path(program);
  char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
  pid_t pid = -1;
  EXPECT_EQ(posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  unsigned long address = 0;
  for (int tries = 0; tries < 500 && address == 0; ++tries) {  // until execve has mapped it
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    for (std::string line; std::getline(maps, line);)
      if (line.size() > path.size() &&
          line.compare(line.size() - path.size(), path.size(), path) == 0) {
        address = std::stoul(line, nullptr, 16);
        break;
      }
    if (address == 0) usleep(1000);
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  close(out[0]);
  close(out[1]);
  return address;
}

TEST(HardeningTest, EachRunLoadsAtANewAddress) {
  if (kEmulator[0] != '\0') GTEST_SKIP() << "an emulator chooses where it places the program";
  std::ifstream randomize("/proc/sys/kernel/randomize_va_space");
  int level = 0;
  if (!(randomize >> level)) GTEST_SKIP() << "no /proc/sys/kernel/randomize_va_space (Linux)";
  if (level == 0) GTEST_SKIP() << "address randomisation is off here";
  for (const char* program : {"decimal3", "binary3", "evena"}) {
    const unsigned long first = LoadAddressWhileHeld(program),
                        second = LoadAddressWhileHeld(program);
    EXPECT_NE(first, 0u) << program;
    EXPECT_NE(first, second) << program << " loaded twice at " << std::hex << first;
  }
}

}  // namespace
