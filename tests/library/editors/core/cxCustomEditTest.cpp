// The editor control on a headless form, driven by injected input: change
// events and their lock, the modified flags, each key of the pipeline
// alone and in place, validation failures end to end, repository items,
// and the locks and replaced window procedures left behind by a raising
// handler.
#include "CustomEditFixtures.h"

#include "library/editors/core/cxButtonEdit.h"
#include "library/editors/core/cxComboBox.h"
#include "library/editors/core/cxEditConsts.h"
#include "library/editors/core/cxMaskEdit.h"
#include "library/editors/core/cxPopupEdit.h"
#include "library/editors/core/cxTextEdit.h"
#include "platform/forms/TestHooks.h"
#include "platform/rtl/ObjectText.h"
#include "platform/rtl/Owned.h"
#include "platform/rtl/Streams.h"
#include "platform/win/Mouse.h"
#include "platform/win/Window.h"
#include "platform/win/WindowPos.h"
#include "support/DeclaredDefaults.h"

using namespace win;
using edit_test::Log;

namespace {

class CustomEdit : public CustomEditSession {};

// A base editor: its properties cannot compare values.
class TBaseEdit : public TcxCustomEdit {
  ORV_CLASS(TBaseEdit, TcxCustomEdit)
 public:
  explicit TBaseEdit(TComponent* AOwner) : TcxCustomEdit(AOwner) {}
};

}  // namespace

ORV_REGISTER(TBaseEdit)

TEST_F(CustomEdit, OnlyComparingKindsReportSetValuesAndTheLockFiresEachEventOnceAtTheOutermostRelease) {
  auto* base = New<TBaseEdit>(form);
  base->GetProperties()->OnChange = [this](TObject*) { log.push_back("base change"); };
  base->GetProperties()->OnEditValueChanged = [this](TObject*) { log.push_back("base value changed"); };
  base->SetEditValue(Variant(5));
  EXPECT_EQ(log, Log{});  // such kinds find their changes themselves

  auto* edit = MakeEdit(form, {10, 10, 150, 31});
  Show();
  log.clear();
  edit->SetEditValue(Variant(5));
  edit->SetEditValue(Variant(5));     // same type, same value
  edit->SetEditValue(Variant(5.0));   // same value, another type
  EXPECT_EQ(log, (Log{"value changed", "change", "value changed", "change"}));

  log.clear();
  edit->LockChangeEvents(true);
  edit->LockChangeEvents(true);
  edit->SetEditValue(Variant(6));
  edit->SetEditValue(Variant(7));
  edit->LockChangeEvents(false);
  EXPECT_EQ(log, Log{});
  edit->LockChangeEvents(false);
  EXPECT_EQ(log, (Log{"change", "value changed"}));

  log.clear();
  edit->LockChangeEvents(true);
  edit->SetEditValue(Variant(8));
  edit->LockChangeEvents(false, false);  // dropped
  edit->LockChangeEvents(false);         // no lock left: nothing
  EXPECT_EQ(log, Log{});
  EXPECT_FALSE(edit->AreChangeEventsLocked());
}

TEST_F(CustomEdit, ModifiedFlagsNestAndEscapeBringsBackTheValueTakenOnEntering) {
  auto* edit = MakeEdit(form, {10, 10, 150, 31});
  edit->SetEditValue(Variant(AnsiString("x")));
  Show();
  Focus(edit);

  edit->SaveModified();
  edit->SetModifiedAfterEnter(true);
  edit->SaveModified();
  edit->SetModified(false);
  EXPECT_FALSE(edit->GetModified());
  edit->RestoreModified();
  EXPECT_TRUE(edit->GetModified());
  EXPECT_TRUE(edit->GetModifiedAfterEnter());
  edit->RestoreModified();
  EXPECT_FALSE(edit->GetModifiedAfterEnter());
  edit->RestoreModified();  // nothing saved: nothing changes
  EXPECT_FALSE(edit->GetModifiedAfterEnter());

  // Esc with nothing typed is the inner control's.
  Press(VK_ESCAPE);
  EXPECT_EQ(edit->Inner()->Keys, (Log{"down 27", "char 27"}));

  edit->Inner()->Keys.clear();
  Type("ab");
  EXPECT_EQ(edit->Inner()->GetText(), "ab");  // the focus selected "x"
  EXPECT_TRUE(edit->GetModifiedAfterEnter());
  Press(VK_ESCAPE);
  EXPECT_EQ(edit_test::Text(edit->GetEditValue()), "x");
  EXPECT_EQ(edit->Inner()->GetText(), "x");
  EXPECT_TRUE(edit->GetModified());
  EXPECT_FALSE(edit->GetModifiedAfterEnter());
  // Only the character of the Esc that reset the value is swallowed.
  EXPECT_EQ(edit->Inner()->Keys, (Log{"down 65", "char 97", "down 66", "char 98"}));
  Press(VK_ESCAPE);
  EXPECT_EQ(edit->Inner()->Keys.back(), "char 27");
}

