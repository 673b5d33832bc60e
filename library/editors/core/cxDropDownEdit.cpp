#include "library/editors/core/cxDropDownEdit.h"

#include <algorithm>
#include <vector>

#include "library/editors/core/cxComboBox.h"
#include "library/editors/core/cxEditConsts.h"
#include "library/editors/core/cxEditRegistries.h"
#include "library/editors/core/cxPopupEdit.h"
#include "library/foundation/cxGeometry.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/win/Focus.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Mouse.h"
#include "platform/win/Queue.h"
#include "platform/win/Window.h"

using namespace win;

ORV_REGISTER(TcxCustomDropDownEditProperties)
ORV_REGISTER(TcxCustomDropDownEditData)
ORV_REGISTER(TcxCustomDropDownEditViewData)
ORV_REGISTER(TcxEditPopupControlLookAndFeel)
ORV_REGISTER(TcxCustomDropDownInnerEdit)
ORV_REGISTER(TcxCustomDropDownEdit)
ORV_REGISTER(TcxFilterDropDownEditHelper)

namespace {

// The handler of the own properties, then the repository item's.
template <typename Handler>
void ForEachProperties(TcxCustomDropDownEdit* AEdit, Handler AHandler) {
  AHandler(AEdit->GetProperties());
  if (AEdit->GetRepositoryItem() && AEdit->GetActiveProperties() != AEdit->GetProperties())
    AHandler(AEdit->GetActiveProperties());
}

int WheelKeys(TShiftState Shift) {
  int keys = 0;
  if (Shift.Contains(ssShift)) keys |= MK_SHIFT;
  if (Shift.Contains(ssCtrl)) keys |= MK_CONTROL;
  if (Shift.Contains(ssLeft)) keys |= MK_LBUTTON;
  if (Shift.Contains(ssRight)) keys |= MK_RBUTTON;
  if (Shift.Contains(ssMiddle)) keys |= MK_MBUTTON;
  return keys;
}

// Moves the queued characters of a window into AChars. A removed WM_QUIT
// is posted again and ends the taking.
void TakeChars(HWND AWnd, std::vector<MSG>& AChars) {
  MSG msg;
  while (PeekMessageA(&msg, AWnd, WM_CHAR, WM_CHAR, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    AChars.push_back(msg);
  }
}

struct ChangeEventsLock {
  TcxCustomEdit* edit;
  explicit ChangeEventsLock(TcxCustomEdit* AEdit) : edit(AEdit) { edit->LockChangeEvents(true); }
  ~ChangeEventsLock() { edit->LockChangeEvents(false); }
};

}  // namespace

// --- properties -----------------------------------------------------------------------

TcxCustomDropDownEditProperties::TcxCustomDropDownEditProperties(TPersistent* AOwner)
    : TcxCustomMaskEditProperties(AOwner) {}

// The buttons exist once the base is built.
void TcxCustomDropDownEditProperties::AfterConstruction() {
  inherited::AfterConstruction();
  // The button is told about while it is being made: not a moment to ask
  // it about its glyph.
  FGlyphChecking = true;
  GetButtons()->Add()->SetKind(bkDown);
  FGlyphChecking = false;
  FGlyphButtonIndex = DropDownButtonVisibleIndex();
}

TClass TcxCustomDropDownEditProperties::GetContainerClass() const { return TcxCustomDropDownEdit::StaticClass(); }

TClass TcxCustomDropDownEditProperties::GetViewDataClass() const {
  return TcxCustomDropDownEditViewData::StaticClass();
}

TClassRef<TcxCustomEditPopupWindow> TcxCustomDropDownEditProperties::GetPopupWindowClass() const {
  return TcxCustomEditPopupWindow::StaticClass();
}

void TcxCustomDropDownEditProperties::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomDropDownEditProperties*>(Source);
  if (!source) return inherited::DoAssign(Source);
  BeginUpdate();
  auto end = orv::ScopeExit([this] { EndUpdate(); });
  inherited::DoAssign(Source);
  SetButtonGlyph(source->GetButtonGlyph());
  FImmediateDropDown = source->FImmediateDropDown;
  FImmediatePopup = source->FImmediatePopup;
  SetKeepArrowButtonPressedWhenDroppedDown(source->FKeepArrowButtonPressedWhenDroppedDown);
  FPopupAutoSize = source->FPopupAutoSize;
  SetPopupClientEdge(source->FPopupClientEdge);
  FPopupDirection = source->FPopupDirection;
  FPopupHorzAlignment = source->FPopupHorzAlignment;
  FPopupVertAlignment = source->FPopupVertAlignment;
  FPopupMinHeight = source->FPopupMinHeight;
  FPopupMinWidth = source->FPopupMinWidth;
  FPopupHeight = source->FPopupHeight;
  FPopupWidth = source->FPopupWidth;
  SetPopupSizeable(source->FPopupSizeable);
  SetPopupSysPanelStyle(source->FPopupSysPanelStyle);
  FPostPopupValueOnTab = source->FPostPopupValueOnTab;
  OnClosePopup = source->OnClosePopup;
  OnCloseQuery = source->OnCloseQuery;
  OnCloseUp = source->OnCloseUp;
  OnInitPopup = source->OnInitPopup;
  OnPopup = source->OnPopup;
}

void TcxCustomDropDownEditProperties::Changed() {
  if (FGlyphChecking) return inherited::Changed();
  FGlyphChecking = true;
  auto done = orv::ScopeExit([this] { FGlyphChecking = false; });
  CheckGlyphButtonKind();
  inherited::Changed();
}

