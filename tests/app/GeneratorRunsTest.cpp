#include "app/core/GeneratorRuns.h"

#include <stdio.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "app/core/TerrainFiles.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/ProcessLauncher.h"
#include "platform/rtl/Processes.h"
#include "support/TempDir.h"

using namespace frontend;

namespace {

// The window's side of a run: the log as "colour[ bold]: text", the
// messages, the poll timer, and whether the run buttons were enabled each
// time the buttons were updated.
class Window : public IGeneratorRunHost {
 public:
  void LogLine(const AnsiString& text, TColor color, bool bold) override {
    const char* name = color == kLogBlack  ? "black"
                       : color == kLogRed  ? "red"
                       : color == kLogBlue ? "blue"
                       : color == kLogGreen ? "green"
                                            : "?";
    Log.push_back(std::string(name) + (bold ? " bold" : "") + ": " + text);
  }
  void ShowMessage(const TUserMessage& message) override { Messages.push_back(message); }
  void SetPollTimer(bool enabled) override { Timer = enabled; }
  void UpdateButtons() override { RunButtonsEnabled.push_back(Runner.IsIdle()); }

  std::vector<std::string> TakeLog() { return std::exchange(Log, {}); }

  TGeneratorRunner Runner{*this};
  std::vector<std::string> Log;
  std::vector<TUserMessage> Messages;
  std::vector<bool> RunButtonsEnabled;
  bool Timer = false;
};

using Lines = std::vector<std::string>;

// Runs against the fake launcher: the fake clock moves by the poll
// interval, and the timer's tick polls while the timer runs.
class FakeGeneratorTest : public ::testing::Test {
 protected:
  void Tick() {
    clock.Advance(kGeneratorPollInterval);
    if (window.Timer) window.Runner.Poll();
  }
  // What the generator leaves: its result file (each name a different
  // length, so that a new file always differs from the last one).
  void Result(const std::string& bytes) { tmp.Write(kGeneratorResultFile, bytes); }

  TempDir tmp;
  CurrentDirGuard cd{tmp.Path()};
  Clock::FakeClock clock;
  orv::FakeProcessLauncher launcher{&clock};
  std::size_t handlesBefore = orv::OpenProcessHandleCount();
  Window window;
};

}  // namespace

TEST(GeneratorCommand, PathsWithBlanksOrQuotesArriveAsOneArgument) {
  EXPECT_EQ(GeneratorCommandLine("terrain_temp_.txt"), "tarvik.exe terrain_temp_.txt");
  EXPECT_EQ(GeneratorCommandLine("/home/u/maps/a.tt"), "tarvik.exe /home/u/maps/a.tt");
  for (const AnsiString& path : std::vector<AnsiString>{"/home/u/with space.tt", "tab\there", "say \"hi\".tt", "ends\\", "x\\\"y", "",
                                "dir with blank\\", std::string(600, 'p') + " long"}) {
    const std::vector<AnsiString> argv = orv::SplitCommandLine(GeneratorCommandLine(path));
    EXPECT_EQ(argv, (std::vector<AnsiString>{"tarvik.exe", path})) << path;
  }
}

TEST_F(FakeGeneratorTest, ASingleRunIsPolledUntilItEndsAndReportsTheMap) {
  tmp.Write(kTemporaryTerrainFile, "width = 8;\r\n");
  launcher.ScriptRun(0, 500);
  window.Runner.StartGenerator(kTemporaryTerrainFile, false);

  ASSERT_EQ(launcher.Launches().size(), 1u);
  const auto& launched = launcher.Launches()[0];
  EXPECT_EQ(launched.Program, "tarvik.exe");
  EXPECT_EQ(launched.CommandLine, "tarvik.exe terrain_temp_.txt");
  EXPECT_EQ(launched.CreationFlags, 0x30u);
  EXPECT_EQ(launched.WorkingDirectory, "");  // the start directory, the caller's own
  EXPECT_EQ(window.Runner.GetGeneratorPid(), win::DWORD(launched.Pid));
  EXPECT_TRUE(window.Timer);
  EXPECT_EQ(window.RunButtonsEnabled, (std::vector<bool>{false}));
  EXPECT_EQ(window.TakeLog(), (Lines{"black: Starting map generator..."}));
  EXPECT_EQ(orv::OpenProcessHandleCount(), handlesBefore + 1);  // the process handle is kept

  Tick();
  Tick();
  EXPECT_TRUE(window.Log.empty());
  EXPECT_TRUE(FileExists(kTemporaryTerrainFile));
  Result("alpine-1.map\r\nmore lines\r\n");
  Tick();
  EXPECT_EQ(window.TakeLog(), (Lines{"black: Map generator finished", "blue: Created Map File:",
                                     "blue bold: alpine-1.map"}));
  EXPECT_FALSE(window.Timer);
  EXPECT_TRUE(window.Runner.IsIdle());
  EXPECT_EQ(window.RunButtonsEnabled.back(), true);
  EXPECT_FALSE(FileExists(kTemporaryTerrainFile));
  EXPECT_EQ(orv::OpenProcessHandleCount(), handlesBefore);
  EXPECT_TRUE(window.Messages.empty());
}