TEST_F(CustomEdit, TheClearKeyClearsAsTheUsersChangeOnlyWhenOnEditingAgreesAndARaisingHandlerLeavesNoLock) {
  auto* edit = MakeEdit(form, {10, 10, 150, 31});
  edit->Props()->SetClearKey(ShortCut(VK_DELETE, {ssCtrl}));
  edit->SetEditValue(Variant(AnsiString("x")));
  Show();
  Focus(edit);

  refuseEditing = true;
  Chord(VK_CONTROL, VK_DELETE);
  EXPECT_EQ(log, Log{"editing refused"});
  EXPECT_EQ(edit_test::Text(edit->GetEditValue()), "x");
  EXPECT_EQ(edit->Inner()->GetText(), "x");
  EXPECT_FALSE(edit->GetModified());
  EXPECT_FALSE(edit->GetModifiedAfterEnter());

  refuseEditing = false;
  log.clear();
  Chord(VK_CONTROL, VK_DELETE);
  // Asked once, and the events come after the lock.
  EXPECT_EQ(log, (Log{"editing agreed", "change", "value changed"}));
  EXPECT_TRUE(VarIsNull(edit->GetEditValue()));
  EXPECT_EQ(edit->Inner()->GetText(), "");
  EXPECT_TRUE(edit->GetModifiedAfterEnter());

  edit->SetModified(false);
  edit->OnEditing = [](TObject*, bool&) { throw Exception("no editing now"); };
  Chord(VK_CONTROL, VK_DELETE);
  ASSERT_FALSE(forms::test::RecordedExceptions().empty());
  EXPECT_EQ(forms::test::RecordedExceptions().back(), "Exception: no editing now");
  EXPECT_FALSE(edit->AreChangeEventsLocked());
  EXPECT_FALSE(edit->GetUserAction());
  EXPECT_FALSE(edit->IsClickLocked());
  EXPECT_FALSE(edit->IsEditValueChangingLocked());
}

TEST_F(CustomEdit, ARefusedCharacterChangesNothingAndBeepsOnlyWithBeepOnError) {
  auto* edit = MakeEdit(form, {10, 10, 150, 31});
  edit->SetEditValue(Variant(AnsiString("x")));
  Show();
  Focus(edit);
  const int beeps = test::BeepCount();

  edit->Provider()->Answers.ValidChar = false;
  Type("a");
  EXPECT_EQ(test::BeepCount(), beeps);
  edit->Props()->SetBeepOnError(true);
  Type("a");
  EXPECT_EQ(test::BeepCount(), beeps + 1);
  EXPECT_EQ(log, Log{});

  edit->Provider()->Answers.ValidChar = true;
  refuseEditing = true;
  Type("a");
  EXPECT_EQ(log, Log{"editing refused"});
  EXPECT_EQ(edit->Inner()->GetText(), "x");
  EXPECT_EQ(edit_test::Text(edit->GetEditValue()), "x");
  EXPECT_FALSE(edit->GetModified());
  EXPECT_FALSE(edit->GetModifiedAfterEnter());

  refuseEditing = false;
  log.clear();
  Type("ab");
  // Once changed, the editor does not ask again.
  EXPECT_EQ(log, (Log{"editing agreed", "change", "change"}));
  EXPECT_EQ(edit->Inner()->GetText(), "ab");
  EXPECT_TRUE(edit->GetModifiedAfterEnter());
}