void TcxCustomDropDownEditProperties::CheckGlyphButtonKind() {
  TcxEditButtons* buttons = GetButtons();
  if (!buttons || FGlyphButtonIndex < 0 || FGlyphButtonIndex >= buttons->GetCount()) return;
  TcxEditButton* button = buttons->GetItem(FGlyphButtonIndex);
  const bool hasGlyph = button->HasGlyph() && !button->GetGlyph()->Empty();
  if (hasGlyph)
    button->SetKind(bkGlyph);
  else if (button->GetKind() == bkGlyph)
    button->SetKind(bkDown);
}

TBitmap* TcxCustomDropDownEditProperties::GetButtonGlyph() const {
  TcxEditButtons* buttons = GetButtons();
  if (FGlyphButtonIndex < 0 || FGlyphButtonIndex >= buttons->GetCount()) return nullptr;
  return buttons->GetItem(FGlyphButtonIndex)->GetGlyph();
}

void TcxCustomDropDownEditProperties::SetButtonGlyph(TBitmap* Value) {
  TcxEditButtons* buttons = GetButtons();
  if (FGlyphButtonIndex < 0 || FGlyphButtonIndex >= buttons->GetCount()) return;
  buttons->GetItem(FGlyphButtonIndex)->SetGlyph(Value);
  Changed();
}

void TcxCustomDropDownEditProperties::SetGlyphButtonIndex(Integer Value) {
  if (Value == FGlyphButtonIndex) return;
  TcxEditButtons* buttons = GetButtons();
  TBitmap* glyph = nullptr;
  if (FGlyphButtonIndex >= 0 && FGlyphButtonIndex < buttons->GetCount()) {
    TcxEditButton* old = buttons->GetItem(FGlyphButtonIndex);
    if (old->GetKind() == bkGlyph) {
      glyph = New<TBitmap>();
      glyph->Assign(old->GetGlyph());
      old->SetGlyph(nullptr);
      old->SetKind(bkDown);
    }
  }
  FGlyphButtonIndex = Value;
  if (glyph && Value >= 0 && Value < buttons->GetCount()) buttons->GetItem(Value)->SetGlyph(glyph);
  if (glyph) glyph->Free();
  Changed();
}

void TcxCustomDropDownEditProperties::SetKeepArrowButtonPressedWhenDroppedDown(bool Value) {
  if (Value == FKeepArrowButtonPressedWhenDroppedDown) return;
  FKeepArrowButtonPressedWhenDroppedDown = Value;
  Changed();
}

TAlignment TcxCustomDropDownEditProperties::GetPopupAlignment() const {
  switch (FPopupHorzAlignment) {
    case pahRight: return taRightJustify;
    case pahCenter: return taCenter;
    default: return taLeftJustify;
  }
}

void TcxCustomDropDownEditProperties::SetPopupAlignment(TAlignment Value) {
  const TcxPopupAlignHorz align = Value == taRightJustify ? pahRight : Value == taCenter ? pahCenter : pahLeft;
  if (align == FPopupHorzAlignment) return;
  FPopupHorzAlignment = align;
  Changed();
}

void TcxCustomDropDownEditProperties::SetPopupClientEdge(bool Value) {
  if (Value == FPopupClientEdge) return;
  FPopupClientEdge = Value;
  Changed();
}

void TcxCustomDropDownEditProperties::SetPopupHeight(Integer Value) {
  FPopupHeight = std::max(Value, FPopupMinHeight);
}

void TcxCustomDropDownEditProperties::SetPopupMinHeight(Integer Value) {
  FPopupMinHeight = std::max(Value, 0);
  SetPopupHeight(FPopupHeight);
}

void TcxCustomDropDownEditProperties::SetPopupWidth(Integer Value) {
  if (Value < 0)
    FPopupWidth = 0;
  else if (Value >= 1 && Value < FPopupMinWidth)
    FPopupWidth = FPopupMinWidth;
  else
    FPopupWidth = Value;
}

void TcxCustomDropDownEditProperties::SetPopupMinWidth(Integer Value) {
  FPopupMinWidth = std::max(Value, 0);
  SetPopupWidth(FPopupWidth);
}

void TcxCustomDropDownEditProperties::SetPopupSizeable(bool Value) {
  if (Value == FPopupSizeable) return;
  FPopupSizeable = Value;
  Changed();
}

void TcxCustomDropDownEditProperties::SetPopupSysPanelStyle(bool Value) {
  if (Value == FPopupSysPanelStyle) return;
  FPopupSysPanelStyle = Value;
  Changed();
}

// --- edit data, view data, look and feel, inner edit -------------------------------------

void TcxCustomDropDownEditData::Clear() {
  Initialized = false;
  inherited::Clear();
}

void TcxCustomDropDownEditViewData::Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                              TcxMouseButton AButton, TShiftState AShift,
                                              TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  inherited::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  auto* viewInfo = static_cast<TcxCustomTextEditViewInfo*>(AViewInfo);
  TcxCustomDropDownEditProperties* properties = GetProperties();
  // With HideSelection off the selection shows as an edit shows its own:
  // the selected text lit, the rest of the field in the window colour.
  bool selected = properties->GetEditingStyle() == esFixedList && viewInfo->Focused && properties->GetHideSelection();
  if (selected && properties->GetFixedListSelection())
    if (auto* edit = dynamic_cast<TcxCustomTextEdit*>(Edit)) selected = !edit->GetFindSelection();
  viewInfo->DrawSelected = selected;
}

