// Opening documents and addresses: only "open", the target as one
// argument whatever it contains, and answers a caller can rely on.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/win/Shell.h"
#include "platform/win/WindowStyles.h"
#include "support/Eventually.h"

using namespace win;

namespace {

std::intptr_t Code(HINSTANCE h) { return reinterpret_cast<std::intptr_t>(h); }

struct Recorded {
  std::vector<std::vector<std::string>> argv;
  std::vector<std::string> dirs;
  bool start = true;
};

class ShellOpen : public ::testing::Test {
 protected:
  Recorded rec;
  void SetUp() override {
    SetShellOpenRecorder([this](const std::vector<std::string>& argv, const std::string& dir) {
      rec.argv.push_back(argv);
      rec.dirs.push_back(dir);
      return rec.start;
    });
  }
  void TearDown() override { SetShellOpenRecorder(nullptr); }
};

TEST_F(ShellOpen, TheTargetIsOneArgumentOfTheOpener) {
  const char* hostile = "http://example.test/a b;$(rm -rf ~)`x` && \"q\"";
  EXPECT_GT(Code(ShellExecuteA(nullptr, "open", hostile, "--ignored", nullptr, SW_SHOWMAXIMIZED)), 32);
  EXPECT_GT(Code(ShellExecuteA(nullptr, nullptr, "report.pdf", nullptr, "/tmp", SW_SHOW)), 32);
  EXPECT_GT(Code(ShellExecuteA(nullptr, "OPEN", "r\xE9sum\xE9.txt", nullptr, nullptr, SW_SHOW)), 32);
  // A target that looks like an option is a file in the current directory.
  EXPECT_GT(Code(ShellExecuteA(nullptr, "Open", "--help", nullptr, nullptr, SW_SHOW)), 32);
  ASSERT_EQ(rec.argv.size(), 4u);
  EXPECT_EQ(rec.argv[0], (std::vector<std::string>{"xdg-open", hostile}));
  EXPECT_EQ(rec.dirs[0], "");
  EXPECT_EQ(rec.argv[1], (std::vector<std::string>{"xdg-open", "report.pdf"}));
  EXPECT_EQ(rec.dirs[1], "/tmp");
  EXPECT_EQ(rec.argv[2], (std::vector<std::string>{"xdg-open", "r\xC3\xA9sum\xC3\xA9.txt"}));  // UTF-8 outside
  EXPECT_EQ(rec.argv[3], (std::vector<std::string>{"xdg-open", "./--help"}));
}

TEST_F(ShellOpen, OtherVerbsAndEmptyTargetsAreRefusedAndFailedStartsSaySo) {
  EXPECT_EQ(Code(ShellExecuteA(nullptr, "print", "a.txt", nullptr, nullptr, SW_SHOW)), SE_ERR_NOASSOC);
  EXPECT_EQ(Code(ShellExecuteA(nullptr, "opener", "a.txt", nullptr, nullptr, SW_SHOW)), SE_ERR_NOASSOC);
  EXPECT_EQ(Code(ShellExecuteA(nullptr, "op", "a.txt", nullptr, nullptr, SW_SHOW)), SE_ERR_NOASSOC);
  EXPECT_EQ(Code(ShellExecuteA(nullptr, "open", "", nullptr, nullptr, SW_SHOW)), SE_ERR_NOASSOC);
  EXPECT_EQ(Code(ShellExecuteA(nullptr, "open", nullptr, nullptr, nullptr, SW_SHOW)), SE_ERR_NOASSOC);
  EXPECT_TRUE(rec.argv.empty());  // nothing was started for any of them
  rec.start = false;
  EXPECT_EQ(Code(ShellExecuteA(nullptr, "open", "a.txt", nullptr, nullptr, SW_SHOW)), SE_ERR_FNF);
}

// The real start, with a stand-in opener on PATH that writes down what it got.
TEST(ShellOpenReal, StartsTheOpenerWithoutAShellOrAnswersTwo) {
  char dirTemplate[] = "/tmp/orv_shellXXXXXX";
  ASSERT_NE(mkdtemp(dirTemplate), nullptr);
  std::string dir = dirTemplate;
  std::string out = dir + "/args.txt";
  {
    std::ofstream script(dir + "/xdg-open");
    script << "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]\\n' \"$a\"; done > " << out << ".part\n"
           << "readlink /proc/$$/fd/0 >> " << out << ".part\nmv " << out << ".part " << out << "\n";
  }
  chmod((dir + "/xdg-open").c_str(), 0755);
  const char* oldPath = std::getenv("PATH");
  std::string saved = oldPath ? oldPath : "";
  setenv("PATH", (dir + ":" + saved).c_str(), 1);

  std::string target = dir + "/x y;$(touch " + dir + "/pwned)";
  EXPECT_GT(Code(ShellExecuteA(nullptr, "open", target.c_str(), nullptr, nullptr, SW_SHOW)), 32);
  // The opener runs on its own; its note appears when it is done.
  std::string got;
  Eventually([&] {
    std::ifstream in(out);
    std::stringstream ss;
    ss << in.rdbuf();
    got = ss.str();
    return !got.empty();
  });
  EXPECT_EQ(got, "[" + target + "]\n/dev/null\n");
  EXPECT_NE(access((dir + "/pwned").c_str(), F_OK), 0) << "the target went through a shell";

  setenv("PATH", (dir + "/none").c_str(), 1);
  EXPECT_EQ(Code(ShellExecuteA(nullptr, "open", "a.txt", nullptr, nullptr, SW_SHOW)), SE_ERR_FNF);
  setenv("PATH", saved.c_str(), 1);
  std::string cleanup = "rm -rf " + dir;
  EXPECT_EQ(std::system(cleanup.c_str()), 0);
}

}  // namespace
