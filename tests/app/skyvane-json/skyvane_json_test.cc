// Runs the skyvane-json program and checks its standard output, standard
// error and exit status exactly.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

// The tool's input limit, 1 GiB.
constexpr std::uintmax_t kMaxInputBytes = std::uintmax_t{1} << 30;

struct Outcome {
  std::string out;
  std::string err;
  int status = -1;
};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class SkyvaneJsonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("skyvane-json-test-" + std::to_string(getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Runs the program with `args`, standard input read from `input`, its
  // address space limited to `address_space_kb` KiB when that is not 0 (as
  // by ulimit -v).
  Outcome Run(const std::vector<std::string>& args, const std::string& input = "",
              long address_space_kb = 0) {
    const fs::path in = dir_ / "stdin", out = dir_ / "stdout", err = dir_ / "stderr";
    WriteFile(in, input);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<std::string> all = {SKYVANE_JSON_BINARY};
    if (address_space_kb != 0) {
      all.insert(all.begin(),
                 {"/bin/sh", "-c",
                  "ulimit -v " + std::to_string(address_space_kb) + " && exec \"$0\" \"$@\""});
    }
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    Outcome outcome;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
      ADD_FAILURE() << "cannot start " << argv[0];
      return outcome;
    }
    int wait_status = 0;
    waitpid(pid, &wait_status, 0);
    outcome.status = WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : -1;
    outcome.out = ReadFile(out);
    outcome.err = ReadFile(err);
    return outcome;
  }

  // Runs the program on a file holding `bytes`.
  Outcome RunOn(const std::string& bytes) {
    const fs::path file = dir_ / "input.json";
    WriteFile(file, bytes);
    return Run({file.string()});
  }

  fs::path dir_;
};

void ExpectOutcome(const Outcome& o, const std::string& out, const std::string& err, int status) {
  EXPECT_EQ(o.out, out);
  EXPECT_EQ(o.err, err);
  EXPECT_EQ(o.status, status);
}

TEST_F(SkyvaneJsonTest, CleanDocument) {
  ExpectOutcome(
      RunOn("{\"b\": [1, 2.50, -0.5e1], \"a\": {\"t\": true, \"f\": false, \"n\": null}}"),
      "{\"b\":[1,2.5,-5],\"a\":{\"t\":true,\"f\":false,\"n\":null}}\n", "", 0);
  ExpectOutcome(RunOn("[]"), "[]\n", "", 0);
  ExpectOutcome(RunOn("// lenient\n{a: 'x' b: \"y\"}"), "{\"a\":\"x\",\"b\":\"y\"}\n", "", 0);
}

TEST_F(SkyvaneJsonTest, RootWithLogExitsOne) {
  ExpectOutcome(RunOn("[1,2"), "[1,undefined]\n", "Missing ']': [1,2\r\n", 1);
  ExpectOutcome(RunOn("{\"a\":tru}"), "{\"a\":false,\"tru}\":undefined}\n",
                "Invalid Boolean at position 6 : tru}\r\nMissing '}': {\"a\":tru}\r\n", 1);
  ExpectOutcome(RunOn("[tru]"), "[false]\n",
                "Invalid Boolean at position 2 : tru]\r\nInvalid array item: tru]\r\n", 1);
}

TEST_F(SkyvaneJsonTest, NoRootExitsTwoWithNothingOnStandardOutput) {
  ExpectOutcome(RunOn(""), "", "Invalid JSON", 2);
  ExpectOutcome(RunOn("hello"), "", "Invalid JSON", 2);
  ExpectOutcome(RunOn("\xEF\xBB\xBF"), "", "Invalid JSON", 2);
}

