// The blob editor through its popup: a memo opened by its button and by a
// key, saved only when changed and closed with OK (or, under
// AlwaysSaveData, closed without Cancel), never on Escape; Enter and
// Ctrl+Enter by MemoWantReturns; one Close button where nothing may
// change; a picture edited in the popup; an automatic kind without a
// provider taken as a blob.
#include <gtest/gtest.h>

#include "ConcreteEditorSession.h"
#include "PictureSamples.h"
#include "library/editors/EditTestDoubles.h"
#include "library/editors/cxBlobEdit.h"
#include "platform/forms/Clipbrd.h"
#include "platform/win/Keyboard.h"

using namespace win;
using namespace picture_test;

// A blob editor bound to data whose provider the test answers for.
class TBlobDataBinding : public TcxEditDataBinding {
  ORV_CLASS(TBlobDataBinding, TcxEditDataBinding)
 public:
  explicit TBlobDataBinding(TcxCustomEdit* AEdit) : TcxEditDataBinding(AEdit) {
    FDefaultValuesProvider = New<TcxTestDefaultValuesProvider>();
  }
  edit_test::ProviderAnswers& Answers() const {
    return static_cast<TcxTestDefaultValuesProvider*>(FDefaultValuesProvider)->Answers;
  }
};
class TDataBlobEdit : public TcxBlobEdit {
  ORV_CLASS(TDataBlobEdit, TcxBlobEdit)
 public:
  explicit TDataBlobEdit(TComponent* AOwner) : TcxBlobEdit(AOwner) {}

 protected:
  TcxEditDataBindingClass GetDataBindingClass() const override { return TBlobDataBinding::StaticClass(); }
};
ORV_REGISTER(TBlobDataBinding)
ORV_REGISTER(TDataBlobEdit)

