// Container styles, their sets and the style controller.
#include <algorithm>

#include "library/foundation/cxContainer.h"
#include "platform/rtl/Collation.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/Numbers.h"

ORV_REGISTER(TcxContainerStyle, ORV_PROP(BorderColor).As(ColorTypeInfo()).StoredBy<&TcxContainerStyle::IsBorderColorStored>(),
             ORV_PROP(BorderStyle).StoredBy<&TcxContainerStyle::IsBorderStyleStored>(),
             ORV_PROP(Color).As(ColorTypeInfo()).StoredBy<&TcxContainerStyle::IsColorStored>(),
             ORV_PROP(Edges).StoredBy<&TcxContainerStyle::IsEdgesStored>(),
             ORV_PROP(Font).StoredBy<&TcxContainerStyle::IsFontStored>(),
             ORV_PROP(HotTrack).StoredBy<&TcxContainerStyle::IsHotTrackStored>(), ORV_PROP(LookAndFeel),
             ORV_PROP(Shadow).StoredBy<&TcxContainerStyle::IsShadowStored>(),
             ORV_PROP(StyleController).StoredBy<&TcxContainerStyle::IsStyleControllerStored>(),
             ORV_PROP(TextColor).As(ColorTypeInfo()).StoredBy<&TcxContainerStyle::IsTextColorStored>(),
             ORV_PROP(TextStyle).StoredBy<&TcxContainerStyle::IsTextStyleStored>(),
             ORV_PROP(TransparentBorder).StoredBy<&TcxContainerStyle::IsTransparentBorderStored>())
ORV_REGISTER(TcxContainerStyles)
ORV_REGISTER(TcxStyleController,
             ORV_PROP(FakeStyleController).StoredBy<&TcxStyleController::IsFakeStyleControllerStored>())

TcxStyleController* cxContainerDefaultStyleController = nullptr;

TcxStyleController* DefaultContainerStyleController() { return cxContainerDefaultStyleController; }

namespace {

const char* const StyleValueNames[] = {"BorderColor", "BorderStyle", "Color",     "Edges",     "Font",
                                       "HotTrack",    "Shadow",      "TextColor", "TextStyle", "TransparentBorder"};

// Border of an active or hot state, by the base style's border.
constexpr TcxContainerBorderStyle StrongerBorder[] = {cbsFlat, cbsThick, cbsThick, cbs3D,
                                                      cbs3D,   cbsUltraFlat, cbsOffice11};

// Controller chains are kept free of cycles; the bound only stops a walk
// over a chain damaged some other way.
constexpr int MaxControllerChain = 64;

}  // namespace

// --- TcxContainerStyle -----------------------------------------------------

TcxContainerStyle::TcxContainerStyle(TPersistent* AOwner, bool ADirectAccessMode, TcxContainerStyle* AParentStyle,
                                     TcxContainerStateItem AState)
    : TcxInterfacedPersistent(AOwner), FDirectAccessMode(ADirectAccessMode), FParentStyle(AParentStyle),
      FState(AState) {
  if (FDirectAccessMode) FAssignedValues = {csvColor, csvFont, csvTextColor, csvTextStyle};
  if (IsBaseStyle()) {
    if (!FDirectAccessMode) {
      FFont = New<TFont>();
      FOwnsFont = true;
      FFont->OnChange = TNotifyEvent::Bind<&TcxContainerStyle::FontChanged>(this);
    }
    FLookAndFeel = New<TcxLookAndFeel>(this);
    FLookAndFeel->OnChanged = TcxLookAndFeelChangedEvent::Bind<&TcxContainerStyle::LookAndFeelChanged>(this);
  }
  FVisibleFont = New<TFont>();
}

void TcxContainerStyle::AfterConstruction() {
  inherited::AfterConstruction();
  if (IsBaseStyle() && !FDirectAccessMode) BaseSetStyleController(GetDefaultStyleController());
}

TcxContainerStyle::~TcxContainerStyle() {
  FDestroying = true;
  if (IsBaseStyle() && FStyleController) FStyleController->RemoveListener(this);
  FStyleController = nullptr;
  if (FLookAndFeel) FLookAndFeel->Free();
  FVisibleFont->Free();
  if (FOwnsFont) FFont->Free();
}