TEST_F(CustomEdit, EnterIsTheInnerControlsUnlessItValidatesThenPostsOnceInPlace) {
  auto* alone = MakeEdit(form, {10, 10, 150, 31});
  auto* grid = New<TTestGrid>(form);
  grid->SetBoundsRect({10, 50, 300, 150});
  grid->SetParent(form);
  auto* edit = MakeEdit(grid, {10, 10, 150, 31}, true);
  edit->Props()->SetValidateOnEnter(true);
  Show();
  Focus(alone);
  Press(VK_RETURN);
  EXPECT_EQ(alone->Inner()->Keys, (Log{"down 13", "char 13"}));

  TcxCustomEditData* data = nullptr;
  edit->Activate(data);
  Pump();
  log.clear();
  Type("12");
  EXPECT_EQ(log, (Log{"editing agreed", "change", "change"}));
  log.clear();
  Press(VK_RETURN);
  EXPECT_EQ(log, (Log{"post 12", "change", "value changed"}));
  EXPECT_FALSE(edit->GetModified());
  EXPECT_EQ(edit->Inner()->Keys, (Log{"down 49", "char 49", "down 50", "char 50"}));
}

TEST_F(CustomEdit, TabMovesOnThroughTheFormBothWaysAndIsSpentWithoutAForm) {
  auto* first = MakeEdit(form, {10, 10, 150, 31});
  auto* second = MakeEdit(form, {10, 50, 150, 71});
  Show();
  Focus(first);
  Press(VK_TAB);
  EXPECT_TRUE(second->IsFocused());
  EXPECT_EQ(log, Log{"after key 9"});
  Chord(VK_SHIFT, VK_TAB);
  EXPECT_TRUE(first->IsFocused());

  // A grid window that belongs to no form.
  auto* grid = New<TTestGrid>(nullptr);
  grid->SetParentWindow(form->GetHandle());
  grid->SetBoundsRect({10, 100, 300, 200});
  auto* edit = MakeEdit(grid, {10, 10, 150, 31}, true);
  grid->HandleNeeded();
  win::SetFocus(edit->Inner()->GetHandle());
  Pump();
  log.clear();
  Press(VK_TAB);
  EXPECT_EQ(log, Log{"after key 9"});
  EXPECT_EQ(win::GetFocus(), edit->Inner()->GetHandle());
  grid->Free();
}

TEST_F(CustomEdit, TheClickKeyClicksTheDefaultButtonWithoutItsCharacterAndArrowsGoToAfterKeyDown) {
  auto* edit = MakeEdit(form, {10, 10, 150, 31});
  Show();
  Focus(edit);
  Chord(VK_CONTROL, VK_RETURN);
  EXPECT_EQ(log, Log{"button click 0"});
  EXPECT_EQ(edit->Inner()->Keys, Log{"down 17"});  // the Ctrl key alone

  log.clear();
  Press(VK_UP);
  Press(VK_NEXT);
  EXPECT_EQ(log, (Log{"after key 38", "after key 34"}));
  EXPECT_EQ(edit->Inner()->Keys, Log{"down 17"});
  edit->WantsNavigation = true;
  log.clear();
  Press(VK_UP);
  EXPECT_EQ(log, Log{});
  EXPECT_EQ(edit->Inner()->Keys, (Log{"down 17", "down 38"}));
}