bool TcxCustomDropDownEditViewData::CanPressButton(TcxCustomEditViewInfo* AViewInfo, Integer AButtonVisibleIndex) {
  if (AButtonVisibleIndex == GetProperties()->DropDownButtonVisibleIndex() && IsHotAndPopup) return false;
  return inherited::CanPressButton(AViewInfo, AButtonVisibleIndex);
}

bool TcxCustomDropDownEditViewData::IsButtonPressed(TcxCustomEditViewInfo* AViewInfo, Integer AButtonVisibleIndex) {
  if (inherited::IsButtonPressed(AViewInfo, AButtonVisibleIndex)) return true;
  return AButtonVisibleIndex == GetProperties()->DropDownButtonVisibleIndex() &&
         GetProperties()->GetKeepArrowButtonPressedWhenDroppedDown() && (HasPopupWindow || IsHotAndPopup);
}

TcxEditPopupControlLookAndFeel::TcxEditPopupControlLookAndFeel(TcxCustomDropDownEdit* AEdit)
    : TcxLookAndFeel(nullptr), FEdit(AEdit) {}

void TcxEditPopupControlLookAndFeel::EditStyleChanged() { Changed({lfvKind, lfvNativeStyle}); }

TcxLookAndFeelKind TcxEditPopupControlLookAndFeel::InternalGetKind() const {
  if (FEdit->IsInplace()) return FEdit->GetActiveStyle()->GetLookAndFeel()->GetKind();
  TcxCustomEditViewInfo* viewInfo = FEdit->GetViewInfo();
  if (!viewInfo || viewInfo->ButtonInfos.empty()) return lfStandard;
  switch (viewInfo->ButtonInfos.front()->ButtonStyle) {
    case btsFlat:
    case btsSimple:
    case btsHotFlat: return lfFlat;
    case btsUltraFlat: return lfUltraFlat;
    case btsOffice11: return lfOffice11;
    default: return lfStandard;
  }
}

bool TcxEditPopupControlLookAndFeel::InternalGetNativeStyle() const {
  TcxCustomEditViewInfo* viewInfo = FEdit->GetViewInfo();
  return viewInfo && viewInfo->IsNative;
}

void TcxCustomDropDownInnerEdit::CMHintShow(TMessage& Message) {
  auto* edit = dynamic_cast<TcxCustomDropDownEdit*>(GetContainer());
  if (edit && edit->GetDroppedDown())
    Message.Result = 1;
  else
    DispatchFrom(inherited::StaticClass(), Message);
}

// --- the editor: life ---------------------------------------------------------------------

void TcxCustomDropDownEdit::Initialize() {
  inherited::Initialize();
  if (!GetIsDesigning()) CreatePopupWindow();
  FPopupLookAndFeel = New<TcxEditPopupControlLookAndFeel>(this);
  FPopupLookAndFeel->SetMasterLookAndFeel(GetStyle()->GetLookAndFeel());
}

void TcxCustomDropDownEdit::CreatePopupWindow() {
  TcxCustomDropDownEditProperties* properties = GetActiveProperties();
  FPopupWindow = properties->GetPopupWindowClass().Construct<TWinControl*>(this);
  FPopupWindow->SetCaptureFocus(properties->PopupWindowCapturesFocus());
  FPopupWindow->SetIsTopMost(!IsInplace());
  FPopupWindow->SetBiDiMode(GetBiDiMode());
  FPopupWindow->OnClosed = TNotifyEvent::Bind<&TcxCustomDropDownEdit::PopupWindowClosed>(this);
  FPopupWindow->OnClosing = TNotifyEvent::Bind<&TcxCustomDropDownEdit::PopupWindowClosing>(this);
  FPopupWindow->OnShowing = TNotifyEvent::Bind<&TcxCustomDropDownEdit::PopupWindowShowing>(this);
  FPopupWindow->OnShowed = TNotifyEvent::Bind<&TcxCustomDropDownEdit::PopupWindowShowed>(this);
  FPopupWindow->OnCloseQuery = TCloseQueryEvent::Bind<&TcxCustomDropDownEdit::PopupWindowCloseQuery>(this);
}

// An editor that goes while its popup is open closes it first, the usual
// way, so that whatever the popup holds goes back where it belongs.
void TcxCustomDropDownEdit::BeforeDestruction() {
  if (HasPopupWindow()) CloseUp(crUnknown);
  if (FPopupWindow) {
    FPopupWindow->OnClosed = {};
    FPopupWindow->OnClosing = {};
    FPopupWindow->OnShowing = {};
    FPopupWindow->OnShowed = {};
    FPopupWindow->OnCloseQuery = {};
  }
  if (IcxTextEditLookupData* lookup = GetILookupData()) lookup->Deinitialize();
  inherited::BeforeDestruction();
}

TcxCustomDropDownEdit::~TcxCustomDropDownEdit() {
  RemoveShowRequests();
  if (FPopupWindow) FPopupWindow->Free();
  FPopupWindow = nullptr;
  if (FPopupLookAndFeel) FPopupLookAndFeel->Free();
}

TClassRef<TcxCustomEditProperties> TcxCustomDropDownEdit::GetPropertiesClass() const {
  return TcxCustomDropDownEditProperties::StaticClass();
}

TcxCustomEditDataClass TcxCustomDropDownEdit::GetEditDataClass() const {
  return TcxCustomDropDownEditData::StaticClass();
}

TClassRef<TWinControl> TcxCustomDropDownEdit::GetInnerEditClass() const {
  return TcxCustomDropDownInnerEdit::StaticClass();
}

TcxCustomDropDownEditData* TcxCustomDropDownEdit::GetDropDownEditData() const {
  return IsInplaceConst() ? dynamic_cast<TcxCustomDropDownEditData*>(GetEditData()) : nullptr;
}