IcxContainerStyleOwner* TcxContainerStyle::GetContainer() {
  return dynamic_cast<IcxContainerStyleOwner*>(GetOwner());
}

bool TcxContainerStyle::HasBorder() { return IsBaseStyle() || FParentStyle->HasBorder(); }

// --- change notification

void TcxContainerStyle::BeginUpdate() { ++FUpdateCount; }

void TcxContainerStyle::EndUpdate() {
  if (FUpdateCount > 0) --FUpdateCount;
  CheckChanges();
}

void TcxContainerStyle::Changed() {
  FChangePending = true;
  CheckChanges();
}

void TcxContainerStyle::CheckChanges() {
  if (!FChangePending || FUpdateCount != 0) return;
  FChangePending = false;
  if (!FDestroying && !FDirectAccessMode && OnChanged.Assigned()) OnChanged(this);
}

void TcxContainerStyle::LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) { Changed(); }

// --- value names

bool TcxContainerStyle::GetStyleValueName(TcxContainerStyleValue AStyleValue, AnsiString& AName) {
  if (AStyleValue < 0 || AStyleValue > csvTransparentBorder) return false;
  AName = StyleValueNames[AStyleValue];
  return true;
}

bool TcxContainerStyle::GetStyleValue(const AnsiString& APropertyName, TcxContainerStyleValue& AStyleValue) {
  AnsiString name;
  for (TcxContainerStyleValue i = 0; i < GetStyleValueCount(); ++i)
    if (GetStyleValueName(i, name) && SameText(name, APropertyName)) {
      AStyleValue = i;
      return true;
    }
  return false;
}

TcxContainerStyleValues TcxContainerStyle::InternalGetNotPublishedExtendedStyleValues() {
  return {csvEdges, csvFont, csvHotTrack, csvShadow, csvTransparentBorder};
}

bool TcxContainerStyle::IsExtendedStylePropertyPublished(const AnsiString& APropertyName) {
  if (SameText(APropertyName, "LookAndFeel") || SameText(APropertyName, "StyleController")) return false;
  TcxContainerStyleValue index;
  if (GetStyleValue(APropertyName, index)) return !InternalGetNotPublishedExtendedStyleValues().Contains(index);
  return true;
}

bool TcxContainerStyle::IsValueAssigned(TcxContainerStyleValue AValue) {
  TColor color;
  TcxContainerBorderStyle borderStyle;
  TcxBorders edges;
  TFont* font;
  bool flag;
  TFontStyles fontStyle;
  switch (AValue) {
    case csvBorderColor: return InternalGetBorderColor(color);
    case csvBorderStyle: return InternalGetBorderStyle(borderStyle);
    case csvColor: return InternalGetColor(color);
    case csvEdges: return InternalGetEdges(edges);
    case csvFont: return InternalGetFont(font);
    case csvHotTrack: return InternalGetHotTrack(flag);
    case csvShadow: return InternalGetShadow(flag);
    case csvTextColor: return InternalGetTextColor(color);
    case csvTextStyle: return InternalGetTextStyle(fontStyle);
    case csvTransparentBorder: return InternalGetTransparentBorder(flag);
    default: return false;
  }
}

bool TcxContainerStyle::IsValueStored(TcxContainerStyleValue AValue) {
  if (!FAssignedValues.Contains(AValue)) return false;
  IcxContainerStyleOwner* container = GetContainer();
  AnsiString name;
  return !container || (GetStyleValueName(AValue, name) && container->IsStylePropertyPublished(name, FState != csNormal));
}

TcxContainerStyleValues TcxContainerStyle::GetAssignedValues() {
  if (!FDirectAccessMode) return FAssignedValues;
  TcxContainerStyleValues all;
  for (TcxContainerStyleValue i = 0; i < GetStyleValueCount(); ++i) all.Include(i);
  return all;
}

void TcxContainerStyle::SetAssignedValues(TcxContainerStyleValues Value) {
  if (Value == FAssignedValues) return;
  FAssignedValues = Value;
  if (IsBaseStyle()) UpdateFont();
  Changed();
}