namespace {

class BlobEdit : public edit_test::ConcreteEditorTest {
 protected:
  TcxBlobEdit* MakeBlob(TcxBlobEditKind AKind, const Variant& AValue) {
    auto* edit = Make<TcxBlobEdit>({10, 10, 150, 31});
    edit->GetProperties()->SetBlobEditKind(AKind);
    edit->SetEditValue(AValue);
    edit->GetProperties()->OnEditValueChanged = [this](TObject*) { log.push_back("changed"); };
    // The popup takes the keyboard; the test pumps its messages itself.
    edit->GetPopupWindow()->SetModalMode(false);
    return edit;
  }
  static TcxPopupMemo* Memo(TcxBlobEdit* AEdit) { return dynamic_cast<TcxPopupMemo*>(AEdit->GetStorage()); }
  void Open(TcxBlobEdit* AEdit) {
    Press(VK_F4);
    ASSERT_TRUE(AEdit->GetDroppedDown());
    ASSERT_TRUE(AEdit->GetStorage());
    Chord(VK_CONTROL, VK_END);
  }
  void ClickButton(TcxButton* AButton) {
    test::Click(AButton->GetHandle(), {AButton->GetWidth() / 2, AButton->GetHeight() / 2});
    Pump();
  }
};

TEST_F(BlobEdit, TheMemoPopupSavesOnlyAChangedTextClosedWithOK) {
  TcxBlobEdit* edit = MakeBlob(bekMemo, Variant(AnsiString("first\r\nsecond")));
  Show();
  Focus(edit);
  EXPECT_EQ(edit->GetProperties()->GetDisplayText(edit->GetEditValue()), "");
  edit->GetProperties()->SetBlobPaintStyle(bpsDefault);
  EXPECT_EQ(edit->GetProperties()->GetDisplayText(edit->GetEditValue()), "(MEMO)");
  EXPECT_EQ(edit->GetProperties()->GetDisplayText(Null()), "");
  EXPECT_EQ(edit->GetProperties()->GetBlobText(Null()), "(memo)");
  edit->GetProperties()->SetBlobPaintStyle(bpsText);
  EXPECT_EQ(edit->GetProperties()->GetDisplayText(edit->GetEditValue()), "first");
  EXPECT_EQ(edit->GetProperties()->GetButtons()->GetItem(0)->GetKind(), bkDown);

  // The button opens it; OK waits for a change.
  const TRect button = edit->GetViewInfo()->ButtonInfos[0]->Bounds;
  test::Click(edit->GetHandle(), {button.Left + 3, button.Top + 3});
  Pump();
  ASSERT_TRUE(edit->GetDroppedDown());
  ASSERT_TRUE(Memo(edit));
  EXPECT_EQ(Memo(edit)->GetText(), "first\r\nsecond");
  ASSERT_TRUE(edit->GetOKButton());
  EXPECT_EQ(edit->GetOKButton()->GetCaption(), "&OK");
  EXPECT_EQ(edit->GetCancelButton()->GetCaption(), "&Cancel");
  EXPECT_FALSE(edit->GetOKButton()->GetEnabled());
  EXPECT_EQ(edit->GetOKButton()->GetParent(), edit->GetPopupWindow());
  EXPECT_LT(edit->GetOKButton()->GetLeft(), edit->GetCancelButton()->GetLeft());
  // OK without a change saves nothing.
  Chord(VK_CONTROL, VK_RETURN);
  EXPECT_FALSE(edit->GetDroppedDown());
  EXPECT_TRUE(log.empty());

  // Escape never saves; Enter breaks the line; Ctrl+Enter is OK.
  Open(edit);
  Type("x");
  Press(VK_ESCAPE);
  EXPECT_FALSE(edit->GetDroppedDown());
  EXPECT_EQ(edit_test::Text(edit->GetEditValue()), "first\r\nsecond");
  Open(edit);
  Type("x");
  Press(VK_RETURN);
  EXPECT_TRUE(edit->GetDroppedDown());
  Type("y");
  EXPECT_TRUE(edit->GetOKButton()->GetEnabled());
  Chord(VK_CONTROL, VK_RETURN);
  EXPECT_FALSE(edit->GetDroppedDown());
  EXPECT_EQ(edit_test::Text(edit->GetEditValue()), "first\r\nsecondx\r\ny");
  EXPECT_EQ(log, (edit_test::Log{"changed"}));
  EXPECT_TRUE(edit->GetModifiedAfterEnter());

  // F4 and Alt+Up save only under AlwaysSaveData; the OK button saves.
  edit->GetProperties()->SetAlwaysSaveData(false);
  Open(edit);
  Type("z");
  Press(VK_F4);
  EXPECT_FALSE(edit->GetDroppedDown());
  EXPECT_EQ(edit_test::Text(edit->GetEditValue()), "first\r\nsecondx\r\ny");
  edit->GetProperties()->SetAlwaysSaveData(true);
  Open(edit);
  Type("z");
  Chord(VK_MENU, VK_UP);
  EXPECT_EQ(edit_test::Text(edit->GetEditValue()), "first\r\nsecondx\r\nyz");
  Open(edit);
  Type("w");
  ClickButton(edit->GetOKButton());
  EXPECT_FALSE(edit->GetDroppedDown());
  EXPECT_EQ(edit_test::Text(edit->GetEditValue()), "first\r\nsecondx\r\nyzw");

  // Without MemoWantReturns Enter is OK.
  edit->GetProperties()->SetMemoWantReturns(false);
  edit->SetEditValue(Variant(AnsiString("a")));
  Open(edit);
  Type("b");
  Press(VK_RETURN);
  EXPECT_FALSE(edit->GetDroppedDown());
  EXPECT_EQ(edit_test::Text(edit->GetEditValue()), "ab");
}

TEST_F(BlobEdit, AKeyOpensTheMemoAndReplacesItsTextUnderMemoAutoReplace) {
  TcxBlobEdit* edit = MakeBlob(bekMemo, Variant(AnsiString("old text")));
  edit->GetProperties()->SetMemoAutoReplace(true);
  Show();
  Focus(edit);
  Type("n");
  ASSERT_TRUE(edit->GetDroppedDown());
  EXPECT_EQ(Memo(edit)->GetText(), "n");
  Type("ew");
  Chord(VK_CONTROL, VK_RETURN);
  EXPECT_EQ(edit_test::Text(edit->GetEditValue()), "new");
}

TEST_F(BlobEdit, WhereNothingMayChangeOneCloseButtonShows) {
  TcxBlobEdit* edit = MakeBlob(bekMemo, Variant(AnsiString("fixed")));
  edit->GetProperties()->SetReadOnly(true);
  Show();
  Focus(edit);
  Open(edit);
  EXPECT_EQ(edit->GetOKButton(), nullptr);
  EXPECT_EQ(edit->GetCancelButton()->GetCaption(), "&Close");
  EXPECT_TRUE(Memo(edit)->GetActiveProperties()->GetReadOnly());
  ClickButton(edit->GetCancelButton());
  EXPECT_FALSE(edit->GetDroppedDown());
  EXPECT_EQ(edit_test::Text(edit->GetEditValue()), "fixed");
}

// Data that names its kind decides an automatic editor's; data that is
// not there leaves one Close button.
TEST_F(BlobEdit, TheDataDecidesTheKindAndWithoutDataOnlyCloseShows) {
  auto* edit = Make<TDataBlobEdit>({10, 10, 150, 31});
  edit->GetPopupWindow()->SetModalMode(false);
  edit_test::ProviderAnswers& answers = static_cast<TBlobDataBinding*>(edit->GetDataBinding())->Answers();
  answers.DataStorage = true;
  answers.BlobKind = bkMemo;
  answers.DataAvailable = false;
  edit->SetEditValue(Variant(AnsiString("kept")));
  Show();
  Focus(edit);
  EXPECT_EQ(edit->GetProperties()->GetDisplayText(Variant(AnsiString("x"))), "");
  EXPECT_EQ(edit->GetActiveProperties()->GetBlobEditKind(), bekMemo);
  Open(edit);
  EXPECT_EQ(edit->GetOKButton(), nullptr);
  EXPECT_EQ(edit->GetCancelButton()->GetCaption(), "&Close");
  Press(VK_ESCAPE);
  EXPECT_EQ(edit_test::Text(edit->GetEditValue()), "kept");
}

TEST_F(BlobEdit, APictureIsEditedInThePopupAndAnAutoKindIsABlob) {
  const std::vector<Sample> samples = Samples();
  TcxBlobEdit* edit = MakeBlob(bekPict, Variant(AnsiString(samples[1].Bytes)));
  Show();
  Focus(edit);
  EXPECT_EQ(edit->GetProperties()->GetDisplayText(edit->GetEditValue()), "(PICTURE)");
  Open(edit);
  auto* image = dynamic_cast<TcxPopupImage*>(edit->GetStorage());
  ASSERT_TRUE(image);
  TOwned<TPicture> expected(New<TPicture>());
  LoadPicture(expected.get(), TBitmap::StaticClass(), Variant(AnsiString(samples[1].Bytes)));
  EXPECT_EQ(Drawn(image->GetPicture()), Drawn(expected.get()));
  EXPECT_EQ(edit->GetPopupWindowClientPreferredSize(),
            TSize(expected->GetWidth() + 4, expected->GetHeight() + 4));
  // A pasted picture is the value once OK is pressed.
  TOwned<TPicture> other(New<TPicture>());
  LoadPicture(other.get(), TBitmap::StaticClass(), Variant(AnsiString(samples[0].Bytes)));
  Clipboard()->Assign(other.get());
  Chord(VK_CONTROL, 'V');
  EXPECT_TRUE(edit->GetOKButton()->GetEnabled());
  ClickButton(edit->GetOKButton());
  EXPECT_FALSE(edit->GetDroppedDown());
  TOwned<TPicture> saved(New<TPicture>());
  LoadPicture(saved.get(), TBitmap::StaticClass(), edit->GetEditValue());
  EXPECT_EQ(Drawn(saved.get()), Drawn(other.get()));
  EXPECT_EQ(edit->GetPictureClass(), TBitmap::StaticClass());

  // Automatic without a provider: a blob, with the ellipsis and its icon.
  TcxBlobEdit* blob = MakeBlob(bekAuto, Variant(AnsiString("\x01\x02")));
  Pump();
  EXPECT_EQ(blob->GetProperties()->GetDisplayText(blob->GetEditValue()), "BLOB");
  EXPECT_EQ(blob->GetProperties()->GetBlobEditKind(), bekBlob);
  EXPECT_EQ(blob->GetProperties()->GetButtons()->GetItem(0)->GetKind(), bkEllipsis);
  blob->Invalidate();
  Pump();
  EXPECT_EQ(static_cast<TcxBlobEditViewInfo*>(blob->GetViewInfo())->ImageIndex, 1);
  blob->SetEditValue(Null());
  blob->Invalidate();
  Pump();
  EXPECT_EQ(static_cast<TcxBlobEditViewInfo*>(blob->GetViewInfo())->ImageIndex, 0);
}

}  // namespace
