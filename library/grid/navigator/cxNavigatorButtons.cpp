#include "library/grid/navigator/cxNavigatorButtons.h"

#include "library/editors/core/cxEditConsts.h"
#include "library/editors/core/cxEditPaintUtils.h"
#include "library/foundation/cxLookAndFeelPainters.h"
#include "library/foundation/cxPopupWindow.h"
#include "platform/forms/Application.h"
#include "platform/forms/Hints.h"
#include "platform/forms/Screen.h"
#include "platform/gdi/Gdi.h"
#include "platform/win/Modules.h"
#include "platform/rtl/Collation.h"
#include "platform/rtl/Owned.h"

ORV_REGISTER(TcxNavigatorButton, ORV_PROP(Enabled).Default(true), ORV_PROP(Hint), ORV_PROP(ImageIndex).Default(-1),
             ORV_PROP(Visible).StoredBy<&TcxNavigatorButton::IsVisibleStored>(), ORV_PROP_RW(OnClick, GetOnClick, SetOnClick))
ORV_REGISTER(TcxCustomNavigatorButtons)
ORV_REGISTER(TcxNavigatorButtonViewInfo)
ORV_REGISTER(TcxNavigatorViewInfo)

void cxNavigatorButtonsRegisterResources();

namespace {

TCustomImageList* DefaultImages = nullptr;

// The hint texts in button order.
const TResStringRec* const kHints[NavigatorButtonCount] = {
    &cxNavigatorHint_First,   &cxNavigatorHint_PriorPage, &cxNavigatorHint_Prior,        &cxNavigatorHint_Next,
    &cxNavigatorHint_NextPage, &cxNavigatorHint_Last,     &cxNavigatorHint_Insert,       &cxNavigatorHint_Delete,
    &cxNavigatorHint_Edit,    &cxNavigatorHint_Post,      &cxNavigatorHint_Cancel,       &cxNavigatorHint_Refresh,
    &cxNavigatorHint_SaveBookmark, &cxNavigatorHint_GotoBookmark, &cxNavigatorHint_Filter};

constexpr Cardinal kFirstRepeatDelay = 400;
constexpr Cardinal kRepeatInterval = 100;
constexpr Cardinal kHintDelay = 500;

}  // namespace

TCustomImageList* NavigatorImages() {
  if (DefaultImages) return DefaultImages;
  static const bool registered = [] {
    cxNavigatorButtonsRegisterResources();
    return true;
  }();
  (void)registered;
  DefaultImages = New<TCustomImageList>(nullptr);
  DefaultImages->SetWidth(12);
  DefaultImages->SetHeight(11);
  TOwned<TBitmap> strip(New<TBitmap>());
  strip->LoadFromResourceName(win::ProgramInstance(), "CXNAVIGATORBUTTONS");
  DefaultImages->AddMasked(strip.get(), clOlive);
  return DefaultImages;
}

void cxNavigatorInitialize() {}

void cxNavigatorFinalize() { FreeAndNil(DefaultImages); }

// ---------------------------------------------------------------------------
// TcxNavigatorButton

TPersistent* TcxNavigatorButton::GetOwner() { return FButtons; }

IcxNavigatorOwner* TcxNavigatorButton::GetNavigator() const { return FButtons->GetNavigator(); }

void TcxNavigatorButton::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxNavigatorButton*>(Source);
  if (!source) {
    inherited::DoAssign(Source);
    return;
  }
  SetEnabled(source->FEnabled);
  SetHint(source->FHint);
  SetImageIndex(source->FImageIndex);
  SetVisible(source->FVisible);
  FVisibleAssigned = source->FVisibleAssigned;
  SetOnClick(source->FOnClick);
}

void TcxNavigatorButton::Click() {
  if (GetInternalEnabled()) DoClick();
}

