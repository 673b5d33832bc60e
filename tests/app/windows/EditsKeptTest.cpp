// No edit is ever lost: picking another file, typing into a batch counter,
// a file that cannot be read, Save as, Defaults, saving without a file and
// closing the window each keep what the user typed, or write it where the
// user said.
#include "MainFormSession.h"

using namespace app_test;
using forms::test::AnswerFileDialog;
using forms::test::AnswerMessageBox;
using forms::test::CancelFileDialog;

namespace {

const std::string kAskBeforeLoad =
    "Save current file?: Do you want to save the current values before loading another file?";

class EditsKept : public MainFormSession {
 protected:
  void SetUp() override {
    CopyExamples();
    Start();
  }
  std::string Value(const std::string& caption) { return VarToStr(ValueRow(caption)->GetProperties()->GetValue()); }
  TcxEditorRow* FocusedFile() { return dynamic_cast<TcxEditorRow*>(form->cxVGTerrainFiles->GetFocusedRow()); }
};

TEST_F(EditsKept, PickingAnotherFileAsksFirstAndTypingIntoACounterReloadsNothing) {
  PickFile("maps/alpine.tt");
  const std::string alpine = tmp.Read("maps/alpine.tt");
  TypeInto("Map width", "300");
  form->cxVGTerrainValues->HideEdit();
  ASSERT_TRUE(form->GetModified());
  EXPECT_TRUE(form->SaveValuesButton->GetEnabled());

  // Keys typed into the focused file's batch counter reach the file grid's
  // key handler; the file shown stays as it is.
  TcxEditorRow* alpineRow = FileRow("maps/alpine.tt");
  form->cxVGTerrainFiles->SetFocus();
  form->cxVGTerrainFiles->SetFocusedRow(alpineRow);
  form->cxVGTerrainFiles->ShowEdit();
  win::test::TypeText("2");
  Pump();
  Word key = '2';
  form->cxVGTerrainFilesKeyUp(form->cxVGTerrainFiles, key, {});
  form->cxVGTerrainFiles->HideEdit();
  Pump();
  EXPECT_EQ(Value("Map width"), "300");
  EXPECT_TRUE(form->GetModified()) << "a counter is no edit of the values, and the edit is still there";
  EXPECT_EQ(alpineRow->GetProperties()->GetValue(), Variant(2));
  EXPECT_TRUE(Boxes().empty());

  // Cancel keeps everything, the focus back on the file shown.
  AnswerMessageBox(win::IDCANCEL);
  PickFile("lowlands.tt");
  EXPECT_EQ(Boxes(), (std::vector<std::string>{kAskBeforeLoad}));
  EXPECT_EQ(forms::test::MessageBoxLog()[0].Flags, win::MB_YESNOCANCEL | win::MB_ICONQUESTION);
  EXPECT_EQ(form->GetCurrentFile(), tmp / "maps/alpine.tt");
  EXPECT_EQ(FocusedFile(), alpineRow);
  EXPECT_EQ(Value("Map width"), "300");

  // Yes saves to the current file and loads only then.
  AnswerMessageBox(win::IDYES);
  PickFile("lowlands.tt");
  EXPECT_NE(tmp.Read("maps/alpine.tt").find("width = 300;\r\n"), std::string::npos);
  EXPECT_EQ(form->GetCurrentFile(), tmp / "lowlands.tt");
  EXPECT_EQ(Value("Map width"), "192");
  EXPECT_FALSE(form->GetModified());

  // No loads without writing.
  const std::string lowlands = tmp.Read("lowlands.tt");
  TypeInto("Map name", "Fens");
  form->cxVGTerrainValues->HideEdit();
  AnswerMessageBox(win::IDNO);
  PickFile("maps/deep/desert.tt");
  EXPECT_EQ(tmp.Read("lowlands.tt"), lowlands);
  EXPECT_EQ(Value("Map name"), "Desert");
  EXPECT_EQ(Boxes().size(), 3u);
  (void)alpine;
}

TEST_F(EditsKept, AFileThatCannotBeReadChangesNothing) {
  PickFile("maps/deep/desert.tt");
  TypeInto("Map height", "72");
  form->cxVGTerrainValues->HideEdit();
  const std::string outline = ValueOutline();
  std::filesystem::remove(tmp / "maps/island chain.tt");  // gone since the scan

  AnswerMessageBox(win::IDNO);
  AnswerMessageBox(win::IDOK);
  PickFile("maps/island chain.tt");
  EXPECT_EQ(Boxes(), (std::vector<std::string>{kAskBeforeLoad, "File Open Error: Can't open terrain file\n" +
                                                                   (tmp / "maps/island chain.tt") +
                                                                   "\n\nNo such file or directory"}));
  EXPECT_EQ(form->GetCurrentFile(), tmp / "maps/deep/desert.tt");
  EXPECT_EQ(form->CurrentFileLabel->GetCaption(), tmp / "maps/deep/desert.tt");
  EXPECT_EQ(ValueOutline(), outline);
  EXPECT_TRUE(form->GetModified());
  EXPECT_EQ(FocusedFile(), FileRow("maps/deep/desert.tt"));
  EXPECT_TRUE(form->SaveValuesButton->GetEnabled());

  // Save writes the file the rows came from, and nothing appears under the
  // missing name.
  form->SaveValuesButtonClick(form->SaveValuesButton);
  EXPECT_NE(tmp.Read("maps/deep/desert.tt").find("height = 72;\r\n"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(tmp / "maps/island chain.tt"));
  EXPECT_FALSE(form->GetModified());
}

// Beside the examples a file whose name 1252 cannot write, listed as
// "odd?.tt", and one really named so.
class EditsKeptBesideAnOddName : public EditsKept {
 protected:
  void SetUp() override {
    CopyExamples();
    tmp.Write("odd\xD0\x96.tt", "width = 111;");
    tmp.Write("odd?.tt", "width = 222;");
    Start();
  }
  // The rows listed as "odd?.tt": the one that reaches a file, then the other.
  std::vector<TcxEditorRow*> OddRows() {
    std::vector<TcxEditorRow*> found;
    TcxVerticalGridRows* rows = form->cxVGTerrainFiles->GetRows();
    for (Integer i = 0; i < rows->GetCount(); ++i)
      if (auto* row = dynamic_cast<TcxEditorRow*>(rows->GetRow(i)))
        if (row->GetProperties()->Hint == tmp / "odd?.tt") found.push_back(row);
    return found;
  }
  void Pick(TcxEditorRow* row) {
    form->cxVGTerrainFiles->SetFocusedRow(row);
    form->cxVGTerrainFilesClick(form->cxVGTerrainFiles);
    Pump();
  }
};

// The row of the name 1252 cannot write fails to open as a missing file
// does, though a file really named as it is listed stands beside it; that
// one opens from its own row. Nothing is shown or saved from the other.
TEST_F(EditsKeptBesideAnOddName, AFileListedWithAQuestionMarkOpensAsNoneEvenBesideOneReallyNamedSo) {
  const std::vector<TcxEditorRow*> odd = OddRows();
  ASSERT_EQ(odd.size(), 2u);
  PickFile("lowlands.tt");
  const std::string outline = ValueOutline();

  AnswerMessageBox(win::IDOK);
  Pick(odd[1]);
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"File Open Error: Can't open terrain file\n" + (tmp / "odd?.tt") +
                                               "\n\nNo such file or directory"}));
  EXPECT_EQ(form->GetCurrentFile(), tmp / "lowlands.tt");
  EXPECT_EQ(ValueOutline(), outline);
  EXPECT_EQ(FocusedFile(), FileRow("lowlands.tt"));

  Pick(odd[0]);
  EXPECT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(form->GetCurrentFile(), tmp / "odd?.tt");
  EXPECT_EQ(Value("Map width"), "222");
  EXPECT_EQ(FocusedFile(), odd[0]);
}