bool TcxCustomDropDownEdit::IsInplaceConst() const { return const_cast<TcxCustomDropDownEdit*>(this)->IsInplace(); }

// A cell's remembered size survives activations; only new or cleared edit
// data start from the properties' size.
void TcxCustomDropDownEdit::InitializeEditData() {
  auto* data = dynamic_cast<TcxCustomDropDownEditData*>(GetEditData());
  if (!data || (data->Prepared && !data->GetCleared())) return;
  data->MarkPrepared();
  data->Initialized = false;
  data->Width = GetActiveProperties()->GetPopupWidth();
  data->Height = GetActiveProperties()->GetPopupHeight();
}

TcxCustomEditViewData* TcxCustomDropDownEdit::CreateViewData() {
  TcxCustomEditViewData* viewData = inherited::CreateViewData();
  if (auto* dropDown = dynamic_cast<TcxCustomDropDownEditViewData*>(viewData)) {
    dropDown->HasPopupWindow = HasPopupWindow();
    dropDown->IsHotAndPopup = FIsHotAndPopup;
  }
  return viewData;
}

// --- opening ----------------------------------------------------------------------------

bool TcxCustomDropDownEdit::HasPopupWindow() { return FPopupWindow && FPopupWindow->IsVisible(); }

bool TcxCustomDropDownEdit::IsShowRequestQueued() {
  if (!FPopupWindow || !FPopupWindow->HandleAllocated()) return false;
  MSG msg;
  return PeekMessageA(&msg, FPopupWindow->GetHandle(), DXM_SHOWPOPUPWINDOW, DXM_SHOWPOPUPWINDOW, PM_NOREMOVE);
}

void TcxCustomDropDownEdit::RemoveShowRequests() {
  if (FPopupWindow && FPopupWindow->HandleAllocated())
    KillMessages(FPopupWindow->GetHandle(), DXM_SHOWPOPUPWINDOW, DXM_SHOWPOPUPWINDOW);
}

void TcxCustomDropDownEdit::SetDroppedDown(bool Value) {
  if (!Value) return CloseUp(crUnknown);
  if (HasPopupWindow() || IsShowRequestQueued()) return;
  DropDown();
}

void TcxCustomDropDownEdit::DropDown() {
  if (!FPopupWindow || !HandleAllocated() || !IsWindowVisible(GetHandle())) return;
  DoInitPopup();
  if (!CanDropDown()) {
    DoFinalizePopup();
    return;
  }
  SetupPopupWindow();
  FPopupWindow->HandleNeeded();
  FPopupWindow->SetClosedByOwnerClick(false);
  PostMessageA(FPopupWindow->GetHandle(), DXM_SHOWPOPUPWINDOW, 0, 0);
}

void TcxCustomDropDownEdit::DoInitPopup() {
  if (FIsPopupInitialized) return;
  FIsPopupInitialized = true;
  ForEachProperties(this, [this](TcxCustomDropDownEditProperties* AProperties) {
    if (AProperties->OnInitPopup) AProperties->OnInitPopup(this);
  });
  if (GetActiveProperties()->UseLookupData() && GetILookupData()) GetILookupData()->DropDown();
}

void TcxCustomDropDownEdit::SetupPopupWindow() {
  TcxCustomDropDownEditProperties* properties = GetActiveProperties();
  FPopupWindow->SetCaptureFocus(properties->PopupWindowCapturesFocus());
  InitializeLookupData();
  InitializePopupWindow();
  FPopupWindow->CalculateSize();
  const TPoint position = FPopupWindow->CalculatePosition();
  FPopupWindow->SetBounds(position.X, position.Y, FPopupWindow->GetWidth(), FPopupWindow->GetHeight());
  FPopupWindow->RefreshPopupWindow();
  PositionPopupWindowChilds(FPopupWindow->GetViewInfo()->ClientRect);
  // The popup looks as see-through as the form it drops from.
  if (IsWinXP)
    if (TCustomForm* form = GetParentForm(this)) {
      FPopupWindow->SetAlphaBlend(form->GetAlphaBlend());
      FPopupWindow->SetAlphaBlendValue(form->GetAlphaBlendValue());
      FPopupWindow->SetTransparentColor(form->GetTransparentColor());
      FPopupWindow->SetTransparentColorValue(form->GetTransparentColorValue());
    }
}

void TcxCustomDropDownEdit::InitializePopupWindow() {
  TcxCustomDropDownEditProperties* properties = GetActiveProperties();
  FPopupWindow->SetOwnerParent(GetParent());
  FPopupWindow->SetDirection(properties->GetPopupDirection());
  FPopupWindow->SetAlignHorz(properties->GetPopupHorzAlignment());
  FPopupWindow->SetAlignVert(properties->GetPopupVertAlignment());
  FPopupWindow->SetClientEdge(properties->GetPopupClientEdge());
  FPopupWindow->SetMinHeight(properties->GetPopupMinHeight());
  FPopupWindow->SetMinWidth(properties->GetPopupMinWidth());
  FPopupWindow->SetPopupAutoSize(properties->GetPopupAutoSize());
  FPopupWindow->SetSizeable(properties->GetPopupSizeable());
  FPopupWindow->SetSysPanelStyle(properties->GetPopupSysPanelStyle());
  TcxCustomDropDownEditData* data = GetDropDownEditData();
  if (data && properties->GetPopupSizeable()) {
    FPopupWindow->SetPopupWidth(data->Width);
    FPopupWindow->SetPopupHeight(data->Height);
  } else {
    FPopupWindow->SetPopupWidth(properties->GetPopupWidth());
    FPopupWindow->SetPopupHeight(properties->GetPopupHeight());
  }
  FPopupWindow->SetCloseButton(GetActiveStyle()->GetPopupCloseButton());
  if (TcxCustomEditViewInfo* viewInfo = GetViewInfo()) {
    FPopupWindow->SetBorderStyle(viewInfo->PopupBorderStyle);
    FPopupWindow->SetNativeStyle(viewInfo->IsNative);
    FPopupWindow->SetShadow(viewInfo->Shadow);
  }
}

