// Small scenes on a real X server: a spin editor and three check boxes on
// a form, clicked and typed into through XTest; a radio group and a group
// box with a turned caption, an item chosen by a click and the next by
// the arrow key. The windows' pixels are read back from the server (the
// read-backs ConcreteEditorsOnX.png and RadioGroupOnX.png in the build
// folder are for a person to look at); the stories check that the toggled
// check shows its mark, the stepped spin editor its number and the chosen
// radio button its dot; and a memo typed into, scrolled by a click on its
// bar's arrow, with its bars and the square between them read back
// (MemoOnX.png); and the calculator editor's drop-down worked by clicks,
// its pressed button and its sum read back (CalcEditOnX.png).
#include <gtest/gtest.h>

#include "library/editors/ConcreteEditorsOnX.h"
#include "library/editors/cxCalcEdit.h"
#include "library/editors/cxCheckBox.h"
#include "library/editors/cxImage.h"
#include "library/editors/cxImageComboBox.h"
#include "library/editors/cxMemo.h"
#include "library/editors/cxRadioGroup.h"
#include "library/editors/cxSpinEdit.h"
#include "platform/forms/Clipbrd.h"
#include "platform/win/Queue.h"
#include "platform/win/ScrollBars.h"

using namespace win;

namespace {

TPoint Center(const TRect& R) { return TPoint((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2); }

TEST_F(ConcreteEditorsOnX, ClickedAndTypedEditorsShowTheirNewStateInTheServersPixels) {
  TForm* form = TCustomForm::CreateNew<TForm>(Application);
  form->SetBoundsRect({40, 40, 300, 200});
  auto* spin = New<TcxSpinEdit>(form);
  spin->SetBoundsRect({12, 12, 132, 33});
  spin->SetParent(form);
  spin->GetProperties()->SetValueType(vtInt);
  auto* box = New<TcxCheckBox>(form);
  box->SetBoundsRect({12, 44, 160, 61});
  box->SetCaption("Loud");
  box->SetParent(form);
  auto* checked = New<TcxCheckBox>(form);
  checked->SetBoundsRect({12, 68, 160, 85});
  checked->SetCaption("Quiet");
  checked->SetChecked(true);
  checked->SetParent(form);
  auto* disabled = New<TcxCheckBox>(form);
  disabled->SetBoundsRect({12, 92, 160, 109});
  disabled->SetCaption("Muted");
  disabled->SetState(cbsGrayed);
  disabled->SetEnabled(false);
  disabled->SetParent(form);
  form->Show();
  Settle();

  Click(box, Center(box->GetViewInfo()->CheckBoxRect));
  EXPECT_TRUE(box->GetChecked());
  Click(spin, Center(spin->GetViewInfo()->ButtonInfos[sebForward]->Bounds));
  EXPECT_EQ(spin->GetText(), "1");
  Key("Up");
  EXPECT_EQ(spin->GetText(), "2");

  Capture(form);
  // The toggled check's mark: its third row starts with a mark pixel and
  // has the fill beside it.
  const TRect check = box->GetViewInfo()->CheckBoxRect;
  EXPECT_EQ(At(box, TPoint(check.Left + 3, check.Top + 5)), 0x000000u);
  EXPECT_EQ(At(box, TPoint(check.Left + 4, check.Top + 5)), 0xFFFFFFu);
  EXPECT_TRUE(Save("ConcreteEditorsOnX.png"));
}

TEST_F(ConcreteEditorsOnX, AChosenRadioButtonShowsItsDotInTheServersPixels) {
  TForm* form = TCustomForm::CreateNew<TForm>(Application);
  form->SetBoundsRect({40, 40, 380, 220});
  auto* group = New<TcxRadioGroup>(form);
  group->SetBoundsRect({12, 12, 172, 132});
  group->SetCaption("&Quality");
  for (const char* caption : {"Draft", "Normal", "Fine"}) group->GetProperties()->GetItems()->Add()->SetCaption(caption);
  group->SetParent(form);
  auto* box = New<TcxGroupBox>(form);
  box->SetBoundsRect({184, 12, 324, 132});
  box->SetCaption("Sides");
  box->SetAlignment(alLeftCenter);
  box->SetParent(form);
  auto* inner = New<TcxRadioGroup>(form);
  inner->SetBoundsRect({24, 8, 132, 100});
  inner->GetStyle()->SetBorderStyle(cbsNone);
  inner->GetProperties()->GetItems()->Add()->SetCaption("Left");
  inner->GetProperties()->GetItems()->Add()->SetCaption("Right");
  inner->SetItemIndex(1);
  inner->SetParent(box);
  form->Show();
  Settle();

  TWinControl* normal = group->GetButton(1);
  Click(normal, TPoint(normal->GetWidth() / 2, normal->GetHeight() / 2));
  EXPECT_EQ(group->GetItemIndex(), 1);
  Key("Down");
  EXPECT_EQ(group->GetItemIndex(), 2);
  MoveTo(form, TPoint(330, 160));
  // The session's clock moves only when told: the leave-watch ticks.
  test::PumpFor(50);
  Settle();

  Capture(form);
  // The chosen button's glyph holds its dot; the others are empty inside.
  auto dot = [&](Integer AIndex) {
    auto* button = static_cast<TcxRadioButton*>(group->GetButton(AIndex));
    return At(button, Center(button->GetGlyphRect()));
  };
  EXPECT_NE(dot(2), dot(0));
  EXPECT_EQ(dot(0), dot(1));
  EXPECT_TRUE(Save("RadioGroupOnX.png"));
}

TEST_F(ConcreteEditorsOnX, AMemoTypedIntoAndScrolledByItsBarShowsItsLinesAndBars) {
  TForm* form = TCustomForm::CreateNew<TForm>(Application);
  form->SetBoundsRect({40, 40, 300, 200});
  auto* memo = New<TcxMemo>(form);
  memo->SetBoundsRect({12, 12, 212, 102});
  memo->GetStyle()->GetLookAndFeel()->SetKind(lfUltraFlat);
  memo->GetProperties()->SetScrollBars(ssBoth);
  memo->GetProperties()->SetWordWrap(false);
  memo->SetParent(form);
  for (int i = 0; i < 9; ++i) memo->GetLines()->Add("row " + std::to_string(i) + " of a text wider than the memo is");
  form->Show();
  Settle();
  memo->SetFocus();
  Settle();
  // Typed at the end: a tenth line, which scrolls into view.
  probe->Key("Control_L", true);
  probe->Key("End", true);
  probe->Key("End", false);
  probe->Key("Control_L", false);
  Settle();
  for (const char* key : {"Return", "z", "z"}) Key(key);
  const Integer count = memo->GetLines()->GetCount();
  EXPECT_EQ(std::string(memo->GetLines()->Get(count - 1)), "zz");
  EXPECT_EQ(std::string(memo->GetLines()->Get(8)), "row 8 of a text wider than the memo is");
  TcxScrollBar* vert = memo->GetInnerScrollBar(sbVertical);
  TcxScrollBar* horz = memo->GetInnerScrollBar(sbHorizontal);
  ASSERT_TRUE(vert && horz && vert->GetVisible() && horz->GetVisible());
  const HWND inner = memo->GetInnerControl()->GetHandle();
  const LRESULT bottom = SendMessageA(inner, EM_GETFIRSTVISIBLELINE, 0, 0);
  EXPECT_GT(bottom, 0);
  EXPECT_EQ(vert->GetPosition(), GetScrollPos(inner, SB_VERT));
  // The bar's upper arrow, clicked: one line up, the memo and bar alike.
  Click(vert, TPoint(vert->GetWidth() / 2, vert->GetWidth() / 2));
  EXPECT_EQ(SendMessageA(inner, EM_GETFIRSTVISIBLELINE, 0, 0), bottom - 1);
  EXPECT_EQ(vert->GetPosition(), bottom - 1);

  Capture(form);
  // The square between the bars is the button face; the arrow's glyph is
  // drawn in the bar (not the window's white under it).
  const TColor face = ColorToRGB(clBtnFace);
  const std::uint32_t faceOnX = ((face & 0xFF) << 16) | (face & 0xFF00) | ((face >> 16) & 0xFF);
  EXPECT_EQ(At(memo, TPoint(vert->GetLeft() + 2, horz->GetTop() + 2)), faceOnX);
  bool glyph = false;
  for (Integer y = 2; y < vert->GetWidth() - 2; ++y)
    for (Integer x = 2; x < vert->GetWidth() - 2; ++x)
      glyph |= At(vert, TPoint(x, y)) == 0x000000u;
  EXPECT_TRUE(glyph);
  // The memo's text: dark pixels on its first visible row.
  bool text = false;
  for (Integer x = 4; x < 60; ++x)
    for (Integer y = 2; y < 14; ++y) {
      const std::uint32_t p = At(memo, TPoint(x, y));
      text |= (p & 0xFF) + ((p >> 8) & 0xFF) + ((p >> 16) & 0xFF) < 0x180;
    }
  EXPECT_TRUE(text);
  EXPECT_TRUE(Save("MemoOnX.png"));
}

TEST_F(ConcreteEditorsOnX, TheCalculatorDroppedDownAddsByClicksIntoTheEditorsText) {
  TForm* owner = TCustomForm::CreateNew<TForm>(Application);
  owner->SetBoundsRect({40, 40, 300, 160});
  auto* edit = New<TcxCalcEdit>(owner);
  edit->SetBoundsRect({12, 12, 172, 33});
  edit->GetStyle()->GetLookAndFeel()->SetKind(lfUltraFlat);
  // The test pumps the popup's messages itself.
  edit->GetPopupWindow()->SetModalMode(false);
  edit->SetParent(owner);
  owner->Show();
  Settle();

  Click(edit, Center(edit->GetViewInfo()->ButtonInfos[0]->Bounds));
  ASSERT_TRUE(edit->GetDroppedDown());
  TcxPopupCalculator* calc = edit->GetCalculator();
  Settle();
  for (TcxCalcButtonKind kind : {cbNum7, cbAdd, cbNum5})
    Click(calc, Center(calc->GetButton(kind).BtnRect));
  EXPECT_EQ(edit->GetText(), "5");
  // "=" held down: drawn pressed, in the ultra-flat look's pressed colour.
  const TRect equal = calc->GetButton(cbEqual).BtnRect;
  MoveTo(calc, Center(equal));
  probe->Button(1, true);
  Settle();
  Capture(edit->GetPopupWindow());
  const std::uint32_t pressed = At(calc, TPoint(equal.Left + 3, equal.Top + 3));
  const std::uint32_t normal = At(calc, TPoint(calc->GetButton(cbNum9).BtnRect.Left + 3,
                                               calc->GetButton(cbNum9).BtnRect.Top + 3));
  EXPECT_NE(pressed, normal);
  EXPECT_TRUE(Save("CalcEditOnX.png"));
  probe->Button(1, false);
  Settle();
  EXPECT_EQ(edit->GetText(), "12");
  Key("Return");
  EXPECT_FALSE(edit->GetDroppedDown());
  ASSERT_TRUE(edit->ValidateEdit(false));
  EXPECT_EQ(edit->GetValue(), 12);
}

}  // namespace

// An image editor cut to the clipboard and pasted back with the keys, and
// an image combo box whose next item is chosen from its list: the
// picture's and the item image's colours as the server shows them
// (ImageEditorsOnX.png).
TEST_F(ConcreteEditorsOnX, ACutAndPastedPictureAndAChosenItemImageShowInTheServersPixels) {
  TForm* form = TCustomForm::CreateNew<TForm>(Application);
  form->SetBoundsRect({40, 40, 360, 220});
  auto* image = New<TcxImage>(form);
  image->SetBoundsRect({12, 12, 132, 112});
  image->SetParent(form);
  TOwned<TBitmap> red(New<TBitmap>());
  red->SetSize(40, 30);
  red->GetCanvas()->GetBrush()->SetColor(clRed);
  red->GetCanvas()->FillRect(TRect(0, 0, 40, 30));
  image->GetPicture()->SetGraphic(red.get());
  auto* images = New<TImageList>(form);
  images->SetWidth(16);
  images->SetHeight(16);
  for (TColor colour : {clRed, clBlue}) {
    TOwned<TBitmap> square(New<TBitmap>());
    square->SetSize(16, 16);
    square->GetCanvas()->GetBrush()->SetColor(colour);
    square->GetCanvas()->FillRect(TRect(0, 0, 16, 16));
    images->AddMasked(square.get(), clWhite);
  }
  auto* combo = New<TcxImageComboBox>(form);
  combo->SetBoundsRect({150, 12, 300, 33});
  combo->GetProperties()->SetImages(images);
  for (const char* text : {"Red", "Blue"}) {
    TcxImageComboBoxItem* item = combo->GetProperties()->GetItems()->Add();
    item->SetDescription(text);
    item->SetValue(Variant(AnsiString(text)));
  }
  combo->SetEditValue(Variant(AnsiString("Red")));
  combo->SetParent(form);
  form->Show();
  Settle();

  const TRect client = image->GetViewInfo()->ClientRect;
  const TPoint middle((client.Left + client.Right) / 2, (client.Top + client.Bottom) / 2);
  Click(image, TPoint(client.Left + 3, client.Top + 3));
  probe->Key("Control_L", true);
  Key("x");
  probe->Key("Control_L", false);
  Settle();
  EXPECT_TRUE(IsPictureEmpty(image->GetPicture()));
  Capture(form);
  EXPECT_EQ(At(image, middle), 0xFFFFFFu) << "the picture is gone from the screen";
  probe->Key("Control_L", true);
  Key("v");
  probe->Key("Control_L", false);
  Settle();
  Capture(form);
  EXPECT_EQ(At(image, middle), 0xFF0000u) << "and back";

  const TRect itemImage = static_cast<TcxImageComboBoxViewInfo*>(combo->GetViewInfo())->ImageRect;
  EXPECT_EQ(At(combo, Center(itemImage)), 0xFF0000u);
  Click(combo, TPoint(20, 10));
  if (!combo->GetDroppedDown()) Key("F4");
  ASSERT_TRUE(combo->GetDroppedDown());
  Key("Down");
  Key("Return");
  EXPECT_EQ(edit_test::Text(combo->GetEditValue()), "Blue");
  Capture(form);
  EXPECT_EQ(At(combo, Center(itemImage)), 0x0000FFu);
  EXPECT_TRUE(Save("ImageEditorsOnX.png"));
}
