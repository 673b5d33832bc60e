// Typing in lookup items, in each editing style: incremental search and its
// Backspace, the navigation keys and the wheel, refused moves, immediate
// posting and the report of a text that is not among the items, over the
// editor's own lookup data.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library/editors/EditorSession.h"
#include "library/editors/core/cxTextEdit.h"
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/gdi/Gdi.h"
#include "platform/win/Focus.h"
#include "platform/win/WindowDC.h"
#include "platform/win/Keyboard.h"
#include "platform/win/TestHooks.h"

using namespace win;

namespace {

using Log = std::vector<std::string>;

TcxEditEditingStyle gStyle = esEdit;

class TLookupProperties : public TcxTextEditProperties {
  ORV_CLASS(TLookupProperties, TcxTextEditProperties)
 public:
  explicit TLookupProperties(TPersistent* AOwner) : TcxTextEditProperties(AOwner) {}
  TcxEditEditingStyle GetEditingStyle() const override { return gStyle; }
};

// A combo-like editor: its keys and the wheel scroll the lookup items.
class TLookupEdit : public TcxCustomTextEdit {
  ORV_CLASS(TLookupEdit, TcxCustomTextEdit)
 public:
  explicit TLookupEdit(TComponent* AOwner) : TcxCustomTextEdit(AOwner) {}
  TLookupEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomTextEdit(AOwner, AIsInplace) {}

 protected:
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override { return TLookupProperties::StaticClass(); }
  bool GetScrollLookupDataList(TcxEditScrollCause) override { return true; }
};

class TextEditKeys : public ::testing::Test, public edit_test::EditorSession {
 protected:
  TForm* form = nullptr;
  Log log;
  bool refuseEditing = false;

  void SetUp() override {
    form = TCustomForm::CreateNew<TForm>(Application);
    form->SetBoundsRect({100, 100, 500, 400});
  }
  void TearDown() override {
    if (form) form->Free();
    gStyle = esEdit;
    win::test::PumpUntilIdle();
  }