TEST_F(SkyvaneJsonTest, DecodesUtf8AndWritesUtf8) {
  // The byte-order mark is skipped; a second one is text.
  ExpectOutcome(RunOn("\xEF\xBB\xBF[\"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\"]"),
                "[\"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\"]\n", "", 0);
  ExpectOutcome(RunOn("\xEF\xBB\xBF\xEF\xBB\xBF[]"), "", "Invalid JSON", 2);
  // Invalid sequences become U+FFFD.
  ExpectOutcome(RunOn("[\"a\xFF\xC3\"]"), "[\"a\xEF\xBF\xBD\xEF\xBF\xBD\"]\n", "", 0);
  // The log is UTF-8 too.
  ExpectOutcome(RunOn("{\"\xC3\xA9\" 1}"), "{\"\xC3\xA9\":1}\n",
                "Invalid Key at position 6 : \xC3\xA9\r\n", 1);
}

TEST_F(SkyvaneJsonTest, EscapesControlsAndUnpairedSurrogates) {
  ExpectOutcome(RunOn("[\"q\\\"b\\\\t\\t\\u0001\\u001F\\ud800x\\/\\u0000\"]"),
                "[\"q\\\"b\\\\t\\t\\u0001\\u001f\\ud800x/\\u0000\"]\n", "", 0);
  ExpectOutcome(RunOn("['\\uD83D\\uDE00']"), "[\"\xF0\x9F\x98\x80\"]\n", "", 0);
  ExpectOutcome(RunOn("[\"\\b\\f\\n\\r\"]"), "[\"\\b\\f\\n\\r\"]\n", "", 0);
}

TEST_F(SkyvaneJsonTest, ReadsStandardInput) {
  ExpectOutcome(Run({}, "[1]"), "[1]\n", "", 0);
  ExpectOutcome(Run({"-"}, "{\"a\":[1,"), "{\"a\":[1,undefined]}\n",
                "Missing ']': {\"a\":[1,\r\nMissing '}': {\"a\":[1,\r\n", 1);
  ExpectOutcome(Run({"-"}, ""), "", "Invalid JSON", 2);
}

TEST_F(SkyvaneJsonTest, UnreadableInputIsReportedByTheTool) {
  for (const fs::path& path : {dir_ / "missing.json", dir_}) {
    SCOPED_TRACE(path.string());
    const Outcome o = Run({path.string()});
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err.rfind("skyvane-json: ", 0), 0u) << o.err;
    EXPECT_NE(o.err.find(path.string()), std::string::npos) << o.err;
    EXPECT_EQ(o.err.back(), '\n');
    EXPECT_EQ(o.status, 2);
  }
}

TEST_F(SkyvaneJsonTest, InputOverTheLimitIsRefusedUnread) {
  const fs::path huge = dir_ / "huge.json";
  WriteFile(huge, "");
  fs::resize_file(huge, kMaxInputBytes + 1);  // sparse: no room taken on the disk
  ExpectOutcome(Run({huge.string()}), "",
                "skyvane-json: " + huge.string() +
                    " is larger than 1073741824 bytes, the most this program reads\n",
                2);
}

// Sanitizers reserve more address space than any small limit allows.
#if !defined(SKYVANE_SANITIZED)
TEST_F(SkyvaneJsonTest, EndlessInputInLittleMemoryEndsWithALine) {
  constexpr long kAddressSpaceKb = 400000;  // room for the tool, not for its input
  ExpectOutcome(Run({"/dev/zero"}, "", kAddressSpaceKb), "",
                "skyvane-json: not enough memory to read /dev/zero\n", 2);
}
#endif

TEST_F(SkyvaneJsonTest, UsageErrors) {
  ExpectOutcome(Run({"a.json", "b.json"}), "", "skyvane-json: usage: skyvane-json [FILE]\n", 2);
  ExpectOutcome(Run({"--help"}), "usage: skyvane-json [FILE]\n", "", 0);
}

TEST_F(SkyvaneJsonTest, LargeDocumentRoundTrips) {
  std::string doc = "[";
  std::string expected = "[";
  for (int i = 0; i < 5000; ++i) {
    const std::string item =
        "{\"id\":" + std::to_string(i) + ",\"name\":\"n" + std::to_string(i) + "\"}";
    doc += (i ? ", " : "") + item;
    expected += (i ? "," : "") + item;
  }
  doc += "]";
  expected += "]\n";
  ExpectOutcome(RunOn(doc), expected, "", 0);
}

}  // namespace