void TcxCustomDropDownEdit::InitializeLookupData() {
  IcxTextEditLookupData* lookup = GetILookupData();
  if (lookup && !GetIsDesigning() && GetActiveProperties()->IsLookupDataVisual()) lookup->Initialize(FPopupWindow);
}

TWinControl* TcxCustomDropDownEdit::GetPopupFocusedControl() {
  TWinControl* result = GetInnerControl();
  IcxTextEditLookupData* lookup = GetILookupData();
  if (lookup && GetActiveProperties()->IsLookupDataVisual() && GetActiveProperties()->PopupWindowCapturesFocus())
    if (TWinControl* list = lookup->GetActiveControl()) result = list;
  return result;
}

void TcxCustomDropDownEdit::PopupWindowShowed(TObject*) {
  // A close by the popup's hooks has no reason of its own.
  FCloseUpReason = crUnknown;
  ShortRefreshContainer(false);
  FPopupWindow->CalculateViewInfo();
  PositionPopupWindowChilds(FPopupWindow->GetViewInfo()->ClientRect);
  // A popup that takes the keyboard hands it to its own control.
  if (FPopupWindow->GetCaptureFocus())
    if (TWinControl* focused = GetPopupFocusedControl(); focused && focused != GetInnerControl() &&
                                                          focused->GetParent() && focused->CanFocus())
      focused->SetFocus();
  DoPopup();
  UpdateDrawValue();
  TcxCustomDropDownEditProperties* properties = GetActiveProperties();
  if (properties->UseLookupData() && GetILookupData() && properties->GetImmediateDropDown() &&
      properties->PopupWindowCapturesFocus() && FPopupOpenedByTyping)
    GetILookupData()->DroppedDown(GetText().substr(0, static_cast<std::size_t>(std::max<Integer>(GetSelStart(), 0))));
  FPopupSizeChanged = false;
}

void TcxCustomDropDownEdit::DoPopup() {
  ForEachProperties(this, [this](TcxCustomDropDownEditProperties* AProperties) {
    if (AProperties->OnPopup) AProperties->OnPopup(this);
  });
}

// --- closing ---------------------------------------------------------------------------------

void TcxCustomDropDownEdit::CloseUp(TcxEditCloseUpReason AReason) {
  if (!HasPopupWindow()) return;
  {
    ChangeEventsLock lock(this);
    if (AReason == crTab || AReason == crClose || AReason == crEnter) {
      IcxTextEditLookupData* lookup = GetILookupData();
      if (lookup && GetActiveProperties()->UseLookupData()) {
        const Variant previous = lookup->GetCurrentKey();
        {
          LockClick(true);
          auto unlock = orv::ScopeExit([this] { LockClick(false); });
          lookup->SelectItem();
        }
        if (GetModifiedAfterEnter() && !InternalVarEqualsExact(previous, lookup->GetCurrentKey())) DoClick();
      }
      if (!GetActiveProperties()->GetAlwaysPostEditValue() && GetActiveProperties()->GetImmediatePost() &&
          CanPostEditValue())
        InternalPostEditValue(true);
    }
  }
  FCloseUpReason = AReason;
  if (FPopupWindow->IsVisible()) FPopupWindow->CloseUp();
}

void TcxCustomDropDownEdit::PopupWindowClosed(TObject*) {
  TcxCustomDropDownEditProperties* properties = GetActiveProperties();
  if (properties->GetPopupSizeable() && FPopupSizeChanged) {
    if (TcxCustomDropDownEditData* data = GetDropDownEditData()) {
      data->Initialized = true;
      data->Width = FPopupWindow->GetWidth();
      data->Height = FPopupWindow->GetHeight();
    } else {
      properties->SetPopupWidth(FPopupWindow->GetWidth());
      properties->SetPopupHeight(FPopupWindow->GetHeight());
    }
    FPopupSizeRemembered = true;
    FPopupSizeChanged = false;
  }
  FPopupOpenedByTyping = false;
  DoFinalizePopup();
  if (properties->GetEditingStyle() == esFixedList) ShortRefreshContainer(false);
  DoCloseUp();
  {
    ChangeEventsLock lock(this);
    if (properties->GetAlwaysPostEditValue() && properties->GetImmediatePost() && CanPostEditValue() &&
        ValidateEdit(false))
      InternalPostEditValue(false);
  }
  SetIsHotAndPopup();
  ShortRefreshContainer(false);
}

void TcxCustomDropDownEdit::DoFinalizePopup() {
  FIsPopupInitialized = false;
  if (IcxTextEditLookupData* lookup = GetILookupData(); lookup && GetActiveProperties()->UseLookupData())
    lookup->CloseUp();
  ForEachProperties(this, [this](TcxCustomDropDownEditProperties* AProperties) {
    if (AProperties->OnFinalizePopup) AProperties->OnFinalizePopup(this);
  });
}

