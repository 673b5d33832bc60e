// The window's side of generator runs, with the fake launcher on the fake
// clock: what a run writes first, the poll through the window's timer, the
// buttons while it runs, the batch from the counters and the coloured log
// as the rich edit holds it.
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

TEST_F(WindowRuns, RunCurrentValuesWritesTheTypedValueAndTheTimerReportsTheMap) {
  PickFile("maps/alpine.tt");
  TypeInto("Map width", "200");  // still in the editor
  launcher.ScriptRun(0, 1000);
  form->RunCurrentValuesButton->SetFocus();
  form->RunCurrentValuesButtonClick(form->RunCurrentValuesButton);
  ASSERT_EQ(launcher.Launches().size(), 1u);
  EXPECT_EQ(launcher.Launches()[0].CommandLine, "tarvik.exe terrain_temp_.txt");
  EXPECT_EQ(tmp.Read("terrain_temp_.txt"),
            "width = 200;\r\nroughness = 0.75;\r\nclimate = 0;\r\nseason = 5;\r\nname = Alpine;\r\n"
            "height = 96;\r\nsealevel = 35;\r\nislands = 0;\r\nseed = 12345;\r\na=b = c;\r\n");
  EXPECT_EQ(tmp.Read("maps/alpine.tt").find("200"), std::string::npos) << "the file itself is not written";
  EXPECT_TRUE(form->TarvikTimer->GetEnabled());
  EXPECT_EQ(EnabledButtons(), "Save, Parameter Help..., Save as..., Defaults, Clear Log, About...");

  // Nothing happens while it runs: a second click starts nothing.
  form->RunCurrentValuesButtonClick(form->RunCurrentValuesButton);
  form->RunBatchButtonClick(form->RunBatchButton);
  Wait(600);
  EXPECT_EQ(Log(), (Lines{"black: Starting map generator..."}));
  tmp.Write("generatedname.txt", "alpine-1.map\n");
  Wait(600);
  EXPECT_EQ(Log(), (Lines{"black: Starting map generator...", "black: Map generator finished",
                          "blue: Created Map File:", "blue bold: alpine-1.map"}));
  EXPECT_EQ(launcher.Launches().size(), 1u);
  EXPECT_FALSE(form->TarvikTimer->GetEnabled());
  EXPECT_FALSE(std::filesystem::exists(tmp / "terrain_temp_.txt"));
  EXPECT_EQ(EnabledButtons(), "Run Batch, Save, Run Current Values, Parameter Help..., Save as..., Defaults, Clear Log, About...");

  // A generator that cannot start: the red bold line and the box.
  launcher.ScriptFailure(win::ERROR_FILE_NOT_FOUND);
  AnswerMessageBox(win::IDOK);
  form->RunCurrentValuesButtonClick(form->RunCurrentValuesButton);
  EXPECT_EQ(Log().back(), "red bold: Can't execute tarvik.exe");
  EXPECT_EQ(Boxes(), (Lines{"Can't find TARVIK: Can't execute the map generator."}));
  EXPECT_EQ(forms::test::MessageBoxLog()[0].Flags, win::MB_OK | win::MB_ICONERROR);

  form->ClearLogButtonClick(form->ClearLogButton);
  EXPECT_TRUE(Log().empty());
  EXPECT_EQ(form->LogWindow->GetTextLen(), 0);
}

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
