// File dialogs: scripted answers checked against the options as a typed
// name would be (default extension, overwrite question through the
// message-box script, folders and files that must exist), the real dialog
// driven from inside its loop with its labels and its drop-down list of
// filters, and the current directory left alone.
#include "platform/forms/DialogControls.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Graphic.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/Screen.h"
#include "platform/forms/StdCtrls.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/win/Focus.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Window.h"
#include "platform/win/WindowData.h"
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

// Saving again under the file's own name: the dialog opens in the file's
// folder, where the name in the field means that file, and not in the
// initial folder, where the same name would make a second file. A file
// whose folder is gone opens the initial folder.
TEST_F(FileDialogs, AFileNameWithItsFolderOpensThatFolder) {
  dir.Write("maps/lake.tt", "old");
  TSaveDialog* d = TerrainDialog();
  d->SetFileName(dir / "maps/lake.tt");
  forms::test::AnswerFileDialog("lake.tt");
  forms::test::AnswerMessageBox(IDYES);
  ASSERT_TRUE(d->Execute());
  EXPECT_EQ(d->GetFileName(), dir / "maps/lake.tt");
  std::vector<forms::test::MessageBoxCall> boxes = forms::test::MessageBoxLog();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Text, dir / "maps/lake.tt" + " already exists.\nDo you want to replace it?");

  d->SetFileName(dir / "gone/lake.tt");
  forms::test::AnswerFileDialog("lake.tt");
  ASSERT_TRUE(d->Execute());
  EXPECT_EQ(d->GetFileName(), dir / "lake.tt");
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
    ASSERT_EQ(lists.size(), 2u);
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

// The name in the field is corrected where it is wrong, not typed anew:
// the arrows, Home and End move the caret, Delete and Backspace take the
// letters beside it, and Ctrl+A selects it all again to type over.
TEST_F(FileDialogs, TheNameIsEditedAtTheCaret) {
  forms::test::UseRealDialogs(true);
  TSaveDialog* d = TerrainDialog();
  const auto keys = [](std::initializer_list<BYTE> vks) {
    for (BYTE vk : vks) win::test::KeyPress(vk);
  };
  d->SetFileName("lowlands.tt");
  win::test::OnNextModalLoop([&] {
    keys({VK_END, VK_LEFT, VK_LEFT, VK_LEFT});
    win::test::TypeText("X");
    keys({VK_HOME, VK_DELETE, VK_RIGHT, VK_BACK, VK_RETURN});
  });
  ASSERT_TRUE(d->Execute());
  EXPECT_EQ(d->GetFileName(), dir / "wlandsX.tt");

  d->SetFileName("lowlands.tt");
  win::test::OnNextModalLoop([&] {
    keys({VK_END, VK_LEFT});
    win::test::KeyDown(VK_CONTROL);
    win::test::KeyPress('A');
    win::test::KeyUp(VK_CONTROL);
    win::test::TypeText("ridge");
    keys({VK_RETURN});
  });
  ASSERT_TRUE(d->Execute());
  EXPECT_EQ(d->GetFileName(), dir / "ridge.tt");
  d->Free();
}

// A person looking for a file types its first letter on the list; the
// letter is not the mnemonic of "&Save", which would save under the name
// still in the field. Alt with the letter still saves, under the name the
// letter chose on the files.
TEST_F(FileDialogs, LettersTypedOnTheListsDoNotPressTheButtons) {
  forms::test::UseRealDialogs(true);
  dir.Write("a.tt", "x");
  dir.Write("saved.tt", "x");
  TSaveDialog* d = TerrainDialog();
  d->SetFilter("Terrain Files|*.tt|Text Files|*.txt");
  d->SetFileName("old.tt");
  std::vector<bool> open;
  bool replaceAsked = false;
  win::test::OnNextModalLoop([&] {
    TCustomForm* form = Screen->GetActiveForm();
    for (Integer i = 0; i < form->GetControlCount(); ++i) {
      auto* field = dynamic_cast<TDialogField*>(form->GetControl(i));
      if (!field || dynamic_cast<TDialogEdit*>(field)) continue;  // the folders, the files, the types
      field->SetFocus();
      win::test::TypeText("s");
      win::test::PumpUntilIdle();
      open.push_back(form->GetModalResult() == mrNone);
      form->SetModalResult(mrNone);
    }
    win::test::OnNextModalLoop([&] {  // the question about replacing it
      replaceAsked = Screen->GetActiveForm()->GetCaption() == "Save Terrain File as";
      win::test::KeyPress('Y');
    });
    win::test::KeyDown(VK_MENU);
    win::test::KeyPress('S');
    win::test::KeyUp(VK_MENU);
  });
  ASSERT_TRUE(d->Execute());
  EXPECT_TRUE(replaceAsked);
  EXPECT_EQ(open, (std::vector<bool>{true, true, true}));
  // The letter on the files chose the file it begins, into the field.
  EXPECT_EQ(d->GetFileName(), dir / "saved.tt");
  d->Free();
}

