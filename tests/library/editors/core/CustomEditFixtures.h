// A small editor kind of the tests' own on a headless form: properties
// that validate and compare values, an inner control that is the platform
// edit, a data binding with a scripted default-values provider, and a
// grid stand-in that hosts in-place editors the way the editing controller
// does, writing what it hears to a log.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "library/editors/EditTestDoubles.h"
#include "library/editors/EditorSession.h"
#include "library/editors/core/cxCustomEdit.h"
#include "platform/controls/Edit.h"
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/win/Focus.h"
#include "platform/win/Keyboard.h"
#include "platform/win/TestHooks.h"
#include "platform/win/WindowProc.h"

namespace edit_test {

using Log = std::vector<std::string>;

inline std::string Text(const Variant& V) { return VarIsNull(V) ? "<null>" : std::string(VarToStr(V)); }

}  // namespace edit_test

// Lays the test kind out with room for one line of text.
class TTestKindViewData : public TcxCustomEditViewData {
  ORV_CLASS(TTestKindViewData, TcxCustomEditViewData)
 public:
  TTestKindViewData(TcxCustomEditProperties* AProperties, TcxCustomEditStyle* AStyle, bool AIsInplace)
      : TcxCustomEditViewData(AProperties, AStyle, AIsInplace) {}

 protected:
  TSize InternalGetEditContentSize(TcxCanvas*, const Variant&, const TcxEditSizeProperties&) override {
    return TSize{0, 15};
  }
};

class TTestKindProperties : public TcxCustomEditProperties {
  ORV_CLASS(TTestKindProperties, TcxCustomEditProperties)
 public:
  explicit TTestKindProperties(TPersistent* AOwner) : TcxCustomEditProperties(AOwner) {}
  bool Compares = true;
  bool CanValidate() const override { return true; }
  bool CanCompareEditValue() const override { return Compares; }
  bool IsResetEditClass() const override { return true; }
  TClass GetContainerClass() const override;
  TClass GetViewDataClass() const override { return TTestKindViewData::StaticClass(); }
  // How many view data were made, the editor's own included.
  Integer ViewDataMade = 0;
  TcxCustomEditViewData* CreateViewData(TcxCustomEditStyle* AStyle, bool AIsInplace,
                                        bool APreviewMode = false) override {
    ++ViewDataMade;
    return TcxCustomEditProperties::CreateViewData(AStyle, AIsInplace, APreviewMode);
  }
};

// What an editor is bound to: the scripted provider, and a log of what
// the editor stored.
class TTestKindDataBinding : public TcxEditDataBinding {
  ORV_CLASS(TTestKindDataBinding, TcxEditDataBinding)
 public:
  explicit TTestKindDataBinding(TcxCustomEdit* AEdit) : TcxEditDataBinding(AEdit) {
    FDefaultValuesProvider = New<TcxTestDefaultValuesProvider>();
  }
  TcxTestDefaultValuesProvider* Provider() const { return static_cast<TcxTestDefaultValuesProvider*>(FDefaultValuesProvider); }
  void SetStoredValue(const Variant& Value) override { Stored.push_back(edit_test::Text(Value)); }
  std::vector<std::string> Stored;
};

class TTestKindEdit;

// The platform edit hosted by the test kind: keys, the wheel and focus
// changes go to the editor first, as an inner text edit does.
class TTestInnerEdit : public TEdit, public IcxCustomInnerEdit, public IcxContainerInnerControl {
  ORV_CLASS(TTestInnerEdit, TEdit)
 public:
  explicit TTestInnerEdit(TComponent* AOwner) : TEdit(AOwner), FEdit(dynamic_cast<TcxCustomEdit*>(AOwner)) {}

  TWinControl* GetControl() override { return this; }
  TcxContainer* GetControlContainer() override { return FEdit; }
  win::LRESULT CallDefWndProc(win::UINT Msg, win::WPARAM WParam, win::LPARAM LParam) override {
    return win::CallWindowProcA(GetDefWndProc(), GetHandle(), Msg, WParam, LParam);
  }
  Variant GetEditValue() override { return Variant(GetText()); }
  TNotifyEvent GetOnChange() override { return OnChange; }
  bool GetReadOnly() override { return TCustomEdit::GetReadOnly(); }
  void LockBounds(bool) override {}
  void SafelySetFocus() override {
    const bool autoSelect = GetAutoSelect();
    SetAutoSelect(false);
    SetFocus();
    SetAutoSelect(autoSelect);
  }
  void SetEditValue(const Variant& Value) override { SetText(VarToStr(Value)); }
  void SetParent(TWinControl* Value) override { TEdit::SetParent(Value); }
  void SetOnChange(TNotifyEvent Value) override { OnChange = Value; }
  void SetReadOnly(bool Value) override { TCustomEdit::SetReadOnly(Value); }

