// File dialogs: scripted answers checked against the options as a typed
// name would be (default extension, overwrite question through the
// message-box script, folders and files that must exist), the real dialog
// driven from inside its loop, and the current directory left alone.
#include "platform/forms/DialogControls.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Graphic.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/Screen.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/win/Keyboard.h"
#include "ControlLog.h"
#include "support/TempDir.h"

using namespace forms_test;

namespace {

class FileDialogs : public ::testing::Test {
 protected:
  forms::test::Session session;
  TempDir dir;
  AnsiString cwd;
  void SetUp() override { cwd = GetCurrentDir(); }
  void TearDown() override { EXPECT_EQ(GetCurrentDir(), cwd) << "a file dialog changed the current directory"; }

  TSaveDialog* TerrainDialog() {
    auto* d = New<TSaveDialog>(Application);
    d->SetTitle("Save Terrain File as");
    d->SetFilter("Terrain Files|*.tt");
    d->SetDefaultExt("tt");
    d->SetInitialDir(dir.Path());
    d->SetOptions(d->GetOptions() + ofOverwritePrompt + ofNoChangeDir);
    return d;
  }
};

TEST_F(FileDialogs, SaveAddsTheDefaultExtensionAndLogsWhatItWasAsked) {
  TSaveDialog* d = TerrainDialog();
  forms::test::AnswerFileDialog("ridge");
  ASSERT_TRUE(d->Execute());
  EXPECT_EQ(d->GetFileName(), dir / "ridge.tt");
  ASSERT_EQ(d->GetFiles()->GetCount(), 1);
  std::vector<forms::test::FileDialogCall> log = forms::test::FileDialogLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_TRUE(log[0].Save);
  EXPECT_EQ(log[0].Title, "Save Terrain File as");
  EXPECT_EQ(log[0].Filter, "Terrain Files|*.tt");
  EXPECT_EQ(log[0].InitialDir, dir.Path());
  EXPECT_EQ(log[0].FileName, "");
  EXPECT_TRUE(TOpenOptions::FromBits(static_cast<std::uint64_t>(log[0].Options)).Contains(ofOverwritePrompt));

  // A name with an extension keeps it; an absolute path ignores the folder.
  forms::test::AnswerFileDialog(dir / "peak.dat");
  ASSERT_TRUE(d->Execute());
  EXPECT_EQ(d->GetFileName(), dir / "peak.dat");
  EXPECT_EQ(forms::test::FileDialogLog().back().FileName, dir / "ridge.tt");  // the previous choice

  // Cancelled: false, and the file name stays.
  forms::test::CancelFileDialog();
  EXPECT_FALSE(d->Execute());
  EXPECT_EQ(d->GetFileName(), dir / "peak.dat");
  d->Free();
}

TEST_F(FileDialogs, ReplacingAFileIsAskedThroughTheMessageBoxScript) {
  dir.Write("ridge.tt", "old");
  TSaveDialog* d = TerrainDialog();
  forms::test::AnswerFileDialog("ridge");
  forms::test::AnswerMessageBox(IDNO);  // keep the old file: the dialog stays
  forms::test::AnswerFileDialog("valley");
  ASSERT_TRUE(d->Execute());
  EXPECT_EQ(d->GetFileName(), dir / "valley.tt");
  std::vector<forms::test::MessageBoxCall> boxes = forms::test::MessageBoxLog();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Text, dir / "ridge.tt" + " already exists.\nDo you want to replace it?");
  EXPECT_EQ(boxes[0].Caption, "Save Terrain File as");
  EXPECT_EQ(boxes[0].Flags, MB_YESNO | MB_ICONWARNING);

  forms::test::AnswerFileDialog("ridge");
  forms::test::AnswerMessageBox(IDYES);
  ASSERT_TRUE(d->Execute());
  EXPECT_EQ(d->GetFileName(), dir / "ridge.tt");
  d->Free();
}