// A folder of many files is walked from the keys without stepping row by
// row: a letter selects the next file it begins (round to the first), the
// page keys move by what the list shows less one; the wheel scrolls the
// list and leaves the selection where it was.
TEST_F(FileDialogs, ALongListIsWalkedByLettersPagesAndTheWheel) {
  forms::test::UseRealDialogs(true);
  for (int i = 0; i < 300; ++i) dir.Write(Format("f%03d.tt", {i}), "");
  dir.Write("apple.tt", "");
  dir.Write("zeta.tt", "");
  TSaveDialog* d = TerrainDialog();
  std::vector<AnsiString> picked;
  Integer wheeled = -1, clicked = -1, paged = -1;
  win::test::OnNextModalLoop([&] {
    TCustomForm* form = Screen->GetActiveForm();
    TDialogList* files = nullptr;
    for (Integer i = 0; i < form->GetControlCount(); ++i)
      if (auto* l = dynamic_cast<TDialogList*>(form->GetControl(i))) files = l;  // the second list
    ASSERT_TRUE(files);
    files->SetFocus();
    for (const char* letter : {"z", "F", "f", "a"}) {
      win::test::TypeText(letter);
      win::test::PumpUntilIdle();
      picked.push_back(files->Selected());
    }
    win::test::MouseMove(files->GetHandle(), {10, 10});
    win::test::Wheel(-WHEEL_DELTA);  // one notch down: three rows
    win::test::PumpUntilIdle();
    wheeled = files->GetItemIndex();
    win::test::Click(files->GetHandle(), {10, 4});  // the top row shown
    win::test::PumpUntilIdle();
    clicked = files->GetItemIndex();
    win::test::KeyPress(VK_NEXT);
    win::test::PumpUntilIdle();
    paged = files->GetItemIndex();
    win::test::KeyPress(VK_ESCAPE);
  });
  EXPECT_FALSE(d->Execute());
  EXPECT_EQ(picked, (std::vector<AnsiString>{"zeta.tt", "f000.tt", "f001.tt", "apple.tt"}));
  EXPECT_EQ(wheeled, 0) << "the wheel moved the selection";
  EXPECT_EQ(clicked, 3) << "the wheel did not scroll three rows";
  EXPECT_GT(paged - clicked, 5) << "Page Down did not step a page";
  d->Free();
}

// From the keys alone: the arrows choose a folder on the folders' list and
// Enter opens it, as a double click does; a second Enter (nothing chosen
// in the folder now shown, nor lit on its files) saves under the name in
// the field there.
TEST_F(FileDialogs, EnterOnTheFoldersOpensTheFolderChosenThere) {
  forms::test::UseRealDialogs(true);
  dir.Write("a.tt", "x");
  dir.Write("maps/c.tt", "x");
  dir.Write("maps/deep/d.tt", "x");
  dir.Write("maps/more/e.tt", "x");
  TSaveDialog* d = TerrainDialog();
  AnsiString chosen;
  std::vector<Integer> lit;
  TDialogList* folders = nullptr;
  TDialogList* files = nullptr;
  win::test::OnNextModalLoop([&] {
    TCustomForm* form = Screen->GetActiveForm();
    for (Integer i = 0; i < form->GetControlCount(); ++i)
      if (auto* l = dynamic_cast<TDialogList*>(form->GetControl(i))) (folders ? files : folders) = l;
    ASSERT_TRUE(folders && files);
    files->SetFocus();
    win::test::KeyPress(VK_DOWN);  // a.tt, into the name field
    win::test::PumpUntilIdle();
    folders->SetFocus();
    win::test::KeyPress(VK_END);
    win::test::PumpUntilIdle();
    chosen = folders->Selected();
    win::test::KeyPress(VK_RETURN);
    win::test::PumpUntilIdle();
    // Read once the dialog has opened the folder, when the lists show its
    // content.
    win::test::KeyPress(VK_RETURN);
    form->OnCloseQuery = [&](TObject*, bool&) { lit = {folders->GetItemIndex(), files->GetItemIndex()}; };
  });
  ASSERT_TRUE(d->Execute());
  EXPECT_EQ(chosen, "maps");
  EXPECT_EQ(lit, (std::vector<Integer>{-1, -1}));
  EXPECT_EQ(d->GetFileName(), dir / "maps/a.tt");
  d->Free();
}