// --- resolution: own value, then the controller's style of this state

TcxContainerStyle* TcxContainerStyle::ControllerStyle() {
  TcxStyleController* controller = GetActiveStyleController();
  if (!controller) return nullptr;
  TcxContainerStyle* style = controller->GetInternalStyle(FState);
  return style == this ? nullptr : style;
}

#define CX_INTERNAL_GETTER(Name, Type, Index, Field)                 \
  bool TcxContainerStyle::InternalGet##Name(Type& Value) {           \
    if (GetAssignedValues().Contains(Index)) {                       \
      Value = Field;                                                 \
      return true;                                                   \
    }                                                                \
    TcxContainerStyle* style = ControllerStyle();                    \
    return style && style->InternalGet##Name(Value);                 \
  }

CX_INTERNAL_GETTER(BorderColor, TColor, csvBorderColor, FBorderColor)
CX_INTERNAL_GETTER(BorderStyle, TcxContainerBorderStyle, csvBorderStyle, FBorderStyle)
CX_INTERNAL_GETTER(Color, TColor, csvColor, FColor)
CX_INTERNAL_GETTER(Edges, TcxBorders, csvEdges, FEdges)
CX_INTERNAL_GETTER(Font, TFont*, csvFont, FFont)
CX_INTERNAL_GETTER(HotTrack, bool, csvHotTrack, FHotTrack)
CX_INTERNAL_GETTER(Shadow, bool, csvShadow, FShadow)
CX_INTERNAL_GETTER(TextColor, TColor, csvTextColor, FTextColor)
CX_INTERNAL_GETTER(TextStyle, TFontStyles, csvTextStyle, FTextStyle)
CX_INTERNAL_GETTER(TransparentBorder, bool, csvTransparentBorder, FTransparentBorder)

#undef CX_INTERNAL_GETTER

TColor TcxContainerStyle::GetBorderColor() {
  if (FDirectAccessMode) return clDefault;
  TColor value;
  return InternalGetBorderColor(value) ? value : DefaultBorderColor();
}

TcxContainerBorderStyle TcxContainerStyle::GetBorderStyle() {
  if (FDirectAccessMode) return FAssignedValues.Contains(csvBorderStyle) ? FBorderStyle : DefaultBorderStyle();
  TcxContainerBorderStyle value;
  return InternalGetBorderStyle(value) ? value : DefaultBorderStyle();
}

TColor TcxContainerStyle::GetColor() {
  if (FDirectAccessMode) return FColor;
  if (IsBaseStyle())
    if (IcxContainerStyleOwner* container = GetContainer()) {
      TWinControl* control = container->GetStyleOwnerControl();
      if (control->GetParentColor() && control->GetParent()) return control->GetParent()->GetColor();
    }
  TColor value;
  return InternalGetColor(value) ? value : DefaultColor();
}

TColor TcxContainerStyle::GetStyleColor() {
  if (FDirectAccessMode) return FColor;
  TColor value;
  if (InternalGetColor(value)) return value;
  if (IsBaseStyle())
    if (IcxContainerStyleOwner* container = GetContainer()) {
      TWinControl* control = container->GetStyleOwnerControl();
      if (!container->IsInplace() && control->GetParentColor() && control->GetParent())
        return control->GetParent()->GetColor();
    }
  return DefaultColor();
}

TcxBorders TcxContainerStyle::GetEdges() {
  if (FDirectAccessMode) return {};
  TcxContainerStyle* base = GetBaseStyle();
  TcxBorders value;
  return base->InternalGetEdges(value) ? value : base->DefaultEdges();
}

TFont* TcxContainerStyle::GetFont() { return GetBaseStyle()->FFont; }

bool TcxContainerStyle::GetHotTrack() {
  if (FDirectAccessMode) return FAssignedValues.Contains(csvHotTrack) ? FHotTrack : DefaultHotTrack();
  TcxContainerStyle* base = GetBaseStyle();
  bool value;
  return base->InternalGetHotTrack(value) ? value : base->DefaultHotTrack();
}

bool TcxContainerStyle::GetShadow() {
  if (FDirectAccessMode) return false;
  TcxContainerStyle* base = GetBaseStyle();
  bool value;
  return base->InternalGetShadow(value) ? value : base->DefaultShadow();
}