TEST_F(FileDialogs, FoldersAndFilesThatMustExistAreChecked) {
  dir.Write("filters/a.flt", "x");
  auto* open = New<TOpenDialog>(Application);
  open->SetFilter("Filters (*.flt)|*.flt");
  open->SetInitialDir(dir / "filters");
  open->SetOptions(TOpenOptions{ofFileMustExist, ofPathMustExist});
  forms::test::AnswerFileDialog("missing.flt");
  forms::test::AnswerMessageBox(IDOK);
  forms::test::AnswerFileDialog("nowhere/a.flt");
  forms::test::AnswerMessageBox(IDOK);
  forms::test::AnswerFileDialog("a.flt");
  ASSERT_TRUE(open->Execute());
  EXPECT_EQ(open->GetFileName(), dir / "filters/a.flt");
  std::vector<forms::test::MessageBoxCall> boxes = forms::test::MessageBoxLog();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_NE(boxes[0].Text.find("File not found"), AnsiString::npos);
  EXPECT_NE(boxes[1].Text.find("folder does not exist"), AnsiString::npos);
  // Unscripted: the test fails instead of waiting.
  EXPECT_THROW(open->Execute(), EInvalidOperation);
  open->Free();
}

TEST_F(FileDialogs, RealDialogListsTheFilteredFilesAndTakesATypedName) {
  forms::test::UseRealDialogs(true);
  dir.Write("a.tt", "x");
  dir.Write("b.txt", "x");
  dir.Write("maps/c.tt", "x");
  TSaveDialog* d = TerrainDialog();
  std::vector<AnsiString> files, folders;
  win::test::OnNextModalLoop([&] {
    TCustomForm* form = Screen->GetActiveForm();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->GetCaption(), "Save Terrain File as");
    std::vector<TDialogList*> lists;
    for (Integer i = 0; i < form->GetControlCount(); ++i)
      if (auto* l = dynamic_cast<TDialogList*>(form->GetControl(i))) lists.push_back(l);
    ASSERT_EQ(lists.size(), 3u);
    folders = lists[0]->Items();
    files = lists[1]->Items();
    win::test::TypeText("ridge");
    win::test::KeyPress(VK_RETURN);
  });
  ASSERT_TRUE(d->Execute());
  EXPECT_EQ(d->GetFileName(), dir / "ridge.tt");
  EXPECT_EQ(files, (std::vector<AnsiString>{"a.tt"}));
  EXPECT_EQ(folders, (std::vector<AnsiString>{"..", "maps"}));

  // Typing a folder's name opens it; Esc cancels.
  win::test::OnNextModalLoop([&] {
    win::test::TypeText("maps");
    win::test::KeyPress(VK_RETURN);
    win::test::PumpUntilIdle();
    win::test::TypeText("deep");
    win::test::KeyPress(VK_RETURN);
  });
  ASSERT_TRUE(d->Execute());
  EXPECT_EQ(d->GetFileName(), dir / "maps/deep.tt");
  win::test::OnNextModalLoop([] { win::test::KeyPress(VK_ESCAPE); });
  EXPECT_FALSE(d->Execute());
  d->Free();
}

TEST_F(FileDialogs, PictureDialogsOfferTheRegisteredPictureFormats) {
  auto* open = New<TOpenPictureDialog>(Application);
  EXPECT_EQ(open->GetFilter(), TPicture::GraphicFilter(TGraphic::StaticClass()));
  EXPECT_NE(open->GetFilter().find("*.bmp"), AnsiString::npos);
  dir.Write("p.bmp", "x");
  forms::test::AnswerFileDialog(dir / "p.bmp");
  EXPECT_TRUE(open->Execute());
  open->Free();
  auto* save = New<TSavePictureDialog>(Application);
  EXPECT_EQ(save->GetFilter(), TPicture::GraphicFilter(TGraphic::StaticClass()));
  save->Free();
}

TEST(FileDialogFilters, FilterTextSplitsIntoPairs) {
  auto pairs = ParseFilter("Terrain Files|*.tt|All|*.tt;*.dat");
  ASSERT_EQ(pairs.size(), 2u);
  EXPECT_EQ(pairs[0], (std::pair<AnsiString, AnsiString>{"Terrain Files", "*.tt"}));
  EXPECT_EQ(pairs[1].second, "*.tt;*.dat");
  EXPECT_TRUE(ParseFilter("").empty());
  EXPECT_TRUE(ParseFilter("dangling").empty());
}

}  // namespace