void TcxNavigatorButton::DoClick() {
  if (FOnClick.Assigned()) {
    FOnClick(this);
    return;
  }
  bool done = false;
  if (FButtons->OnButtonClick.Assigned()) FButtons->OnButtonClick(FButtons, FDefaultIndex, done);
  if (!done) FButtons->DoButtonClick(FDefaultIndex);
}

bool TcxNavigatorButton::GetInternalEnabled() { return FEnabled && FButtons->GetButtonEnabled(FDefaultIndex); }

AnsiString TcxNavigatorButton::GetInternalHint() {
  return FHint.empty() ? FButtons->GetButtonHint(FDefaultIndex) : FHint;
}

TCustomImageList* TcxNavigatorButton::GetInternalImages() {
  if (FButtons->GetImages() && FImageIndex >= 0) return FButtons->GetImages();
  return NavigatorImages();
}

Integer TcxNavigatorButton::GetInternalImageIndex() {
  if (FButtons->GetImages() && FImageIndex >= 0) return FImageIndex;
  return FDefaultIndex;
}

TSize TcxNavigatorButton::GetImageSize() {
  TCustomImageList* images = GetInternalImages();
  return {images->GetWidth(), images->GetHeight()};
}

void TcxNavigatorButton::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  if (FVisible) GetNavigator()->RefreshNavigator();
  GetNavigator()->NavigatorChanged(nctLayout);
}

void TcxNavigatorButton::SetImageIndex(Integer Value) {
  if (FImageIndex == Value) return;
  FImageIndex = Value;
  if (FVisible) GetNavigator()->RefreshNavigator();
  GetNavigator()->NavigatorChanged(nctLayout);
}

void TcxNavigatorButton::SetHint(const AnsiString& Value) {
  if (AnsiCompareStr(FHint, Value) == 0) return;
  FHint = Value;
  GetNavigator()->NavigatorChanged(nctProperties);
}

void TcxNavigatorButton::SetVisible(bool Value) { InternalSetVisible(Value, false); }

void TcxNavigatorButton::InternalSetVisible(bool AValue, bool ADefault) {
  if (!ADefault) FVisibleAssigned = true;
  if (FVisible == AValue) return;
  FVisible = AValue;
  GetNavigator()->RefreshNavigator();
  GetNavigator()->NavigatorChanged(nctSize);
}

void TcxNavigatorButton::SetOnClick(TNotifyEvent Value) {
  if (FOnClick == Value) return;
  FOnClick = Value;
  GetNavigator()->NavigatorChanged(nctProperties);
}

// ---------------------------------------------------------------------------
// TcxCustomNavigatorButtons

TcxCustomNavigatorButtons::TcxCustomNavigatorButtons(IcxNavigatorOwner* ANavigator) : FNavigator(ANavigator) {
  FImageChangeLink = New<TChangeLink>();
  FImageChangeLink->OnChange = TNotifyEvent::Bind<&TcxCustomNavigatorButtons::ImageListChange>(this);
}

void TcxCustomNavigatorButtons::AfterConstruction() {
  inherited::AfterConstruction();
  CreateButtons();
}

TcxCustomNavigatorButtons::~TcxCustomNavigatorButtons() {
  DestroyButtons();
  FImageChangeLink->Free();
}

TPersistent* TcxCustomNavigatorButtons::GetOwner() { return FNavigator->GetNavigatorControl(); }

void TcxCustomNavigatorButtons::CreateButtons() {
  for (Integer i = 0; i < NavigatorButtonCount; ++i) FButtons[i] = New<TcxNavigatorButton>(this, i);
}

void TcxCustomNavigatorButtons::DestroyButtons() {
  for (TcxNavigatorButton*& button : FButtons) FreeAndNil(button);
}

TcxNavigatorButton* TcxCustomNavigatorButtons::GetButton(Integer AIndex) const {
  return AIndex >= 0 && AIndex < NavigatorButtonCount ? FButtons[AIndex] : nullptr;
}