TColor TcxContainerStyle::GetTextColor() {
  if (FDirectAccessMode) return FTextColor;
  TColor value;
  return InternalGetTextColor(value) ? value : DefaultTextColor();
}

TFontStyles TcxContainerStyle::GetTextStyle() {
  if (FDirectAccessMode) return FFont ? FFont->GetStyle() : TFontStyles{};
  TFontStyles value;
  return InternalGetTextStyle(value) ? value : DefaultTextStyle();
}

bool TcxContainerStyle::GetTransparentBorder() {
  if (FDirectAccessMode) return true;
  TcxContainerStyle* base = GetBaseStyle();
  bool value;
  return base->InternalGetTransparentBorder(value) ? value : base->DefaultTransparentBorder();
}

TcxLookAndFeel* TcxContainerStyle::GetLookAndFeel() { return GetBaseStyle()->FLookAndFeel; }

void TcxContainerStyle::SetLookAndFeel(TcxLookAndFeel* Value) { GetLookAndFeel()->Assign(Value); }

TFont* TcxContainerStyle::GetVisibleFont() {
  if (TFont* font = GetFont()) FVisibleFont->Assign(font);
  FVisibleFont->SetColor(GetTextColor());
  FVisibleFont->SetStyle(GetTextStyle());
  return FVisibleFont;
}

// --- defaults

TColor TcxContainerStyle::DefaultBorderColor() {
  if (IsBaseStyle()) return clWindowFrame;
  return FState == csDisabled ? clBtnShadow : FParentStyle->GetBorderColor();
}

TcxContainerBorderStyle TcxContainerStyle::DefaultBorderStyle() {
  if (IsBaseStyle()) {
    switch (GetLookAndFeel()->GetKind()) {
      case lfFlat: return cbsFlat;
      case lfStandard: return cbs3D;
      case lfOffice11: return cbsOffice11;
      default: return cbsUltraFlat;
    }
  }
  TcxContainerBorderStyle parent = FParentStyle->GetBorderStyle();
  bool stronger = (FState == csActive || FState == csHotTrack) && GetHotTrack();
  return stronger ? StrongerBorder[parent] : parent;
}

TColor TcxContainerStyle::DefaultColor() {
  IcxContainerStyleOwner* container = GetContainer();
  if (IsBaseStyle()) return container && !container->DefaultParentColor() ? clWindow : clBtnFace;
  if (FState == csDisabled && container && !container->DefaultParentColor()) return clBtnFace;
  return FParentStyle->GetColor();
}

TcxBorders TcxContainerStyle::DefaultEdges() { return cxBordersAll; }

bool TcxContainerStyle::DefaultHotTrack() { return true; }

bool TcxContainerStyle::DefaultShadow() { return false; }

TColor TcxContainerStyle::DefaultTextColor() {
  if (IsBaseStyle()) return GetFont() ? GetFont()->GetColor() : clWindowText;
  return FState == csDisabled ? clBtnShadow : FParentStyle->GetTextColor();
}

TFontStyles TcxContainerStyle::DefaultTextStyle() {
  if (IsBaseStyle()) return GetFont() ? GetFont()->GetStyle() : TFontStyles{};
  return FParentStyle->GetTextStyle();
}

bool TcxContainerStyle::DefaultTransparentBorder() { return true; }

// --- setters

template <class T>
void TcxContainerStyle::SetValue(TcxContainerStyleValue AIndex, T& AField, const T& Value) {
  if (FAssignedValues.Contains(AIndex) && AField == Value) return;
  AField = Value;
  FAssignedValues.Include(AIndex);
  Changed();
}

void TcxContainerStyle::SetBorderColor(TColor Value) { SetValue(csvBorderColor, FBorderColor, Value); }

void TcxContainerStyle::SetBorderStyle(TcxContainerBorderStyle Value) { SetValue(csvBorderStyle, FBorderStyle, Value); }

void TcxContainerStyle::SetColor(TColor Value) { SetValue(csvColor, FColor, Value); }