void TcxCustomDropDownEdit::DoCloseUp() {
  DoClosePopup(FCloseUpReason);
  ForEachProperties(this, [this](TcxCustomDropDownEditProperties* AProperties) {
    if (AProperties->OnCloseUp) AProperties->OnCloseUp(this);
  });
}

void TcxCustomDropDownEdit::PopupWindowCloseQuery(TObject*, bool& CanClose) { DoCloseQuery(CanClose); }

void TcxCustomDropDownEdit::DoCloseQuery(bool& CanClose) {
  ForEachProperties(this, [this, &CanClose](TcxCustomDropDownEditProperties* AProperties) {
    if (AProperties->OnCloseQuery) AProperties->OnCloseQuery(this, CanClose);
  });
}

// --- activation --------------------------------------------------------------------------------

void TcxCustomDropDownEdit::Activate(TcxCustomEditData*& AEditData) {
  inherited::Activate(AEditData);
  auto* data = dynamic_cast<TcxCustomDropDownEditData*>(AEditData);
  FPopupSizeRemembered = data && data->Initialized && GetActiveProperties()->GetPopupSizeable();
  if (GetActiveProperties()->GetImmediatePopup()) SetDroppedDown(true);
}

void TcxCustomDropDownEdit::ActivateByKey(char AKey, TcxCustomEditData*& AEditData) {
  inherited::ActivateByKey(AKey, AEditData);
  TcxCustomDropDownEditProperties* properties = GetActiveProperties();
  if (static_cast<unsigned char>(AKey) < ' ' || !properties->GetImmediateDropDown() ||
      properties->GetImmediatePopup())
    return;
  const bool keyToEditor = SendActivationKey(AKey);
  if (!keyToEditor) {
    FPopupOpenedByTyping = true;
    SetDroppedDown(true);
    if (CanDropDown() && GetPopupFocusedControl() && FPopupWindow->HandleAllocated())
      PostMessageA(FPopupWindow->GetHandle(), DXM_POPUPCONTROLKEY, static_cast<unsigned char>(AKey), 0);
  }
}

void TcxCustomDropDownEdit::ActivateByMouse(TShiftState Shift, Integer X, Integer Y,
                                            TcxCustomEditData*& AEditData) {
  FIsActivatingByMouse = true;
  auto done = orv::ScopeExit([this] { FIsActivatingByMouse = false; });
  inherited::ActivateByMouse(Shift, X, Y, AEditData);
}

bool TcxCustomDropDownEdit::Deactivate() {
  if (HasPopupWindow()) CloseUp(crUnknown);
  if (auto* data = GetDropDownEditData()) data->Initialized = FPopupSizeRemembered;
  const bool result = inherited::Deactivate();
  RemoveShowRequests();
  return result;
}

bool TcxCustomDropDownEdit::SendActivationKey(char AKey) {
  TcxCustomDropDownEditProperties* properties = GetActiveProperties();
  if (properties->GetImmediateDropDown() && properties->PopupWindowCapturesFocus()) return AKey == '\r';
  return true;
}

// --- focus --------------------------------------------------------------------------------------

void TcxCustomDropDownEdit::DoExit() {
  CloseUp(crUnknown);
  inherited::DoExit();
}

void TcxCustomDropDownEdit::DestroyWnd() {
  CloseUp(crUnknown);
  inherited::DestroyWnd();
}

bool TcxCustomDropDownEdit::Focused() { return inherited::Focused() || HasPopupWindow(); }

void TcxCustomDropDownEdit::FocusChanged() {
  if (!GetActiveProperties()->PopupWindowCapturesFocus() && !inherited::Focused()) CloseUp(crUnknown);
  inherited::FocusChanged();
}

// --- keys and mouse ---------------------------------------------------------------------------------

void TcxCustomDropDownEdit::DoEditKeyDown(Word& Key, TShiftState Shift) {
  const bool alt = Shift.Contains(ssAlt);
  if (((Key == VK_UP || Key == VK_DOWN) && alt) || (Key == VK_F4 && !alt)) {
    if (HasPopupWindow())
      CloseUp(crClose);
    else
      SetDroppedDown(true);
    Key = 0;
    return;
  }
  if ((Key == VK_RETURN || Key == VK_ESCAPE) && !alt && HasPopupWindow()) {
    // The key's character must not reach the editor either. It leaves the
    // queue before the popup closes: a dialog that the close-up events
    // show runs a message loop of its own, which would hand it on.
    std::vector<MSG> chars;
    if (TWinControl* inner = GetInnerControl(); inner && inner->HandleAllocated())
      TakeChars(inner->GetHandle(), chars);
    if (HandleAllocated()) TakeChars(GetHandle(), chars);
    if (Key == VK_ESCAPE)
      CloseUp(crCancel);
    else
      CloseUp(DoEditing() ? crEnter : crCancel);
    if (!HasPopupWindow()) {
      if (Key == VK_ESCAPE && GetCapture() && FPopupWindow->HasCapture()) ReleaseCapture();
      Key = 0;
      return;
    }
    // The popup stayed: the characters go on as they would have.
    for (const MSG& msg : chars)
      if (IsWindow(msg.hwnd)) PostMessageA(msg.hwnd, msg.message, msg.wParam, msg.lParam);
  }
  inherited::DoEditKeyDown(Key, Shift);
}

