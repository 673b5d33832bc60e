#include "library/grid/filter/cxFilterControl.h"

#include <algorithm>

#include "library/editors/core/cxComboBox.h"
#include "library/editors/core/cxEditStyles.h"
#include "library/editors/core/cxEditViewInfo.h"
#include "library/editors/core/cxInplaceEditList.h"
#include "library/editors/core/cxTextEdit.h"
#include "library/editors/core/cxTextEditProperties.h"
#include "library/foundation/cxGeometry.h"
#include "library/foundation/cxWindowHelpers.h"
#include "library/grid/filter/cxFilterControlStrs.h"
#include "library/grid/filter/cxFilterControlViewInfo.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Menus.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/rtl/Streams.h"
#include "platform/win/Keyboard.h"

using namespace cxfc;

ORV_REGISTER(TcxCustomFilterControl)
ORV_REGISTER(TcxFilterControl, ORV_PROP(FontBoolOperator).StoredBy<&TcxFilterControl::IsFontBoolOperatorStored>(),
             ORV_PROP(FontItem).StoredBy<&TcxFilterControl::IsFontItemStored>(),
             ORV_PROP(FontCondition).StoredBy<&TcxFilterControl::IsFontConditionStored>(),
             ORV_PROP(FontValue).StoredBy<&TcxFilterControl::IsFontValueStored>(),
             ORV_PROP(HotTrackOnUnfocused).Default(true), ORV_PROP(LinkComponent), ORV_PROP(NullString),
             ORV_PROP(ShowLevelLines).Default(true), ORV_PROP(SortItems).Default(false),
             ORV_PROP(WantTabs).Default(false), ORV_EVENT(OnApplyFilter))

namespace {

constexpr TColor FontColors[4] = {clRed, clGreen, clMaroon, clBlue};

TFontStyles FontStyleOf(TcxFilterControlFont AFont) {
  return AFont == fcfValue ? TFontStyles() : TFontStyles{fsUnderline};
}

}  // namespace

// The builder's list chooser. Space picks the highlighted entry as Enter
// does: the key turns into Enter as it reaches the combo, before the
// editor decides whether an open list keeps the key for itself (it keeps
// typed characters, Space among them, for its search).
class TcxFilterControlComboBox : public TcxComboBox {
  ORV_CLASS(TcxFilterControlComboBox, TcxComboBox)
 public:
  TcxFilterControlComboBox(TComponent* AOwner, bool AIsInplace) : TcxComboBox(AOwner, AIsInplace) {}

 protected:
  void KeyDown(Word& Key, TShiftState Shift) override {
    if (Key == win::VK_SPACE) Key = win::VK_RETURN;
    inherited::KeyDown(Key, Shift);
  }
};

ORV_REGISTER(TcxFilterControlComboBox)

// ---------------------------------------------------------------------------
// Life

TcxCustomFilterControl::TcxCustomFilterControl(TComponent* AOwner) : TcxControl(AOwner) {
  SetBounds(GetLeft(), GetTop(), 300, 200);
  SetColor(clBtnFace);
  SetParentColor(false);
  SetTabStop(false);
  SetKeys({kArrows, kChars});
  for (int i = 0; i < 4; ++i) {
    FFonts[i] = New<TFont>();
    FFonts[i]->OnChange = TNotifyEvent::Bind<&TcxCustomFilterControl::FontHolderChanged>(this);
  }
  FNullString = cxFilterControlString(cxSFilterControlNullString);
}

void TcxCustomFilterControl::AfterConstruction() {
  inherited::AfterConstruction();
  DeriveFonts();
  FCriteria = GetFilterControlCriteriaClass().Construct<TcxCustomFilterControl*>(this);
  FRoot = New<TcxGroupViewInfo>(this, nullptr, nullptr);
  FRows.push_back(FRoot);
  FFocusInfo.Row = FRoot;
  FFocusInfo.HitTest = fhtBoolOperator;
  FViewInfo = TClassRef<TcxFilterControlViewInfo>(GetViewInfoClass()).Construct<TcxCustomFilterControl*>(this);
  CreateInternalControls();
  cxFormatController()->AddListener(this);
}

void TcxCustomFilterControl::BeforeDestruction() {
  cxFormatController()->RemoveListener(this);
  EndMouseTracking(this);
  // The list and the value editor are children of this window; they go
  // before it frees its children.
  if (FValueEditor) FValueEditor->SetParent(nullptr);
  FValueEditor = nullptr;
  DestroyInternalControls();
  inherited::BeforeDestruction();
}

TcxCustomFilterControl::~TcxCustomFilterControl() {
  FValueEditor = nullptr;
  DestroyInternalControls();
  if (FViewInfo) FViewInfo->Free();
  FRows.clear();
  if (FRoot) FRoot->Free();
  if (FCriteria) FCriteria->Free();
  for (TFont*& font : FFonts) {
    font->Free();
    font = nullptr;
  }
}

void TcxCustomFilterControl::CreateInternalControls() {
  FMenu = New<TPopupMenu>(nullptr);
  for (Integer i = 0; i < 4; ++i) {
    auto* item = New<TMenuItem>(FMenu);
    item->SetTag(i);
    item->OnClick = TNotifyEvent::Bind<&TcxCustomFilterControl::MenuItemClick>(this);
    FMenu->GetItems()->Add(item);
  }
  FMenu->GetItems()->GetItems(2)->SetCaption(cLineCaption);
  FComboBox = New<TcxFilterControlComboBox>(nullptr, true);
  FComboBox->SetVisible(false);
  FComboBox->SetParentColor(true);
  auto* comboProperties = static_cast<TcxComboBoxProperties*>(FComboBox->GetProperties());
  comboProperties->GetButtons()->GetItem(0)->SetVisible(false);
  comboProperties->SetDropDownListStyle(lsFixedList);
  FComboBox->GetStyle()->GetLookAndFeel()->SetMasterLookAndFeel(GetLookAndFeel());
  FComboBox->OnKeyPress = TKeyPressEvent::Bind<&TcxCustomFilterControl::ComboBoxKeyPress>(this);
  FComboBox->OnExit = TNotifyEvent::Bind<&TcxCustomFilterControl::ComboBoxExit>(this);
  comboProperties->OnCloseUp = TNotifyEvent::Bind<&TcxCustomFilterControl::ComboBoxCloseUp>(this);
  comboProperties->OnPopup = TNotifyEvent::Bind<&TcxCustomFilterControl::ComboBoxPopup>(this);
  FInplaceEditList = New<TcxInplaceEditList>();
  FDefaultProperties = New<TcxTextEditProperties>(nullptr);
  FEditStyle = New<TcxCustomEditStyle>(nullptr, true);
  FEditStyle->SetFont(FFonts[fcfValue]);
  FEditStyle->GetLookAndFeel()->SetMasterLookAndFeel(GetLookAndFeel());
  FEditStyle->SetButtonTransparency(ebtHideUnselected);
}

