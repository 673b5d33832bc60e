// The image editor as a person uses it on a form: the clipboard keys, the
// context menu by mouse and keyboard with each item's enabled rule, Load
// and Save As through the file dialogs, and a large picture scrolled with
// the editor's bars.
#include <gtest/gtest.h>

#include <fstream>

#include "ConcreteEditorSession.h"
#include "PictureSamples.h"
#include "platform/forms/Clipbrd.h"
#include "platform/forms/TestHooks.h"
#include "platform/win/Keyboard.h"
#include "support/TempDir.h"

using namespace win;
using namespace picture_test;
namespace ft = forms::test;

namespace {

class ImageEditor : public edit_test::ConcreteEditorTest {
 protected:
  TcxImage* MakeImage(const Sample& ASample) {
    auto* edit = Make<TcxImage>({10, 10, 150, 110});
    edit->GetProperties()->SetGraphicClass(ASample.Class);
    edit->SetEditValue(Variant(AnsiString(ASample.Bytes)));
    edit->GetProperties()->OnChange = [this](TObject*) { log.push_back("change"); };
    return edit;
  }
  // The enabled menu items as the last showing left them, "-" for a
  // visible line.
  static std::string Enabled(TcxImage* AEdit) {
    std::string result;
    TMenuItem* root = AEdit->GetEditPopupMenu()->GetItems();
    for (Integer i = 0; i < root->GetCount(); ++i) {
      TMenuItem* item = root->GetItems(i);
      if (!item->GetVisible()) continue;
      if (!result.empty()) result += ",";
      result += item->IsLine() ? "-" : std::string(StripHotkey(item->GetCaption())) + (item->GetEnabled() ? "" : "(off)");
    }
    return result;
  }
  static void RightClick(TWinControl* AControl, TPoint P) {
    test::Click(AControl->GetHandle(), {P.X, P.Y}, VK_RBUTTON);
    Pump();
  }
};

TEST_F(ImageEditor, ClipboardKeysCutCopyAndPasteThePicture) {
  const Sample bmp = Samples()[1];
  TcxImage* edit = MakeImage(bmp);
  Show();
  Focus(edit);
  const std::vector<TColor> picture = Drawn(edit->GetPicture());
  ASSERT_FALSE(picture.empty());

  Chord(VK_CONTROL, 'X');
  EXPECT_TRUE(IsPictureEmpty(edit->GetPicture()));
  EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
  EXPECT_TRUE(edit->GetModifiedAfterEnter());
  Chord(VK_CONTROL, 'V');
  EXPECT_EQ(Drawn(edit->GetPicture()), picture);
  Chord(VK_SHIFT, VK_DELETE);
  EXPECT_TRUE(IsPictureEmpty(edit->GetPicture()));
  Chord(VK_SHIFT, VK_INSERT);
  EXPECT_EQ(Drawn(edit->GetPicture()), picture);
  Clipboard()->Clear();
  Chord(VK_CONTROL, VK_INSERT);
  EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
  edit->SetEditValue(Null());
  Chord(VK_CONTROL, 'C');
  Chord(VK_CONTROL, 'V');
  EXPECT_EQ(Drawn(edit->GetPicture()), picture);
  EXPECT_EQ(log, (edit_test::Log{"change", "change", "change", "change", "change"}));

  // A JPEG editor compresses what it pastes: its value is JPEG data.
  edit->GetProperties()->SetGraphicClass(TJPEGImage::StaticClass());
  edit->SetEditValue(Null());
  Chord(VK_CONTROL, 'V');
  ASSERT_TRUE(dynamic_cast<TJPEGImage*>(edit->GetPicture()->GetGraphic()));
  EXPECT_EQ(VarToStr(edit->GetEditValue()).substr(0, 2), "\xFF\xD8");

  // Without a class, pasting asks for any picture format.
  edit->GetProperties()->SetGraphicClassName("");
  EXPECT_TRUE(edit->CanPasteFromClipboard());
  Clipboard()->Clear();
  edit_test::SetClipboardText("no picture");
  EXPECT_FALSE(edit->CanPasteFromClipboard());
  Chord(VK_SHIFT, VK_INSERT);
  EXPECT_TRUE(dynamic_cast<TJPEGImage*>(edit->GetPicture()->GetGraphic())) << "nothing pasted, nothing lost";
}

TEST_F(ImageEditor, ContextMenuItemsFollowThePictureAndItsClass) {
  const std::vector<Sample> samples = Samples();
  TcxImage* edit = MakeImage(samples[1]);
  Show();
  Focus(edit);
  Clipboard()->Clear();

  ft::DismissMenu();
  RightClick(edit, {30, 40});
  std::vector<ft::PopupMenuCall> calls = ft::PopupMenuLog();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].Pos, edit->ClientToScreen(TPoint(30, 40)));
  EXPECT_EQ(calls[0].Items, (std::vector<AnsiString>{"Cut", "Copy", "Paste", "Delete", "-", "Load...", "Save As..."}));
  std::vector<AnsiString> captions;
  for (Integer i = 0; i < 7; ++i) captions.push_back(edit->GetEditPopupMenu()->GetItems()->GetItems(i)->GetCaption());
  EXPECT_EQ(captions, (std::vector<AnsiString>{"Cu&t", "&Copy", "&Paste", "&Delete", "-", "&Load...", "Save &As..."}));
  EXPECT_EQ(Enabled(edit), "Cut,Copy,Paste(off),Delete,-,Load...,Save As...");

  // From the keyboard the menu shows at (10, 10); Delete empties.
  ft::PickMenuItem("&Delete");
  Press(VK_APPS);
  EXPECT_EQ(ft::PopupMenuLog().back().Pos, edit->ClientToScreen(TPoint(10, 10)));
  EXPECT_TRUE(IsPictureEmpty(edit->GetPicture()));
  ft::DismissMenu();
  RightClick(edit, {30, 40});
  EXPECT_EQ(Enabled(edit), "Cut(off),Copy(off),Paste(off),Delete(off),-,Load...,Save As...(off)");

  // An icon can go neither to the clipboard nor come from it; Shift+Delete
  // keeps it rather than losing it.
  edit->GetProperties()->SetGraphicClass(TIcon::StaticClass());
  edit->SetEditValue(Variant(AnsiString(samples[2].Bytes)));
  TOwned<TPicture> bitmap(New<TPicture>());
  LoadPicture(bitmap.get(), TBitmap::StaticClass(), Variant(AnsiString(samples[1].Bytes)));
  Clipboard()->Assign(bitmap.get());
  ft::DismissMenu();
  RightClick(edit, {30, 40});
  EXPECT_EQ(Enabled(edit), "Cut(off),Copy(off),Paste(off),Delete,-,Load...,Save As...");
  Chord(VK_SHIFT, VK_DELETE);
  Chord(VK_CONTROL, 'V');
  EXPECT_TRUE(dynamic_cast<TIcon*>(edit->GetPicture()->GetGraphic()));

  // Read-only: nothing that changes the picture; the custom item always.
  edit->GetProperties()->SetReadOnly(true);
  edit->GetProperties()->GetPopupMenuLayout()->SetMenuItems({pmiCopy, pmiSave, pmiCustom});
  edit->GetProperties()->GetPopupMenuLayout()->SetCustomMenuItemCaption("Info");
  edit->GetProperties()->OnCustomClick = [this](TObject*) { log.push_back("custom"); };
  ft::PickMenuItem("Info");
  RightClick(edit, {30, 40});
  EXPECT_EQ(Enabled(edit), "Copy(off),-,Save As...,-,Info");
  EXPECT_EQ(log, (edit_test::Log{"change", "custom"}));

  // No items: the editor's menu stays away.
  edit->GetProperties()->GetPopupMenuLayout()->SetMenuItems({});
  const std::size_t shown = ft::PopupMenuLog().size();
  RightClick(edit, {30, 40});
  EXPECT_EQ(ft::PopupMenuLog().size(), shown);
}