// While the popup is open, the keys that close it belong to the editor: a
// container holding the editor in place (a grid cell) must not take Enter
// or Escape for itself and close the editor under the open list, losing
// what the list had highlighted. In place, so does what is typed into the
// open popup (a list searches as it is typed into): the container's key
// handling never sees it.
bool TcxCustomDropDownEdit::IsEditorKey(Word Key, TShiftState Shift) {
  if (inherited::IsEditorKey(Key, Shift)) return true;
  if (!HasPopupWindow()) return false;
  const bool alt = Shift.Contains(ssAlt);
  if ((Key == VK_RETURN || Key == VK_ESCAPE) && !alt) return true;
  if (((Key == VK_UP || Key == VK_DOWN) && alt) || (Key == VK_F4 && !alt)) return true;
  return IsInplace() && Key >= 32 && Key <= 255 && !alt && !Shift.Contains(ssCtrl);
}

// Escape cancels; Enter, Alt+Up/Alt+Down and F4 close as in the editor;
// Tab closes with crTab where the value goes with it, and then moves on
// from the editor as Tab does there.
void TcxCustomDropDownEdit::PopupWindowKeyDown(Word& Key, TShiftState Shift) {
  const bool alt = Shift.Contains(ssAlt);
  if (Key == VK_TAB && !alt && !Shift.Contains(ssCtrl)) {
    if (!HasPopupWindow() || !GetActiveProperties()->GetPostPopupValueOnTab()) return;
    Key = 0;
    DoEditProcessTab(Shift);
    if (TCustomForm* form = GetParentForm(this)) form->SelectNext(this, !Shift.Contains(ssShift), true);
    return;
  }
  if (((Key == VK_UP || Key == VK_DOWN) && alt) || (Key == VK_F4 && !alt) ||
      ((Key == VK_RETURN || Key == VK_ESCAPE) && !alt))
    DoEditKeyDown(Key, Shift);
}

void TcxCustomDropDownEdit::DoEditKeyPress(char& Key) {
  TcxCustomDropDownEditProperties* properties = GetActiveProperties();
  if (static_cast<unsigned char>(Key) >= ' ' && properties->GetImmediateDropDown()) {
    if (!HasPopupWindow() && !IsShowRequestQueued()) {
      FPopupOpenedByTyping = true;
      DropDown();
      if (!IsShowRequestQueued() && !HasPopupWindow()) FPopupOpenedByTyping = false;
    }
    if (properties->PopupWindowCapturesFocus() && Key != '\r' && CanDropDown() && GetPopupFocusedControl() &&
        FPopupWindow->HandleAllocated()) {
      PostMessageA(FPopupWindow->GetHandle(), DXM_POPUPCONTROLKEY, static_cast<unsigned char>(Key), 0);
      Key = 0;
      return;
    }
  }
  inherited::DoEditKeyPress(Key);
}

// Tab leaves the editor: an open popup closes first, taking its value
// only under PostPopupValueOnTab. A popup that holds the keyboard keeps
// its form active while it is open, and the focus could not move on.
void TcxCustomDropDownEdit::DoEditProcessTab(TShiftState Shift) {
  if (HasPopupWindow()) CloseUp(GetActiveProperties()->GetPostPopupValueOnTab() ? crTab : crUnknown);
  inherited::DoEditProcessTab(Shift);
}

void TcxCustomDropDownEdit::DoButtonDown(Integer AButtonVisibleIndex) {
  inherited::DoButtonDown(AButtonVisibleIndex);
  if (AButtonVisibleIndex != GetActiveProperties()->DropDownButtonVisibleIndex()) return;
  // A press on the button of an open popup closed it through the hooks;
  // it must not open it again at once.
  if (FPopupWindow && FPopupWindow->GetClosedByOwnerClick()) {
    FPopupWindow->SetClosedByOwnerClick(false);
    return;
  }
  SetDroppedDown(true);
}

void TcxCustomDropDownEdit::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseDown(Button, Shift, X, Y);
  if (FIsActivatingByMouse || !GetActiveProperties()->DropDownOnClick() || Button != mbLeft) return;
  if (HasPopupWindow() || FIsHotAndPopup || !IsFocused()) return;
  if (FPopupWindow && FPopupWindow->GetClosedByOwnerClick()) {
    FPopupWindow->SetClosedByOwnerClick(false);
    return;
  }
  TcxCustomEditViewInfo* viewInfo = GetViewInfo();
  if (viewInfo && cxRectPtIn(viewInfo->ClientRect, TPoint(X, Y)) && ButtonVisibleIndexAt(TPoint(X, Y)) == -1)
    SetDroppedDown(true);
}

