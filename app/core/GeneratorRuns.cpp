#include "app/core/GeneratorRuns.h"

#include "app/core/TerrainFiles.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/NumberText.h"
#include "platform/rtl/Processes.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/TextFile.h"

namespace frontend {

namespace {

// Quotes an argument so the launcher's splitting gives it back whole:
// backslashes before a quote, and at the end, are doubled, and a quote is
// escaped.
AnsiString QuotedArgument(const AnsiString& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == AnsiString::npos) return arg;
  AnsiString out = "\"";
  std::size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    out.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    out += c;
  }
  out.append(2 * backslashes, '\\');
  return out + "\"";
}

}  // namespace

AnsiString GeneratorCommandLine(const AnsiString& terrainPath) {
  return AnsiString(kGeneratorProgram) + " " + QuotedArgument(terrainPath);
}

AnsiString ReadGeneratorResult(const TFileStamp& before) {
  // A generator that wrote nothing leaves an earlier run's file behind; it
  // names no map of this run.
  const TFileStamp now = FileStamp(kGeneratorResultFile);
  if (!now.Exists || now == before) return {};
  crt::FILE* f = crt::fopen(kGeneratorResultFile, "r");
  if (!f) return {};
  AnsiString line;
  for (int c; line.size() < kResultNameLimit && (c = crt::fgetc(f)) != EOF && c != '\n';) line += char(c);
  crt::fclose(f);
  return Trim(line);
}

AnsiString ResultNameLogText(const AnsiString& name) {
  AnsiString text = name;
  for (char& c : text)
    if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == '\x7F') c = '?';
  return text;
}

std::vector<AnsiString> ExpandBatch(const std::vector<TBatchCounter>& counters) {
  std::vector<AnsiString> entries;
  for (const TBatchCounter& counter : counters) {
    const Integer n = StrToIntDef(VarToStr(counter.Count), 0);
    for (Integer i = 0; i < n; ++i) entries.push_back(counter.Path);
  }
  return entries;
}

TUserMessage NoBatchFilesMessage() {
  return {"There are no files marked for batch processing.\n\nTo mark a file, set the batch counter for the file "
          "to a value larger than 0.",
          "No batch files", umkInformation};
}

TGeneratorRunner::TGeneratorRunner(IGeneratorRunHost& host) : FHost(host) {}

TGeneratorRunner::~TGeneratorRunner() { CloseProcess(); }

void TGeneratorRunner::CloseProcess() {
  if (FProcess) win::CloseHandle(FProcess);
  FProcess = nullptr;
}

void TGeneratorRunner::StartGenerator(const AnsiString& terrainPath, bool silent) {
  if (FGeneratorPid != 0) return;  // one generator at a time
  FResultBefore = FileStamp(kGeneratorResultFile);
  AnsiString commandLine = GeneratorCommandLine(terrainPath);
  win::STARTUPINFOA startup;
  win::GetStartupInfoA(&startup);
  win::PROCESS_INFORMATION process;
  if (win::CreateProcessA(kGeneratorProgram, commandLine.data(), nullptr, nullptr, win::FALSE,
                          win::CREATE_NEW_CONSOLE | win::NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup,
                          &process)) {
    win::CloseHandle(process.hThread);
    FProcess = process.hProcess;
    FGeneratorPid = process.dwProcessId;
    FHost.UpdateButtons();
    FHost.SetPollTimer(true);
    if (FBatchRunning)
      Log(Format("Starting map generator (%d of %d in batch)...", {FBatchIndex + 1, FBatchList.size()}), kLogBlack);
    else
      Log("Starting map generator...", kLogBlack);
    return;
  }
  FGeneratorPid = 0;
  Log("Can't execute tarvik.exe", kLogRed, true);
  if (FBatchRunning) {
    Log("BATCH STOPPED", kLogRed, true);
    FBatchRunning = false;
    FBatchList.clear();
    FBatchIndex = 0;
    FHost.UpdateButtons();
  }
  if (!silent) FHost.ShowMessage({"Can't execute the map generator.", "Can't find TARVIK", umkError});
}

void TGeneratorRunner::StartBatch(std::vector<AnsiString> entries) {
  if (!IsIdle() || entries.empty()) return;
  FBatchList = std::move(entries);
  FBatchRunning = true;
  FBatchIndex = 0;
  Log("BATCH STARTED", kLogGreen);
  StartGenerator(FBatchList[0], true);
}

void TGeneratorRunner::Poll() {
  if (FGeneratorPid == 0) return;
  // The handle kept from the start answers for this process only, however
  // it ended; one that cannot be asked counts as ended.
  if (win::WaitForSingleObject(FProcess, 0) == win::WAIT_TIMEOUT) return;
  FHost.SetPollTimer(false);
  CloseProcess();
  FGeneratorPid = 0;
  Log("Map generator finished", kLogBlack);
  const AnsiString name = ReadGeneratorResult(FResultBefore);
  if (name.empty()) {
    Log("Map creation error. No map was created", kLogRed, true);
  } else {
    Log("Created Map File:", kLogBlue);
    Log(ResultNameLogText(name), kLogBlue, true);
  }
  win::DeleteFileA(kTemporaryTerrainFile);
  if (FBatchRunning) {
    ++FBatchIndex;
    if (std::size_t(FBatchIndex) < FBatchList.size()) {
      StartGenerator(FBatchList[std::size_t(FBatchIndex)], true);
      return;
    }
    FBatchRunning = false;
    FBatchList.clear();
    FBatchIndex = 0;
    Log("BATCH COMPLETED", kLogGreen);
  }
  FHost.UpdateButtons();
}

}  // namespace frontend