TEST_F(CustomEdit, AnInvalidValueKeepsFocusAndTextRaisesThenPostsNothing) {
  auto* edit = MakeEdit(form, {10, 10, 150, 31});
  auto* other = MakeEdit(form, {10, 50, 150, 71});
  edit->Props()->OnValidate = [](TObject*, Variant&, AnsiString&, bool& Error) { Error = true; };
  Show();
  Focus(edit);
  const int beeps = test::BeepCount();
  Type("abc");
  Press(VK_TAB);
  EXPECT_TRUE(edit->IsFocused());
  EXPECT_TRUE(edit->InternalFocused());
  EXPECT_TRUE(edit->GetViewInfo()->ContainerState.Contains(csActive));
  EXPECT_FALSE(other->IsFocused());
  EXPECT_EQ(edit->Inner()->GetText(), "abc");
  EXPECT_EQ(edit->Inner()->GetSelLength(), 3);
  EXPECT_EQ(test::BeepCount(), beeps);
  ASSERT_FALSE(forms::test::RecordedExceptions().empty());
  EXPECT_EQ(forms::test::RecordedExceptions().back(),
            "EcxEditValidationError: Invalid input value. Use escape key to abandon changes");
  EXPECT_EQ(edit->Binding()->Stored, std::vector<std::string>{});

  edit->Props()->SetBeepOnError(true);
  edit->Props()->OnValidate = [](TObject*, Variant&, AnsiString& ErrorText, bool& Error) {
    ErrorText = "Too long";
    Error = true;
  };
  Press(VK_TAB);
  EXPECT_EQ(forms::test::RecordedExceptions().back(), "EcxEditValidationError: Too long");
  EXPECT_EQ(test::BeepCount(), beeps + 1);
  EXPECT_TRUE(edit->IsFocused());

  // A text the handler corrected is shown although the error is raised.
  edit->Props()->OnValidate = [](TObject*, Variant& DisplayValue, AnsiString& ErrorText, bool& Error) {
    DisplayValue = Variant(AnsiString("ab"));
    ErrorText = "Shortened";
    Error = true;
  };
  Press(VK_TAB);
  EXPECT_EQ(forms::test::RecordedExceptions().back(), "EcxEditValidationError: Shortened");
  EXPECT_EQ(edit->Inner()->GetText(), "ab");
  EXPECT_TRUE(edit->IsFocused());
  EXPECT_EQ(edit->Binding()->Stored, std::vector<std::string>{});

  edit->Props()->OnValidate = {};
  Press(VK_TAB);
  EXPECT_TRUE(other->IsFocused());
  EXPECT_EQ(edit->Binding()->Stored, std::vector<std::string>{"ab"});
}

TEST_F(CustomEdit, DeactivateAnswersFalseForAnInvalidValueAndRaisesOnlyWithAText) {
  auto* grid = New<TTestGrid>(form);
  grid->SetBoundsRect({10, 10, 300, 150});
  grid->SetParent(form);
  auto* edit = MakeEdit(grid, {10, 10, 150, 31}, true);
  Show();
  TcxCustomEditData* data = nullptr;
  edit->Activate(data);
  Pump();
  Type("abc");
  log.clear();

  edit->Props()->OnValidate = [](TObject*, Variant&, AnsiString& ErrorText, bool& Error) {
    ErrorText = "";
    Error = true;
  };
  EXPECT_FALSE(edit->Deactivate());
  edit->Props()->OnValidate = [](TObject*, Variant&, AnsiString&, bool& Error) { Error = true; };
  EXPECT_THROW(edit->Deactivate(), EcxEditValidationError);
  EXPECT_TRUE(edit->IsFocused());
  EXPECT_EQ(edit->Inner()->GetText(), "abc");

  edit->Props()->OnValidate = {};
  EXPECT_TRUE(edit->Deactivate());
  EXPECT_EQ(edit_test::Text(edit->GetEditValue()), "abc");
  EXPECT_EQ(log, (Log{"value changed", "change"}));  // validated, not posted
}