void TcxCustomNavigatorButtons::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomNavigatorButtons*>(Source);
  if (!source) {
    inherited::DoAssign(Source);
    return;
  }
  for (Integer i = 0; i < NavigatorButtonCount; ++i) FButtons[i]->Assign(source->FButtons[i]);
  SetConfirmDelete(source->FConfirmDelete);
  SetImages(source->FImages);
  SetOnButtonClick(source->OnButtonClick);
}

void TcxCustomNavigatorButtons::ClickButton(Integer AIndex) {
  if (TcxNavigatorButton* button = GetButton(AIndex)) button->Click();
}

bool TcxCustomNavigatorButtons::GetButtonEnabled(Integer) {
  TcxControl* control = FNavigator->GetNavigatorControl();
  return control && control->GetEnabled();
}

AnsiString TcxCustomNavigatorButtons::GetButtonHint(Integer AIndex) {
  if (AIndex < 0 || AIndex >= NavigatorButtonCount) return {};
  return cxEditResString(*kHints[AIndex]);
}

void TcxCustomNavigatorButtons::SetConfirmDelete(bool Value) {
  if (FConfirmDelete == Value) return;
  FConfirmDelete = Value;
  FNavigator->NavigatorChanged(nctProperties);
}

void TcxCustomNavigatorButtons::SetOnButtonClick(TcxNavigatorButtonClickEvent Value) {
  if (OnButtonClick == Value) return;
  OnButtonClick = Value;
  FNavigator->NavigatorChanged(nctProperties);
}

void TcxCustomNavigatorButtons::SetImages(TCustomImageList* Value) {
  if (FImages == Value) return;
  if (FImages) FImages->UnRegisterChanges(FImageChangeLink);
  FImages = Value;
  if (FImages) {
    FImages->RegisterChanges(FImageChangeLink);
    if (TComponent* owner = FNavigator->GetNavigatorOwner()) FImages->FreeNotification(owner);
  }
  FNavigator->RefreshNavigator();
  FNavigator->NavigatorChanged(nctLayout);
}

void TcxCustomNavigatorButtons::ImageListChange(TObject*) { FNavigator->RefreshNavigator(); }

// ---------------------------------------------------------------------------
// TcxNavigatorViewInfo

TcxNavigatorViewInfo::TcxNavigatorViewInfo(IcxNavigatorOwner* ANavigator, bool AInPlace)
    : FInPlace(AInPlace), FNavigator(ANavigator) {
  FButtonPressTimer = New<TcxTimer>(nullptr);
  FButtonPressTimer->SetEnabled(false);
  FButtonPressTimer->SetOnTimer(TNotifyEvent::Bind<&TcxNavigatorViewInfo::DoButtonPressTimer>(this));
  FHintTimer = New<TcxTimer>(nullptr);
  FHintTimer->SetEnabled(false);
  FHintTimer->SetInterval(kHintDelay);
  FHintTimer->SetOnTimer(TNotifyEvent::Bind<&TcxNavigatorViewInfo::DoHintTimer>(this));
}

TcxNavigatorViewInfo::~TcxNavigatorViewInfo() {
  FButtonPressTimer->Free();
  FHintTimer->Free();
  FreeAndNil(FHintWindow);
  for (TcxNavigatorButtonViewInfo* button : FButtons) button->Free();
}

TcxCustomLookAndFeelPainterClass TcxNavigatorViewInfo::GetPainter() {
  return FNavigator->GetNavigatorLookAndFeel()->GetAvailablePainter(totButton);
}

void TcxNavigatorViewInfo::Clear() {
  for (TcxNavigatorButtonViewInfo* button : FButtons) button->Free();
  FButtons.clear();
  FHotButton = FPressedButton = nullptr;
  FIsDirty = true;
}

