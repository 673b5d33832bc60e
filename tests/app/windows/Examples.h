// What the window stories share: the examples copied into a temporary
// folder, and the log read back from the rich edit.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/controls/RichEditTestHooks.h"
#include "support/TempDir.h"

namespace app_test {

inline std::string ExamplesDir() {
  const char* source = getenv("ORVANTA_SOURCE_DIR");
  return std::string(source ? source : ".") + "/examples";
}

// The examples' definitions and terrain files, without the generator's
// sources and without what scripts/run leaves there (the generator as
// tarvik.exe, its maps and result file).
inline void CopyExamples(const TempDir& tmp) {
  namespace fs = std::filesystem;
  for (const auto& entry : fs::recursive_directory_iterator(ExamplesDir())) {
    const fs::path rel = fs::relative(entry.path(), ExamplesDir());
    if (*rel.begin() == "generator") continue;
    if (entry.is_directory())
      fs::create_directories(tmp / rel.string());
    else if (rel.extension() == ".tt" || rel.filename() == "tarvikwin.tdf")
      fs::copy_file(entry.path(), tmp / rel.string());
  }
}

// Pictures go to snapshots/ in the test's build folder, whatever folder
// the program works in (read before any test changes it).
inline const std::string kSnapshotsDir = (std::filesystem::current_path() / "snapshots").string();

// The log as "colour[ bold]: text" lines.
inline std::vector<std::string> LogLines(win::HWND log) {
  std::vector<std::string> lines;
  for (const controls::test::RichRun& run : controls::test::RichEditRuns(log)) {
    const char* colour = run.Color == 0x000000   ? "black"
                         : run.Color == 0x0000FF ? "red"
                         : run.Color == 0xFF0000 ? "blue"
                         : run.Color == 0x008000 ? "green"
                                                 : "?";
    std::size_t start = 0;
    for (std::size_t end; (end = run.Text.find("\r\n", start)) != std::string::npos; start = end + 2)
      lines.push_back(std::string(colour) + (run.Bold ? " bold" : "") + ": " + run.Text.substr(start, end - start));
  }
  return lines;
}

}  // namespace app_test