void TcxCustomFilterControl::DestroyInternalControls() {
  if (FComboBox) FComboBox->Free();
  FComboBox = nullptr;
  if (FInplaceEditList) FInplaceEditList->Free();
  FInplaceEditList = nullptr;
  if (FEditStyle) FEditStyle->Free();
  FEditStyle = nullptr;
  if (FDefaultProperties) FDefaultProperties->Free();
  FDefaultProperties = nullptr;
  if (FMenu) FMenu->Free();
  FMenu = nullptr;
}

TcxFilterControlCriteriaClass TcxCustomFilterControl::GetFilterControlCriteriaClass() {
  return TcxFilterControlCriteria::StaticClass();
}

TClass TcxCustomFilterControl::GetViewInfoClass() { return TcxFilterControlViewInfo::StaticClass(); }

void TcxCustomFilterControl::InitControl() {
  inherited::InitControl();
  if (FComboBox) FComboBox->SetParent(this);
  Localize();
}

void TcxCustomFilterControl::Localize() {
  TMenuItem* items = FMenu->GetItems();
  items->GetItems(0)->SetCaption(cxFilterControlString(cxSFilterAddCondition));
  items->GetItems(1)->SetCaption(cxFilterControlString(cxSFilterAddGroup));
  items->GetItems(3)->SetCaption(cxFilterControlString(cxSFilterRemoveRow));
  FRoot->Caption = cxFilterControlString(cxSFilterRootGroupCaption);
  FViewInfo->AddConditionCaption = cxFilterControlString(cxSFilterFooterAddCondition);
  cxFilterControlCacheTexts();
  FNullString = cxFilterControlString(cxSFilterControlNullString);
  LayoutChanged();
}

// ---------------------------------------------------------------------------
// Fonts

void TcxCustomFilterControl::DeriveFonts() {
  FDerivingFonts = true;
  orv::ScopeExit done([this] { FDerivingFonts = false; });
  for (int i = 0; i < 4; ++i) {
    TFont* font = FFonts[i];
    font->SetName(GetFont()->GetName());
    font->SetHeight(GetFont()->GetHeight());
    font->SetCharset(GetFont()->GetCharset());
    font->SetColor(FontColors[i]);
    font->SetStyle(FontStyleOf(static_cast<TcxFilterControlFont>(i)));
  }
  LayoutChanged();
}

void TcxCustomFilterControl::FontChanged() {
  inherited::FontChanged();
  if (GetIsLoading() && !GetIsDesigning()) return;
  DeriveFonts();
}

void TcxCustomFilterControl::FontHolderChanged(TObject*) {
  if (FEditStyle && FFonts[fcfValue]) FEditStyle->SetFont(FFonts[fcfValue]);
  if (!FDerivingFonts) LayoutChanged();
}

bool TcxCustomFilterControl::IsFontStored(TcxFilterControlFont AFont) const {
  TFont* font = FFonts[AFont];
  TFont* base = const_cast<TcxCustomFilterControl*>(this)->GetFont();
  return font->GetName() != base->GetName() || font->GetHeight() != base->GetHeight() ||
         font->GetColor() != FontColors[AFont] || font->GetCharset() != base->GetCharset() ||
         font->GetStyle() != FontStyleOf(AFont);
}

// ---------------------------------------------------------------------------
// Properties

void TcxCustomFilterControl::SetHotTrackOnUnfocused(bool Value) {
  if (FHotTrackOnUnfocused == Value) return;
  FHotTrackOnUnfocused = Value;
  LayoutChanged();
}

void TcxCustomFilterControl::SetNullString(const AnsiString& Value) {
  if (FNullString == Value) return;
  FNullString = Value;
  LayoutChanged();
}

void TcxCustomFilterControl::SetShowLevelLines(bool Value) {
  if (FShowLevelLines == Value) return;
  FShowLevelLines = Value;
  Invalidate();
}

void TcxCustomFilterControl::SetWantTabs(bool Value) {
  if (FWantTabs == Value) return;
  FWantTabs = Value;
  TcxKeys keys = GetKeys();
  if (Value)
    keys.Include(kTab);
  else
    keys.Exclude(kTab);
  SetKeys(keys);
}

void TcxCustomFilterControl::SetTopVisibleRow(Integer Value) {
  // Until the first layout the row height is unknown: the view stays at
  // the top. The upper bound never drops below 0 when every row fits.
  const Integer rowHeight = FViewInfo ? FViewInfo->GetRowHeight() : 0;
  if (rowHeight <= 0) {
    Value = 0;
  } else {
    const Integer upper = std::max(0, GetRowCount() - GetClientBounds().Height() / rowHeight + 1);
    Value = std::clamp(Value, 0, upper);
  }
  if (FTopVisibleRow == Value) return;
  FTopVisibleRow = Value;
  LayoutChanged();
}

void TcxCustomFilterControl::SetLeftOffset(Integer Value) {
  const Integer upper = std::max(0, FViewInfo->GetMaxRowWidth() - GetClientBounds().Width() + 1);
  Value = std::clamp(Value, 0, upper);
  if (FLeftOffset == Value) return;
  FLeftOffset = Value;
  LayoutChanged();
}

void TcxCustomFilterControl::SetEnabled(bool Value) {
  inherited::SetEnabled(Value);
  LayoutChanged();
}

void TcxCustomFilterControl::SetParent(TWinControl* AParent) {
  inherited::SetParent(AParent);
  LayoutChanged();
}

void TcxCustomFilterControl::Loaded() {
  inherited::Loaded();
  LayoutChanged();
}

void TcxCustomFilterControl::BoundsChanged() {
  inherited::BoundsChanged();
  if (HandleAllocated()) LayoutChanged();
}

bool TcxCustomFilterControl::HasItems() {
  IcxFilterControl* link = GetFilterLink();
  return link && link->GetFilterCount() > 0;
}

bool TcxCustomFilterControl::HasFocus() { return Focused() || (FValueEditor && FValueEditor->IsFocused()); }

bool TcxCustomFilterControl::IsHotTrack() {
  return GetEnabled() && HasItems() && (FHotTrackOnUnfocused || HasFocus());
}

bool TcxCustomFilterControl::IsValid() {
  return std::all_of(FRows.begin(), FRows.end(), [](TcxCustomRowViewInfo* row) { return row->Ready(); });
}