void TcxNavigatorViewInfo::GetMinButtonSize(Integer AIndex, TSize& ASize, bool AWithImageHeight) {
  const TSize image = FButtons[static_cast<size_t>(AIndex)]->Button->GetImageSize();
  const TRect borders = GetPainter()->ButtonGroupBorderSizes(3, 1);
  ASize.cx = image.cx + borders.Left + borders.Right + 1;
  ASize.cy = borders.Top + (AWithImageHeight ? image.cy : 0) + borders.Bottom + 1;
}

void TcxNavigatorViewInfo::CheckSize(Integer& AWidth, Integer& AHeight, bool AWithImageHeight) {
  const TRect bounds = FNavigator->GetNavigatorBounds();
  FIsDirty = true;
  TcxNavigatorButton* hot = FHotButton ? FHotButton->Button : nullptr;
  TcxNavigatorButton* pressed = FPressedButton ? FPressedButton->Button : nullptr;
  FHotButton = FPressedButton = nullptr;

  TcxCustomNavigatorButtons* buttons = FNavigator->GetNavigatorButtons();
  std::vector<TcxNavigatorButton*> visible;
  for (Integer i = 0; i < buttons->GetButtonCount(); ++i)
    if (buttons->GetButton(i)->GetVisible()) visible.push_back(buttons->GetButton(i));
  while (FButtons.size() > visible.size()) {
    FButtons.back()->Free();
    FButtons.pop_back();
  }
  while (FButtons.size() < visible.size()) FButtons.push_back(New<TcxNavigatorButtonViewInfo>());
  for (size_t i = 0; i < visible.size(); ++i) {
    FButtons[i]->Button = visible[i];
    if (visible[i] == hot) FHotButton = FButtons[i];
    if (visible[i] == pressed) FPressedButton = FButtons[i];
  }

  const Integer count = GetButtonCount();
  std::vector<TSize> sizes(static_cast<size_t>(count));
  Integer W = 0, H = 0;
  for (Integer i = 0; i < count; ++i) {
    GetMinButtonSize(i, sizes[static_cast<size_t>(i)], AWithImageHeight);
    W += sizes[static_cast<size_t>(i)].cx;
    H = std::max(H, sizes[static_cast<size_t>(i)].cy);
  }
  AHeight = std::max(AHeight, H);
  // With no button to share it, a wider bar has nothing to give the extra
  // width to: the bar takes no width at all.
  Integer extra = 0;
  if (AWidth < W || count == 0) {
    AWidth = W;
  } else {
    extra = (AWidth - W) / count;
    AWidth = count * extra + W;
  }
  Integer left = bounds.Left;
  for (Integer i = 0; i < count; ++i) {
    const Integer width = sizes[static_cast<size_t>(i)].cx + extra;
    FButtons[static_cast<size_t>(i)]->Bounds = TRect(left, bounds.Top, left + width, bounds.Top + AHeight);
    left += width;
  }
}

void TcxNavigatorViewInfo::Calculate() {
  const TRect bounds = FNavigator->GetNavigatorBounds();
  Integer width = bounds.Width(), height = bounds.Height();
  CheckSize(width, height, false);
  for (TcxNavigatorButtonViewInfo* button : FButtons) {
    button->Enabled = button->Button->GetInternalEnabled();
    button->Hint = button->Button->GetInternalHint();
  }
  FIsDirty = false;
}

TcxButtonState TcxNavigatorViewInfo::GetButtonState(TcxNavigatorButtonViewInfo* AButton) {
  if (!AButton->Enabled) return cxbsDisabled;
  if (AButton == FPressedButton && AButton == FHotButton) return cxbsPressed;
  if (AButton == FHotButton) return cxbsHot;
  return cxbsNormal;
}