TEST_F(ImageEditor, LoadAndSaveGoThroughTheDialogsAndARefusalChangesNothing) {
  TempDir dir;
  const std::vector<Sample> samples = Samples();
  TcxImage* edit = MakeImage(samples[1]);
  std::vector<TcxEditCloseUpReason> closes;
  edit->GetProperties()->OnClosePopup = [&](TObject*, TcxEditCloseUpReason AReason) { closes.push_back(AReason); };
  Show();
  Focus(edit);
  const std::vector<TColor> before = Drawn(edit->GetPicture());

  ft::CancelFileDialog();
  ft::PickMenuItem("&Load...");
  RightClick(edit, {30, 40});
  EXPECT_EQ(Drawn(edit->GetPicture()), before);
  ASSERT_EQ(ft::FileDialogLog().size(), 1u);
  EXPECT_NE(ft::FileDialogLog()[0].Filter.find("*.bmp"), AnsiString::npos);

  // A file the class cannot read leaves the picture; the error is shown.
  ft::AnswerFileDialog(dir.Write("broken.bmp", "BM not a bitmap"));
  ft::PickMenuItem("&Load...");
  RightClick(edit, {30, 40});
  EXPECT_EQ(Drawn(edit->GetPicture()), before);
  EXPECT_EQ(ft::RecordedExceptions().size(), 1u);

  ft::AnswerFileDialog(dir.Write("eight.bmp", samples[0].Bytes));
  ft::PickMenuItem("&Load...");
  RightClick(edit, {30, 40});
  TOwned<TPicture> eight(New<TPicture>());
  LoadPicture(eight.get(), TBitmap::StaticClass(), Variant(AnsiString(samples[0].Bytes)));
  EXPECT_EQ(Drawn(edit->GetPicture()), Drawn(eight.get()));
  EXPECT_EQ(closes, (std::vector<TcxEditCloseUpReason>{crCancel, crCancel, crEnter}));

  // Save As offers the graphic's format and writes only when accepted.
  ft::CancelFileDialog();
  ft::PickMenuItem("Save &As...");
  RightClick(edit, {30, 40});
  ft::AnswerFileDialog(dir / "saved");
  ft::PickMenuItem("Save &As...");
  RightClick(edit, {30, 40});
  EXPECT_EQ(ft::FileDialogLog().back().DefaultExt, "bmp");
  EXPECT_TRUE(ft::FileDialogLog().back().Save);
  EXPECT_EQ(ReadFile("/dev/null").size(), 0u);
  std::ifstream saved(dir / "saved.bmp", std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytes, Saved(edit->GetPicture()));
}