void TcxCustomFilterControl::ValidateConditions(TcxFilterControlOperators& AOperators) {
  if (!FCriteria->GetTranslateLike()) AOperators -= TcxFilterControlOperators{fcoLike, fcoNotLike};
}

TcxCustomEditViewInfo* TcxCustomFilterControl::GetDefaultPropertiesViewInfo() {
  return TcxCustomEditViewInfoClass(FDefaultProperties->GetViewInfoClass()).Construct();
}

// ---------------------------------------------------------------------------
// Layout

void TcxCustomFilterControl::EndUpdate() {
  if (FLockCount > 0) --FLockCount;
  LayoutChanged();
}

void TcxCustomFilterControl::LayoutChanged() {
  if (FLockCount > 0 || GetIsDestroying() || GetIsLoading() || !FViewInfo || !HandleAllocated()) return;
  if (FComboBox && FComboBox->GetDroppedDown()) return;
  ++FLockCount;
  orv::ScopeExit unlock([this] { --FLockCount; });
  DoLayoutChange();
}

void TcxCustomFilterControl::DoLayoutChange() {
  FViewInfo->Calc();
  const Integer rowHeight = FViewInfo->GetRowHeight();
  const TRect client = GetClientBounds();
  // Every row is rowHeight high, so the rows that fit again under the last
  // are counted at once rather than found by a layout per row.
  const Integer room = client.Bottom - FViewInfo->GetAddConditionRect().Bottom;
  if (FTopVisibleRow >= 1 && room >= rowHeight + 2) {
    FTopVisibleRow = rowHeight > 0 ? std::max(0, FTopVisibleRow - (room - 2) / rowHeight) : 0;
    FViewInfo->Calc();
  }
  while (FTopVisibleRow >= 1 && client.Bottom - FViewInfo->GetAddConditionRect().Bottom >= rowHeight + 2) {
    --FTopVisibleRow;
    FViewInfo->Calc();
  }
  if (FLeftOffset >= 1) {
    const Integer surplus = client.Right - (FViewInfo->GetMaxRowWidth() - FLeftOffset) - 2;
    if (surplus >= 1) {
      FLeftOffset = std::max(0, FLeftOffset - surplus);
      FViewInfo->Calc();
    }
  }
  UpdateScrollBars();
  Invalidate();
}

void TcxCustomFilterControl::InitScrollBarsParameters() {
  const Integer rowHeight = FViewInfo ? FViewInfo->GetRowHeight() : 0;
  if (rowHeight <= 0) return;
  const TRect client = GetClientBounds();
  SetScrollBarInfo(sbVertical, 0, GetRowCount() - 1, 1, client.Height() / rowHeight - 1, FTopVisibleRow, true, true);
  SetScrollBarInfo(sbHorizontal, 0, FViewInfo->GetMaxRowWidth(), 1, client.Width(), FLeftOffset, true, true);
}

void TcxCustomFilterControl::Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, Integer& AScrollPos) {
  const Integer rowHeight = std::max(FViewInfo->GetRowHeight(), 1);
  const TRect client = GetClientBounds();
  if (AScrollBarKind == sbVertical) {
    const Integer page = client.Height() / rowHeight - 1;
    switch (AScrollCode) {
      case scLineUp: SetTopVisibleRow(FTopVisibleRow - 1); break;
      case scLineDown: SetTopVisibleRow(FTopVisibleRow + 1); break;
      case scPageUp: SetTopVisibleRow(FTopVisibleRow - page); break;
      case scPageDown: SetTopVisibleRow(FTopVisibleRow + page); break;
      case scTrack: SetTopVisibleRow(AScrollPos); break;
      default: break;
    }
    AScrollPos = FTopVisibleRow;
  } else {
    switch (AScrollCode) {
      case scLineUp: SetLeftOffset(FLeftOffset - 8); break;
      case scLineDown: SetLeftOffset(FLeftOffset + 8); break;
      case scPageUp: SetLeftOffset(FLeftOffset - client.Width()); break;
      case scPageDown: SetLeftOffset(FLeftOffset + client.Width()); break;
      case scTrack: SetLeftOffset(AScrollPos); break;
      default: break;
    }
    AScrollPos = FLeftOffset;
  }
}

void TcxCustomFilterControl::Paint() { FViewInfo->Paint(); }

TCursor TcxCustomFilterControl::GetCursor(Integer X, Integer Y) {
  TcxFilterControlHitTestInfo info;
  FViewInfo->GetHitTestInfo({}, TPoint(X, Y), info);
  if (IsHotTrack() && info.HitTest != fhtNone) return crHandPoint;
  return inherited::GetCursor(X, Y);
}

void TcxCustomFilterControl::RefreshProperties() {
  for (TcxCustomRowViewInfo* row : FRows)
    if (auto* condition = dynamic_cast<TcxConditionViewInfo*>(row)) condition->InternalInit();
  LayoutChanged();
}

// ---------------------------------------------------------------------------
// Rows

void TcxCustomFilterControl::AddRows(TcxCustomRowViewInfo* ARow) {
  FRows.push_back(ARow);
  if (auto* group = dynamic_cast<TcxGroupViewInfo*>(ARow))
    for (Integer i = 0; i < group->GetRowCount(); ++i) AddRows(group->GetRow(i));
}

void TcxCustomFilterControl::RecalcRows() {
  FRows.clear();
  AddRows(FRoot);
}

Integer TcxCustomFilterControl::FocusedRowIndex() const {
  auto found = std::find(FRows.begin(), FRows.end(), FFocusInfo.Row);
  return found == FRows.end() ? 0 : static_cast<Integer>(found - FRows.begin());
}

void TcxCustomFilterControl::SetFocusedRow(TcxCustomRowViewInfo* ARow) {
  if (!ARow) return;
  FFocusInfo.Row = ARow;
  FFocusInfo.HitTest = dynamic_cast<TcxGroupViewInfo*>(ARow) ? fhtBoolOperator : fhtItem;
  FFocusInfo.ValueIndex = -1;
  EnsureRowVisible();
}

TcxConditionViewInfo* TcxCustomFilterControl::FocusedCondition() const {
  return dynamic_cast<TcxConditionViewInfo*>(FFocusInfo.Row);
}

void TcxCustomFilterControl::InstallRoot(TcxGroupViewInfo* ARoot) {
  TcxGroupViewInfo* old = FRoot;
  FRoot = ARoot;
  FRoot->Caption = cxFilterControlString(cxSFilterRootGroupCaption);
  FHotTrackInfo = TcxFilterControlHitTestInfo();
  FFocusInfo = TcxFilterControlHitTestInfo();
  FFocusInfo.Row = FRoot;
  FFocusInfo.HitTest = fhtBoolOperator;
  FTopVisibleRow = 0;
  FLeftOffset = 0;
  RecalcRows();
  if (old && old != ARoot) old->Free();
}