TEST_F(CustomEdit, ARepositoryItemMustFitTheKindAndTakesTheListenerAndTheProvider) {
  auto* repository = New<TcxEditRepository>(form);
  auto* first = repository->CreateItem(TTestKindRepositoryItem::StaticClass());
  auto* second = repository->CreateItem(TTestKindRepositoryItem::StaticClass());
  auto* unfit = repository->CreateItem(TcxEditRepositoryTestItem::StaticClass());
  auto* edit = MakeEdit(form, {10, 10, 150, 31});

  edit->SetRepositoryItem(first);
  try {
    edit->SetRepositoryItem(unfit);
    FAIL() << "an item of another kind was taken";
  } catch (const EcxEditError& e) {
    EXPECT_EQ(e.GetMessage(), "The repository item is not acceptable");
  }
  EXPECT_EQ(edit->GetRepositoryItem(), first);
  EXPECT_EQ(first->GetListenerCount(), 1);
  EXPECT_EQ(edit->GetActiveProperties(), first->GetProperties());
  EXPECT_EQ(first->GetProperties()->GetIDefaultValuesProvider(), edit->Binding()->GetIDefaultValuesProvider());
  EXPECT_EQ(edit->Props()->GetIDefaultValuesProvider(), nullptr);

  edit->SetRepositoryItem(second);
  EXPECT_EQ(first->GetListenerCount(), 0);
  EXPECT_EQ(second->GetListenerCount(), 1);
  second->GetProperties()->OnChange = [this](TObject*) { log.push_back("item change"); };
  edit->SetEditValue(Variant(9));
  EXPECT_EQ(log, (Log{"value changed", "change", "item change"}));

  second->Free();
  EXPECT_EQ(edit->GetRepositoryItem(), nullptr);
  EXPECT_EQ(edit->GetActiveProperties(), edit->GetProperties());
  EXPECT_EQ(edit->Props()->GetIDefaultValuesProvider(), edit->Binding()->GetIDefaultValuesProvider());
}

TEST_F(CustomEdit, ActivationByKeyTypesTheKeyAndPutsTheInnerWindowProcedureBackAlsoWhenItRaises) {
  auto* grid = New<TTestGrid>(form);
  grid->SetBoundsRect({10, 10, 300, 150});
  grid->SetParent(form);
  auto* edit = MakeEdit(grid, {10, 10, 150, 31}, true);
  Show();
  const HWND inner = edit->Inner()->GetHandle();
  const LONG_PTR proc = GetWindowLongPtrA(inner, GWLP_WNDPROC);
  TcxCustomEditData* data = nullptr;
  edit->ActivateByKey('7', data);
  Pump();
  EXPECT_EQ(edit->Inner()->GetText(), "7");
  EXPECT_EQ(GetWindowLongPtrA(inner, GWLP_WNDPROC), proc);

  edit->OnShow = [] { throw Exception("cannot show"); };
  EXPECT_THROW(edit->ActivateByKey('8', data), Exception);
  EXPECT_EQ(GetWindowLongPtrA(inner, GWLP_WNDPROC), proc);
}