// The classic dialog's bottom rows: each field with its label on its
// left ("File name:", "Save as type:", or "Files of type:" to open), the
// filters in a drop-down list one row high. A press on it drops the list
// of the filters under it; a click picks one and the files follow. From
// the keys: F4 or Alt with an arrow drops it, the arrows walk it, Enter
// (or F4, or Alt with an arrow) picks, Esc closes just the list.
TEST_F(FileDialogs, NameAndTypeHaveTheirLabelsAndTheFiltersDropDown) {
  forms::test::UseRealDialogs(true);
  dir.Write("a.tt", "x");
  dir.Write("b.txt", "x");
  TSaveDialog* d = TerrainDialog();
  d->SetFilter("Terrain Files|*.tt|Text Files|*.txt");
  struct Parts {
    std::map<AnsiString, TLabel*> labels;
    TDialogEdit* name = nullptr;
    TDialogDropDown* types = nullptr;
    TDialogList* files = nullptr;
  };
  const auto parts = [] {
    Parts p;
    TCustomForm* form = Screen->GetActiveForm();
    for (Integer i = 0; i < form->GetControlCount(); ++i) {
      TControl* c = form->GetControl(i);
      if (auto* l = dynamic_cast<TLabel*>(c)) p.labels[l->GetCaption()] = l;
      if (auto* e = dynamic_cast<TDialogEdit*>(c)) p.name = e;
      if (auto* t = dynamic_cast<TDialogDropDown*>(c)) p.types = t;
      if (auto* l = dynamic_cast<TDialogList*>(c)) p.files = l;  // the second list
    }
    return p;
  };
  // A label stands left of its field, on the field's row.
  const auto beside = [](TLabel* label, TControl* field) {
    return label && label->GetLeft() + label->GetWidth() <= field->GetLeft() && label->GetTop() >= field->GetTop() &&
           label->GetTop() + label->GetHeight() <= field->GetTop() + field->GetHeight();
  };
  std::vector<AnsiString> dropped, files;
  win::test::OnNextModalLoop([&] {
    Parts p = parts();
    ASSERT_TRUE(p.name && p.types && p.files);
    EXPECT_TRUE(beside(p.labels["File name:"], p.name));
    EXPECT_TRUE(beside(p.labels["Save as type:"], p.types));
    EXPECT_EQ(p.types->GetHeight(), 21);
    EXPECT_EQ(p.types->Selected(), "Terrain Files");
    win::test::Click(p.types->GetHandle(), {p.types->GetWidth() - 8, 10});
    win::test::PumpUntilIdle();
    ASSERT_TRUE(p.types->GetDroppedDown());
    TWinControl* list = p.types->GetDropList();
    const TPoint under = p.types->ClientToScreen(TPoint(0, p.types->GetHeight()));
    EXPECT_EQ(list->GetBoundsRect(), Bounds(under.X, under.Y, p.types->GetWidth(), list->GetHeight()));
    EXPECT_EQ(GetActiveWindow(), Screen->GetActiveForm()->GetHandle()) << "the list takes no activation";
    dropped = p.types->Items();
    session.Win().Screen().SavePng(win::detail::Peek(Screen->GetActiveForm()->GetHandle())->surface,
                                   "SaveDialogTypes.png");
    session.Win().Screen().SavePng(win::detail::Peek(list->GetHandle())->surface, "SaveDialogTypesDropped.png");
    win::test::Click(list->GetHandle(), {10, list->GetClientHeight() * 3 / 4});  // the second of two rows
    win::test::PumpUntilIdle();
    EXPECT_FALSE(p.types->GetDroppedDown());
    EXPECT_EQ(p.types->Selected(), "Text Files");
    files = p.files->Items();
    win::test::Click(p.name->GetHandle(), {10, 10});
    win::test::TypeText("notes");
    win::test::KeyPress(VK_RETURN);
  });
  ASSERT_TRUE(d->Execute());
  EXPECT_EQ(dropped, (std::vector<AnsiString>{"Terrain Files", "Text Files"}));
  EXPECT_EQ(files, (std::vector<AnsiString>{"b.txt"}));
  EXPECT_EQ(d->GetFilterIndex(), 2);
  EXPECT_EQ(d->GetFileName(), dir / "notes.tt");

  bool stayed = false;
  Integer picked = -1, pickedByAlt = -1;
  win::test::OnNextModalLoop([&] {
    Parts p = parts();
    p.types->SetFocus();
    const auto key = [](BYTE vk) {
      win::test::KeyPress(vk);
      win::test::PumpUntilIdle();
    };
    key(VK_F4);
    EXPECT_TRUE(p.types->GetDroppedDown());
    key(VK_UP);
    key(VK_RETURN);  // the list's, not the dialog's
    EXPECT_FALSE(p.types->GetDroppedDown());
    picked = p.types->GetItemIndex();
    // Alt with an arrow opens the list and, open, closes it on the row lit.
    const auto alt = [&](BYTE vk) {
      win::test::KeyDown(VK_MENU);
      key(vk);
      win::test::KeyUp(VK_MENU);
    };
    alt(VK_DOWN);
    EXPECT_TRUE(p.types->GetDroppedDown());
    key(VK_DOWN);
    alt(VK_DOWN);
    EXPECT_FALSE(p.types->GetDroppedDown());
    pickedByAlt = p.types->GetItemIndex();
    key(VK_F4);
    key(VK_ESCAPE);
    EXPECT_FALSE(p.types->GetDroppedDown());
    stayed = IsWindowVisible(Screen->GetActiveForm()->GetHandle());
    win::test::KeyPress(VK_ESCAPE);
  });
  EXPECT_FALSE(d->Execute());
  EXPECT_EQ(picked, 0);
  EXPECT_EQ(pickedByAlt, 1);
  EXPECT_TRUE(stayed) << "Enter and Esc for the open list ended the dialog";
  d->Free();

  auto* open = New<TOpenDialog>(Application);
  open->SetFilter("Terrain Files|*.tt");
  bool labelled = false;
  win::test::OnNextModalLoop([&] {
    Parts p = parts();
    labelled = beside(p.labels["File name:"], p.name) && beside(p.labels["Files of type:"], p.types);
    win::test::KeyPress(VK_ESCAPE);
  });
  EXPECT_FALSE(open->Execute());
  EXPECT_TRUE(labelled);
  open->Free();
}

