#include "library/editors/cxGroupBox.h"

#include "library/foundation/cxControls.h"
#include "platform/gdi/Fonts.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/rtl/ScopeExit.h"

using namespace win;

ORV_REGISTER(TcxCustomGroupBoxProperties)
// A group box takes no focus from a click.
ORV_REGISTER(TcxCustomGroupBox, ORV_PROP(FocusOnClick).Default(false))
ORV_REGISTER(TcxGroupBox, ORV_PROP(Align), ORV_PROP(Alignment).Default(alTopLeft), ORV_PROP(Anchors),
             ORV_PROP(Caption), ORV_PROP(Color).Stored(false), ORV_PROP(Constraints),
             ORV_PROP(DragCursor), ORV_PROP(DragKind), ORV_PROP(DragMode), ORV_PROP(Enabled),
             ORV_PROP(Font).Stored(false), ORV_PROP(ParentBackground).Default(true), ORV_PROP(ParentColor),
             ORV_PROP(ParentCtl3D).Default(true), ORV_PROP(ParentFont).Default(true),
             ORV_PROP(ParentShowHint).Default(true), ORV_PROP(PopupMenu), ORV_PROP(Style),
             ORV_PROP(StyleDisabled), ORV_PROP(StyleFocused), ORV_PROP(StyleHot), ORV_PROP(TabOrder),
             ORV_PROP(TabStop).Default(false), ORV_PROP(Transparent).Default(false), ORV_PROP(Visible),
             ORV_EVENT(OnClick), ORV_EVENT(OnContextPopup), ORV_EVENT(OnDblClick), ORV_EVENT(OnDragDrop),
             ORV_EVENT(OnDragOver), ORV_EVENT(OnEndDock), ORV_EVENT(OnEndDrag), ORV_EVENT(OnEnter),
             ORV_EVENT(OnExit), ORV_EVENT(OnMouseDown), ORV_EVENT(OnMouseMove), ORV_EVENT(OnMouseUp),
             ORV_EVENT(OnStartDock), ORV_EVENT(OnStartDrag))

namespace {

bool ReadTextMetrics(HDC ADC, TEXTMETRICA& AMetrics) { return GetTextMetricsA(ADC, &AMetrics) != FALSE; }

TcxGroupBoxTextMetricsReader gTextMetricsReader = &ReadTextMetrics;

// The escapement a caption at AAlignment is drawn with.
LONG CaptionEscapement(TcxCaptionAlignment AAlignment) {
  if (IsLeftCaption(AAlignment)) return 900;
  if (IsRightCaption(AAlignment)) return 2700;
  return 0;
}

}  // namespace

void SetGroupBoxTextMetricsReader(TcxGroupBoxTextMetricsReader AReader) {
  gTextMetricsReader = AReader ? AReader : &ReadTextMetrics;
}

// ---------------------------------------------------------------------------
// Properties.

TClass TcxCustomGroupBoxProperties::GetContainerClass() const { return TcxGroupBox::StaticClass(); }
TClass TcxCustomGroupBoxProperties::GetViewDataClass() const { return TcxGroupBoxViewData::StaticClass(); }
TClass TcxCustomGroupBoxProperties::GetViewInfoClass() const { return TcxGroupBoxViewInfo::StaticClass(); }

// ---------------------------------------------------------------------------
// The control.

TcxCustomGroupBox::~TcxCustomGroupBox() { FreeAndNil(FCaptionFont); }

TClassRef<TcxCustomEditProperties> TcxCustomGroupBox::GetPropertiesClass() const {
  return TcxCustomGroupBoxProperties::StaticClass();
}

void TcxCustomGroupBox::Initialize() {
  TcxCustomEdit::Initialize();
  SetBounds(GetLeft(), GetTop(), 185, 105);
  TControlStyle style = GetControlStyle();
  style.Include(csAcceptsControls);
  style.Include(csCaptureMouse);
  style.Include(csClickEvents);
  SetControlStyle(style);
  SetFocusOnClick(false);
  FCaptionFont = New<TFont>();
  CalculateCaptionFont();
  SetTabStop(false);
}

void TcxCustomGroupBox::SetAlignment(TcxCaptionAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  CalculateCaptionFont();
  CalculateVisibleCaption();
  ShortRefreshContainer(false);
  Realign();
}