TEST_F(CustomEdit, ASecondPressSoonAfterActivationByMouseIsADoubleClick) {
  auto* grid = New<TTestGrid>(form);
  grid->SetBoundsRect({10, 10, 300, 150});
  grid->SetParent(form);
  auto* edit = MakeEdit(grid, {10, 10, 150, 31}, true);
  edit->OnDblClick = [this](TObject*) { log.push_back("double click"); };
  Show();
  TcxCustomEditData* data = nullptr;
  edit->ActivateByMouse({ssLeft}, 20, 15, data);
  Pump();
  test::PumpFor(100);
  test::Click(edit->Inner()->GetHandle(), {5, 5});
  Pump();
  EXPECT_EQ(log, Log{"double click"});

  // Over a button the second press is the button's.
  log.clear();
  edit->ActivateByMouse({ssLeft}, 20, 15, data);
  const TRect b = edit->GetViewInfo()->ButtonInfos[0]->Bounds;
  test::Click(edit->GetHandle(), {(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2});
  Pump();
  EXPECT_EQ(log, (Log{"down 0", "up 0", "button click 0"}));

  log.clear();
  edit->ActivateByMouse({ssLeft}, 20, 15, data);
  test::PumpFor(GetDoubleClickTime() + 10);
  test::Click(edit->Inner()->GetHandle(), {5, 5});
  Pump();
  EXPECT_EQ(log, Log{});
}

TEST_F(CustomEdit, AButtonPressedAndReleasedOverItselfIsOneClickAndReleasedElsewhereNone) {
  auto* edit = MakeEdit(form, {10, 10, 150, 31});
  Show();
  ASSERT_EQ(edit->GetViewInfo()->GetButtonCount(), 1);
  const TRect b = edit->GetViewInfo()->ButtonInfos[0]->Bounds;
  const POINT center{(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2};
  log.clear();
  test::MouseMove(edit->GetHandle(), center);
  Pump();
  test::MouseDown();
  Pump();
  test::MouseUp();
  Pump();
  EXPECT_EQ(log, (Log{"down 0", "up 0", "button click 0"}));

  log.clear();
  test::MouseMove(edit->GetHandle(), center);
  test::MouseDown();
  Pump();
  test::MouseMove(edit->GetHandle(), {2, 2});
  test::MouseUp();
  Pump();
  EXPECT_EQ(log, (Log{"down 0", "up 0"}));
}

TEST_F(CustomEdit, InPlaceTheWheelIsTheEditorsOnlyWithCtrlUnlessItsPropertiesTakeIt) {
  auto* grid = New<TTestGrid>(form);
  grid->SetBoundsRect({10, 10, 300, 150});
  grid->SetParent(form);
  grid->WheelLog = &log;
  auto* edit = MakeEdit(grid, {10, 10, 150, 31}, true);
  edit->OnMouseWheel = [this](TObject*, TShiftState, Integer, TPoint, bool& Handled) {
    log.push_back("editor wheel");
    Handled = true;
  };
  edit->Props()->SetInplaceMouseWheel(false);
  Show();
  TcxCustomEditData* data = nullptr;
  edit->Activate(data);
  test::MouseMove(edit->GetHandle(), {5, 5});
  Pump();
  log.clear();
  test::Wheel(-120);
  Pump();
  win::test::KeyDown(VK_CONTROL);
  test::Wheel(-120);
  win::test::KeyUp(VK_CONTROL);
  Pump();
  edit->Props()->SetInplaceMouseWheel(true);
  test::Wheel(-120);
  Pump();
  EXPECT_EQ(log, (Log{"grid wheel", "editor wheel", "editor wheel"}));
}

TEST_F(CustomEdit, AnAutoSizedEditorTakesItsHeightUnlessItFillsTheClientAndStreamsItsSizeAgainstTheAncestor) {
  auto* edit = MakeEdit(form, {10, 10, 150, 100});
  Show();
  const Integer height = edit->GetHeight();
  EXPECT_GT(height, 10);
  EXPECT_LT(height, 100);
  edit->SetAlign(alTop);
  Pump();
  EXPECT_EQ(edit->GetHeight(), height);
  EXPECT_EQ(edit->GetWidth(), form->GetClientWidth());
  edit->SetAlign(alClient);
  Pump();
  EXPECT_EQ(edit->GetHeight(), form->GetClientHeight());

  auto written = [](TComponent* AEdit, TComponent* AAncestor) {
    auto* binary = New<TMemoryStream>();
    auto* text = New<TMemoryStream>();
    binary->WriteDescendent(AEdit, AAncestor);
    binary->SetPosition(0);
    ObjectBinaryToText(*binary, *text);
    std::string result(static_cast<const char*>(text->GetMemory()), static_cast<std::size_t>(text->GetSize()));
    binary->Free();
    text->Free();
    return result;
  };
  auto* alone = MakeEdit(form, {10, 200, 150, 221});
  auto* same = MakeEdit(form, {10, 250, 150, 271});
  const std::string plain = written(alone, nullptr);
  EXPECT_NE(plain.find("Height = "), std::string::npos);
  EXPECT_NE(plain.find("Width = 140"), std::string::npos);
  EXPECT_EQ(written(alone, same).find("Width = "), std::string::npos);
  same->SetWidth(100);
  EXPECT_NE(written(alone, same).find("Width = 140"), std::string::npos);
}

TEST_F(CustomEdit, TheEditorAndACellAreMeasuredByThePropertiesOverOneViewDataOfTheKind) {
  auto* edit = MakeEdit(form, {10, 10, 150, 100});
  TTestKindProperties* props = edit->Props();
  props->ViewDataMade = 0;
  Show();
  EXPECT_GT(props->ViewDataMade, 0);  // the editor's own view data came from its properties

  // The auto-sized editor is as high as its properties say an editor of its
  // style is, stand-alone.
  TcxEditSizeProperties size;
  size.MaxLineCount = 1;
  size.Width = edit->GetWidth();
  TcxCanvas* canvas = cxScreenCanvas();
  TcxCustomEditStyle* style = edit->GetActiveStyle();
  const Variant value = edit->GetEditValue();
  EXPECT_EQ(props->GetEditSize(canvas, style, false, value, size).cy, edit->GetHeight());

  // A cell of the same kind: the constant part (the button's room) plus the
  // kind's content, and a cell needs no more than the editor.
  TSize minContent;
  const TSize constant = props->GetEditConstantPartSize(canvas, style, true, size, minContent);
  const TSize content = props->GetEditContentSize(canvas, style, true, value, size);
  EXPECT_EQ(content, (TSize{0, 15}));
  const TSize cell = props->GetEditSize(canvas, style, true, value, size);
  EXPECT_EQ(cell, (TSize{constant.cx + std::max(content.cx, minContent.cx),
                         constant.cy + std::max(content.cy, minContent.cy)}));
  EXPECT_LE(cell.cy, edit->GetHeight());

  // A preview is a view data of the kind marked as a sample.
  props->ViewDataMade = 0;
  TOwned<TcxCustomEditViewData> preview(props->CreateViewData(style, true, true));
  TOwned<TcxCustomEditViewData> plain(props->CreateViewData(style, false));
  EXPECT_EQ(props->ViewDataMade, 2);
  EXPECT_TRUE(preview->PreviewMode);
  EXPECT_TRUE(preview->GetIsInplace());
  EXPECT_EQ(preview->ClassType(), TTestKindViewData::StaticClass());
  EXPECT_FALSE(plain->PreviewMode);
  EXPECT_FALSE(plain->GetIsInplace());
  EXPECT_EQ(plain->GetStyle(), style);
}

TEST_F(CustomEdit, InPlaceEscClearKeyAndClickKeyWorkAsAloneAndEscNeverReachesTheEdit) {
  auto* grid = New<TTestGrid>(form);
  grid->SetBoundsRect({10, 10, 300, 150});
  grid->SetParent(form);
  auto* edit = MakeEdit(grid, {10, 10, 150, 31}, true);
  edit->Props()->SetClearKey(ShortCut(VK_DELETE, {ssCtrl}));
  edit->SetEditValue(Variant(AnsiString("x")));
  Show();
  TcxCustomEditData* data = nullptr;
  edit->Activate(data);
  Pump();
  log.clear();

  Press(VK_ESCAPE);
  Type("ab");
  Press(VK_ESCAPE);
  EXPECT_EQ(edit_test::Text(edit->GetEditValue()), "x");
  EXPECT_EQ(edit->Inner()->GetText(), "x");
  EXPECT_EQ(edit->Inner()->Keys, (Log{"down 27", "down 65", "char 97", "down 66", "char 98"}));
  // Typing changed the text, not the value: the reset changes no value.
  EXPECT_EQ(log, (Log{"editing agreed", "change", "change"}));

  log.clear();
  Chord(VK_CONTROL, VK_RETURN);
  EXPECT_EQ(log, Log{"button click 0"});
  log.clear();
  Chord(VK_CONTROL, VK_DELETE);
  EXPECT_EQ(log, (Log{"editing agreed", "change", "value changed"}));
  EXPECT_TRUE(VarIsNull(edit->GetEditValue()));
}

TEST_F(CustomEdit, EscBringsBackTheValueTheHostGaveLastAlsoWhileTheEditorKeptTheFocus) {
  // A grid whose editor stays open loads the next record's value into it;
  // an edit there undone by Esc is that record's value again, never the
  // value the editor held when it took the focus.
  auto* grid = New<TTestGrid>(form);
  grid->SetBoundsRect({10, 10, 300, 150});
  grid->SetParent(form);
  auto* edit = MakeEdit(grid, {10, 10, 150, 31}, true);
  edit->SetEditValue(Variant(AnsiString("first record")));
  Show();
  TcxCustomEditData* data = nullptr;
  edit->Activate(data);
  Pump();
  edit->SetEditValue(Variant(AnsiString("second record")));
  edit->SelectAll();
  Type("ab");
  Press(VK_ESCAPE);
  EXPECT_EQ(edit_test::Text(edit->GetEditValue()), "second record");
  EXPECT_EQ(edit->Inner()->GetText(), "second record");
  ASSERT_TRUE(edit->Deactivate());
  EXPECT_EQ(edit_test::Text(edit->GetEditValue()), "second record");
  edit->Free();

  // The same for a value set by code into a focused stand-alone editor;
  // the user's own change is still undone to it.
  auto* alone = MakeEdit(form, {10, 160, 150, 181});
  alone->SetEditValue(Variant(AnsiString("on entering")));
  Focus(alone);
  alone->SetEditValue(Variant(AnsiString("from code")));
  alone->SelectAll();
  Type("cd");
  Press(VK_ESCAPE);
  EXPECT_EQ(edit_test::Text(alone->GetEditValue()), "from code");
}

TEST_F(CustomEdit, AModalFormClosingWithAnAnswerTakesTheTypedValueAndACancelLeavesIt) {
  for (const TModalResult answer : {mrOk, mrCancel}) {
    auto* dialog = TCustomForm::CreateNew<TForm>(Application);
    dialog->SetBoundsRect({150, 150, 400, 300});
    auto* edit = MakeEdit(dialog, {10, 10, 150, 31});
    edit->SetEditValue(Variant(AnsiString("x")));
    test::OnNextModalLoop([&] {
      edit->SetFocus();
      Type("abc");
      dialog->SetModalResult(answer);
    });
    EXPECT_EQ(dialog->ShowModal(), answer);
    EXPECT_EQ(edit_test::Text(edit->GetEditValue()), answer == mrOk ? "abc" : "x");
    dialog->Free();
  }
}

TEST_F(CustomEdit, AnEditorReadFromALayoutKeepsNoLockAndHearsItsPropertiesAgain) {
  RegisterClasses({TTestKindEdit::StaticClass()});
  TComponent* built = forms::test::BuildFromText(R"(object Host: TForm
  object Edit1: TTestKindEdit
    Left = 8
    Top = 8
    Width = 120
    Height = 40
  end
end)");
  auto* edit = dynamic_cast<TTestKindEdit*>(built->FindComponent("Edit1"));
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->GetWidth(), 120);
  EXPECT_FALSE(edit->AreChangeEventsLocked());
  EXPECT_FALSE(edit->IsClickLocked());
  edit->Props()->SetReadOnly(true);
  EXPECT_TRUE(edit->Inner()->GetReadOnly());
  built->Free();
}

// An editor starts sized to its content and in the Tab order, and its
// layout keeps both at their declared defaults and turned off.
TEST_F(CustomEdit, EveryEditorKindKeepsItsSettingsAtTheirDeclaredDefaultsThroughALayout) {
  for (TClass cls : {TcxTextEdit::StaticClass(), TcxMaskEdit::StaticClass(), TcxButtonEdit::StaticClass(),
                     TcxComboBox::StaticClass(), TcxPopupEdit::StaticClass()}) {
    auto* edit = static_cast<TcxCustomEdit*>(cls->Create(form));
    edit->SetParent(form);
    EXPECT_TRUE(edit->GetAutoSize()) << cls->ClassName();
    EXPECT_TRUE(edit->GetTabStop()) << cls->ClassName();
    EXPECT_EQ(LostAtDeclaredDefaults(edit, form, {"AutoSize", "TabStop"}), std::vector<std::string>{})
        << cls->ClassName();
    edit->SetAutoSize(false);
    edit->SetTabStop(false);
    TMemoryStream stream;
    stream.WriteComponent(edit);
    stream.SetPosition(0);
    auto* copy = static_cast<TcxCustomEdit*>(cls->Create(static_cast<TComponent*>(nullptr)));
    copy->SetParent(form);
    stream.ReadComponent(copy);
    EXPECT_FALSE(copy->GetAutoSize()) << cls->ClassName();
    EXPECT_FALSE(copy->GetTabStop()) << cls->ClassName();
    copy->Free();
    edit->Free();
  }
}
