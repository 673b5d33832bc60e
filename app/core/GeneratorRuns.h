// Runs of the map generator "tarvik.exe": once on a terrain file, or as a
// batch over a list of files, one run after the other. The generator is a
// process of its own in a session of its own; the window polls it every
// 200 ms and, once it has ended, reads the created map's name from the
// first line of "generatedname.txt" and reports it in the coloured log.
//
// The runner holds the run's state and the process handle; the window hosts
// it: it shows the log lines and messages, keeps the poll timer and updates
// its buttons when asked.
#pragma once

#include <vector>

#include "app/core/UserMessages.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Types.h"
#include "platform/rtl/Variant.h"
#include "platform/rtl/WinTypes.h"

namespace frontend {

constexpr const char* kGeneratorProgram = "tarvik.exe";
constexpr const char* kGeneratorResultFile = "generatedname.txt";
constexpr Cardinal kGeneratorPollInterval = 200;  // ms
// Only this much of the result file's first line is read.
constexpr std::size_t kResultNameLimit = 4096;

// Colours of the log lines.
constexpr TColor kLogBlack = 0x000000;
constexpr TColor kLogRed = 0x0000FF;
constexpr TColor kLogBlue = 0xFF0000;
constexpr TColor kLogGreen = 0x008000;

// "tarvik.exe" and the path. A path holding a blank, a tab or a quote is
// quoted so the generator receives it as one argument; others stay as they
// are.
AnsiString GeneratorCommandLine(const AnsiString& terrainPath);

// The map name of a run: the trimmed first line of the result file, cut at
// kResultNameLimit bytes; empty when the file is missing, is no regular
// file (reading never waits) or is still the one that was there before the
// run started (before).
AnsiString ReadGeneratorResult(const TFileStamp& before);
// The map name as its log line shows it: a control character other than
// tab shows as '?', so that a name written by the generator can neither
// break into lines of its own nor carry anything else that acts.
AnsiString ResultNameLogText(const AnsiString& name);

// A file row's batch counter as the window hands it over.
struct TBatchCounter {
  AnsiString Path;
  Variant Count;
};
// The batch: each path as many times as its counter says, in row order.
std::vector<AnsiString> ExpandBatch(const std::vector<TBatchCounter>& counters);
TUserMessage NoBatchFilesMessage();

class IGeneratorRunHost {
 public:
  virtual void LogLine(const AnsiString& text, TColor color, bool bold) = 0;
  virtual void ShowMessage(const TUserMessage& message) = 0;
  // The poll timer (kGeneratorPollInterval) runs while a generator runs.
  virtual void SetPollTimer(bool enabled) = 0;
  // The run's state changed in a way the buttons show.
  virtual void UpdateButtons() = 0;

 protected:
  ~IGeneratorRunHost() = default;
};

class TGeneratorRunner {
 public:
  explicit TGeneratorRunner(IGeneratorRunHost& host);
  // Closes the process handle; a generator still running goes on alone.
  ~TGeneratorRunner();
  TGeneratorRunner(const TGeneratorRunner&) = delete;
  TGeneratorRunner& operator=(const TGeneratorRunner&) = delete;

  // 0 while no generator runs.
  win::DWORD GetGeneratorPid() const { return FGeneratorPid; }
  bool GetBatchRunning() const { return FBatchRunning; }
  Integer GetBatchIndex() const { return FBatchIndex; }
  const std::vector<AnsiString>& GetBatchList() const { return FBatchList; }
  // Neither a generator nor a batch runs: the run buttons are enabled.
  bool IsIdle() const { return FGeneratorPid == 0 && !FBatchRunning; }

  // Starts the generator on a file, unless one runs already. A failure is
  // logged; unless silent it is also shown in a message box. In a batch it
  // stops the batch.
  void StartGenerator(const AnsiString& terrainPath, bool silent);
  // Runs every entry in turn (the list must not be empty).
  void StartBatch(std::vector<AnsiString> entries);
  // The poll timer's tick: once the generator has ended, its result is
  // logged, the temporary terrain file deleted, and a batch goes on.
  void Poll();

 private:
  void Log(const AnsiString& text, TColor color, bool bold = false) { FHost.LogLine(text, color, bold); }
  void CloseProcess();

  IGeneratorRunHost& FHost;
  win::DWORD FGeneratorPid = 0;
  win::HANDLE FProcess = nullptr;
  TFileStamp FResultBefore;
  bool FBatchRunning = false;
  Integer FBatchIndex = 0;
  std::vector<AnsiString> FBatchList;
};

}  // namespace frontend