TEST_F(FakeGeneratorTest, OnlyANewNonBlankFirstLineNamesAMap) {
  auto run = [&](const std::function<void()>& generator) {
    window.Runner.StartGenerator("a.tt", false);
    generator();
    Tick();
    Lines log = window.TakeLog();
    return log.back();
  };
  const std::string error = "red bold: Map creation error. No map was created";
  EXPECT_EQ(run([] {}), error);                                   // no result file
  EXPECT_EQ(run([&] { Result("first.map\n"); }), "blue bold: first.map");
  EXPECT_EQ(run([] {}), error);                                   // the last run's file is still there
  EXPECT_EQ(run([&] { Result(" \t \r\nsecond.map\n"); }), error);  // a first line of blanks
  EXPECT_EQ(run([&] { Result("  spaced  name.map \r\n"); }), "blue bold: spaced  name.map");
  EXPECT_EQ(run([&] { Result(std::string(5000, 'x')); }), "blue bold: " + std::string(kResultNameLimit, 'x'));
  EXPECT_EQ(run([&] { std::filesystem::remove(tmp / kGeneratorResultFile); }), error);
  EXPECT_EQ(run([&] { tmp.MakeDir(kGeneratorResultFile); }), error);
}

TEST_F(FakeGeneratorTest, ABatchRunsEveryFileAsOftenAsItsCounterSays) {
  const std::vector<AnsiString> batch = ExpandBatch({{tmp / "a.tt", 3},
                                                     {tmp / "b.tt", 0},
                                                     {tmp / "maps/with space.tt", Variant(AnsiString("1"))},
                                                     {tmp / "c.tt", Null()}});
  ASSERT_EQ(batch.size(), 4u);
  window.Runner.StartBatch(batch);
  for (int run = 1; !window.Runner.IsIdle() && run < 10; ++run) {
    EXPECT_FALSE(window.RunButtonsEnabled.back());
    tmp.Write(kTemporaryTerrainFile, "left over");
    Result("map-" + std::string(std::size_t(run), '0') + ".map");
    Tick();
    EXPECT_FALSE(FileExists(kTemporaryTerrainFile));
  }
  EXPECT_EQ(window.TakeLog(), (Lines{"green: BATCH STARTED",
                                     "black: Starting map generator (1 of 4 in batch)...",
                                     "black: Map generator finished",
                                     "blue: Created Map File:",
                                     "blue bold: map-0.map",
                                     "black: Starting map generator (2 of 4 in batch)...",
                                     "black: Map generator finished",
                                     "blue: Created Map File:",
                                     "blue bold: map-00.map",
                                     "black: Starting map generator (3 of 4 in batch)...",
                                     "black: Map generator finished",
                                     "blue: Created Map File:",
                                     "blue bold: map-000.map",
                                     "black: Starting map generator (4 of 4 in batch)...",
                                     "black: Map generator finished",
                                     "blue: Created Map File:",
                                     "blue bold: map-0000.map",
                                     "green: BATCH COMPLETED"}));
  std::vector<std::vector<AnsiString>> arguments;
  for (const auto& launched : launcher.Launches()) arguments.push_back(launched.Argv);
  const AnsiString a = tmp / "a.tt", spaced = tmp / "maps/with space.tt";
  EXPECT_EQ(arguments, (std::vector<std::vector<AnsiString>>{
                           {"tarvik.exe", a}, {"tarvik.exe", a}, {"tarvik.exe", a}, {"tarvik.exe", spaced}}));
  EXPECT_TRUE(window.RunButtonsEnabled.back());
  EXPECT_TRUE(window.Runner.GetBatchList().empty());
  EXPECT_EQ(orv::OpenProcessHandleCount(), handlesBefore);

  EXPECT_TRUE(ExpandBatch({{"x", 0}, {"y", Null()}}).empty());
  EXPECT_EQ(NoBatchFilesMessage(),
            (TUserMessage{"There are no files marked for batch processing.\n\nTo mark a file, set the batch counter "
                          "for the file to a value larger than 0.",
                          "No batch files", umkInformation}));
}