TEST_F(EditsKept, SaveAsWritesWhatTheOpenEditorHoldsAndKeepsTheCounters) {
  FileRow("lowlands.tt")->GetProperties()->SetValue(3);
  FileRow("maps/deep/desert.tt")->GetProperties()->SetValue(1);

  // Defaults without a file asks nothing and lists every parameter.
  form->DefaultsButtonClick(form->DefaultsButton);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(ValueOutline(),
            "Ok Values\n  Map width = 128\n  Map height = 96\n  Roughness = 0.5\n  Sea level = 35\n  Islands = 0\n"
            "  Climate = 1\n  Season = Spring\n  Map name = Untitled\n");

  // Typed and not yet posted: Defaults asks now, and No keeps it.
  TypeInto("Map name", "Lake");
  AnswerMessageBox(win::IDNO);
  form->DefaultsButtonClick(form->DefaultsButton);
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"Are you sure?: Do you want to set all values to their defaults?"}));
  EXPECT_EQ(Value("Map name"), "Lake");
  TypeInto("Map name", "Lagoon");  // typed again, the editor left open

  // Save as with the editor still open: the dialog starts in the start
  // directory with no name, and the file holds the typed value.
  AnswerFileDialog(tmp / "maps/lake");
  form->SaveAsButton->SetFocus();  // a click moves the focus first
  form->SaveAsButtonClick(form->SaveAsButton);
  ASSERT_EQ(forms::test::FileDialogLog().size(), 1u);
  const forms::test::FileDialogCall call = forms::test::FileDialogLog()[0];
  EXPECT_EQ(call.Title, "Save Terrain File as");
  EXPECT_EQ(call.InitialDir, tmp.Path());
  EXPECT_EQ(call.FileName, "");
  EXPECT_EQ(call.DefaultExt, "tt");
  EXPECT_EQ(tmp.Read("maps/lake.tt"),
            "width = 128;\r\nheight = 96;\r\nroughness = 0.5;\r\nsealevel = 35;\r\nislands = 0;\r\nclimate = 1;\r\n"
            "season = 2;\r\nname = Lagoon;\r\n");
  EXPECT_EQ(form->GetCurrentFile(), tmp / "maps/lake.tt");
  EXPECT_FALSE(form->GetModified());

  // The tree was read again: the new file is listed and focused, and every
  // counter kept its value.
  ASSERT_NE(FileRow("maps/lake.tt"), nullptr);
  EXPECT_EQ(FocusedFile(), FileRow("maps/lake.tt"));
  EXPECT_EQ(FileRow("lowlands.tt")->GetProperties()->GetValue(), Variant(3));
  EXPECT_EQ(FileRow("maps/deep/desert.tt")->GetProperties()->GetValue(), Variant(1));
  EXPECT_EQ(FileRow("maps/alpine.tt")->GetProperties()->GetValue(), Variant(0));
}