void TcxNavigatorViewInfo::Paint() {
  TOwned<TcxCanvas> canvas(New<TcxCanvas>(FNavigator->GetNavigatorCanvas()));
  FCanvas = canvas.get();
  struct Forget {
    TcxCanvas*& Canvas;
    ~Forget() { Canvas = nullptr; }
  } forget{FCanvas};
  if (FIsDirty) Calculate();
  for (Integer i = 0; i < GetButtonCount(); ++i) PaintButton(i);
  TcxControl* control = FNavigator->GetNavigatorControl();
  const bool enabled = control->GetEnabled();
  const bool selected = FSelected || (!FInPlace && control->GetIsDesigning() && enabled);
  const TRect bounds = FNavigator->GetNavigatorBounds();
  GetPainter()->DrawButtonGroupBorder(FCanvas, bounds, FInPlace && enabled, selected);
  if (FInPlace) FCanvas->ExcludeClipRect(bounds);
}

void TcxNavigatorViewInfo::PaintButton(Integer AIndex) {
  TcxNavigatorButtonViewInfo* button = FButtons[static_cast<size_t>(AIndex)];
  if (!FCanvas->RectVisible(button->Bounds)) return;
  const TcxButtonState state = GetButtonState(button);
  TcxCustomLookAndFeelPainterClass painter = GetPainter();
  const Integer count = GetButtonCount();
  const TRect R = painter->AdjustGroupButtonDisplayRect(button->Bounds, count, AIndex);

  const TSize image = button->Button->GetImageSize();
  const TRect borders = painter->ButtonGroupBorderSizes(count, AIndex);
  const TRect inner(R.Left + borders.Left, R.Top + borders.Top, R.Right - borders.Right, R.Bottom - borders.Bottom);
  TRect glyph(0, 0, image.cx, image.cy);
  glyph = cxRectOffset(glyph, inner.Left + (inner.Width() - image.cx) / 2, inner.Top + (inner.Height() - image.cy) / 2);
  if (state == cxbsPressed) glyph = cxRectOffset(glyph, 1, 1);
  const TRect middle = painter->ButtonGroupBorderSizes(3, 1);
  const TRect content(R.Left + middle.Left, R.Top + middle.Top, R.Right - middle.Right, R.Bottom - middle.Bottom);

  TCustomImageList* images = button->Button->GetInternalImages();
  const Integer index = button->Button->GetInternalImageIndex();
  const bool enabled = state != cxbsDisabled;
  if (painter == TcxCustomLookAndFeelPainterClass(TcxWinXPLookAndFeelPainter::StaticClass())) {
    // The themed face may leave its corners open: the window colour of an
    // in-place bar, or the face colour around a stand-alone one, shows
    // there.
    FCanvas->SetBrushColor(FInPlace ? clWindow : clBtnFace);
    FCanvas->FillRect(R);
    painter->DrawButton(FCanvas, R, "", state);
    FCanvas->DrawImage(images, glyph.Left, glyph.Top, index, enabled);
    return;
  }
  const win::HDC dc = FCanvas->GetHandle();
  const int saved = win::SaveDC(dc);
  FCanvas->IntersectClipRect(content);
  DrawGlyph(FCanvas, images, index, glyph, painter->ButtonColor(state), enabled);
  win::RestoreDC(dc, saved);
  if (FNavigator->GetNavigatorTabStop() && FNavigator->GetNavigatorFocused() && button->Button == FFocusedButton)
    FCanvas->DrawFocusRect(content);
  FCanvas->ExcludeClipRect(glyph);
  painter->DrawButtonInGroup(FCanvas, R, state, count, AIndex, clWindow);
}

TcxNavigatorButtonViewInfo* TcxNavigatorViewInfo::GetButtonViewInfoAt(const TPoint& P) {
  for (TcxNavigatorButtonViewInfo* button : FButtons)
    if (cxRectPtIn(button->Bounds, P)) return button;
  return nullptr;
}

TcxNavigatorButton* TcxNavigatorViewInfo::GetButtonAt(const TPoint& P) {
  TcxNavigatorButtonViewInfo* button = GetButtonViewInfoAt(P);
  return button ? button->Button : nullptr;
}