void TcxCustomFilterControl::ClearRows() {
  if (FValueEditor) ValueEditorHide(false);
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(); });
  while (FRoot->GetRowCount() > 0) FRoot->GetRow(FRoot->GetRowCount() - 1)->Free();
  FRoot->BoolOperator = fboAnd;
  InstallRoot(FRoot);
}

void TcxCustomFilterControl::Clear() {
  ValueEditorHide(false);
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(); });
  ClearRows();
  FCriteria->Clear();
}

// The rows change under an open value editor only once it has closed: its
// value goes where it was typed (or, for a row that goes, nowhere), and a
// new row's item never takes the editor away from under the builder.
void TcxCustomFilterControl::AddCondition(TcxCustomRowViewInfo* ARow) {
  if (!HasItems()) return;
  if (FValueEditor) ValueEditorHide(true);
  if (!ARow) ARow = FRows.back();
  TcxGroupViewInfo* group = dynamic_cast<TcxGroupViewInfo*>(ARow);
  if (!group) group = ARow->GetParent();
  auto* condition = New<TcxConditionViewInfo>(this, group, nullptr);
  condition->SetItem(-1);
  FFocusInfo.Row = condition;
  FFocusInfo.ValueIndex = -1;
  RecalcRows();
  FFocusInfo.HitTest = fhtAddCondition;
  FViewInfo->Calc();
  UpdateScrollBars();
  EnsureRowVisible();
  FFocusInfo.HitTest = fhtItem;
  FViewInfo->CalcFocusRect();
  Invalidate();
}

void TcxCustomFilterControl::AddGroup() {
  if (!HasItems() || !FFocusInfo.Row) return;
  if (FValueEditor) ValueEditorHide(true);
  TcxGroupViewInfo* parent = dynamic_cast<TcxGroupViewInfo*>(FFocusInfo.Row);
  if (!parent) parent = FFocusInfo.Row->GetParent();
  auto* group = New<TcxGroupViewInfo>(this, parent, nullptr);
  group->BoolOperator = fboAnd;
  AddCondition(group);
}

void TcxCustomFilterControl::AddValue() {
  TcxConditionViewInfo* condition = FocusedCondition();
  if (!condition) return;
  if (FValueEditor) ValueEditorHide(true);
  condition->AddValue();
  FFocusInfo.HitTest = fhtValue;
  FFocusInfo.ValueIndex = condition->GetValues()->GetCount() - 1;
  FViewInfo->Calc();
  const Integer surplus = FViewInfo->GetMaxRowWidth() - FLeftOffset + 2 - GetClientBounds().Right;
  if (surplus > 0) FLeftOffset += surplus;
  LayoutChanged();
  EnsureRowVisible();
}

void TcxCustomFilterControl::Remove() {
  TcxConditionViewInfo* condition = FocusedCondition();
  if (condition && FFocusInfo.HitTest == fhtValue && IsListOperator(condition->Operator) &&
      condition->GetValues()->GetCount() > 1)
    RemoveValue();
  else
    RemoveRow();
}

void TcxCustomFilterControl::RemoveValue() {
  TcxConditionViewInfo* condition = FocusedCondition();
  if (!condition) return;
  if (FValueEditor) ValueEditorHide(false);
  condition->GetValues()->RemoveValue(FFocusInfo.ValueIndex);
  if (FFocusInfo.ValueIndex > 0) --FFocusInfo.ValueIndex;
  LayoutChanged();
}

void TcxCustomFilterControl::RemoveRow() {
  TcxCustomRowViewInfo* row = FFocusInfo.Row;
  if (!row || row == FRoot) return;
  if (FValueEditor) ValueEditorHide(false);
  // A group left without conditions means nothing: the chain of groups
  // that held only this row goes with it.
  while (row->GetParent() != FRoot && row->GetParent()->GetRowCount() == 1) row = row->GetParent();
  auto found = std::find(FRows.begin(), FRows.end(), row);
  TcxCustomRowViewInfo* previous = found != FRows.begin() ? *(found - 1) : FRoot;
  row->Free();
  FHotTrackInfo.Row = nullptr;
  FHotTrackInfo.HitTest = fhtNone;
  RecalcRows();
  FFocusInfo.Row = previous;
  FFocusInfo.HitTest = dynamic_cast<TcxGroupViewInfo*>(previous) ? fhtBoolOperator : fhtItem;
  FFocusInfo.ValueIndex = -1;
  LayoutChanged();
  EnsureRowVisible();
}

// ---------------------------------------------------------------------------
// Applying and linking

void TcxCustomFilterControl::DoApplyFilter() {
  IcxFilterControl* link = GetFilterLink();
  TcxFilterCriteria* target = link ? link->GetFilterCriteria() : nullptr;
  if (!target) return;
  BuildFromRows();
  // Whatever the link or the handler did, the rows show what the link
  // really holds afterwards, also when one of them raised.
  auto reread = [this, target] {
    if (target != FCriteria) FCriteria->AssignItems(target);
    BuildFromCriteria();
  };
  try {
    if (target != FCriteria) target->AssignItems(FCriteria);
    if (OnApplyFilter) OnApplyFilter(this);
  } catch (...) {
    reread();
    throw;
  }
  reread();
}

AnsiString TcxCustomFilterControl::GetFilterCaption() {
  BuildFromRows();
  return FCriteria->GetFilterCaption();
}

AnsiString TcxCustomFilterControl::GetFilterText() {
  BuildFromRows();
  return FCriteria->GetFilterText();
}

IcxFilterControl* TcxFilterControl::GetFilterLink() { return Supports<IcxFilterControl>(FLinkComponent); }

void TcxFilterControl::SetLinkComponent(TComponent* Value) {
  if (!Supports<IcxFilterControl>(Value)) Value = nullptr;
  if (FLinkComponent == Value) return;
  if (FLinkComponent) FLinkComponent->RemoveFreeNotification(this);
  FLinkComponent = Value;
  if (FLinkComponent) FLinkComponent->FreeNotification(this);
  UpdateFilter();
}

void TcxFilterControl::UpdateFilter() {
  IcxFilterControl* link = GetFilterLink();
  TcxFilterCriteria* criteria = link ? link->GetFilterCriteria() : nullptr;
  if (!criteria) {
    Clear();
    return;
  }
  if (criteria != GetCriteria()) GetCriteria()->AssignItems(criteria);
  BuildFromCriteria();
}