TEST_F(EditsKept, ValuesThatDoNotConvertShowTheirDefaultsAndReachTheFileOnlyByTheUsersSave) {
  tmp.Write("odd.tt", "width = wide;\nseason = 9;\nname = Odd;\n");
  // Read the tree again so the new file is listed: Save as does that.
  AnswerFileDialog(tmp / "first.tt");
  form->DefaultsButtonClick(form->DefaultsButton);
  form->SaveAsButtonClick(form->SaveAsButton);
  ASSERT_NE(FileRow("odd.tt"), nullptr);

  AnswerMessageBox(win::IDOK);
  PickFile("odd.tt");
  EXPECT_EQ(Boxes().back(), "Terrain File Value Error: These values of " + (tmp / "odd.tt") +
                                " are not valid and show their defaults:\nwidth = wide");
  EXPECT_EQ(Value("Map width"), "128");
  EXPECT_EQ(Value("Season"), "9") << "a list value outside the items shows as it stands";
  EXPECT_TRUE(form->GetModified());
  EXPECT_TRUE(form->SaveValuesButton->GetEnabled());
  EXPECT_EQ(tmp.Read("odd.tt"), "width = wide;\nseason = 9;\nname = Odd;\n") << "nothing written behind the user";
  form->SaveValuesButtonClick(form->SaveValuesButton);
  EXPECT_EQ(tmp.Read("odd.tt"),
            "width = 128;\r\nseason = 9;\r\nname = Odd;\r\nheight = 96;\r\nroughness = 0.5;\r\nsealevel = 35;\r\n"
            "islands = 0;\r\nclimate = 1;\r\n");
}

// Drop-down rows hold captions, and here a caption stands for more than
// one number: "Mid" twice, and a size of 128 outside the items that reads
// like the caption "128".
class EditsKeptInDropDowns : public EditsKept {
 protected:
  void SetUp() override {
    CopyExamples();
    tmp.Write("tarvikwin.tdf",
              "width;Map width;I;16;512;128;h;d;\n"
              "size;Size;L;0;4;2;h;d;64;128;256;512;1024;\n"
              "level;Level;L;1;6;1;h;d;Low;Mid;High;Mid;Top;Peak;\n");
    tmp.Write("sizes.tt", "width = 20;\nsize = 128;\nlevel = 4;\n");
    Start();
  }
  void SaveTyped(const std::string& caption, const std::string& text) {
    TypeInto(caption, text);
    form->cxVGTerrainValues->HideEdit();
    form->SaveValuesButtonClick(form->SaveValuesButton);
  }
};