// A dialog the user may size (maximised by a window manager, say) gives
// the room to its lists: the fields widen, the buttons keep to the bottom
// right corner, and it never gets smaller than it opened.
TEST_F(FileDialogs, ASizeableDialogGrowsItsListsAndKeepsItsButtonsInTheCorner) {
  forms::test::UseRealDialogs(true);
  TSaveDialog* d = TerrainDialog();
  d->SetOptions(d->GetOptions() + ofEnableSizing);
  win::test::OnNextModalLoop([&] {
    TCustomForm* form = Screen->GetActiveForm();
    std::vector<TControl*> controls;
    std::vector<TRect> before;
    for (Integer i = 0; i < form->GetControlCount(); ++i) {
      controls.push_back(form->GetControl(i));
      before.push_back(controls.back()->GetBoundsRect());
    }
    const TRect opened = form->GetBoundsRect();
    form->SetBounds(opened.Left, opened.Top, opened.Width() + 200, opened.Height() + 100);
    win::test::PumpUntilIdle();
    int lists = 0, buttons = 0, fields = 0;
    for (std::size_t i = 0; i < controls.size(); ++i) {
      const TRect now = controls[i]->GetBoundsRect(), was = before[i];
      if (dynamic_cast<TDialogList*>(controls[i])) {
        ++lists;
        EXPECT_EQ(now.Height(), was.Height() + 100);
        EXPECT_EQ(now.TopLeft(), was.TopLeft());
      } else if (dynamic_cast<TDialogButton*>(controls[i])) {
        ++buttons;
        EXPECT_EQ(now, TRect(was.Left + 200, was.Top + 100, was.Right + 200, was.Bottom + 100))
            << "a button keeps to the corner";
      } else if (dynamic_cast<TDialogEdit*>(controls[i]) || dynamic_cast<TDialogDropDown*>(controls[i])) {
        ++fields;
        EXPECT_EQ(now, TRect(was.Left, was.Top + 100, was.Right + 200, was.Bottom + 100));
      }
    }
    EXPECT_EQ(lists, 2);
    EXPECT_EQ(buttons, 2);
    EXPECT_EQ(fields, 2);
    form->SetBounds(opened.Left, opened.Top, opened.Width() - 100, opened.Height() - 100);
    EXPECT_EQ(form->GetBoundsRect(), opened) << "smaller than it opened, its fields would overlap";
    win::test::KeyPress(VK_ESCAPE);
  });
  EXPECT_FALSE(d->Execute());
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