void TcxFilterControl::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FLinkComponent) {
    FLinkComponent = nullptr;
    if (!GetIsDestroying()) Clear();
  }
}

// ---------------------------------------------------------------------------
// Filter files

void TcxCustomFilterControl::WriteData(TStream* AStream) { FCriteria->WriteData(AStream); }

void TcxCustomFilterControl::ReadData(TStream* AStream) { FCriteria->ReadData(AStream); }

void TcxCustomFilterControl::SaveToStream(TStream* AStream) {
  BuildFromRows();
  WriteData(AStream);
}

void TcxCustomFilterControl::SaveToFile(const AnsiString& AFileName) {
  TMemoryStream bytes;
  SaveToStream(&bytes);
  SaveFileContent(AFileName, std::string_view(static_cast<const char*>(bytes.GetMemory()),
                                              static_cast<size_t>(bytes.GetSize())));
}

void TcxCustomFilterControl::LoadFromStream(TStream* AStream) {
  if (!HasItems()) FilterControlError(cxFilterControlString(cxSFilterErrorBuilding));
  // Read and shown aside first: a file that cannot be read or shown leaves
  // the criteria and the rows as they were.
  TMemoryStream saved;
  FCriteria->WriteData(&saved);
  const Integer top = FTopVisibleRow;
  try {
    ValueEditorHide(false);
    ReadData(AStream);
    BuildFromCriteria();
  } catch (...) {
    saved.SetPosition(0);
    FCriteria->ReadData(&saved);
    FTopVisibleRow = top;
    throw;
  }
}

void TcxCustomFilterControl::LoadFromFile(const AnsiString& AFileName) {
  TMemoryStream stream;
  stream.LoadFromFile(AFileName);
  LoadFromStream(&stream);
}

// ---------------------------------------------------------------------------
// Focus navigation

void TcxCustomFilterControl::RowNavigate(TcxFilterControlHitTest ACode, Integer AValueIndex) {
  FFocusInfo.HitTest = ACode;
  if (TcxConditionViewInfo* condition = FocusedCondition())
    if (AValueIndex >= 0 && AValueIndex < condition->GetValues()->GetCount()) FFocusInfo.ValueIndex = AValueIndex;
  FViewInfo->Calc();
  EnsureRowVisible();
}

void TcxCustomFilterControl::FocusNext(bool AByTab) {
  TcxConditionViewInfo* condition = FocusedCondition();
  switch (FFocusInfo.HitTest) {
    case fhtButton: RowNavigate(condition ? fhtItem : fhtBoolOperator); break;
    case fhtBoolOperator:
    case fhtAddValue:
      if (AByTab) FocusDown(true);
      break;
    case fhtItem: RowNavigate(fhtOperator); break;
    case fhtOperator:
      if (condition && condition->HasDisplayValues())
        RowNavigate(fhtValue, 0);
      else if (AByTab)
        FocusDown(true);
      break;
    case fhtValue:
      if (condition && FFocusInfo.ValueIndex + 1 < condition->GetValues()->GetCount())
        RowNavigate(fhtValue, FFocusInfo.ValueIndex + 1);
      else if (condition && IsListOperator(condition->Operator))
        RowNavigate(fhtAddValue);
      else if (AByTab)
        FocusDown(true);
      break;
    case fhtAddCondition:
      if (!AByTab) SetFocusedRow(FRows.back());
      break;
    default: break;
  }
}

void TcxCustomFilterControl::FocusPrev(bool AByTab) {
  switch (FFocusInfo.HitTest) {
    case fhtButton:
      if (AByTab) FocusUp(true);
      break;
    case fhtBoolOperator:
    case fhtItem: RowNavigate(fhtButton); break;
    case fhtOperator: RowNavigate(fhtItem); break;
    case fhtValue:
      if (FFocusInfo.ValueIndex > 0)
        RowNavigate(fhtValue, FFocusInfo.ValueIndex - 1);
      else
        RowNavigate(fhtOperator);
      break;
    case fhtAddCondition: FocusUp(AByTab); break;
    case fhtAddValue: RowNavigate(fhtValue, FFocusInfo.ValueIndex); break;
    default: break;
  }
}

void TcxCustomFilterControl::FocusDown(bool AByTab) {
  const Integer index = FocusedRowIndex();
  if (FFocusInfo.HitTest == fhtAddCondition) return;
  if (index >= GetRowCount() - 1) {
    RowNavigate(fhtAddCondition);
  } else if (AByTab) {
    FFocusInfo.Row = FRows[static_cast<size_t>(index + 1)];
    FFocusInfo.ValueIndex = -1;
    RowNavigate(fhtButton);
  } else {
    SetFocusedRow(FRows[static_cast<size_t>(index + 1)]);
  }
}

void TcxCustomFilterControl::FocusUp(bool AByTab) {
  TcxCustomRowViewInfo* target;
  if (FFocusInfo.HitTest == fhtAddCondition) {
    target = FRows.back();
  } else {
    const Integer index = FocusedRowIndex();
    if (index == 0) return;
    target = FRows[static_cast<size_t>(index - 1)];
  }
  if (!AByTab) {
    SetFocusedRow(target);
    return;
  }
  FFocusInfo.Row = target;
  FFocusInfo.ValueIndex = -1;
  auto* condition = dynamic_cast<TcxConditionViewInfo*>(target);
  if (!condition)
    RowNavigate(fhtBoolOperator);
  else if (!condition->HasDisplayValues())
    RowNavigate(fhtOperator);
  else if (IsListOperator(condition->Operator))
    RowNavigate(fhtAddValue, condition->GetValues()->GetCount() - 1);
  else
    RowNavigate(fhtValue, condition->GetValues()->GetCount() - 1);
}

TRect TcxCustomFilterControl::FocusedPartRect() {
  TcxCustomRowViewInfo* row = FFocusInfo.Row;
  if (FFocusInfo.HitTest == fhtAddCondition) return FViewInfo->GetAddConditionRect();
  if (!row) return TRect();
  auto* group = dynamic_cast<TcxGroupViewInfo*>(row);
  auto* condition = dynamic_cast<TcxConditionViewInfo*>(row);
  switch (FFocusInfo.HitTest) {
    case fhtButton: {
      TRect r = row->ButtonRect;
      if (row == FRoot) r.Left -= 4;
      return r;
    }
    case fhtBoolOperator: return group ? group->BoolOperatorRect : TRect();
    case fhtItem: return condition ? condition->ItemRect : TRect();
    case fhtOperator: return condition ? condition->OperatorRect : TRect();
    case fhtValue:
      if (condition && FFocusInfo.ValueIndex >= 0 && FFocusInfo.ValueIndex < condition->GetValues()->GetCount())
        return condition->GetValues()->GetValue(FFocusInfo.ValueIndex)->ValueRect;
      return TRect();
    case fhtAddValue: return condition ? condition->GetValues()->AddButtonRect : TRect();
    default: return TRect();
  }
}