// A save for another row leaves them as the file held them; a caption the
// user picks, even the one shown before, is its item's number.
TEST_F(EditsKeptInDropDowns, ARowLeftAsTheFileSetItKeepsItsNumberAndAPickedCaptionIsItsItem) {
  PickFile("sizes.tt");
  EXPECT_EQ(Value("Size") + "|" + Value("Level"), "128|Mid");
  SaveTyped("Map width", "30");
  EXPECT_EQ(tmp.Read("sizes.tt"), "width = 30;\r\nsize = 128;\r\nlevel = 4;\r\n");
  SaveTyped("Size", "512");
  EXPECT_EQ(tmp.Read("sizes.tt"), "width = 30;\r\nsize = 3;\r\nlevel = 4;\r\n");
  SaveTyped("Size", "128");
  EXPECT_EQ(tmp.Read("sizes.tt"), "width = 30;\r\nsize = 1;\r\nlevel = 4;\r\n");
  EXPECT_TRUE(Boxes().empty());
}

// A click on another file's batch counter asks once: Cancel leaves the
// focus on the file shown, and the key that answered the box asks nothing
// more. (The end of the click used to open that counter again, so the
// question came back with the next key.)
TEST_F(EditsKept, CancelOnAClickedCounterOfAnotherFileAsksOnce) {
  PickFile("maps/alpine.tt");
  TypeInto("Map width", "300");
  form->cxVGTerrainValues->HideEdit();
  TcxCustomRowViewInfo* placed = form->cxVGTerrainFiles->GetVGViewInfo()->GetRowViewInfo(FileRow("lowlands.tt"));
  ASSERT_NE(placed, nullptr);
  AnswerMessageBox(win::IDCANCEL);
  win::test::Click(form->cxVGTerrainFiles->GetHandle(), cxRectCenter(placed->ValuesRect));
  Pump();
  win::test::KeyPress(win::VK_ESCAPE);
  Pump();
  EXPECT_EQ(Boxes(), (std::vector<std::string>{kAskBeforeLoad}));
  EXPECT_EQ(FocusedFile(), FileRow("maps/alpine.tt"));
  EXPECT_FALSE(form->cxVGTerrainFiles->IsEditing());
  EXPECT_EQ(Value("Map width"), "300");
}

TEST_F(EditsKept, ClosingAsksAndOnlyASucceededSaveLetsTheWindowGo) {
  bool canClose = true;
  form->FormCloseQuery(form, canClose);
  EXPECT_TRUE(canClose) << "nothing edited: no question";

  form->DefaultsButtonClick(form->DefaultsButton);
  TypeInto("Map name", "Bay; north");
  const auto ask = [&](int answer) {
    AnswerMessageBox(answer);
    canClose = true;
    form->FormCloseQuery(form, canClose);
    return canClose;
  };
  EXPECT_FALSE(ask(win::IDCANCEL));
  EXPECT_EQ(Boxes().back(), "Save current file?: Do you want to save the current file before exiting?");
  // Yes without a file: the save dialog; cancelled, the window stays.
  CancelFileDialog();
  EXPECT_FALSE(ask(win::IDYES));
  // A value the file cannot hold stops the save, and the window stays.
  AnswerFileDialog(tmp / "kept.tt");
  AnswerMessageBox(win::IDYES);
  AnswerMessageBox(win::IDOK);
  canClose = true;
  form->FormCloseQuery(form, canClose);
  EXPECT_FALSE(canClose);
  EXPECT_EQ(Boxes().back(), "File Write Error: Could not write file:\n" + (tmp / "kept.tt") +
                                "\n\nThe value of 'Map name' contains ';', '=' or a line break.");
  EXPECT_FALSE(std::filesystem::exists(tmp / "kept.tt"));
  EXPECT_EQ(Value("Map name"), "Bay; north") << "the value stays for the user to mend";
  EXPECT_TRUE(form->GetModified());
  // Saved: the window may go, with the typed value in the file.
  TypeInto("Map name", "Bay");
  AnswerFileDialog(tmp / "kept.tt");
  EXPECT_TRUE(ask(win::IDYES));
  EXPECT_NE(tmp.Read("kept.tt").find("name = Bay;\r\n"), std::string::npos);
  // No closes without writing.
  TypeInto("Map name", "Cove");
  EXPECT_TRUE(ask(win::IDNO));
  EXPECT_NE(tmp.Read("kept.tt").find("name = Bay;\r\n"), std::string::npos);
}

}  // namespace