TEST_F(FakeGeneratorTest, AGeneratorThatCannotStartIsReportedAndStopsTheBatch) {
  launcher.ScriptFailure(win::ERROR_FILE_NOT_FOUND);
  window.Runner.StartGenerator(kTemporaryTerrainFile, false);
  EXPECT_EQ(window.TakeLog(), (Lines{"red bold: Can't execute tarvik.exe"}));
  EXPECT_EQ(window.Messages,
            (std::vector<TUserMessage>{{"Can't execute the map generator.", "Can't find TARVIK", umkError}}));
  EXPECT_TRUE(window.Runner.IsIdle());
  EXPECT_FALSE(window.Timer);

  // In a batch: both red lines, no box, the buttons enabled again and the
  // rest of the batch dropped.
  window.Messages.clear();
  launcher.ScriptRun(0, 0);
  launcher.ScriptFailure(win::ERROR_ACCESS_DENIED);
  window.Runner.StartBatch({"a.tt", "b.tt", "c.tt"});
  Result("one.map");
  Tick();
  EXPECT_EQ(window.TakeLog(), (Lines{"green: BATCH STARTED", "black: Starting map generator (1 of 3 in batch)...",
                                     "black: Map generator finished", "blue: Created Map File:",
                                     "blue bold: one.map", "red bold: Can't execute tarvik.exe",
                                     "red bold: BATCH STOPPED"}));
  EXPECT_TRUE(window.Messages.empty());
  EXPECT_TRUE(window.Runner.IsIdle());
  EXPECT_TRUE(window.RunButtonsEnabled.back());
  EXPECT_FALSE(window.Timer);
  EXPECT_EQ(launcher.Launches().size(), 3u);  // the failed single run, then two of the batch
}

TEST_F(FakeGeneratorTest, AWindowClosedDuringARunReleasesTheProcessHandle) {
  {
    Window closing;
    launcher.ScriptRun(0, 1'000'000);
    closing.Runner.StartGenerator("a.tt", true);
    EXPECT_EQ(orv::OpenProcessHandleCount(), handlesBefore + 1);
    clock.Advance(1000);
    closing.Runner.Poll();
    EXPECT_FALSE(closing.Runner.IsIdle());
  }
  EXPECT_EQ(orv::OpenProcessHandleCount(), handlesBefore);
}

// The same protocol with the sample generator as tarvik.exe, in each of
// the ways it can end.
class SampleGeneratorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::copy_file(ORVANTA_SAMPLE_GENERATOR, tmp / kGeneratorProgram);
    setenv("TARVIK_SAMPLE_LOG", (tmp / "received.log").c_str(), 1);
  }
  void TearDown() override {
    unsetenv("TARVIK_SAMPLE_LOG");
    unsetenv("TARVIK_SAMPLE_MODE");
  }
  void Mode(const char* mode) { setenv("TARVIK_SAMPLE_MODE", mode, 1); }
  // Polls as the timer would until the run or batch is over (or a generous
  // limit passes); false when it is still running.
  bool PollUntilIdle(Window& window, int seconds = 60) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!window.Runner.IsIdle() && std::chrono::steady_clock::now() < limit) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      if (window.Timer) window.Runner.Poll();
    }
    return window.Runner.IsIdle();
  }
  // The last run's record in the generator's log.
  std::string LastReceived() {
    const std::string log = tmp.Read("received.log");
    const std::size_t start = log.rfind("run\n");
    return start == std::string::npos ? "" : log.substr(start);
  }

  TempDir tmp;
  CurrentDirGuard cd{tmp.Path()};
  Window window;
};