TcxNavigatorButtonViewInfo* TcxNavigatorViewInfo::ViewInfoOf(TcxNavigatorButton* AButton) {
  for (TcxNavigatorButtonViewInfo* button : FButtons)
    if (button->Button == AButton) return button;
  return nullptr;
}

void TcxNavigatorViewInfo::InvalidateButton(TcxNavigatorButtonViewInfo* AButton) {
  TcxControl* control = FNavigator->GetNavigatorControl();
  if (AButton && control->HandleAllocated()) {
    control->InvalidateRect(AButton->Bounds, false);
  }
}

void TcxNavigatorViewInfo::UpdateSelected() {
  if (!GetPainter()->IsButtonHotTrack()) return;
  const bool selected = FHotButton || FPressedButton ? true : FNavigator->GetNavigatorFocused();
  if (selected == FSelected) return;
  TcxControl* control = FNavigator->GetNavigatorControl();
  if (!control->HandleAllocated()) return;
  FSelected = selected;
  // Only the one-pixel frame just inside the bounds changes.
  const TRect bounds = FNavigator->GetNavigatorBounds();
  const TRect edges[] = {{bounds.Left, bounds.Top, bounds.Right, bounds.Top + 1},
                         {bounds.Left, bounds.Bottom - 1, bounds.Right, bounds.Bottom},
                         {bounds.Left, bounds.Top, bounds.Left + 1, bounds.Bottom},
                         {bounds.Right - 1, bounds.Top, bounds.Right, bounds.Bottom}};
  for (const TRect& edge : edges) control->InvalidateRect(edge, false);
}

void TcxNavigatorViewInfo::SetHotButton(TcxNavigatorButtonViewInfo* Value) {
  if (FHotButton == Value) return;
  if (FHotButton && FHotButton->Enabled) InvalidateButton(FHotButton);
  FHotButton = Value;
  if (FHotButton && FHotButton->Enabled) InvalidateButton(FHotButton);
}

void TcxNavigatorViewInfo::MouseDown(Integer X, Integer Y) {
  HintActivate(false);
  TcxNavigatorButtonViewInfo* button = GetButtonViewInfoAt(TPoint(X, Y));
  if (button && GetButtonState(button) != cxbsDisabled) {
    FButtonPressTimer->SetInterval(kFirstRepeatDelay);
    FButtonPressTimer->SetEnabled(true);
    FPressedButton = button;
    SetFocusedButton(button);
    InvalidateButton(button);
  }
  UpdateSelected();
}

void TcxNavigatorViewInfo::MouseMove(Integer X, Integer Y) {
  TcxNavigatorButtonViewInfo* button = GetButtonViewInfoAt(TPoint(X, Y));
  if (button != FHotButton) {
    SetHotButton(button);
    if (!FHotButton) {
      HintActivate(false);
    } else if (!FHintActive) {
      FHintTimer->SetEnabled(false);
      FHintTimer->SetEnabled(true);
    } else {
      HintActivate(true);
    }
  }
  UpdateSelected();
}

void TcxNavigatorViewInfo::MouseUp(Integer X, Integer Y) {
  FButtonPressTimer->SetEnabled(false);
  TcxNavigatorButtonViewInfo* pressed = FPressedButton;
  FPressedButton = nullptr;
  InvalidateButton(pressed);
  FHintTimer->SetEnabled(true);
  UpdateSelected();
  if (pressed && cxRectPtIn(pressed->Bounds, TPoint(X, Y))) pressed->Button->DoClick();
}