void TcxContainerStyle::SetEdges(TcxBorders Value) {
  if (IsBaseStyle())
    SetValue(csvEdges, FEdges, Value);
  else
    FParentStyle->SetEdges(Value);
}

void TcxContainerStyle::SetHotTrack(bool Value) {
  if (IsBaseStyle())
    SetValue(csvHotTrack, FHotTrack, Value);
  else
    FParentStyle->SetHotTrack(Value);
}

void TcxContainerStyle::SetShadow(bool Value) {
  if (IsBaseStyle())
    SetValue(csvShadow, FShadow, Value);
  else
    FParentStyle->SetShadow(Value);
}

void TcxContainerStyle::SetTransparentBorder(bool Value) {
  if (IsBaseStyle())
    SetValue(csvTransparentBorder, FTransparentBorder, Value);
  else
    FParentStyle->SetTransparentBorder(Value);
}

void TcxContainerStyle::SetTextColor(TColor Value) {
  if (FAssignedValues.Contains(csvTextColor) && GetTextColor() == Value) return;
  FTextColor = Value;
  FAssignedValues.Include(csvTextColor);
  Changed();
}

void TcxContainerStyle::SetTextStyle(TFontStyles Value) {
  if (FAssignedValues.Contains(csvTextStyle) && GetTextStyle() == Value) return;
  FTextStyle = Value;
  FAssignedValues.Include(csvTextStyle);
  Changed();
}

void TcxContainerStyle::SetFont(TFont* Value) {
  if (!IsBaseStyle()) {
    FParentStyle->SetFont(Value);
    return;
  }
  if (FDirectAccessMode) {
    FFont = Value;
    FAssignedValues.Include(csvFont);
    return;
  }
  BeginUpdate();
  FFont->Assign(Value);
  FAssignedValues.Include(csvFont);
  Changed();
  EndUpdate();
}

// --- fonts

void TcxContainerStyle::LockFontAssignedValue(bool ALock) {
  if (ALock)
    ++FFontAssignedValueLock;
  else if (FFontAssignedValueLock > 0)
    --FFontAssignedValueLock;
}

void TcxContainerStyle::FontChanged(TObject*) {
  if (!IsFontAssignedValueLocked()) FAssignedValues.Include(csvFont);
  Changed();
}

void TcxContainerStyle::UpdateFont() {
  if (FDirectAccessMode || !FFont || FAssignedValues.Contains(csvFont)) return;
  LockFontAssignedValue(true);
  TFont* controllerFont = nullptr;
  TcxContainerStyle* controllerStyle = ControllerStyle();
  if (controllerStyle && controllerStyle->InternalGetFont(controllerFont) && controllerFont) {
    FFont->Assign(controllerFont);
  } else {
    IcxContainerStyleOwner* container = GetContainer();
    // With ParentFont on, the control already holds its parent's font.
    if (!container || !container->GetStyleOwnerControl()->GetParentFont()) {
      TFont* fresh = New<TFont>();
      FFont->Assign(fresh);
      fresh->Free();
    }
  }
  LockFontAssignedValue(false);
}

// --- assignment and defaults

void TcxContainerStyle::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxContainerStyle*>(Source);
  if (!source) {
    inherited::DoAssign(Source);
    return;
  }
  BeginUpdate();
  if (IsBaseStyle()) {
    BaseSetStyleController(source->BaseGetStyleController());
    if (FLookAndFeel && source->GetLookAndFeel()) FLookAndFeel->Assign(source->GetLookAndFeel());
  }
  FBorderColor = source->FBorderColor;
  FBorderStyle = source->FBorderStyle;
  FEdges = source->FEdges;
  FHotTrack = source->FHotTrack;
  FShadow = source->FShadow;
  FTransparentBorder = source->FTransparentBorder;
  FColor = source->FColor;
  if (FDirectAccessMode) {
    FFont = source->GetFont();
    FTextColor = source->GetTextColor();
  } else {
    if (IsBaseStyle() && source->GetFont()) {
      LockFontAssignedValue(true);
      FFont->Assign(source->GetFont());
      if (source->FDirectAccessMode) FFont->SetColor(source->GetTextColor());
      LockFontAssignedValue(false);
    }
    FTextColor = source->GetTextColor();
    FTextStyle = source->GetTextStyle();
  }
  FAssignedValues = source->FAssignedValues;
  Changed();
  EndUpdate();
}