void TcxCustomFilterControl::EnsureRowVisible() {
  FViewInfo->Calc();
  const TRect client = GetClientBounds();
  const Integer index = FocusedRowIndex();
  const Integer rowHeight = FViewInfo->GetRowHeight();
  if (rowHeight > 0) {
    if (index < FTopVisibleRow) {
      FTopVisibleRow = index;
    } else {
      auto bottom = [&] {
        return FFocusInfo.HitTest == fhtAddCondition ? FViewInfo->GetAddConditionRect().Bottom
                                                     : FRows[static_cast<size_t>(index)]->RowRect.Bottom;
      };
      // Rows are rowHeight high: scroll by the rows the focused one lies
      // below the client at once, not a layout per row.
      const Integer below = bottom() - client.Bottom;
      if (below > 0 && FTopVisibleRow < GetRowCount()) {
        FTopVisibleRow = std::min(GetRowCount(), FTopVisibleRow + (below - 1) / rowHeight + 1);
        FViewInfo->Calc();
      }
      while (bottom() > client.Bottom && FTopVisibleRow < GetRowCount()) {
        ++FTopVisibleRow;
        FViewInfo->Calc();
      }
    }
  }
  FViewInfo->Calc();
  TRect r = FocusedPartRect();
  if (!cxRectIsEmpty(r)) {
    Integer shift = 0;
    if (r.Right >= client.Right) shift = r.Right - (client.Right - 2);
    if (r.Left - shift < client.Left) shift = r.Left - client.Left;
    FLeftOffset = std::max(0, FLeftOffset + shift);
  }
  FViewInfo->Calc();
  UpdateScrollBars();
  Invalidate();
}

// ---------------------------------------------------------------------------
// Actions

void TcxCustomFilterControl::ProcessHitTest(TcxFilterControlHitTest ACode, bool AByMouse) {
  switch (ACode) {
    case fhtButton: SelectAction(); break;
    case fhtBoolOperator: SelectBoolOperator(); break;
    case fhtItem: SelectItem(); break;
    case fhtOperator: SelectCondition(); break;
    case fhtValue: SelectValue(AByMouse ? aveMouse : aveEnter, 0); break;
    case fhtAddCondition: AddCondition(nullptr); break;
    case fhtAddValue: AddValue(); break;
    default: break;
  }
}

void TcxCustomFilterControl::SelectAction() {
  if (!HasItems() || !FFocusInfo.Row) return;
  TMenuItem* items = FMenu->GetItems();
  const bool root = FFocusInfo.Row == FRoot;
  const bool fourth = !root || FRoot->GetRowCount() > 0;
  items->GetItems(2)->SetVisible(fourth);
  items->GetItems(3)->SetVisible(fourth);
  items->GetItems(3)->SetCaption(cxFilterControlString(root ? cxSFilterClearAll : cxSFilterRemoveRow));
  FState = fcsSelectingAction;
  orv::ScopeExit normal([this] { FState = fcsNormal; });
  const TRect& button = FFocusInfo.Row->ButtonRect;
  const TPoint p = ClientToScreen(TPoint(button.Left, button.Bottom));
  FMenu->Popup(p.X, p.Y);
}

void TcxCustomFilterControl::MenuItemClick(TObject* Sender) {
  switch (static_cast<TMenuItem*>(Sender)->GetTag()) {
    case 0: AddCondition(FFocusInfo.Row); break;
    case 1: AddGroup(); break;
    case 3:
      if (FFocusInfo.Row == FRoot)
        Clear();
      else
        RemoveRow();
      break;
    default: break;
  }
}

void TcxCustomFilterControl::DoComboDropDown(const TRect& R, const AnsiString& AText) {
  auto* properties = static_cast<TcxComboBoxProperties*>(FComboBox->GetProperties());
  FComboBox->SetVisible(true);
  FComboBox->SetBoundsRect(R);
  properties->SetDropDownRows(std::min<Integer>(12, properties->GetItems()->GetCount()));
  FComboBox->SetEditValue(Variant(AText));
  FComboBox->SetFocus();
  FComboBox->SetDroppedDown(true);
}

void TcxCustomFilterControl::ComboBoxPopup(TObject*) { FComboBox->GetStyle()->SetTextStyle({}); }

TStrings* TcxCustomFilterControl::PrepareCombo(TFilterControlState AState, TcxFilterControlFont AFont, bool ASorted) {
  FState = AState;
  FComboBox->GetStyle()->SetFont(FFonts[AFont]);
  auto* properties = static_cast<TcxComboBoxProperties*>(FComboBox->GetProperties());
  properties->SetSorted(ASorted);
  properties->GetItems()->Clear();
  return properties->GetItems();
}

void TcxCustomFilterControl::SelectBoolOperator() {
  auto* group = dynamic_cast<TcxGroupViewInfo*>(FFocusInfo.Row);
  if (!HasItems() || !group) return;
  TStrings* items = PrepareCombo(fcsSelectingBoolOperator, fcfBoolOperator, false);
  for (int kind = fboAnd; kind <= fboNotOr; ++kind)
    items->AddObject(cxGetBoolOperatorText(static_cast<TcxFilterBoolOperatorKind>(kind)),
                     reinterpret_cast<TObject*>(static_cast<std::intptr_t>(kind)));
  DoComboDropDown(group->BoolOperatorRect, group->BoolOperatorText);
}

void TcxCustomFilterControl::SelectItem() {
  TcxConditionViewInfo* condition = FocusedCondition();
  if (!HasItems() || !condition) return;
  FillFilterItemList(PrepareCombo(fcsSelectingItem, fcfItem, FSortItems));
  DoComboDropDown(condition->ItemRect, condition->ItemText);
}

void TcxCustomFilterControl::SelectCondition() {
  TcxConditionViewInfo* condition = FocusedCondition();
  if (!HasItems() || !condition) return;
  FillConditionList(PrepareCombo(fcsSelectingCondition, fcfCondition, false));
  DoComboDropDown(condition->OperatorRect, condition->OperatorText);
}