void TcxNavigatorViewInfo::DoButtonPressTimer(TObject*) {
  if (!KeyboardStateToShiftState().Contains(ssLeft)) {
    FButtonPressTimer->SetEnabled(false);
    MouseUp(-1, -1);
    return;
  }
  FButtonPressTimer->SetInterval(kRepeatInterval);
  TcxNavigatorButtonViewInfo* pressed = FPressedButton;
  if (!pressed || pressed != FHotButton || !pressed->Enabled) return;
  const Integer index = pressed->Button->GetDefaultIndex();
  if (index != NBDI_PRIOR && index != NBDI_NEXT) return;
  try {
    pressed->Button->DoClick();
  } catch (...) {
    FButtonPressTimer->SetEnabled(false);
    throw;
  }
}

void TcxNavigatorViewInfo::DoHintTimer(TObject*) { HintActivate(true); }

TcxNavigatorButtonViewInfo* TcxNavigatorViewInfo::GetFocusedButton() {
  if (FFocusedButton && !FFocusedButton->GetVisible()) FFocusedButton = nullptr;
  if (!FFocusedButton) {
    TcxCustomNavigatorButtons* buttons = FNavigator->GetNavigatorButtons();
    for (Integer i = 0; i < buttons->GetButtonCount() && !FFocusedButton; ++i)
      if (buttons->GetButton(i)->GetVisible()) FFocusedButton = buttons->GetButton(i);
  }
  return FFocusedButton ? ViewInfoOf(FFocusedButton) : nullptr;
}

void TcxNavigatorViewInfo::SetFocusedButton(TcxNavigatorButtonViewInfo* Value) {
  TcxNavigatorButton* button = Value ? Value->Button : nullptr;
  if (FFocusedButton == button) return;
  TcxNavigatorButtonViewInfo* old = FFocusedButton ? ViewInfoOf(FFocusedButton) : nullptr;
  FFocusedButton = button;
  InvalidateButton(old);
  InvalidateButton(Value);
}

void TcxNavigatorViewInfo::PressArrowKey(bool ALeft) {
  TcxNavigatorButtonViewInfo* focused = GetFocusedButton();
  if (!focused) return;
  Integer index = 0;
  while (FButtons[static_cast<size_t>(index)] != focused) ++index;
  index += ALeft ? -1 : 1;
  if (index >= 0 && index < GetButtonCount()) SetFocusedButton(FButtons[static_cast<size_t>(index)]);
}

void TcxNavigatorViewInfo::DoEnter() {
  InvalidateButton(GetFocusedButton());
  UpdateSelected();
}

void TcxNavigatorViewInfo::DoExit() {
  InvalidateButton(GetFocusedButton());
  UpdateSelected();
}

void TcxNavigatorViewInfo::UpdateButtonsEnabled() {
  for (TcxNavigatorButtonViewInfo* button : FButtons) {
    const bool enabled = button->Button->GetInternalEnabled();
    if (button->Enabled == enabled) continue;
    button->Enabled = enabled;
    InvalidateButton(button);
  }
}

void TcxNavigatorViewInfo::HintActivate(bool AShow) {
  if (FHintWindow) FreeAndNil(FHintWindow);
  FHintTimer->SetEnabled(false);
  FHintActive = false;
  // A button's hint may have changed since the buttons were laid out: the
  // one shown is the button's as it is now.
  if (FHotButton) FHotButton->Hint = FHotButton->Button->GetInternalHint();
  const AnsiString text = FHotButton ? FHotButton->Hint : AnsiString();
  if (!AShow || !FNavigator->GetNavigatorShowHint() || text.empty() ||
      !CanShowHint(FNavigator->GetNavigatorControl()))
    return;
  FHintWindow = HintWindowClass.Create(nullptr);
  if (Application) FHintWindow->SetColor(Application->GetHintColor());
  const Integer maxWidth = Screen ? Screen->GetWidth() : 1024;
  TRect R = FHintWindow->CalcHintRect(maxWidth, text, nullptr);
  TPoint P = GetMouseCursorPos();
  P.Y += cxGetCursorSize().cy;
  R = cxRectOffset(R, P.X, P.Y);
  FHintWindow->ActivateHint(R, text);
  FHintActive = true;
}
