// The window's side of a batch, with the fake launcher on the fake clock:
// the question about unsaved values, the entries from the counters in the
// tree's order, the poll through the window's timer, the buttons while it
// runs and the coloured log as the rich edit holds it. (Single runs on the
// sample generator are played on Xvfb, ProgramOnXTest.)
#include "MainFormSession.h"

#include "platform/rtl/ProcessLauncher.h"

using namespace app_test;
using forms::test::AnswerMessageBox;
using Lines = std::vector<std::string>;

namespace {

class WindowRuns : public MainFormSession {
 protected:
  void SetUp() override {
    CopyExamples();
    Start();
  }
  // Lets the fake clock run on, the timer polling every 200 ms.
  void Wait(std::uint64_t ms) { win::test::PumpFor(ms); }

  orv::FakeProcessLauncher launcher{&session.Win().Clock()};
};

TEST_F(WindowRuns, ABatchRunsTheCountedFilesInTreeOrderAndColoursItsLines) {
  // No counter set: the box, and no process.
  AnswerMessageBox(win::IDOK);
  form->RunBatchButtonClick(form->RunBatchButton);
  EXPECT_EQ(Boxes(), (Lines{"No batch files: There are no files marked for batch processing.\n\nTo mark a file, set "
                            "the batch counter for the file to a value larger than 0."}));
  EXPECT_EQ(forms::test::MessageBoxLog()[0].Flags, win::MB_OK | win::MB_ICONINFORMATION);
  EXPECT_TRUE(launcher.Launches().empty());

  FileRow("maps/island chain.tt")->GetProperties()->SetValue(1);
  FileRow("lowlands.tt")->GetProperties()->SetValue(2);
  // Unsaved values: Cancel stops before anything runs.
  PickFile("maps/deep/desert.tt");
  TypeInto("Map name", "Dunes");
  form->cxVGTerrainValues->HideEdit();
  AnswerMessageBox(win::IDCANCEL);
  form->RunBatchButtonClick(form->RunBatchButton);
  EXPECT_EQ(Boxes().back(),
            "Save currentfile?: Do you want to save the currnt file before proceeding with the batch processing?");
  EXPECT_TRUE(launcher.Launches().empty());

  // Yes goes through the save dialog; cancelled there, the batch still
  // runs, the edit kept in the grid.
  AnswerMessageBox(win::IDYES);
  forms::test::CancelFileDialog();
  for (int i = 0; i < 3; ++i) launcher.ScriptRun(0, 300);
  form->RunBatchButtonClick(form->RunBatchButton);
  EXPECT_EQ(EnabledButtons(), "Save, Parameter Help..., Save as..., Defaults, Clear Log, About...");
  for (int i = 1; i <= 3; ++i) {
    tmp.Write("generatedname.txt", std::string(size_t(i), 'm') + ".map\n");
    Wait(400);
  }
  EXPECT_EQ(Log(), (Lines{"green: BATCH STARTED",
                          "black: Starting map generator (1 of 3 in batch)...", "black: Map generator finished",
                          "blue: Created Map File:", "blue bold: m.map",
                          "black: Starting map generator (2 of 3 in batch)...", "black: Map generator finished",
                          "blue: Created Map File:", "blue bold: mm.map",
                          "black: Starting map generator (3 of 3 in batch)...", "black: Map generator finished",
                          "blue: Created Map File:", "blue bold: mmm.map", "green: BATCH COMPLETED"}));
  ASSERT_EQ(launcher.Launches().size(), 3u);
  EXPECT_EQ(launcher.Launches()[0].Argv, (Lines{"tarvik.exe", tmp / "lowlands.tt"}));
  EXPECT_EQ(launcher.Launches()[1].Argv, (Lines{"tarvik.exe", tmp / "lowlands.tt"}));
  EXPECT_EQ(launcher.Launches()[2].Argv, (Lines{"tarvik.exe", tmp / "maps/island chain.tt"}));
  EXPECT_EQ(VarToStr(ValueRow("Map name")->GetProperties()->GetValue()), "Dunes");
  EXPECT_TRUE(form->GetModified());
  EXPECT_FALSE(form->TarvikTimer->GetEnabled());
  EXPECT_TRUE(form->RunBatchButton->GetEnabled());

  // A batch entry that cannot start: both red lines, no box.
  const std::size_t boxes = Boxes().size();
  AnswerMessageBox(win::IDNO);
  launcher.ScriptFailure(win::ERROR_FILE_NOT_FOUND);
  form->RunBatchButtonClick(form->RunBatchButton);
  const Lines log = Log();
  EXPECT_EQ(Lines(log.end() - 3, log.end()),
            (Lines{"green: BATCH STARTED", "red bold: Can't execute tarvik.exe", "red bold: BATCH STOPPED"}));
  EXPECT_EQ(Boxes().size(), boxes + 1) << "only the question";
  EXPECT_TRUE(form->RunBatchButton->GetEnabled());
}

}  // namespace
