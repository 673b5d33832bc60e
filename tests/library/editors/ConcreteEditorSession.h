// A headless form with the concrete editors' units started, the input
// steps of the editor tests, and the grid's editing side as the editors
// meet it before the grid exists: rows whose properties the in-place
// editor pool copies into one hidden editor per kind, which the stand-in
// grid loads with the cell's value, activates, and deactivates again,
// taking the value on success ("take") or when the editor posts by itself
// ("post").
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library/editors/ConcreteEditorsStartup.h"
#include "library/editors/EditorSession.h"
#include "library/editors/core/CustomEditFixtures.h"
#include "library/editors/core/cxEditErrors.h"
#include "library/editors/core/cxInplaceEditList.h"
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/rtl/Owned.h"
#include "platform/win/Clipboard.h"
#include "platform/win/GlobalMemory.h"
#include "platform/win/Mouse.h"
#include "platform/win/TestHooks.h"

namespace edit_test {

// The back end's clipboard as another program would fill and read it.
inline void SetClipboardText(const std::string& AText) {
  ASSERT_TRUE(win::OpenClipboard(nullptr));
  win::EmptyClipboard();
  win::SetClipboardData(win::CF_TEXT, win::GlobalFromBytes(AText.c_str(), AText.size() + 1));
  win::CloseClipboard();
}
inline std::string ClipboardText() {
  std::string text;
  if (!win::OpenClipboard(nullptr)) return text;
  if (win::HANDLE data = win::GetClipboardData(win::CF_TEXT)) {
    text = static_cast<const char*>(win::GlobalLock(data));
    win::GlobalUnlock(data);
  }
  win::CloseClipboard();
  return text;
}

struct ConcreteUnitsListed {
  ConcreteUnitsListed() { RegisterConcreteEditorUnits(); }
};

// The concrete units join the list before the session starts them.
struct ConcreteSession : ConcreteUnitsListed, EditorSession {};

// The editor tests' form session (CustomEditFixtures.h) with the concrete
// units listed first.
class ConcreteEditorTest : public ConcreteUnitsListed, public CustomEditSession {
 protected:
  void TearDown() override {
    FreeAndNil(pool);
    for (TcxCustomEditProperties* row : rows) row->Free();
    CustomEditSession::TearDown();
  }
  template <class E>
  E* Make(TRect ABounds) {
    E* edit = New<E>(form);
    edit->SetBoundsRect(ABounds);
    edit->SetParent(form);
    return edit;
  }
  void Focus(TcxCustomEdit* edit) {
    edit->SetFocus();
    Pump();
    log.clear();
  }
  // Replaces the whole text as the user would.
  static void SelectAllAndType(TcxCustomEdit* edit, const std::string& text) {
    edit->SelectAll();
    Type(text);
  }
  // Replaces the whole text and validates it as leaving the editor would,
  // which must refuse it with the error given.
  static void ExpectRefused(TcxCustomEdit* edit, const std::string& text, const std::string& error) {
    SelectAllAndType(edit, text);
    try {
      edit->ValidateEdit(true);
      ADD_FAILURE() << "\"" << text << "\" was taken";
    } catch (const EcxEditValidationError& e) {
      EXPECT_EQ(e.GetMessage(), error) << "\"" << text << "\"";
    }
  }
  // The mouse over a point of a control's client area.
  static void Hover(TControl* AControl, TPoint P) {
    win::test::MouseMove(static_cast<TWinControl*>(AControl)->GetHandle(), {P.X, P.Y});
    Pump();
  }
  static TPoint Center(const TRect& R) { return TPoint((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2); }

  // ---- the grid's editing side ----
  TTestGrid* grid = nullptr;
  TcxInplaceEditList* pool = nullptr;
  std::vector<TcxCustomEditProperties*> rows;

  template <class P>
  P* Row() {
    P* row = New<P>(nullptr);
    rows.push_back(row);
    return row;
  }
  // Opens the row's pooled editor over a cell holding AValue.
  TcxCustomEdit* Open(TcxCustomEditProperties* ARow, const Variant& AValue) {
    if (!grid) {
      grid = New<TTestGrid>(form);
      grid->SetBoundsRect({10, 200, 390, 290});
      grid->SetParent(form);
      pool = New<TcxInplaceEditList>();
      Show();
    }
    TcxCustomEdit* edit = pool->GetEdit(ARow);
    edit->SetParent(grid);
    edit->SetBoundsRect({100, 10, 250, 28});
    edit->OnPostEditValue = [this](TObject* Sender) {
      log.push_back("post " + Text(static_cast<TcxCustomEdit*>(Sender)->GetEditValue()));
    };
    edit->SetEditValue(AValue);
    TcxCustomEditData* data = nullptr;
    edit->Activate(data);
    Pump();
    return edit;
  }
  // Leaves the cell: the grid takes the value when the editor lets it go.
  void Close(TcxCustomEdit* edit) {
    if (edit->Deactivate()) log.push_back("take " + Text(edit->GetEditValue()));
    grid->SetFocus();
    edit->SetVisible(false);
    Pump();
  }
};

}  // namespace edit_test