void TcxCustomFilterControl::FillFilterItemList(TStrings* AStrings) {
  IcxFilterControl* link = GetFilterLink();
  if (!link) return;
  for (Integer i = 0; i < link->GetFilterCount(); ++i) {
    TcxCustomEditProperties* properties = link->GetFilterProperties(i);
    if (!properties) continue;
    // A temporary instance answers whether the kind filters at all.
    auto* probe = TClassRef<TcxCustomEditProperties>(properties->ClassType()).Construct<TPersistent*>(nullptr);
    const bool filters = probe->GetSupportedOperations().Contains(esoFiltering);
    probe->Free();
    if (filters)
      AStrings->AddObject(link->GetFilterCaption(i), reinterpret_cast<TObject*>(static_cast<std::intptr_t>(i)));
  }
}

void TcxCustomFilterControl::FillConditionList(TStrings* AStrings) {
  TcxConditionViewInfo* condition = FocusedCondition();
  if (!condition) return;
  TcxFilterControlOperators operators = condition->GetSupportedOperators();
  ValidateConditions(operators);
  for (int op = fcoEqual; op <= fcoInFuture; ++op)
    if (operators.Contains(static_cast<TcxFilterControlOperator>(op)))
      AStrings->AddObject(cxGetConditionText(static_cast<TcxFilterControlOperator>(op)),
                          reinterpret_cast<TObject*>(static_cast<std::intptr_t>(op)));
}

void TcxCustomFilterControl::ComboBoxCloseUp(TObject*) {
  const Integer index = FComboBox->GetItemIndex();
  TStrings* items = static_cast<TcxComboBoxProperties*>(FComboBox->GetProperties())->GetItems();
  // A shown text that matches no entry (an item the list does not offer)
  // changes nothing.
  if (index >= 0 && index < items->GetCount()) {
    const auto entry = static_cast<Integer>(reinterpret_cast<std::intptr_t>(items->GetObject(index)));
    TcxConditionViewInfo* condition = FocusedCondition();
    switch (FState) {
      case fcsSelectingItem:
        if (condition) {
          condition->SetItem(entry);
          FFocusInfo.HitTest = fhtOperator;
          if (condition->GetSupportedOperators().Contains(fcoLike) && condition->GetValueType() &&
              condition->GetValueType()->IsString())
            condition->Operator = fcoLike;
        }
        break;
      case fcsSelectingBoolOperator:
        if (auto* group = dynamic_cast<TcxGroupViewInfo*>(FFocusInfo.Row))
          group->BoolOperator = static_cast<TcxFilterBoolOperatorKind>(entry);
        break;
      case fcsSelectingCondition:
        if (condition) {
          condition->Operator = static_cast<TcxFilterControlOperator>(entry);
          condition->InitValues(true);
          if (condition->HasDisplayValues()) {
            FFocusInfo.HitTest = fhtValue;
            FFocusInfo.ValueIndex = 0;
          }
        }
        break;
      default: break;
    }
  }
  FComboBox->SetVisible(false);
  FState = fcsNormal;
  FViewInfo->Calc();
  EnsureRowVisible();
  if (CanFocus()) SetFocus();
}

void TcxCustomFilterControl::ComboBoxExit(TObject*) {
  FComboBox->SetVisible(false);
  FState = fcsNormal;
}

void TcxCustomFilterControl::ComboBoxKeyPress(TObject*, char& Key) {
  if (Key == ' ') Key = 0;
}

// ---------------------------------------------------------------------------
// Value editing

void TcxCustomFilterControl::SelectValue(TcxActivateValueEditKind AKind, char AKey) {
  TcxConditionViewInfo* condition = FocusedCondition();
  if (!HasItems() || !condition || FFocusInfo.ValueIndex < 0 ||
      FFocusInfo.ValueIndex >= condition->GetValues()->GetCount())
    return;
  EnsureRowVisible();
  ValueEditorInit();
  if (!FValueEditor) return;
  TcxCustomEditData*& data = condition->EditData();
  switch (AKind) {
    case aveEnter: FValueEditor->Activate(data); break;
    case aveKey: FValueEditor->ActivateByKey(AKey, data); break;
    case aveMouse:
      FValueEditor->ActivateByMouse(FFocusInfo.Shift, FFocusInfo.Mouse.X, FFocusInfo.Mouse.Y, data);
      break;
  }
}

void TcxCustomFilterControl::ValueEditorInit() {
  TcxConditionViewInfo* condition = FocusedCondition();
  FState = fcsSelectingValue;
  TcxValueInfo* value = condition->GetValues()->GetValue(FFocusInfo.ValueIndex);
  TcxCustomFilterEditHelperClass helper = condition->GetFilterEditHelper();
  FValueEditor = helper->GetFilterEdit(condition->GetEditorProperties(), FInplaceEditList);
  if (!FValueEditor) {
    FState = fcsNormal;
    return;
  }
  helper->SetFilterValue(FValueEditor, condition->GetEditorProperties(), value->Value);
  if (condition->Operator == fcoLike || condition->Operator == fcoNotLike)
    if (auto* text = dynamic_cast<TcxCustomTextEditProperties*>(FValueEditor->GetActiveProperties()))
      if (!text->GetValidChars().Empty()) {
        TcxTextEditChars chars = text->GetValidChars();
        chars.Include(FCriteria->GetPercentWildcard());
        chars.Include(FCriteria->GetUnderscoreWildcard());
        text->SetValidChars(chars);
      }
  FValueEditor->SetParent(this);
  FValueEditor->GetStyle()->Assign(FEditStyle);
  FValueEditor->GetStyle()->SetColor(clWindow);
  FValueEditor->SetBoundsRect(value->ValueRect);
  FValueEditor->OnKeyDown = TKeyEvent::Bind<&TcxCustomFilterControl::ValueEditorKeyDown>(this);
  FValueEditor->OnAfterKeyDown = TKeyEvent::Bind<&TcxCustomFilterControl::ValueEditorAfterKeyDown>(this);
  FValueEditor->OnExit = TNotifyEvent::Bind<&TcxCustomFilterControl::ValueEditorExit>(this);
}

void TcxCustomFilterControl::ValueEditorHide(bool AAccept) {
  FInvalidValue = false;
  FState = fcsNormal;
  if (!FValueEditor) return;
  TcxConditionViewInfo* condition = FocusedCondition();
  if (AAccept && condition && FFocusInfo.ValueIndex >= 0 &&
      FFocusInfo.ValueIndex < condition->GetValues()->GetCount()) {
    if (!FValueEditor->Deactivate()) {
      FState = fcsSelectingValue;
      throw EAbort("");
    }
    Variant value;
    AnsiString text;
    condition->GetFilterEditHelper()->GetFilterValue(FValueEditor, condition->GetEditorProperties(), value, text);
    try {
      FilterControlValidateValue(FValueEditor, value, condition->Operator, condition->GetValueType(),
                                 condition->GetFilterEditHelper());
    } catch (...) {
      FInvalidValue = true;
      FState = fcsSelectingValue;
      throw;
    }
    TcxValueInfo* info = condition->GetValues()->GetValue(FFocusInfo.ValueIndex);
    info->Value = value;
    info->ValueText = text;
  }
  TcxCustomEdit* editor = FValueEditor;
  FValueEditor = nullptr;
  editor->OnKeyDown = nullptr;
  editor->OnAfterKeyDown = nullptr;
  editor->OnExit = nullptr;
  if (editor->IsFocused() && Focused()) {
    editor->SetModifiedAfterEnter(false);
    editor->OnFocusChanged = nullptr;
  }
  editor->SetParent(nullptr);
  EnsureRowVisible();
}