void TcxCustomGroupBox::CalculateCaptionFont() {
  if (!FCaptionFont || IsInplace()) return;
  FCaptionFont->Assign(GetActiveStyle()->GetVisibleFont());
  const LONG escapement = CaptionEscapement(FAlignment);
  if (escapement != 0) {
    // Only an outline face can be turned.
    TcxScreenCanvas* screen = cxScreenCanvas();
    screen->GetFont()->Assign(FCaptionFont);
    const HDC dc = screen->GetHandle();
    const HFONT previous = SelectObject(dc, screen->GetFont()->GetHandle());
    TEXTMETRICA metrics{};
    const bool read = gTextMetricsReader(dc, metrics);
    SelectObject(dc, previous);
    if (read && (metrics.tmPitchAndFamily & TMPF_TRUETYPE) == 0) FCaptionFont->SetName("Arial");
  }
  LOGFONTA log{};
  GetObjectA(FCaptionFont->GetHandle(), sizeof log, &log);
  if (log.lfEscapement == escapement) return;
  log.lfEscapement = escapement;
  log.lfOrientation = escapement;
  log.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  FCaptionFont->SetHandle(CreateFontIndirectA(&log));
}

void TcxCustomGroupBox::CalculateVisibleCaption() {
  FVisibleCaption = IsVerticalCaption(FAlignment) ? RemoveAccelChars(GetCaption()) : GetCaption();
}

TRect TcxCustomGroupBox::GetShadowBounds() {
  TRect r = TcxCustomEdit::GetShadowBounds();
  if (IsTopCaption(FAlignment)) r.Top = 0;
  if (IsBottomCaption(FAlignment)) r.Bottom = GetHeight();
  if (IsLeftCaption(FAlignment)) r.Left = 0;
  if (IsRightCaption(FAlignment)) r.Right = GetWidth();
  return r;
}

bool TcxCustomGroupBox::IsNativeBackground() {
  return IsNativeStyle() && GetParentBackground() && !IsInplace() && !GetTransparent();
}

TcxContainerStyle* TcxCustomGroupBox::InternalGetActiveStyle() {
  return GetViewInfo()->ContainerState.Contains(csDisabled) ? GetStyleDisabled() : GetStyle();
}

TcxContainerStyleValues TcxCustomGroupBox::InternalGetNotPublishedStyleValues() {
  TcxContainerStyleValues values = TcxCustomEdit::InternalGetNotPublishedStyleValues();
  values.Include(csvHotTrack);
  return values;
}

void TcxCustomGroupBox::AdjustClientRect(TRect& Rect) {
  if (GetContainerIsDestroying()) return;
  TcxCustomEditViewData* viewData = CreateViewData();
  orv::ScopeExit free([viewData] { viewData->Free(); });
  const TRect extent = viewData->GetClientExtent(cxScreenCanvas(), GetViewInfo());
  const TRect r = GetControlRect(this);
  Rect = TRect(r.Left + extent.Left, r.Top + extent.Top, r.Right - extent.Right, r.Bottom - extent.Bottom);
}

void TcxCustomGroupBox::ContainerStyleChanged(TObject* Sender) {
  CalculateCaptionFont();
  TcxCustomEdit::ContainerStyleChanged(Sender);
}

void TcxCustomGroupBox::FontChanged() {
  TcxCustomEdit::FontChanged();
  Realign();
}

void TcxCustomGroupBox::LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues) {
  TcxCustomEdit::LookAndFeelChanged(Sender, AChangedValues);
  Invalidate();
}

void TcxCustomGroupBox::TextChanged() {
  TcxCustomEdit::TextChanged();
  CalculateVisibleCaption();
  ShortRefreshContainer(false);
}

void TcxCustomGroupBox::CMDialogChar(TMessage& Message) {
  if (IsAccel(static_cast<Word>(Message.WParam), GetCaption()) && CanFocus()) {
    auto handling = orv::TempValue(FIsAccelCharHandling, true);
    SelectFirst();
    Message.Result = 1;
    return;
  }
  DispatchFrom(TcxCustomEdit::StaticClass(), Message);
}