bool TcxCustomDropDownEdit::DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) {
  if (inherited::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  IcxTextEditLookupData* lookup = GetILookupData();
  if (!GetScrollLookupDataList(escMouseWheel) || !HasPopupWindow() || !lookup ||
      !GetActiveProperties()->UseLookupData() || lookup->IsEmpty())
    return false;
  if (TWinControl* list = lookup->GetActiveControl(); list && list->HandleAllocated())
    SendMessageA(list->GetHandle(), WM_MOUSEWHEEL,
                 MAKEWPARAM(WheelKeys(Shift), static_cast<Word>(static_cast<short>(WheelDelta))),
                 MAKELPARAM(MousePos.X, MousePos.Y));
  return true;
}

bool TcxCustomDropDownEdit::GetScrollLookupDataList(TcxEditScrollCause AScrollCause) {
  if (PropertiesChangeLocked()) return false;
  if (!IsInplace() || AScrollCause == escMouseWheel) return true;
  return HasPopupWindow();
}

// --- the popup's owner ------------------------------------------------------------------------------

TRect TcxCustomDropDownEdit::GetPopupWindowOwnerControlBounds() {
  TRect r = GetVisibleBounds();
  if (GetViewInfo() && GetViewInfo()->Shadow) r.Right += 3;
  r = cxRectOffset(r, GetLeft(), GetTop());
  return r;
}

void TcxCustomDropDownEdit::PositionPopupWindowChilds(const TRect& AClientRect) {
  IcxTextEditLookupData* lookup = GetILookupData();
  if (lookup && GetActiveProperties()->IsLookupDataVisual()) lookup->PositionVisualArea(AClientRect);
}

bool TcxCustomDropDownEdit::CanResizePopupVisualArea(TSize& AClientSize, Integer AMaxHeight) {
  IcxTextEditLookupData* lookup = GetILookupData();
  if (lookup && GetActiveProperties()->IsLookupDataVisual()) return lookup->CanResizeVisualArea(AClientSize, AMaxHeight);
  return true;
}

TcxCustomLookAndFeelPainterClass TcxCustomDropDownEdit::GetPopupWindowPainter() {
  return FPopupLookAndFeel ? FPopupLookAndFeel->GetPainter() : GetStyle()->GetLookAndFeel()->GetPainter();
}

// --- the rest -------------------------------------------------------------------------------------------

void TcxCustomDropDownEdit::PasteFromClipboard() {
  if (!IsFocused()) return inherited::PasteFromClipboard();
  const AnsiString before = GetText();
  inherited::PasteFromClipboard();
  if (GetText() == before || !GetActiveProperties()->GetImmediateDropDown()) return;
  if (!HasPopupWindow()) SetDroppedDown(true);
  if (GetActiveProperties()->UseLookupData() && HandleAllocated())
    PostMessageA(GetHandle(), DXM_DROPDOWNBYPASTE, 0, 0);
}

void TcxCustomDropDownEdit::DXMDropDownByPaste(TMessage&) {
  IcxTextEditLookupData* lookup = GetILookupData();
  if (!HasPopupWindow() || !lookup) return;
  const Variant previous = lookup->GetCurrentKey();
  LockClick(true);
  lookup->TextChanged();
  LockClick(false);
  if (!InternalVarEqualsExact(previous, lookup->GetCurrentKey())) DoClick();
  switch (GetActiveProperties()->GetEditingStyle()) {
    case esEdit: {
      const AnsiString text = GetText();
      SetFindSelection(GetSelStart() == static_cast<Integer>(text.size()) && lookup->Find(text));
      break;
    }
    case esFixedList: SetFindSelection(true); break;
    default: break;
  }
}

void TcxCustomDropDownEdit::PropertiesChanged(TObject* Sender) {
  if (!PropertiesChangeLocked()) {
    if (!GetActiveProperties()->GetPopupSizeable()) FPopupSizeRemembered = false;
    if (HasPopupWindow()) SetupPopupWindow();
  }
  inherited::PropertiesChanged(Sender);
}

void TcxCustomDropDownEdit::UpdatePopupWindow() {
  if (HasPopupWindow()) SetupPopupWindow();
}

void TcxCustomDropDownEdit::ContainerStyleChanged(TObject* Sender) {
  inherited::ContainerStyleChanged(Sender);
  if (FPopupLookAndFeel) FPopupLookAndFeel->EditStyleChanged();
}

bool TcxCustomDropDownEdit::RefreshContainer(const TPoint& P, TcxMouseButton Button, TShiftState Shift,
                                             bool AIsMouseEvent) {
  const bool result = inherited::RefreshContainer(P, Button, Shift, AIsMouseEvent);
  if (FPopupLookAndFeel) FPopupLookAndFeel->EditStyleChanged();
  // A press on the editor away from its buttons puts the popup away.
  const bool pressed = Button != cxmbNone && !(Shift * TShiftState{ssLeft, ssRight, ssMiddle}).Empty();
  if (AIsMouseEvent && pressed && HasPopupWindow() && GetViewInfo() && GetViewInfo()->PressedButton == -1)
    CloseUp(crUnknown);
  SetIsHotAndPopup();
  return result;
}

void TcxCustomDropDownEdit::SetIsHotAndPopup() {
  FIsHotAndPopup = HasPopupWindow() && GetViewInfo() && GetViewInfo()->ContainerState.Contains(csHotTrack);
}

void TcxCustomDropDownEdit::CMBiDiModeChanged(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  if (FPopupWindow) FPopupWindow->SetBiDiMode(GetBiDiMode());
}

void TcxCustomDropDownEdit::CMHintShow(TMessage& Message) {
  if (GetDroppedDown())
    Message.Result = 1;
  else
    DispatchFrom(inherited::StaticClass(), Message);
}

// --- unit -------------------------------------------------------------------------------------------

namespace {
Integer DropDownEditStartCount = 0;
}

void cxDropDownEditInitialize() {
  if (DropDownEditStartCount++ > 0) return;
  GetRegisteredEditProperties()->Register(TcxComboBoxProperties::StaticClass(),
                                          cxEditResString(scxSEditRepositoryComboBoxItem));
  GetRegisteredEditProperties()->Register(TcxPopupEditProperties::StaticClass(),
                                          cxEditResString(scxSEditRepositoryPopupItem));
  FilterEditsController()->Register(TcxComboBoxProperties::StaticClass(), TcxFilterComboBoxHelper::StaticClass());
}

void cxDropDownEditFinalize() {
  if (DropDownEditStartCount == 0 || --DropDownEditStartCount > 0) return;
  FilterEditsController()->Unregister(TcxComboBoxProperties::StaticClass(), TcxFilterComboBoxHelper::StaticClass());
  GetRegisteredEditProperties()->Unregister(TcxPopupEditProperties::StaticClass());
  GetRegisteredEditProperties()->Unregister(TcxComboBoxProperties::StaticClass());
}