TEST_F(SampleGeneratorTest, ARunWritesAMapAndEachFailureIsAMapCreationError) {
  const std::string terrain = "name = Alpine Ridge;\r\nroughness = 0.75;\r\n";
  tmp.Write(kTemporaryTerrainFile, terrain);
  window.Runner.StartGenerator(kTemporaryTerrainFile, false);
  ASSERT_TRUE(PollUntilIdle(window));
  EXPECT_EQ(window.TakeLog(), (Lines{"black: Starting map generator...", "black: Map generator finished",
                                     "blue: Created Map File:", "blue bold: Alpine_Ridge-1.map"}));
  EXPECT_TRUE(FileExists(tmp / "Alpine_Ridge-1.map"));
  EXPECT_FALSE(FileExists(kTemporaryTerrainFile));
  EXPECT_EQ(LastReceived(), "run\nargument terrain_temp_.txt\ndirectory " + tmp.Path() +
                                "\nterrain " + std::to_string(terrain.size()) + "\n" + terrain + "\nend\n");

  // Every failure leaves the last run's result file behind, which must
  // not count as this run's map.
  for (const char* mode : {"exit3", "crash", "blanks", "silent"}) {
    SCOPED_TRACE(mode);
    Mode(mode);
    tmp.Write("a.tt", "width = 8;");
    window.Runner.StartGenerator("a.tt", false);
    ASSERT_TRUE(PollUntilIdle(window));
    EXPECT_EQ(window.TakeLog(), (Lines{"black: Starting map generator...", "black: Map generator finished",
                                       "red bold: Map creation error. No map was created"}));
    EXPECT_NE(LastReceived().find("argument a.tt\n"), std::string::npos);
  }
  EXPECT_EQ(orv::LiveChildCount(), 0u);
}

TEST_F(SampleGeneratorTest, ABatchHandsEveryPathOverWhole) {
  const std::string a = tmp.Write("a.tt", "width = 8;\n");
  const std::string spaced = tmp.Write("maps/with space.tt", "name = Spaced;\n");
  Mode("sleep:50");  // each run is still running at the first polls
  window.Runner.StartBatch(ExpandBatch({{a, 2}, {spaced, 1}}));
  ASSERT_TRUE(PollUntilIdle(window));
  EXPECT_EQ(window.TakeLog(), (Lines{"green: BATCH STARTED",
                                     "black: Starting map generator (1 of 3 in batch)...",
                                     "black: Map generator finished", "blue: Created Map File:",
                                     "blue bold: a-1.map",
                                     "black: Starting map generator (2 of 3 in batch)...",
                                     "black: Map generator finished", "blue: Created Map File:",
                                     "blue bold: a-2.map",
                                     "black: Starting map generator (3 of 3 in batch)...",
                                     "black: Map generator finished", "blue: Created Map File:",
                                     "blue bold: Spaced-1.map", "green: BATCH COMPLETED"}));
  const std::string log = tmp.Read("received.log");
  EXPECT_NE(log.find("run\nargument " + a + "\ndirectory"), std::string::npos);
  EXPECT_EQ(LastReceived(), "run\nargument " + spaced + "\ndirectory " + tmp.Path() +
                                "\nterrain 15\nname = Spaced;\n\nend\n");
}

TEST_F(SampleGeneratorTest, AGeneratorThatNeverEndsLeavesTheWindowFree) {
  Mode("hang");
  tmp.Write("a.tt", "");
  window.Runner.StartGenerator("a.tt", false);
  const win::DWORD pid = window.Runner.GetGeneratorPid();
  ASSERT_NE(pid, 0u);
  for (int i = 0; i < 20; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    window.Runner.Poll();  // answers at once
  }
  EXPECT_FALSE(window.Runner.IsIdle());
  EXPECT_EQ(window.TakeLog(), (Lines{"black: Starting map generator..."}));

  // Ended from outside, it is reported like any other end.
  win::HANDLE h = win::OpenProcess(win::PROCESS_TERMINATE, win::FALSE, pid);
  ASSERT_TRUE(h);
  EXPECT_TRUE(win::TerminateProcess(h, 1));
  win::CloseHandle(h);
  ASSERT_TRUE(PollUntilIdle(window));
  EXPECT_EQ(window.TakeLog(),
            (Lines{"black: Map generator finished", "red bold: Map creation error. No map was created"}));
  EXPECT_EQ(orv::LiveChildCount(), 0u);
}

TEST_F(SampleGeneratorTest, AMissingOrUnreadableArgumentIsStatusTwoWithAMessage) {
  tmp.MakeDir("folder.tt");
  for (const std::string args : {"", " missing.tt", " folder.tt", " a.tt b.tt"}) {
    FILE* p = popen(("./tarvik.exe" + args + " 2>&1").c_str(), "r");
    ASSERT_TRUE(p);
    std::string output;
    char buf[256];
    while (fgets(buf, sizeof buf, p)) output += buf;
    const int status = pclose(p);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << args;
    EXPECT_NE(output.find("tarvik.exe"), std::string::npos) << args;
  }
  EXPECT_FALSE(FileExists(kGeneratorResultFile));
}
