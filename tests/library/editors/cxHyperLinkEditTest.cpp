// The hyperlink editor hands its link to the desktop's opener (recorded
// here, nothing is started): by its start key, a double click or, with
// SingleClick, a click, always as one argument and completed with the
// prefix; a click that selects text, a handler of its own, and a text that
// is no web or mail link open nothing. The hand cursor comes and goes with
// the mouse, and a cell draws its link underlined in the link colour.
#include <gtest/gtest.h>

#include "ConcretePaint.h"
#include "library/editors/cxHyperLinkEdit.h"
#include "library/editors/cxMRUEdit.h"
#include "platform/gdi/PngWriter.h"
#include "platform/forms/Screen.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Mouse.h"
#include "platform/win/Shell.h"

using namespace win;
using namespace edit_paint;

namespace {

class HyperLinkEdit : public edit_test::ConcreteEditorTest {
 protected:
  std::vector<std::vector<std::string>> opened;

  void SetUp() override {
    ConcreteEditorTest::SetUp();
    SetShellOpenRecorder([this](const std::vector<std::string>& argv, const std::string&) {
      opened.push_back(argv);
      return true;
    });
  }
  void TearDown() override {
    SetShellOpenRecorder(nullptr);
    ConcreteEditorTest::TearDown();
  }
  // What the opener was last given as its target; empty when nothing.
  std::string Opened() {
    if (opened.empty()) return {};
    std::string last = opened.back().back();
    EXPECT_EQ(opened.back().size(), 2u);
    opened.clear();
    return last;
  }
  static TPoint TextPoint(TcxHyperLinkEdit* edit) {
    const TRect r = edit->GetViewInfo()->ClientRect;
    return TPoint(r.Left + 6, (r.Top + r.Bottom) / 2);
  }
};

TEST_F(HyperLinkEdit, TheStartKeyAndClicksOpenTheCompletedLinkOnly) {
  auto* edit = Make<TcxHyperLinkEdit>({10, 10, 250, 31});
  Show();
  Focus(edit);
  Type("example.org/a b");
  Chord(VK_CONTROL, VK_RETURN);
  // One argument, spaces and all; the key is spent.
  EXPECT_EQ(Opened(), "http://example.org/a b");
  EXPECT_EQ(std::string(edit->GetText()), "example.org/a b");
  // Already prefixed: opened as it stands.
  SelectAllAndType(edit, "http://example.org");
  Chord(VK_CONTROL, VK_RETURN);
  EXPECT_EQ(Opened(), "http://example.org");
  // Validation puts the prefix in front once.
  ASSERT_TRUE(edit->ValidateEdit(false));
  EXPECT_EQ(std::string(edit->GetText()), "http://example.org");

  // A double click opens; a single one does not.
  const TPoint p = TextPoint(edit);
  test::Click(edit->GetHandle(), {p.X, p.Y});
  Pump();
  EXPECT_EQ(Opened(), "");
  test::Click(edit->GetHandle(), {p.X, p.Y});
  test::Click(edit->GetHandle(), {p.X, p.Y});
  Pump();
  EXPECT_EQ(Opened(), "http://example.org");

  // With SingleClick a plain click opens, a click that selects does not.
  // (Apart in time, so that the click is no second half of a double one.)
  edit->GetProperties()->SetSingleClick(true);
  test::PumpFor(1000);
  test::Click(edit->GetHandle(), {p.X, p.Y});
  Pump();
  EXPECT_EQ(Opened(), "http://example.org");
  edit->SelectAll();
  Pump();
  test::MouseMove(edit->GetInnerControl()->GetHandle(), {2, 5});
  test::MouseDown();
  test::MouseMove(edit->GetInnerControl()->GetHandle(), {60, 5});
  test::MouseUp();
  Pump();
  ASSERT_GT(edit->GetSelLength(), 0);
  EXPECT_EQ(Opened(), "");

  // AutoComplete off: as typed.
  edit->GetProperties()->SetAutoComplete(false);
  SelectAllAndType(edit, "mailto:someone@example.org");
  Chord(VK_CONTROL, VK_RETURN);
  EXPECT_EQ(Opened(), "mailto:someone@example.org");
}

// The prefix completes a bare address only: a link typed with a scheme of
// its own, in any case, is opened and kept as typed, not behind a second
// scheme.
TEST_F(HyperLinkEdit, ALinkWithASchemeOfItsOwnIsNotPrefixed) {
  auto* edit = Make<TcxHyperLinkEdit>({10, 10, 250, 31});
  Show();
  Focus(edit);
  const std::pair<const char*, const char*> cases[] = {
      {"https://example.org/maps", "https://example.org/maps"},
      {"HTTP://Example.org", "HTTP://Example.org"},
      {"ftp://files.example.org", "ftp://files.example.org"},
      {"mailto:someone@example.org", "mailto:someone@example.org"},
      {"localhost:8080/maps", "http://localhost:8080/maps"},
      {"www.example.org", "http://www.example.org"},
      {"example.org", "http://example.org"}};
  for (const auto& [typed, link] : cases) {
    SCOPED_TRACE(typed);
    SelectAllAndType(edit, typed);
    Chord(VK_CONTROL, VK_RETURN);
    EXPECT_EQ(Opened(), link);
    ASSERT_TRUE(edit->ValidateEdit(false));
    EXPECT_EQ(std::string(edit->GetText()), link);
  }
}

TEST_F(HyperLinkEdit, TextsThatAreNoAllowedLinkOpenNothingAndBeep) {
  auto* edit = Make<TcxHyperLinkEdit>({10, 10, 250, 31});
  TcxHyperLinkEditProperties* properties = edit->GetProperties();
  properties->SetAutoComplete(false);
  Show();
  Focus(edit);
  for (const char* text : {"/usr/bin/xterm", "file:///etc/passwd", "javascript:alert(1)", "-display x",
                           "evil.desktop", "http://a\x01" "b"}) {
    SCOPED_TRACE(text);
    edit->SetText(text);
    const Integer beeps = test::BeepCount();
    Chord(VK_CONTROL, VK_RETURN);
    EXPECT_EQ(Opened(), "");
    EXPECT_EQ(test::BeepCount(), beeps + 1);
    EXPECT_EQ(std::string(edit->GetText()), text);
  }
  // The schemes of the web and mail, any case, and the prefix's own.
  edit->SetText("HTTPS://example.org");
  Chord(VK_CONTROL, VK_RETURN);
  EXPECT_EQ(Opened(), "HTTPS://example.org");
  properties->SetPrefix("news:");
  edit->SetText("news:comp.lang");
  Chord(VK_CONTROL, VK_RETURN);
  EXPECT_EQ(Opened(), "news:comp.lang");
  // A blank text opens nothing, quietly.
  edit->SetText("   ");
  const Integer beeps = test::BeepCount();
  Chord(VK_CONTROL, VK_RETURN);
  EXPECT_EQ(Opened(), "");
  EXPECT_EQ(test::BeepCount(), beeps);

  // A handler of its own replaces the opener, whatever the text.
  properties->OnStartClick = [this](TObject*) { log.push_back("start"); };
  edit->SetText("/usr/bin/xterm");
  Chord(VK_CONTROL, VK_RETURN);
  EXPECT_EQ(Opened(), "");
  EXPECT_EQ(log, edit_test::Log{"start"});
}

TEST_F(HyperLinkEdit, TheHandCursorComesAndGoesWithTheMouse) {
  auto* edit = Make<TcxHyperLinkEdit>({10, 10, 250, 31});
  auto* other = Make<TcxHyperLinkEdit>({10, 60, 250, 81});
  edit->GetProperties()->SetSingleClick(true);
  Show();
  test::MouseMove(edit->GetHandle(), {30, 8});
  Pump();
  EXPECT_EQ(edit->TControl::GetCursor(), crcxHandPoint);
  EXPECT_EQ(edit->GetInnerControl()->GetCursor(), crcxHandPoint);
  EXPECT_EQ(Screen->GetCursor(), crcxHandPoint);
  test::MouseMove(other->GetHandle(), {30, 8});
  Pump();
  EXPECT_EQ(edit->TControl::GetCursor(), crDefault);
  EXPECT_EQ(Screen->GetCursor(), crDefault);
  // Without SingleClick the cursor is the editor's own.
  test::MouseMove(other->GetHandle(), {30, 8});
  Pump();
  EXPECT_NE(other->TControl::GetCursor(), crcxHandPoint);
}

TEST_F(HyperLinkEdit, ACellDrawsItsLinkUnderlinedInTheLinkColourUnlessItsStyleSetsOne) {
  MonochromeText exact;
  TOwned<TcxHyperLinkEditProperties> properties(New<TcxHyperLinkEditProperties>(nullptr));
  properties->SetLinkColor(static_cast<TColor>(0x008000));
  const Look cell{"cell", lfUltraFlat, false, ebsNone, btsDefault};
  TOwned<TcxEditStyle> style = MakeStyle(cell);
  PainterCanvas canvas(160, 24, clWindow);
  TOwned<TcxCustomEditViewData> viewData(properties->CreateViewData(style.get(), true));
  TOwned<TcxCustomEditViewInfo> info(
      static_cast<TcxCustomEditViewInfo*>(properties->GetViewInfoClass()->Construct<>()));
  PaintCell(canvas.get(), viewData.get(), info.get(), TRect(2, 2, 158, 22), Variant(AnsiString("http://x.org")),
            {}, Mouse::Away);
  const TRect box = ColorBox(canvas, TRect(0, 0, 160, 24), static_cast<TColor>(0x008000));
  ASSERT_FALSE(cxRectIsEmpty(box));
  // The underline: one row of link colour as wide as the text.
  Integer longest = 0;
  for (Integer y = box.Top; y < box.Bottom; ++y) {
    Integer run = 0;
    for (Integer x = box.Left; x < box.Right; ++x) run += canvas.At(x, y) == ColorToRGB(0x008000) ? 1 : 0;
    longest = std::max(longest, run);
  }
  EXPECT_GE(longest, cxRectWidth(box) - 1);

  // A text colour the cell's style sets wins over the link colour; the
  // underline stays.
  style->SetTextColor(static_cast<TColor>(0x0000C0));
  PainterCanvas styled(160, 24, clWindow);
  TOwned<TcxCustomEditViewInfo> styledInfo(
      static_cast<TcxCustomEditViewInfo*>(properties->GetViewInfoClass()->Construct<>()));
  PaintCell(styled.get(), viewData.get(), styledInfo.get(), TRect(2, 2, 158, 22), Variant(AnsiString("http://x.org")),
            {}, Mouse::Away);
  EXPECT_TRUE(cxRectIsEmpty(ColorBox(styled, TRect(0, 0, 160, 24), static_cast<TColor>(0x008000))));
  const TRect own = ColorBox(styled, TRect(0, 0, 160, 24), static_cast<TColor>(0x0000C0));
  ASSERT_FALSE(cxRectIsEmpty(own));
  EXPECT_EQ(cxRectWidth(own), cxRectWidth(box)) << "underlined as wide as before";
}

// A sheet for a person to look at: the hyperlink editor and a cell of it,
// the MRU editor with its ellipsis and without, the list open.
TEST_F(HyperLinkEdit, SheetOfTheLinkAndMRUEditors) {
  auto* link = Make<TcxHyperLinkEdit>({10, 10, 210, 31});
  link->SetText("http://example.org/maps");
  auto* mru = Make<TcxMRUEdit>({10, 50, 210, 71});
  auto* plain = Make<TcxMRUEdit>({10, 90, 210, 111});
  plain->GetProperties()->SetShowEllipsis(false);
  for (const char* text : {"north", "south", "east"}) mru->AddItem(text);
  mru->SetText("east");
  Show();
  PainterCanvas sheet(230, 220, clBtnFace);
  GrabWindow(link, sheet.get(), TPoint(10, 10));
  GrabWindow(mru, sheet.get(), TPoint(10, 50));
  GrabWindow(plain, sheet.get(), TPoint(10, 90));
  mru->SetFocus();
  Chord(VK_MENU, VK_DOWN);
  ASSERT_TRUE(mru->HasPopupWindow());
  GrabWindow(mru, sheet.get(), TPoint(10, 130));
  if (TWinControl* popup = mru->GetPopupWindow())
    GrabWindow(popup, sheet.get(), TPoint(10, 130 + mru->GetHeight()));
  Press(VK_ESCAPE);
  // The link's text is blue and underlined in the editor too.
  EXPECT_FALSE(cxRectIsEmpty(ColorBox(sheet, TRect(10, 10, 210, 31), static_cast<TColor>(0xFF0000))));
  // In every look the ellipsis button shows its three dots beside the
  // drop-down button, and without it the drop-down button is the last.
  for (const Look& look : {kLooks[0], kLooks[1], kLooks[4], kLooks[5], kLooks[6]}) {
    SCOPED_TRACE(look.Name);
    for (TcxMRUEdit* edit : {mru, plain}) {
      edit->GetStyle()->GetLookAndFeel()->SetKind(look.Kind);
      edit->GetStyle()->GetLookAndFeel()->SetNativeStyle(look.Native);
    }
    Pump();
    PainterCanvas shot(230, 70, clBtnFace);
    GrabWindow(mru, shot.get(), TPoint(0, 0));
    GrabWindow(plain, shot.get(), TPoint(0, 35));
    ASSERT_EQ(mru->GetViewInfo()->ButtonInfos.size(), 2u);
    const TRect dots = mru->GetViewInfo()->ButtonInfos[1]->Bounds;
    EXPECT_EQ(mru->GetViewInfo()->ButtonInfos[0]->Bounds.Right, dots.Left);
    EXPECT_FALSE(cxRectIsEmpty(ColorBox(shot, cxRectInflate(dots, -2, -2), clBtnText)));
    ASSERT_EQ(plain->GetViewInfo()->ButtonInfos.size(), 1u);
    EXPECT_EQ(plain->GetViewInfo()->ButtonInfos[0]->Bounds.Right, dots.Right);
  }
  EXPECT_TRUE(SaveBitmapPng(sheet.Bitmap()->GetHandle(), "LinkAndMRUSheet.png"));
}

}  // namespace