void TcxContainerStyle::RestoreDefaults() {
  BeginUpdate();
  SetAssignedValues({});
  if (IsBaseStyle() && FLookAndFeel) FLookAndFeel->Reset();
  if (IcxContainerStyleOwner* container = GetContainer()) {
    TWinControl* control = container->GetStyleOwnerControl();
    control->SetParentColor(false);
    control->SetParentFont(true);
    TcxStyleController* controller = GetActiveStyleController();
    if (container->DefaultParentColor() && !(controller && controller->GetStyle()->IsValueAssigned(csvColor)))
      control->SetParentColor(true);
  } else if (!FDirectAccessMode && IsBaseStyle()) {
    LockFontAssignedValue(true);
    TFont* fresh = New<TFont>();
    FFont->Assign(fresh);
    fresh->Free();
    LockFontAssignedValue(false);
  }
  Changed();
  EndUpdate();
}

// --- the controller link

TcxStyleController* TcxContainerStyle::GetDefaultStyleController() { return cxContainerDefaultStyleController; }

TcxStyleController* TcxContainerStyle::GetActiveStyleController() { return GetBaseStyle()->FStyleController; }

TcxStyleController* TcxContainerStyle::GetStyleController() { return BaseGetStyleController(); }

void TcxContainerStyle::SetStyleController(TcxStyleController* Value) { BaseSetStyleController(Value); }

TcxStyleController* TcxContainerStyle::BaseGetStyleController() {
  TcxStyleController* controller = GetActiveStyleController();
  return controller == GetDefaultStyleController() ? nullptr : controller;
}

void TcxContainerStyle::BaseSetStyleController(TcxStyleController* Value) {
  if (!IsBaseStyle()) {
    FParentStyle->BaseSetStyleController(Value);
    return;
  }
  TcxStyleController* defaultController = GetDefaultStyleController();
  if (defaultController && GetOwner() == defaultController) return;
  if (!Value) Value = defaultController;
  // A controller that leads back to this style would make every read loop.
  TcxStyleController* link = Value;
  for (int depth = 0; link && depth < MaxControllerChain; ++depth) {
    TcxContainerStyle* style = link->GetStyle();
    if (style == this) return;
    link = style->GetActiveStyleController();
  }
  if (link) return;
  if (Value == FStyleController) return;
  if (FStyleController) FStyleController->RemoveListener(this);
  FStyleController = Value;
  if (Value) Value->AddListener(this);
  ControllerChangedNotification(Value);
}

void TcxContainerStyle::ControllerChangedNotification(TcxStyleController*) {
  UpdateFont();
  Changed();
}

void TcxContainerStyle::ControllerFreeNotification(TcxStyleController* AStyleController) {
  if (!AStyleController || AStyleController != GetActiveStyleController()) return;
  // The controller is going: it keeps no list for us to leave.
  GetBaseStyle()->FStyleController = nullptr;
  if (FLookAndFeel) FLookAndFeel->SetMasterLookAndFeel(nullptr);
  BaseSetStyleController(nullptr);
}

// --- streaming

void TcxContainerStyle::DefineProperties(TFiler* Filer) {
  inherited::DefineProperties(Filer);
  Filer->DefineProperty("IsFontAssigned", TReaderProc::Bind<&TcxContainerStyle::ReadIsFontAssigned>(this),
                        TWriterProc::Bind<&TcxContainerStyle::WriteIsFontAssigned>(this), IsFontStored());
}

void TcxContainerStyle::ReadIsFontAssigned(TReader* Reader) {
  if (Reader->ReadBoolean()) FAssignedValues.Include(csvFont);
}

void TcxContainerStyle::WriteIsFontAssigned(TWriter* Writer) { Writer->WriteBoolean(true); }

// --- TcxContainerStyles -----------------------------------------------------

