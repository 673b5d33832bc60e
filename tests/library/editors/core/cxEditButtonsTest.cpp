// Edit buttons: one default button per collection, pictures made on
// demand and copied rather than shared, accelerator-free captions, copies
// as one change, and widths that never go below zero, also from a layout.
#include <gtest/gtest.h>

#include <vector>

#include "library/editors/EditTestDoubles.h"
#include "platform/rtl/ObjectText.h"

namespace {

struct ChangeCounter : TObject {
  Integer Count = 0;
  void Changed(TObject*) { ++Count; }
};

class EditButtonsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    buttons = New<TcxEditButtons>(nullptr);
    for (int i = 0; i < 3; ++i) buttons->Add();
    buttons->OnChange = TNotifyEvent::Bind<&ChangeCounter::Changed>(&counter);
  }
  void TearDown() override { Free(buttons); }
  ChangeCounter counter;
  TcxEditButtons* buttons = nullptr;
};

TEST_F(EditButtonsTest, OneDefaultButtonPerCollectionWithOneNotice) {
  buttons->GetItem(0)->SetDefault(true);
  buttons->GetItem(2)->SetDefault(true);
  counter.Count = 0;
  buttons->GetItem(1)->SetDefault(true);
  EXPECT_EQ(counter.Count, 1);
  EXPECT_FALSE(buttons->GetItem(0)->GetDefault());
  EXPECT_TRUE(buttons->GetItem(1)->GetDefault());
  EXPECT_FALSE(buttons->GetItem(2)->GetDefault());
  buttons->GetItem(1)->SetDefault(false);
  EXPECT_FALSE(buttons->GetItem(1)->GetDefault());
  EXPECT_EQ(counter.Count, 2);
}

struct NewestButtonReader : TObject {
  TcxEditButtons* Buttons = nullptr;
  std::vector<bool> SawWholeButton;
  void Changed(TObject*) {
    auto* newest = dynamic_cast<TcxEditButton*>(Buttons->TCollection::GetItem(Buttons->GetCount() - 1));
    SawWholeButton.push_back(newest && newest->GetVisible() && newest->GetKind() == bkDown);
  }
};

TEST_F(EditButtonsTest, AddedButtonIsWholeWhenTheChangeIsHeard) {
  NewestButtonReader reader;
  reader.Buttons = buttons;
  buttons->OnChange = TNotifyEvent::Bind<&NewestButtonReader::Changed>(&reader);
  buttons->Add();
  buttons->Add();
  EXPECT_EQ(reader.SawWholeButton, (std::vector<bool>{true, true}));
}

TEST_F(EditButtonsTest, GlyphIsMadeOnFirstReadAndCopiedNotShared) {
  TcxEditButton* button = buttons->GetItem(0);
  button->SetKind(bkGlyph);
  EXPECT_FALSE(button->HasGlyph());
  counter.Count = 0;
  TBitmap* glyph = button->GetGlyph();
  ASSERT_NE(glyph, nullptr);
  EXPECT_TRUE(glyph->Empty()) << "a glyph button without a usable picture";
  EXPECT_EQ(counter.Count, 0) << "making the empty picture is no change";

  auto* picture = New<TBitmap>();
  picture->SetSize(8, 6);
  button->SetGlyph(picture);
  EXPECT_NE(button->GetGlyph(), picture);
  EXPECT_EQ(button->GetGlyph()->GetWidth(), 8);
  EXPECT_GE(counter.Count, 1);
  picture->SetSize(3, 3);
  EXPECT_EQ(button->GetGlyph()->GetWidth(), 8) << "the button holds its own copy";
  picture->Free();

  counter.Count = 0;
  button->GetGlyph()->SetSize(4, 4);
  EXPECT_GE(counter.Count, 1) << "drawing into the picture changes the button";
  button->SetGlyph(nullptr);
  EXPECT_FALSE(button->HasGlyph());
}

TEST_F(EditButtonsTest, PlainCaptionDropsAcceleratorMarks) {
  TcxEditButton* button = buttons->GetItem(0);
  button->SetCaption("&OK");
  EXPECT_EQ(button->GetPlainCaption(), "OK");
  button->SetCaption("A&&B");
  EXPECT_EQ(button->GetPlainCaption(), "A&B");
  EXPECT_EQ(button->GetCaption(), "A&&B");
}

TEST_F(EditButtonsTest, AssignCopiesEverySettingAsOneChange) {
  auto* source = New<TcxEditButtons>(nullptr);
  TcxEditButton* from = source->Add();
  from->SetCaption("&Open");
  from->SetDefault(true);
  from->SetEnabled(false);
  from->GetGlyph()->SetSize(5, 5);
  from->SetKind(bkText);
  from->SetLeftAlignment(true);
  from->SetStretchable(false);
  from->SetTextColor(clRed);
  from->SetVisible(false);
  from->SetWidth(30);

  counter.Count = 0;
  TcxEditButton* to = buttons->GetItem(2);
  to->Assign(from);
  EXPECT_EQ(counter.Count, 1);
  EXPECT_EQ(to->GetCaption(), "&Open");
  EXPECT_EQ(to->GetPlainCaption(), "Open");
  EXPECT_TRUE(to->GetDefault());
  EXPECT_FALSE(to->GetEnabled());
  EXPECT_EQ(to->GetGlyph()->GetWidth(), 5);
  EXPECT_EQ(to->GetKind(), bkText);
  EXPECT_TRUE(to->GetLeftAlignment());
  EXPECT_FALSE(to->GetStretchable());
  EXPECT_EQ(to->GetTextColor(), clRed);
  EXPECT_FALSE(to->GetVisible());
  EXPECT_EQ(to->GetWidth(), 30);
  EXPECT_EQ(buttons->GetVisibleCount(), 2);
  source->Free();
}

TEST_F(EditButtonsTest, NegativeWidthsBecomeTheDefaultWidthAlsoFromALayout) {
  TcxEditButton* button = buttons->GetItem(0);
  button->SetWidth(20);
  button->SetWidth(-7);
  EXPECT_EQ(button->GetWidth(), 0);

  RegisterClasses({TcxEditRepository::StaticClass(), TcxEditRepositoryTestItem::StaticClass()});
  TComponent* item = ReadComponentFromText(
      "object Item1: TcxEditRepositoryTestItem\r\n"
      "  Properties.Buttons = <\r\n"
      "    item\r\n"
      "      Width = -12\r\n"
      "    end\r\n"
      "    item\r\n"
      "      Width = 16\r\n"
      "    end>\r\n"
      "end\r\n",
      nullptr);
  TcxEditButtons* read = static_cast<TcxEditRepositoryTestItem*>(item)->GetProperties()->GetButtons();
  ASSERT_EQ(read->GetCount(), 2);
  EXPECT_EQ(read->GetItem(0)->GetWidth(), 0);
  EXPECT_EQ(read->GetItem(1)->GetWidth(), 16);
  item->Free();
}

}  // namespace