TEST_F(ImageEditor, LoadReadsAFileByItsBytesAndKeepsItInTheClassTheValueIsReadBy) {
  TempDir dir;
  const std::vector<Sample> samples = Samples();
  const std::string& jpeg = samples[5].Bytes;
  TcxImage* edit = MakeImage(samples[1]);
  Show();
  Focus(edit);
  TOwned<TPicture> photo(New<TPicture>());
  LoadPicture(photo.get(), TJPEGImage::StaticClass(), Variant(AnsiString(jpeg)));
  auto load = [&](const std::string& AFile) {
    ft::AnswerFileDialog(AFile);
    ft::PickMenuItem("&Load...");
    RightClick(edit, {30, 40});
  };
  auto valueReadBack = [&] {
    edit->SetEditValue(edit->GetEditValue());
    return edit->GetPicture()->GetGraphic();
  };

  // A photo in a bitmap editor, whatever its extension says, is kept as a
  // bitmap: its value reads back as the photo.
  for (const char* name : {"photo.jpg", "photo.bmp"}) {
    load(dir.Write(name, jpeg));
    EXPECT_TRUE(dynamic_cast<TBitmap*>(valueReadBack())) << name;
    EXPECT_EQ(Drawn(edit->GetPicture()), Drawn(photo.get())) << name;
  }
  EXPECT_TRUE(ft::RecordedExceptions().empty());

  // Bytes of no known format are refused by the file's name; the picture
  // stays.
  const std::string notes = dir.Write("notes.bmp", "no picture at all");
  load(notes);
  ASSERT_EQ(ft::RecordedExceptions().size(), 1u);
  EXPECT_NE(ft::RecordedExceptions()[0].find(notes), AnsiString::npos) << ft::RecordedExceptions()[0];
  EXPECT_EQ(Drawn(edit->GetPicture()), Drawn(photo.get()));

  // A JPEG editor keeps a bitmap it loads as JPEG, as it does one it pastes.
  edit->GetProperties()->SetGraphicClass(TJPEGImage::StaticClass());
  load(dir.Write("eight.jpg", samples[0].Bytes));
  TOwned<TPicture> eight(New<TPicture>());
  LoadPicture(eight.get(), TBitmap::StaticClass(), Variant(AnsiString(samples[0].Bytes)));
  TGraphic* back = valueReadBack();
  ASSERT_TRUE(dynamic_cast<TJPEGImage*>(back));
  EXPECT_EQ(TPoint(back->GetWidth(), back->GetHeight()), TPoint(eight->GetWidth(), eight->GetHeight()));

  // An icon editor cannot keep a photo: refused by name, the picture stays.
  edit->GetProperties()->SetGraphicClass(TIcon::StaticClass());
  const std::string photoFile = dir.Write("photo.ico", jpeg);
  load(photoFile);
  ASSERT_EQ(ft::RecordedExceptions().size(), 2u);
  EXPECT_NE(ft::RecordedExceptions()[1].find(photoFile), AnsiString::npos) << ft::RecordedExceptions()[1];
  EXPECT_EQ(edit->GetPicture()->GetGraphic(), back);
}