void TcxCustomFilterControl::ValueEditorKeyDown(TObject*, Word& Key, TShiftState Shift) {
  switch (Key) {
    case win::VK_RETURN:
      ValueEditorHide(true);
      SetFocus();
      Key = 0;
      break;
    case win::VK_ESCAPE: {
      const bool open = FValueEditor != nullptr;
      ValueEditorHide(false);
      SetFocus();
      if (open) Key = 0;
      break;
    }
    case win::VK_DELETE:
      if (Shift.Contains(ssCtrl)) {
        ValueEditorHide(false);
        SetFocus();
        Remove();
        Key = 0;
      }
      break;
    case win::VK_TAB:
      if (FWantTabs) {
        ValueEditorHide(true);
        SetFocus();
        if (Shift.Contains(ssShift))
          FocusPrev(true);
        else
          FocusNext(true);
        Key = 0;
      }
      break;
    default: break;
  }
}

void TcxCustomFilterControl::ValueEditorAfterKeyDown(TObject*, Word& Key, TShiftState Shift) {
  if (Key != win::VK_UP && Key != win::VK_DOWN) return;
  HideAcceptingOrKeepEditing();
  SetFocus();
  KeyDown(Key, Shift);
  Key = 0;
}

void TcxCustomFilterControl::ValueEditorExit(TObject*) { HideAcceptingOrKeepEditing(); }

void TcxCustomFilterControl::HideAcceptingOrKeepEditing() {
  // A value that is refused keeps its editor open and focused.
  TcxCustomEdit* editor = FValueEditor;
  try {
    ValueEditorHide(true);
  } catch (...) {
    if (editor && editor->CanFocus()) editor->SetFocus();
    throw;
  }
}

// ---------------------------------------------------------------------------
// Keyboard and mouse

void TcxCustomFilterControl::KeyDown(Word& Key, TShiftState Shift) {
  inherited::KeyDown(Key, Shift);
  switch (Key) {
    case win::VK_LEFT: FocusPrev(false); break;
    case win::VK_RIGHT: FocusNext(false); break;
    case win::VK_UP: FocusUp(false); break;
    case win::VK_DOWN: FocusDown(false); break;
    case win::VK_INSERT:
      if (Shift.Empty()) AddCondition(FFocusInfo.Row);
      break;
    case win::VK_DELETE:
      if (Shift.Contains(ssCtrl) && HasItems()) Remove();
      break;
    case win::VK_TAB:
      if (Shift.Contains(ssCtrl)) {
        if (TWinControl* parent = GetParent()) parent->SelectNext(this, !Shift.Contains(ssShift), true);
      } else if (Shift.Contains(ssShift)) {
        FocusPrev(true);
      } else {
        FocusNext(true);
      }
      Key = 0;
      break;
    default: break;
  }
}

void TcxCustomFilterControl::KeyPress(char& Key) {
  inherited::KeyPress(Key);
  if (!HasItems()) return;
  if (Key == '\r' || Key == ' ') {
    ProcessHitTest(FFocusInfo.HitTest, false);
  } else if (Key != '\x1b' && Key != 0 && FFocusInfo.HitTest == fhtValue) {
    SelectValue(aveKey, Key);
  }
}

void TcxCustomFilterControl::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseDown(Button, Shift, X, Y);
  if (FInvalidValue || !HasItems()) return;
  FViewInfo->GetHitTestInfo(Shift, TPoint(X, Y), FHotTrackInfo);
  if (FHotTrackInfo.HitTest == fhtNone || FState != fcsNormal || Button != mbLeft) return;
  FFocusInfo = FHotTrackInfo;
  EnsureRowVisible();
  ProcessHitTest(FFocusInfo.HitTest, true);
}

void TcxCustomFilterControl::UpdateHotTrack(const TPoint& P, TShiftState AShift) {
  const TcxFilterControlHitTestInfo old = FHotTrackInfo;
  FViewInfo->GetHitTestInfo(AShift, P, FHotTrackInfo);
  // Texts show no hot state; a row is drawn again when a button or a value
  // starts or stops being hot.
  auto drawsHot = [](const TcxFilterControlHitTestInfo& AInfo) {
    return AInfo.HitTest != fhtNone && AInfo.HitTest != fhtBoolOperator && AInfo.HitTest != fhtItem &&
           AInfo.HitTest != fhtOperator && AInfo.HitTest != fhtAddCondition;
  };
  const bool changed = old.Row != FHotTrackInfo.Row || old.HitTest != FHotTrackInfo.HitTest ||
                       old.ValueIndex != FHotTrackInfo.ValueIndex;
  if (changed) {
    if (old.Row && drawsHot(old) && std::find(FRows.begin(), FRows.end(), old.Row) != FRows.end())
      FViewInfo->InvalidateRow(old.Row);
    if (FHotTrackInfo.Row && drawsHot(FHotTrackInfo)) FViewInfo->InvalidateRow(FHotTrackInfo.Row);
  }
  FViewInfo->Update();
}

void TcxCustomFilterControl::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseMove(Shift, X, Y);
  BeginMouseTracking(this, GetBounds(), this);
  UpdateHotTrack(TPoint(X, Y), Shift);
}

void TcxCustomFilterControl::MouseEnter(TControl* AControl) {
  inherited::MouseEnter(AControl);
  BeginMouseTracking(this, GetBounds(), this);
}

void TcxCustomFilterControl::MouseLeave(TControl* AControl) {
  inherited::MouseLeave(AControl);
  MouseTrackingMouseLeave();
}

void TcxCustomFilterControl::MouseTrackingMouseLeave() {
  EndMouseTracking(this);
  FHotTrackInfo.HitTest = fhtNone;
  LayoutChanged();
}

void TcxCustomFilterControl::FocusChanged() {
  inherited::FocusChanged();
  if (!HandleAllocated()) return;
  const TPoint p = ScreenToClient(InternalGetCursorPos());
  FViewInfo->GetHitTestInfo({}, p, FHotTrackInfo);
  LayoutChanged();
}