  TLookupEdit* MakeEdit(TcxEditEditingStyle style, std::vector<std::string> items, bool inplace = false) {
    gStyle = style;
    auto* edit = static_cast<TLookupEdit*>(
        TLookupEdit::StaticClass()->Construct<TComponent*, bool>(inplace ? nullptr : form, inplace));
    for (const auto& item : items) edit->GetActiveProperties()->GetLookupItems()->Add(item);
    edit->SetBoundsRect({10, 10, 160, 31});
    edit->SetParent(form);
    edit->OnEditing = [this](TObject*, bool& CanEdit) { CanEdit = !refuseEditing; };
    edit->OnAfterKeyDown = [this](TObject*, Word& Key, TShiftState) {
      if ((Key >= VK_PRIOR && Key <= VK_DOWN) || Key == VK_DELETE) log.push_back("after key " + std::to_string(Key));
    };
    edit->OnPostEditValue = [this, edit](TObject*) { log.push_back("post " + VarToStr(edit->GetEditValue())); };
    edit->GetProperties()->OnNewLookupDisplayText = [this](TObject*, const AnsiString& AText) {
      log.push_back("new text " + AText);
    };
    form->Show();
    Pump();
    edit->SetFocus();
    Pump();
    log.clear();
    return edit;
  }
  // The columns inside the frame where the highlight colour shows.
  static std::vector<int> HighlightedColumns(TLookupEdit* edit) {
    edit->Repaint();
    Pump();
    win::HDC dc = win::GetDC(edit->GetHandle());
    std::vector<int> columns;
    const auto highlight = static_cast<COLORREF>(ColorToRGB(clHighlight));
    for (int x = 3; x < edit->GetWidth() - 3; ++x)
      for (int y = 3; y < edit->GetHeight() - 3; ++y)
        if (win::GetPixel(dc, x, y) == highlight) {
          columns.push_back(x);
          break;
        }
    win::ReleaseDC(edit->GetHandle(), dc);
    return columns;
  }
  // Whether the text left some ink (neither window nor highlight colour)
  // left of column X, inside the focus rectangle.
  static bool InkBefore(TLookupEdit* edit, int X) {
    win::HDC dc = win::GetDC(edit->GetHandle());
    bool ink = false;
    for (int x = 4; x < X && !ink; ++x)
      for (int y = 4; y < edit->GetHeight() - 4 && !ink; ++y) {
        const auto c = win::GetPixel(dc, x, y);
        ink = c != static_cast<COLORREF>(ColorToRGB(clWindow)) && c != static_cast<COLORREF>(ColorToRGB(clHighlight));
      }
    win::ReleaseDC(edit->GetHandle(), dc);
    return ink;
  }
  static std::string Shown(TLookupEdit* edit) {
    return edit->GetText().substr(0, edit->GetSelStart()) + "[" + edit->GetSelText() + "]";
  }
};

TEST_F(TextEditKeys, TypingProposesTheFirstMatchingItemAndBackspaceSearchesTheShorterHead) {
  auto* edit = MakeEdit(esEdit, {"Rome", "Roma"});
  Type("R");
  EXPECT_EQ(Shown(edit), "R[ome]");
  Type("o");
  Type("m");
  EXPECT_EQ(Shown(edit), "Rom[e]");
  EXPECT_EQ(edit->GetItemIndex(), 0);
  Press(VK_BACK);
  EXPECT_EQ(Shown(edit), "Ro[me]");
  // A head no item starts with is typed as it is and proposes nothing.
  Press(VK_END);
  Type("x");
  EXPECT_EQ(edit->GetText(), "Romex");
  EXPECT_EQ(edit->GetItemIndex(), -1);

  // Leaving with that text reports it once.
  auto* other = New<TLookupEdit>(form);
  other->SetParent(form);
  other->SetFocus();
  Pump();
  EXPECT_EQ(log, Log{"new text Romex"});
}

TEST_F(TextEditKeys, AFixedListGrowsTheTypedHeadAndIgnoresWhatMatchesNothing) {
  auto* edit = MakeEdit(esFixedList, {"Apple", "Avocado"});
  Type("a");
  EXPECT_EQ(edit->GetText(), "Apple");
  EXPECT_EQ(edit->GetSelText(), "pple");
  // The proposed tail is drawn highlighted, the typed head is not.
  const auto apple = HighlightedColumns(edit);
  ASSERT_FALSE(apple.empty());
  EXPECT_EQ(apple.back() - apple.front() + 1, static_cast<int>(apple.size()));
  EXPECT_TRUE(InkBefore(edit, apple.front()));
  Type("v");
  EXPECT_EQ(edit->GetText(), "Avocado");
  EXPECT_EQ(edit->GetSelText(), "ocado");
  const auto avocado = HighlightedColumns(edit);
  ASSERT_FALSE(avocado.empty());
  EXPECT_GT(avocado.front(), apple.front());
  Type("q");
  EXPECT_EQ(edit->GetText(), "Avocado");
  EXPECT_EQ(edit->GetSelText(), "ocado");
  EXPECT_EQ(edit->GetItemIndex(), 1);
  // Left, Right and Delete have no caret to move here: they leave.
  Press(VK_DELETE);
  EXPECT_EQ(edit->GetText(), "Avocado");
  EXPECT_EQ(log, Log{"after key " + std::to_string(VK_DELETE)});
}

TEST_F(TextEditKeys, NavigationKeysAndTheWheelMoveThroughTheItemsUnlessEditingIsRefused) {
  std::vector<std::string> items;
  for (int i = 1; i <= 20; ++i) items.push_back("Item " + std::to_string(i));
  // In place, where a post reaches the grid.
  auto* edit = MakeEdit(esEditList, items, true);
  edit->GetProperties()->SetImmediatePost(true);
  Press(VK_DOWN);
  EXPECT_EQ(edit->GetText(), "Item 1");
  EXPECT_EQ(log, Log{"post Item 1"});  // posted once per move
  log.clear();
  Press(VK_NEXT);
  EXPECT_EQ(edit->GetText(), "Item 8");
  Press(VK_NEXT);
  Press(VK_NEXT);
  Press(VK_NEXT);
  EXPECT_EQ(edit->GetText(), "Item 20");
  Chord(VK_CONTROL, VK_PRIOR);
  EXPECT_EQ(edit->GetText(), "Item 1");
  EXPECT_EQ(edit->GetItemIndex(), 0);
  log.clear();
  // Delete deletes nothing in an edit list: it leaves.
  Press(VK_DELETE);
  EXPECT_EQ(edit->GetText(), "Item 1");
  EXPECT_EQ(log, Log{"after key " + std::to_string(VK_DELETE)});

  // Refused: text, item and value stay as they were.
  edit->SetEditValue(Variant(AnsiString("Item 1")));
  log.clear();
  refuseEditing = true;
  Press(VK_DOWN);
  win::test::Wheel(-120);
  Pump();
  EXPECT_EQ(edit->GetText(), "Item 1");
  EXPECT_EQ(edit->GetItemIndex(), 0);
  EXPECT_EQ(VarToStr(edit->GetEditValue()), "Item 1");
  refuseEditing = false;
  log.clear();
  win::test::Wheel(-120);
  Pump();
  EXPECT_EQ(edit->GetText(), "Item 2");

  // No items: Down has nowhere to go and leaves the editor.
  edit->GetActiveProperties()->GetLookupItems()->Clear();
  const AnsiString text = edit->GetText();
  log.clear();
  Press(VK_DOWN);
  EXPECT_EQ(log, Log{"after key " + std::to_string(VK_DOWN)});
  EXPECT_EQ(edit->GetText(), text);
  edit->Free();
}

}  // namespace

ORV_REGISTER(TLookupProperties)
ORV_REGISTER(TLookupEdit)
