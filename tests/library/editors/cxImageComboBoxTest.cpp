// The image combo box through its drop-down: keys and clicks choose items,
// equal values show and choose the first item, a value no item has is
// Null once chosen, descriptions can be switched off, the list's rows take
// the heights their wrapped descriptions need (measured again at the
// narrower width a scroll bar leaves), and a freed image list is
// forgotten everywhere.
#include <gtest/gtest.h>

#include "ConcreteEditorSession.h"
#include "library/editors/cxEditRepositoryItems.h"
#include "library/editors/cxImageComboBox.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Metrics.h"

using namespace win;

namespace {

class ImageComboBox : public edit_test::ConcreteEditorTest {
 protected:
  TImageList* MakeImages(Integer ACount) {
    TImageList* images = New<TImageList>(form);
    images->SetWidth(16);
    images->SetHeight(16);
    const TColor colours[] = {clRed, clLime, clBlue, clYellow};
    for (Integer i = 0; i < ACount; ++i) {
      TOwned<TBitmap> bitmap(New<TBitmap>());
      bitmap->SetSize(16, 16);
      bitmap->GetCanvas()->GetBrush()->SetColor(colours[i % 4]);
      bitmap->GetCanvas()->FillRect(TRect(0, 0, 16, 16));
      images->Add(bitmap.get(), nullptr);
    }
    return images;
  }
  TcxImageComboBox* MakeCombo(TImageList* AImages) {
    auto* edit = Make<TcxImageComboBox>({10, 10, 200, 31});
    TcxImageComboBoxProperties* properties = edit->GetProperties();
    properties->SetImages(AImages);
    const std::pair<const char*, Variant> items[] = {
        {"One", Variant(1)}, {"Two", Variant(AnsiString("2"))}, {"One again", Variant(1)}};
    for (const auto& [text, value] : items) {
      TcxImageComboBoxItem* item = properties->GetItems()->Add();
      item->SetDescription(text);
      item->SetValue(value);
    }
    return edit;
  }
  static TcxImageComboBoxViewInfo* Info(TcxImageComboBox* AEdit) {
    return static_cast<TcxImageComboBoxViewInfo*>(AEdit->GetViewInfo());
  }
  static TcxImageComboBoxListBox* List(TcxImageComboBox* AEdit) {
    return dynamic_cast<TcxImageComboBoxListBox*>(AEdit->GetLookupData()->GetList());
  }
};

TEST_F(ImageComboBox, KeysAndClicksChooseItemsByTheirValues) {
  TcxImageComboBox* edit = MakeCombo(MakeImages(3));
  TcxImageComboBoxProperties* properties = edit->GetProperties();
  // New items take the image of their index while the list has one.
  EXPECT_EQ(properties->GetItems()->GetItems(2)->GetImageIndex(), 2);
  Show();
  Focus(edit);

  // Equal values show the first item with one.
  edit->SetEditValue(Variant(1));
  Pump();
  EXPECT_EQ(Info(edit)->Text, "One");
  EXPECT_EQ(Info(edit)->ImageIndex, 0);
  edit->SetEditValue(Variant(AnsiString("2")));
  Pump();
  EXPECT_EQ(Info(edit)->Text, "Two");
  Press(VK_F4);
  Press(VK_UP);
  Press(VK_RETURN);
  EXPECT_EQ(edit_test::Text(edit->GetEditValue()), "1");

  Press(VK_F4);
  ASSERT_TRUE(edit->GetDroppedDown());
  Press(VK_DOWN);
  Press(VK_RETURN);
  EXPECT_FALSE(edit->GetDroppedDown());
  EXPECT_EQ(edit_test::Text(edit->GetEditValue()), "2");
  Press(VK_F4);
  Press(VK_DOWN);
  Press(VK_DOWN);
  Press(VK_RETURN);
  EXPECT_EQ(edit_test::Text(edit->GetEditValue()), "1");
  EXPECT_EQ(Info(edit)->Text, "One") << "the third item's value shows as the first item";

  // A click on a row takes it.
  Chord(VK_MENU, VK_DOWN);
  ASSERT_TRUE(edit->GetDroppedDown());
  TcxImageComboBoxListBox* list = List(edit);
  const TRect second = list->ItemRect(1);
  test::Click(list->GetHandle(), {second.Left + 30, (second.Top + second.Bottom) / 2});
  Pump();
  EXPECT_FALSE(edit->GetDroppedDown());
  EXPECT_EQ(VarType(edit->GetEditValue()), varString);

  // A value no item has shows the defaults and, chosen as it is, is Null.
  properties->SetDefaultDescription("none");
  properties->SetDefaultImageIndex(1);
  edit->SetEditValue(Variant(99));
  Pump();
  EXPECT_EQ(Info(edit)->Text, "none");
  EXPECT_EQ(Info(edit)->ImageIndex, 1);
  Variant chosen(5);
  edit->PrepareEditValue(Variant(AnsiString("none")), chosen, true);
  EXPECT_TRUE(VarIsNull(chosen)) << "no entry chosen";
  EXPECT_EQ(properties->GetDisplayText(Variant(99)), "none");

  // Without descriptions the image sits in the middle and text finds
  // nothing, though the display text is still the description.
  properties->SetShowDescriptions(false);
  edit->SetEditValue(Variant(1));
  Pump();
  const TRect client = Info(edit)->BorderRect;
  const TRect image = Info(edit)->ImageRect;
  EXPECT_EQ(Info(edit)->Text, "");
  EXPECT_LE(std::abs((image.Left + image.Right) - (client.Left + client.Right - edit->GetActiveProperties()->GetButtons()->GetItem(0)->GetWidth())), 40);
  EXPECT_EQ(properties->FindItemByText("one"), nullptr);
  EXPECT_EQ(properties->GetDisplayText(Variant(1)), "One");
  // Equal descriptions with other images differ only while images show.
  properties->SetShowDescriptions(true);
  properties->GetItems()->GetItems(1)->SetDescription("One");
  EXPECT_FALSE(properties->CompareDisplayValues(Variant(1), Variant(AnsiString("2"))));
  properties->SetImages(nullptr);
  EXPECT_TRUE(properties->CompareDisplayValues(Variant(1), Variant(AnsiString("2"))));
}

TEST_F(ImageComboBox, WrappedRowsAreMeasuredAgainWhenTheBarTakesItsWidth) {
  TcxImageComboBox* edit = MakeCombo(MakeImages(3));
  TcxImageComboBoxProperties* properties = edit->GetProperties();
  properties->SetMultiLineText(true);
  Show();
  Focus(edit);
  Press(VK_F4);
  ASSERT_TRUE(edit->GetDroppedDown());
  TcxImageComboBoxListBox* list = List(edit);
  ASSERT_TRUE(list);
  // A description as wide as a row's text without a bar: one row then,
  // two once the bar's width comes off.
  TCanvas* canvas = list->GetCanvas();
  canvas->SetFont(list->GetFont());
  // The popup's frame takes a pixel on each side.
  const Integer textWidth = edit->GetWidth() - 2 - 2 - (4 + 16) - 2;
  AnsiString words = "word";
  while (canvas->TextWidth(words + " word") <= textWidth) words += " word";
  while (canvas->TextWidth(words + "d") <= textWidth) words += "d";
  properties->GetItems()->GetItems(0)->SetDescription(words);
  const Integer lineHeight = canvas->TextHeight("Wg");

  const Integer oneRow = list->GetHeight(3, 10000);
  EXPECT_FALSE(list->GetVScrollBarNeeded());
  EXPECT_EQ(list->GetItemHeight(0), std::max(lineHeight + 2, 18));
  properties->SetDropDownRows(2);
  const Integer withBar = list->GetHeight(2, 10000);
  EXPECT_TRUE(list->GetVScrollBarNeeded());
  EXPECT_EQ(list->GetItemHeight(0), 2 * lineHeight + 2);
  EXPECT_GT(withBar, oneRow - list->GetItemHeight(2) - 1);
  // Without wrapping every row is one line or an image high.
  properties->SetMultiLineText(false);
  EXPECT_EQ(list->GetItemHeight(0), std::max(lineHeight + 2, 18));
  EXPECT_GE(list->GetMaxItemWidth(), canvas->TextWidth(words) + 16 + 8 + GetSystemMetrics(SM_CXVSCROLL));
  Press(VK_ESCAPE);
}

TEST_F(ImageComboBox, AFreedImageListIsForgottenByPropertiesAndRepositoryItems) {
  TImageList* images = MakeImages(2);
  TImageList* large = MakeImages(2);
  TcxImageComboBox* edit = MakeCombo(images);
  edit->GetProperties()->SetLargeImages(large);
  TcxEditRepository* repository = New<TcxEditRepository>(form);
  auto* item = static_cast<TcxEditRepositoryImageComboBoxItem*>(
      repository->CreateItem(TcxEditRepositoryImageComboBoxItem::StaticClass()));
  item->GetProperties()->SetImages(large);
  item->GetProperties()->SetLargeImages(images);
  images->Free();
  EXPECT_EQ(edit->GetProperties()->GetImages(), nullptr);
  EXPECT_EQ(item->GetProperties()->GetLargeImages(), nullptr);
  EXPECT_EQ(edit->GetProperties()->GetLargeImages(), large);
  large->Free();
  EXPECT_EQ(edit->GetProperties()->GetLargeImages(), nullptr);
  EXPECT_EQ(item->GetProperties()->GetImages(), nullptr);
  Show();
  edit->SetEditValue(Variant(1));
  Pump();
  EXPECT_EQ(Info(edit)->Images, nullptr);
}

}  // namespace