  // Sets the text as the editor's display, not as a change.
  void SetQuietText(const AnsiString& Value) {
    FQuiet = true;
    SetText(Value);
    FQuiet = false;
  }
  // What the platform edit itself got of each key.
  edit_test::Log Keys;

 protected:
  void Change() override {
    if (!FQuiet) TEdit::Change();
  }
  void KeyDown(Word& Key, TShiftState Shift) override {
    FEdit->KeyDown(Key, Shift);
    if (Key == 0) return;
    Keys.push_back("down " + std::to_string(Key));
    TEdit::KeyDown(Key, Shift);
  }
  void KeyPress(char& Key) override {
    if (Key == '\t') Key = 0;
    FEdit->KeyPress(Key);
    if ((Key == '\r' || Key == '\x1B') && FEdit->IsInplace()) Key = 0;
    if (Key == 0) return;
    Keys.push_back("char " + std::to_string(static_cast<unsigned char>(Key)));
    TEdit::KeyPress(Key);
  }
  void KeyUp(Word& Key, TShiftState Shift) override {
    if (Key == win::VK_TAB) Key = 0;
    FEdit->KeyUp(Key, Shift);
    if (Key != 0) TEdit::KeyUp(Key, Shift);
  }
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override {
    TEdit::MouseDown(Button, Shift, X, Y);
    FEdit->MouseDown(Button, Shift, X + GetLeft(), Y + GetTop());
  }
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override {
    TEdit::MouseUp(Button, Shift, X, Y);
    FEdit->MouseUp(Button, Shift, X + GetLeft(), Y + GetTop());
  }
  bool DoMouseWheel(TShiftState, Integer, TPoint) override { return false; }

  void WMGetDlgCode(TMessage& Message) {
    DispatchFrom(TEdit::StaticClass(), Message);
    Message.Result |= win::DLGC_WANTCHARS;
    if (win::GetKeyState(win::VK_CONTROL) >= 0) Message.Result |= win::DLGC_WANTTAB;
    if (FEdit->IsInplace()) Message.Result |= win::DLGC_WANTALLKEYS;
  }
  ORV_MESSAGE(win::WM_GETDLGCODE, WMGetDlgCode)
  void WMSetFocus(TMessage& Message) {
    DispatchFrom(TEdit::StaticClass(), Message);
    FEdit->FocusChanged();
  }
  ORV_MESSAGE(win::WM_SETFOCUS, WMSetFocus)
  void WMKillFocus(TMessage& Message) {
    DispatchFrom(TEdit::StaticClass(), Message);
    if (!GetComponentState().Contains(csDestroying)) FEdit->FocusChanged();
  }
  ORV_MESSAGE(win::WM_KILLFOCUS, WMKillFocus)

 private:
  TcxCustomEdit* FEdit;
  bool FQuiet = false;
};

// The test kind: its text is the platform edit's; the edit value is the
// text that passed validation.
class TTestKindEdit : public TcxCustomEdit {
  ORV_CLASS(TTestKindEdit, TcxCustomEdit)
 public:
  explicit TTestKindEdit(TComponent* AOwner) : TcxCustomEdit(AOwner) {}
  TTestKindEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomEdit(AOwner, AIsInplace) {}

  TTestKindProperties* Props() const { return static_cast<TTestKindProperties*>(GetProperties()); }
  TTestInnerEdit* Inner() const { return static_cast<TTestInnerEdit*>(GetInnerControl()); }
  TTestKindDataBinding* Binding() const { return static_cast<TTestKindDataBinding*>(GetDataBinding()); }
  TcxTestDefaultValuesProvider* Provider() const { return Binding()->Provider(); }

  bool WantsNavigation = false;
  // Runs whenever the editor shows a value; a test may make it raise.
  std::function<void()> OnShow;
  edit_test::Log* ButtonLog = nullptr;

  Variant GetDisplayValue() override { return Variant(Inner()->GetText()); }
  void SetInternalDisplayValue(const Variant& Value) override {
    if (OnShow) OnShow();
    Inner()->SetQuietText(VarToStr(Value));
  }
  void SelectAll() override {
    if (Inner()->HandleAllocated()) Inner()->SelectAll();
  }
  using TcxCustomEdit::DoEditing;