TEST_F(ImageEditor, ALargePictureScrollsInStepsOfEightUpToItsEnd) {
  TOwned<TBitmap> large(New<TBitmap>());
  large->SetSize(300, 200);
  large->GetCanvas()->GetBrush()->SetColor(clRed);
  large->GetCanvas()->FillRect(TRect(0, 0, 300, 200));
  TOwned<TPicture> picture(New<TPicture>());
  picture->SetGraphic(large.get());
  TcxImage* edit = Make<TcxImage>({10, 10, 150, 110});
  edit->GetProperties()->SetCenter(false);
  edit->SetEditValue(Variant(AnsiString(Saved(picture.get()))));
  Show();
  TcxControlScrollBar* bar = edit->GetVScrollBar();
  ASSERT_TRUE(bar && edit->GetVScrollBarVisible());
  // What the bar reports for its arrow and its thumb.
  const auto scroll = [&](TScrollCode ACode, Integer APos = 0) {
    bar->OnScroll(bar, ACode, APos);
    Pump();
    return APos;
  };
  EXPECT_EQ(scroll(scLineDown), 8);
  EXPECT_EQ(edit->GetViewInfo()->ScrollOffset.Y, 8);
  EXPECT_EQ(scroll(scTrack, 150), 200 - bar->GetPageSize());
  EXPECT_EQ(scroll(scLineDown), 200 - bar->GetPageSize());
  EXPECT_EQ(edit->GetViewInfo()->ScrollOffset.Y, 200 - bar->GetPageSize());
  // Centred or stretched pictures have no bars.
  edit->GetProperties()->SetStretch(true);
  Pump();
  EXPECT_FALSE(edit->GetVScrollBarVisible());
  EXPECT_EQ(edit->GetViewInfo()->ScrollOffset, TPoint(0, 0));
}

}  // namespace
