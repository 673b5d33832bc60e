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
#include "support/Eventually.h"
#include "support/HangGuard.h"
#include "support/TempDir.h"

using namespace frontend;

namespace {

using Lines = std::vector<std::string>;

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
  Lines TakeLog() { return std::exchange(Log, {}); }

  TGeneratorRunner Runner{*this};
  Lines Log;
  std::vector<TUserMessage> Messages;
  std::vector<bool> RunButtonsEnabled;
  bool Timer = false;
};

// The log of one batch entry that created a map.
Lines BatchEntry(int i, int n, const std::string& map) {
  return {"black: Starting map generator (" + std::to_string(i) + " of " + std::to_string(n) + " in batch)...",
          "black: Map generator finished", "blue: Created Map File:", "blue bold: " + map};
}
Lines Joined(std::initializer_list<Lines> parts) {
  Lines all;
  for (const Lines& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}
const std::string kNoMap = "red bold: Map creation error. No map was created";

// Runs against the fake launcher: the fake clock moves by the poll
// interval, and the timer's tick polls while the timer runs.
class FakeGeneratorTest : public ::testing::Test {
 protected:
  void Tick() {
    clock.Advance(kGeneratorPollInterval);
    if (window.Timer) window.Runner.Poll();
  }
  // What the generator leaves (each test's names differ in length, so a
  // new file always differs from the last one).
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
  for (const AnsiString& path : std::vector<AnsiString>{"/u/with space.tt", "tab\there", "say \"hi\".tt", "x\\\"y", "",
                                                        "dir with blank\\", std::string(600, 'p') + " long"})
    EXPECT_EQ(orv::SplitCommandLine(GeneratorCommandLine(path)), (std::vector<AnsiString>{"tarvik.exe", path}));
}

TEST_F(FakeGeneratorTest, ASingleRunIsPolledUntilItEndsAndReportsTheMap) {
  tmp.Write(kTemporaryTerrainFile, "width = 8;\r\n");
  launcher.ScriptRun(0, 500);
  window.Runner.StartGenerator(kTemporaryTerrainFile, false);
  ASSERT_EQ(launcher.Launches().size(), 1u);
  EXPECT_EQ(launcher.Launches()[0].Program, "tarvik.exe");
  EXPECT_EQ(launcher.Launches()[0].CommandLine, "tarvik.exe terrain_temp_.txt");
  EXPECT_EQ(launcher.Launches()[0].CreationFlags, 0x30u);
  EXPECT_TRUE(window.Timer);
  EXPECT_EQ(window.RunButtonsEnabled, (std::vector<bool>{false}));
  EXPECT_EQ(orv::OpenProcessHandleCount(), handlesBefore + 1);  // the process handle is kept

  Tick();
  window.Runner.StartGenerator("other.tt", false);  // one generator at a time
  Tick();
  EXPECT_EQ(launcher.Launches().size(), 1u);
  EXPECT_EQ(window.TakeLog(), (Lines{"black: Starting map generator..."}));
  Result("alpine-1.map\r\nmore lines\r\n");
  Tick();
  EXPECT_EQ(window.TakeLog(), (Lines{"black: Map generator finished", "blue: Created Map File:",
                                     "blue bold: alpine-1.map"}));
  EXPECT_FALSE(window.Timer);
  EXPECT_EQ(window.RunButtonsEnabled.back(), true);
  EXPECT_FALSE(FileExists(kTemporaryTerrainFile));
  EXPECT_EQ(orv::OpenProcessHandleCount(), handlesBefore);
}

TEST_F(FakeGeneratorTest, OnlyANewNonBlankFirstLineNamesAMap) {
  auto run = [&](const std::function<void()>& generator) {
    window.Runner.StartGenerator("a.tt", false);
    generator();
    Tick();
    return window.TakeLog().back();
  };
  EXPECT_EQ(run([] {}), kNoMap);  // no result file
  EXPECT_EQ(run([&] { Result("first.map\n"); }), "blue bold: first.map");
  EXPECT_EQ(run([] {}), kNoMap);  // the last run's file is still there
  EXPECT_EQ(run([&] { Result(" \t \r\nsecond.map\n"); }), kNoMap);
  EXPECT_EQ(run([&] { Result("  spaced  name.map \r\n"); }), "blue bold: spaced  name.map");
  EXPECT_EQ(run([&] { Result(std::string(5000, 'x')); }), "blue bold: " + std::string(kResultNameLimit, 'x'));
  EXPECT_EQ(run([&] { std::filesystem::remove(kGeneratorResultFile); }), kNoMap);
  EXPECT_EQ(run([&] { tmp.MakeDir(kGeneratorResultFile); }), kNoMap);
}

TEST_F(FakeGeneratorTest, ANameShowsAsOneLogLineAndAPipeInTheFilesPlaceNamesNoMap) {
  HangGuard guard;
  window.Runner.StartGenerator("a.tt", false);
  window.TakeLog();
  const std::string forged = "map\rFAKE: BATCH COMPLETED\x1B[31m\tred\x7F";
  Result(forged + "\r\n");
  Tick();
  EXPECT_EQ(window.TakeLog(), (Lines{"black: Map generator finished", "blue: Created Map File:",
                                     "blue bold: map?FAKE: BATCH COMPLETED?[31m\tred?"}));
  EXPECT_EQ(ReadGeneratorResult({}), forged);  // the name itself stays as written

  // A named pipe would hold the poll for good: it names no map at once.
  std::filesystem::remove(kGeneratorResultFile);
  window.Runner.StartGenerator("a.tt", false);
  ASSERT_EQ(mkfifo(kGeneratorResultFile, 0666), 0);
  Tick();
  EXPECT_EQ(window.TakeLog().back(), kNoMap);
  EXPECT_EQ(ReadGeneratorResult({}), "");
}

TEST_F(FakeGeneratorTest, ABatchRunsEveryFileAsOftenAsItsCounterSays) {
  const std::vector<AnsiString> batch =
      ExpandBatch({{"a.tt", 3}, {"b.tt", 0}, {"with space.tt", Variant(AnsiString("1"))}, {"c.tt", Null()}});
  EXPECT_EQ(batch, (std::vector<AnsiString>{"a.tt", "a.tt", "a.tt", "with space.tt"}));
  window.Runner.StartBatch(batch);
  for (int run = 1; !window.Runner.IsIdle() && run < 10; ++run) {
    EXPECT_FALSE(window.RunButtonsEnabled.back());
    tmp.Write(kTemporaryTerrainFile, "left over");
    Result(std::string(std::size_t(run), 'm') + ".map");
    Tick();
    EXPECT_FALSE(FileExists(kTemporaryTerrainFile));
  }
  EXPECT_EQ(window.TakeLog(), Joined({{"green: BATCH STARTED"}, BatchEntry(1, 4, "m.map"), BatchEntry(2, 4, "mm.map"),
                                      BatchEntry(3, 4, "mmm.map"), BatchEntry(4, 4, "mmmm.map"),
                                      {"green: BATCH COMPLETED"}}));
  EXPECT_EQ(launcher.Launches().back().Argv, (std::vector<AnsiString>{"tarvik.exe", "with space.tt"}));
  EXPECT_TRUE(window.RunButtonsEnabled.back());
  EXPECT_EQ(orv::OpenProcessHandleCount(), handlesBefore);
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

  // In a batch: both red lines, no box, the buttons enabled again and the
  // rest of the batch dropped.
  launcher.ScriptRun(0, 0);
  launcher.ScriptFailure(win::ERROR_ACCESS_DENIED);
  window.Runner.StartBatch({"a.tt", "b.tt", "c.tt"});
  Result("one.map");
  Tick();
  EXPECT_EQ(window.TakeLog(), Joined({{"green: BATCH STARTED"}, BatchEntry(1, 3, "one.map"),
                                      {"red bold: Can't execute tarvik.exe", "red bold: BATCH STOPPED"}}));
  EXPECT_EQ(window.Messages.size(), 1u);
  EXPECT_TRUE(window.RunButtonsEnabled.back());
  EXPECT_FALSE(window.Timer);
  EXPECT_EQ(launcher.Launches().size(), 3u);  // the failed single run, then two of the batch
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
  // Polls as the timer would until the run or batch is over.
  bool PollUntilIdle(Window& w) {
    return Eventually([&] {
      if (w.Timer) w.Runner.Poll();
      return w.Runner.IsIdle();
    });
  }
  // The generator's record of what its last run received.
  std::string LastReceived() {
    const std::string log = tmp.Read("received.log");
    return log.substr(std::min(log.rfind("run\n"), log.size()));
  }
  std::string Received(const std::string& argument, const std::string& terrain) {
    return "run\nargument " + argument + "\ndirectory " + tmp.Path() + "\nterrain " +
           std::to_string(terrain.size()) + "\n" + terrain + "\nend\n";
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
  EXPECT_EQ(LastReceived(), Received(kTemporaryTerrainFile, terrain));

  // Every failure leaves the last run's result file behind, which must
  // not count as this run's map.
  tmp.Write("a.tt", "width = 8;");
  for (const char* mode : {"exit3", "crash", "blanks", "silent"}) {
    Mode(mode);
    window.Runner.StartGenerator("a.tt", false);
    ASSERT_TRUE(PollUntilIdle(window));
    EXPECT_EQ(window.TakeLog(), (Lines{"black: Starting map generator...", "black: Map generator finished", kNoMap}))
        << mode;
    EXPECT_EQ(LastReceived(), Received("a.tt", "width = 8;")) << mode;
  }
  EXPECT_EQ(orv::LiveChildCount(), 0u);
}

TEST_F(SampleGeneratorTest, ABatchHandsEveryPathOverWhole) {
  const std::string a = tmp.Write("a.tt", "width = 8;\n");
  const std::string spaced = tmp.Write("maps/with space.tt", "name = Spaced;\n");
  Mode("sleep:50");  // each run is still running at the first polls
  window.Runner.StartBatch(ExpandBatch({{a, 2}, {spaced, 1}}));
  ASSERT_TRUE(PollUntilIdle(window));
  EXPECT_EQ(window.TakeLog(), Joined({{"green: BATCH STARTED"}, BatchEntry(1, 3, "a-1.map"), BatchEntry(2, 3, "a-2.map"),
                                      BatchEntry(3, 3, "Spaced-1.map"), {"green: BATCH COMPLETED"}}));
  EXPECT_EQ(tmp.Read("received.log"), Received(a, "width = 8;\n") + Received(a, "width = 8;\n") +
                                          Received(spaced, "name = Spaced;\n"));
}

TEST_F(SampleGeneratorTest, AGeneratorThatNeverEndsLeavesTheWindowFree) {
  Mode("hang");
  tmp.Write("a.tt", "");
  win::DWORD pid = 0;
  {
    // A window closed during the run lets go of the process.
    const std::size_t handlesBefore = orv::OpenProcessHandleCount();
    Window closing;
    closing.Runner.StartGenerator("a.tt", false);
    pid = closing.Runner.GetGeneratorPid();
    closing.Runner.Poll();
    EXPECT_EQ(orv::OpenProcessHandleCount(), handlesBefore + 1);
    window.Runner.StartGenerator("a.tt", false);
    for (int i = 0; i < 20; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      window.Runner.Poll();  // answers at once
    }
    EXPECT_FALSE(window.Runner.IsIdle());
    EXPECT_EQ(window.TakeLog(), (Lines{"black: Starting map generator..."}));
  }
  for (const win::DWORD each : {pid, window.Runner.GetGeneratorPid()}) {
    win::HANDLE h = win::OpenProcess(win::PROCESS_TERMINATE, win::FALSE, each);
    ASSERT_TRUE(h);
    EXPECT_TRUE(win::TerminateProcess(h, 1));
    win::CloseHandle(h);
  }
  // Ended from outside, it is reported like any other end; the closed
  // window's child is collected once the system has ended it too.
  ASSERT_TRUE(PollUntilIdle(window));
  EXPECT_EQ(window.TakeLog(), (Lines{"black: Map generator finished", kNoMap}));
  EXPECT_TRUE(Eventually([] { return orv::LiveChildCount() == 0; }));
}

TEST_F(SampleGeneratorTest, AMissingOrUnreadableArgumentIsStatusTwoWithAMessage) {
  tmp.MakeDir("folder.tt");
  for (const std::string args : {"", " missing.tt", " folder.tt", " a.tt b.tt"}) {
    FILE* p = popen(("./tarvik.exe" + args + " 2>&1").c_str(), "r");
    ASSERT_TRUE(p);
    char buf[256] = "";
    const bool said = fgets(buf, sizeof buf, p) && std::string(buf).find("tarvik.exe") != std::string::npos;
    const int status = pclose(p);
    EXPECT_TRUE(said && WIFEXITED(status) && WEXITSTATUS(status) == 2) << args;
  }
  EXPECT_FALSE(FileExists(kGeneratorResultFile));
}