 protected:
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override {
    return TTestKindProperties::StaticClass();
  }
  TClassRef<TWinControl> GetInnerEditClass() const override { return TTestInnerEdit::StaticClass(); }
  TcxEditDataBindingClass GetDataBindingClass() const override { return TTestKindDataBinding::StaticClass(); }
  void InternalSetDisplayValue(const Variant& Value) override { InternalSetEditValue(Value, false); }
  Variant InternalGetEditingValue() override { return Variant(Inner()->GetText()); }
  bool CanKeyDownModifyEdit(Word Key, TShiftState) override { return Key == win::VK_DELETE; }
  bool CanKeyPressModifyEdit(char Key) override { return static_cast<unsigned char>(Key) >= ' ' || Key == '\b'; }
  bool WantNavigationKeys() override { return WantsNavigation; }
  void DoButtonDown(Integer AIndex) override {
    if (ButtonLog) ButtonLog->push_back("down " + std::to_string(AIndex));
  }
  void DoButtonUp(Integer AIndex) override {
    if (ButtonLog) ButtonLog->push_back("up " + std::to_string(AIndex));
  }
};

inline TClass TTestKindProperties::GetContainerClass() const { return TTestKindEdit::StaticClass(); }

// A grid stand-in: a plain window control that hosts in-place editors
// and takes the wheel turns they leave alone.
class TTestGrid : public TCustomControl {
  ORV_CLASS(TTestGrid, TCustomControl)
 public:
  explicit TTestGrid(TComponent* AOwner) : TCustomControl(AOwner) {}
  edit_test::Log* WheelLog = nullptr;

 protected:
  bool DoMouseWheel(TShiftState, Integer, TPoint) override {
    if (WheelLog) WheelLog->push_back("grid wheel");
    return true;
  }
};

// A repository item holding properties of the test kind.
class TTestKindRepositoryItem : public TcxEditRepositoryItem {
  ORV_CLASS(TTestKindRepositoryItem, TcxEditRepositoryItem)
 public:
  explicit TTestKindRepositoryItem(TComponent* AOwner) : TcxEditRepositoryItem(AOwner) {}
  TClass GetEditPropertiesClass() const override { return TTestKindProperties::StaticClass(); }
};

inline ORV_REGISTER(TTestKindRepositoryItem)
inline ORV_REGISTER(TTestKindViewData)
inline ORV_REGISTER(TTestKindProperties)
inline ORV_REGISTER(TTestKindDataBinding)
inline ORV_REGISTER(TTestInnerEdit)
inline ORV_REGISTER(TTestKindEdit)
inline ORV_REGISTER(TTestGrid)

// A headless form with the editor units started; helpers inject input.
class CustomEditSession : public ::testing::Test, public edit_test::EditorSession {
 protected:
  TForm* form = nullptr;
  edit_test::Log log;

  void SetUp() override {
    form = TCustomForm::CreateNew<TForm>(Application);
    form->SetBoundsRect({100, 100, 500, 400});
  }
  void TearDown() override {
    if (form) form->Free();
    win::test::PumpUntilIdle();
  }
  void Show() {
    form->Show();
    win::test::PumpUntilIdle();
  }

  // A stand-alone editor of the test kind with one default button; its
  // change events, editing requests and posts are written to the log.
  TTestKindEdit* MakeEdit(TWinControl* AParent, TRect ABounds, bool AInplace = false) {
    auto* edit = static_cast<TTestKindEdit*>(TTestKindEdit::StaticClass()->Construct<TComponent*, bool>(
        AInplace ? nullptr : static_cast<TComponent*>(form), AInplace));
    edit->Props()->GetButtons()->Add()->SetDefault(true);
    edit->SetBoundsRect(ABounds);
    edit->SetParent(AParent);
    Listen(edit);
    return edit;
  }
  void Listen(TTestKindEdit* edit) {
    auto* props = edit->Props();
    props->OnChange = [this](TObject*) { log.push_back("change"); };
    props->OnEditValueChanged = [this](TObject*) { log.push_back("value changed"); };
    props->OnButtonClick = [this](TObject*, Integer i) { log.push_back("button click " + std::to_string(i)); };
    edit->OnPostEditValue = [this, edit](TObject*) { log.push_back("post " + edit_test::Text(edit->GetEditValue())); };
    edit->OnEditing = [this](TObject*, bool& CanEdit) {
      log.push_back(std::string("editing ") + (refuseEditing ? "refused" : "agreed"));
      CanEdit = !refuseEditing;
    };
    edit->OnAfterKeyDown = [this](TObject*, Word& Key, TShiftState) {
      log.push_back("after key " + std::to_string(Key));
    };
    edit->ButtonLog = &log;
  }
  bool refuseEditing = false;

  void Focus(TTestKindEdit* edit) {
    edit->SetFocus();
    Pump();
    log.clear();
  }
};