TcxContainerStyles::TcxContainerStyles(TPersistent* AOwner, TcxContainerStyleClass AStyleClass) {
  if (!AStyleClass) AStyleClass = TcxContainerStyle::StaticClass();
  for (TcxContainerStateItem state : {csNormal, csActive, csDisabled, csHotTrack})
    FStyles[state] = AStyleClass.Construct<TPersistent*, bool, TcxContainerStyle*, TcxContainerStateItem>(
        AOwner, false, state == csNormal ? nullptr : FStyles[csNormal], state);
}

TcxContainerStyles::~TcxContainerStyles() {
  for (int state = csHotTrack; state >= csNormal; --state) FStyles[state]->Free();
}

void TcxContainerStyles::SetStyle(TcxContainerStateItem AState, TcxContainerStyle* Value) {
  FStyles[AState]->Assign(Value);
}

void TcxContainerStyles::SetOnChanged(TNotifyEvent Value) {
  for (TcxContainerStyle* style : FStyles) style->OnChanged = Value;
}

void TcxContainerStyles::RestoreDefaults() {
  for (TcxContainerStyle* style : FStyles) style->RestoreDefaults();
}

// --- TcxStyleController ----------------------------------------------------

TcxStyleController::TcxStyleController(TComponent* AOwner) : TcxComponent(AOwner) {}

void TcxStyleController::AfterConstruction() {
  FStyles = GetStylesClass().Construct<TPersistent*, TcxContainerStyleClass>(this, GetStyleClass());
  FStyles->SetOnChanged(TNotifyEvent::Bind<&TcxStyleController::StyleChanged>(this));
  inherited::AfterConstruction();
}

void TcxStyleController::BeforeDestruction() {
  FDestroying = true;
  // Nothing may keep using a default controller that is gone.
  if (cxContainerDefaultStyleController == this) cxContainerDefaultStyleController = nullptr;
  std::vector<TcxContainerStyle*> listeners = FListeners;
  for (TcxContainerStyle* style : listeners) style->ControllerFreeNotification(this);
  FListeners.clear();
  inherited::BeforeDestruction();
}

TcxStyleController::~TcxStyleController() {
  if (FStyles) FStyles->Free();
}

TcxContainerStyleClass TcxStyleController::GetStyleClass() { return TcxContainerStyle::StaticClass(); }

TcxContainerStylesClass TcxStyleController::GetStylesClass() { return TcxContainerStyles::StaticClass(); }

void TcxStyleController::AddListener(TcxContainerStyle* AListener) {
  if (std::find(FListeners.begin(), FListeners.end(), AListener) == FListeners.end())
    FListeners.push_back(AListener);
  if (TcxLookAndFeel* lookAndFeel = AListener->GetLookAndFeel())
    lookAndFeel->SetMasterLookAndFeel(GetStyle()->GetLookAndFeel());
}

void TcxStyleController::RemoveListener(TcxContainerStyle* AListener) {
  if (!FDestroying) {
    auto it = std::find(FListeners.begin(), FListeners.end(), AListener);
    if (it != FListeners.end()) FListeners.erase(it);
  }
  if (TcxLookAndFeel* lookAndFeel = AListener->GetLookAndFeel()) lookAndFeel->SetMasterLookAndFeel(nullptr);
}

void TcxStyleController::Changed() {
  if (OnStyleChanged.Assigned()) OnStyleChanged(this);
  if (FDestroying) return;
  std::vector<TcxContainerStyle*> listeners = FListeners;
  for (TcxContainerStyle* style : listeners)
    if (std::find(FListeners.begin(), FListeners.end(), style) != FListeners.end())
      style->ControllerChangedNotification(this);
}

void TcxStyleController::Loaded() {
  inherited::Loaded();
  Changed();
}

void TcxStyleController::StyleChanged(TObject*) { Changed(); }

void TcxStyleController::RestoreStyles() { FStyles->RestoreDefaults(); }

void TcxStyleController::ChangeFontScale(Integer M, Integer D) {
  TcxContainerStyle* style = GetStyle();
  if (!style->FAssignedValues.Contains(csvFont)) {
    if (TcxStyleController* controller = style->GetActiveStyleController()) controller->ChangeFontScale(M, D);
    return;
  }
  if (FFontScaled) return;
  FFontScaled = true;
  TFont* font = style->GetFont();
  font->SetSize(MulDiv(font->GetSize(), M, D));
}
