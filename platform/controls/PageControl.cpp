#include "platform/controls/PageControl.h"

#include <algorithm>

#include "platform/controls/ControlsStartup.h"
#include "platform/forms/Graphics.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Text.h"
#include "platform/win/Focus.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Window.h"

using namespace win;

ORV_REGISTER(TTabSheet, ORV_PROP(Caption), ORV_PROP(TabVisible).Default(true))
ORV_REGISTER(TPageControl, ORV_PROP(ActivePage), ORV_PROP(HotTrack).Default(false), ORV_PROP(TabStop).Default(true),
             ORV_EVENT(OnChange),
             ORV_EVENT(OnChanging))

void RegisterPageControlClasses() {
  RegisterClasses({TPageControl::StaticClass(), TTabSheet::StaticClass()});
}

namespace {

// Room around the tabs and the page: tabs start this far in from the
// left, the active one grows by it on either side and upwards, and the
// page's content sits this far inside the frame's own two pixels.
constexpr Integer kTabInset = 2;
constexpr Integer kPageMargin = 4;
// Blank room either side of a caption, and above and below it together.
constexpr Integer kCaptionPadding = 6;
constexpr Integer kCaptionLeading = 5;

bool HasArea(const TRect& R) { return R.Right > R.Left && R.Bottom > R.Top; }
bool Inside(const TRect& R, Integer X, Integer Y) { return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom; }

TSize MeasureText(TFont* Font, const AnsiString& Text) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, ToObj(Font->GetHandle()));
  SIZE size{};
  if (Text.empty()) {
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    size.cy = tm.tmHeight;
  } else {
    GetTextExtentPoint32A(dc, Text.c_str(), static_cast<int>(Text.size()), &size);
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  return TSize{size.cx, size.cy};
}

// One-pixel lines, across or down, drawn as fills so that every pixel is
// exactly where the look needs it.
void HLine(TCanvas* C, Integer X1, Integer X2, Integer Y, TColor Color) {
  if (X2 <= X1) return;
  C->GetBrush()->SetColor(Color);
  C->FillRect(Rect(X1, Y, X2, Y + 1));
}
void VLine(TCanvas* C, Integer X, Integer Y1, Integer Y2, TColor Color) {
  if (Y2 <= Y1) return;
  C->GetBrush()->SetColor(Color);
  C->FillRect(Rect(X, Y1, X + 1, Y2));
}

}  // namespace

// ---- TTabSheet ----

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = TControlStyle{csAcceptsControls, csSetCaption, csClickEvents, csDoubleClicks};
  // A sheet takes all the room its page control gives it.
  FAlign = alClient;
  FVisible = false;
}

void TTabSheet::SetPageControl(TPageControl* Value) { SetParent(Value); }

Integer TTabSheet::GetPageIndex() const {
  if (!FPageControl) return -1;
  const auto& pages = FPageControl->FPages;
  return static_cast<Integer>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(Integer Value) {
  if (FPageControl) FPageControl->MovePage(this, Value);
}

void TTabSheet::SetTabVisible(bool Value) {
  if (FTabVisible == Value) return;
  FTabVisible = Value;
  if (!FPageControl) return;
  TPageControl* control = FPageControl;
  if (!Value && control->FActivePage == this) {
    TTabSheet* next = control->FindNextPage(this, true, true);
    control->SetActivePage(next == this ? nullptr : next);
  } else if (Value && !control->FActivePage) {
    control->SetActivePage(this);
  }
  control->TabsChanged();
}

void TTabSheet::CMTextChanged(TMessage& Message) {
  inherited::DispatchFrom(inherited::StaticClass(), Message);
  if (FPageControl) FPageControl->TabsChanged();
}

// ---- TPageControl ----

TPageControl::TPageControl(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = TControlStyle{csAcceptsControls, csDoubleClicks, csOpaque, csClickEvents};
  FWidth = 289;
  FHeight = 193;
  FTabStop = true;
  FParentColor = false;
  FColor = clBtnFace;
  FBrush->SetColor(FColor);
}

void TPageControl::BeforeDestruction() {
  // The sheets go with the control; none of them needs to become active.
  for (TTabSheet* page : FPages) page->FPageControl = nullptr;
  FPages.clear();
  FActivePage = nullptr;
  inherited::BeforeDestruction();
}

TTabSheet* TPageControl::GetPages(Integer Index) const {
  if (Index < 0 || Index >= GetPageCount()) throw EListError("List index out of bounds (%d)", {Index});
  return FPages[static_cast<std::size_t>(Index)];
}

Integer TPageControl::GetActivePageIndex() const { return FActivePage ? FActivePage->GetPageIndex() : -1; }

void TPageControl::SetActivePageIndex(Integer Value) {
  SetActivePage(Value >= 0 && Value < GetPageCount() ? FPages[static_cast<std::size_t>(Value)] : nullptr);
}

void TPageControl::SetActivePage(TTabSheet* Value) {
  if (Value && (Value->FPageControl != this || !Value->FTabVisible)) return;
  if (FActivePage == Value) return;
  // The focus must not stay on a sheet that goes out of sight.
  const bool focusInside = FActivePage && FActivePage->HandleAllocated() &&
                           (GetFocus() == FActivePage->GetHandle() || IsChild(FActivePage->GetHandle(), GetFocus()));
  FActivePage = Value;
  ShowActivePage();
  if (focusInside && CanFocus()) SetFocus();
  Invalidate();
}

void TPageControl::ShowActivePage() {
  // The new page shows before the old one hides, so the area never
  // flashes the control's own face.
  if (FActivePage) {
    FActivePage->BringToFront();
    FActivePage->SetVisible(true);
  }
  for (TTabSheet* page : FPages)
    if (page != FActivePage) page->SetVisible(false);
}

void TPageControl::SetHotTrack(bool Value) {
  if (FHotTrack == Value) return;
  FHotTrack = Value;
  FHotIndex = -1;
  Invalidate();
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurrentPage, bool GoForward, bool CheckTabVisible) const {
  const Integer count = GetPageCount();
  if (count == 0) return nullptr;
  auto at = std::find(FPages.begin(), FPages.end(), CurrentPage);
  Integer start = at == FPages.end() ? (GoForward ? count - 1 : 0) : static_cast<Integer>(at - FPages.begin());
  Integer i = start;
  do {
    i = GoForward ? (i + 1) % count : (i + count - 1) % count;
    TTabSheet* page = FPages[static_cast<std::size_t>(i)];
    if (!CheckTabVisible || page->FTabVisible) return page;
  } while (i != start);
  return nullptr;
}

bool TPageControl::CanChange() {
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  return allow;
}

void TPageControl::Change() {
  if (OnChange) OnChange(this);
}

void TPageControl::SelectNextPage(bool GoForward) {
  TTabSheet* next = FindNextPage(FActivePage, GoForward, true);
  if (!next || next == FActivePage || !CanChange()) return;
  SetActivePage(next);
  Change();
}

// ---- Pages coming and going ----

void TPageControl::CMControlChange(TMessage& Message) {
  auto* page = dynamic_cast<TTabSheet*>(reinterpret_cast<TControl*>(Message.WParam));
  if (!page) return;
  if (Message.LParam)
    InsertPage(page);
  else
    RemovePage(page);
}

void TPageControl::InsertPage(TTabSheet* Page) {
  if (std::find(FPages.begin(), FPages.end(), Page) != FPages.end()) return;
  FPages.push_back(Page);
  Page->FPageControl = this;
  if (!FActivePage && Page->FTabVisible)
    SetActivePage(Page);
  else
    Page->SetVisible(false);
  TabsChanged();
}

void TPageControl::RemovePage(TTabSheet* Page) {
  auto at = std::find(FPages.begin(), FPages.end(), Page);
  if (at == FPages.end()) return;
  TTabSheet* next = nullptr;
  if (FActivePage == Page) {
    next = FindNextPage(Page, true, true);
    if (next == Page) next = nullptr;
  }
  FPages.erase(at);
  Page->FPageControl = nullptr;
  if (FActivePage == Page) {
    FActivePage = nullptr;
    SetActivePage(next);
  }
  TabsChanged();
}

void TPageControl::MovePage(TTabSheet* Page, Integer Index) {
  auto at = std::find(FPages.begin(), FPages.end(), Page);
  if (at == FPages.end()) return;
  Index = std::clamp(Index, 0, GetPageCount() - 1);
  if (at - FPages.begin() == Index) return;
  FPages.erase(at);
  FPages.insert(FPages.begin() + Index, Page);
  TabsChanged();
}

void TPageControl::TabsChanged() {
  FTabsMeasured = false;
  FHotIndex = -1;
  Realign();
  Invalidate();
}

void TPageControl::CMFontChanged(TMessage& Message) {
  inherited::DispatchFrom(inherited::StaticClass(), Message);
  TabsChanged();
}

// ---- Geometry ----

Integer TPageControl::TabRowHeight() {
  MeasureTabs();
  return kTabInset + FTabHeight;
}

void TPageControl::MeasureTabs() {
  if (FTabsMeasured) return;
  FTabsMeasured = true;
  FTabHeight = MeasureText(FFont, AnsiString()).cy + kCaptionLeading;
  FTabRects.assign(FPages.size(), TRect{});
  Integer x = kTabInset;
  for (std::size_t i = 0; i < FPages.size(); ++i) {
    if (!FPages[i]->FTabVisible) continue;
    const Integer width = MeasureText(FFont, FPages[i]->GetCaption()).cx + 2 * kCaptionPadding;
    FTabRects[i] = Rect(x, kTabInset, x + width, kTabInset + FTabHeight);
    x += width;
  }
}

TRect TPageControl::TabRect(Integer Index) {
  MeasureTabs();
  if (Index < 0 || Index >= static_cast<Integer>(FTabRects.size())) return TRect{};
  return FTabRects[static_cast<std::size_t>(Index)];
}

Integer TPageControl::IndexOfTabAt(Integer X, Integer Y) {
  MeasureTabs();
  // The active tab stands out over its neighbours, so it is asked first.
  if (Integer active = GetActivePageIndex(); active >= 0) {
    TRect r = FTabRects[static_cast<std::size_t>(active)];
    r = Rect(r.Left - kTabInset, r.Top - kTabInset, r.Right + kTabInset, r.Bottom);
    if (Inside(r, X, Y)) return active;
  }
  for (std::size_t i = 0; i < FTabRects.size(); ++i)
    if (HasArea(FTabRects[i]) && Inside(FTabRects[i], X, Y)) return static_cast<Integer>(i);
  return -1;
}

void TPageControl::AdjustClientRect(TRect& Rect) {
  inherited::AdjustClientRect(Rect);
  const Integer top = TabRowHeight();
  Rect.Left += kPageMargin;
  Rect.Top = std::max(Rect.Top, top + kPageMargin);
  Rect.Right = std::max(Rect.Left, Rect.Right - kPageMargin);
  Rect.Bottom = std::max(Rect.Top, Rect.Bottom - kPageMargin);
}

// ---- Painting ----

void TPageControl::Paint() {
  TCanvas* c = GetCanvas();
  const TRect client = GetClientRect();
  const Integer frameTop = TabRowHeight();
  c->GetBrush()->SetStyle(bsSolid);
  c->GetBrush()->SetColor(FColor);
  c->FillRect(client);

  // The page's frame: lit from the top left, a two-pixel shadow at the
  // right and bottom.
  const Integer w = client.Right, h = client.Bottom;
  HLine(c, 0, w - 1, frameTop, clBtnHighlight);
  VLine(c, 0, frameTop, h - 1, clBtnHighlight);
  VLine(c, w - 2, frameTop + 1, h - 1, clBtnShadow);
  HLine(c, 1, w - 1, h - 2, clBtnShadow);
  VLine(c, w - 1, frameTop, h, cl3DDkShadow);
  HLine(c, 0, w, h - 1, cl3DDkShadow);

  MeasureTabs();
  c->GetFont()->Assign(FFont);
  const Integer active = GetActivePageIndex();
  for (Integer i = 0; i < GetPageCount(); ++i) {
    const TRect& r = FTabRects[static_cast<std::size_t>(i)];
    if (i != active && HasArea(r)) DrawTab(c, i, r, false);
  }
  // Last, since it stands over its neighbours' edges.
  if (active >= 0) {
    const TRect& r = FTabRects[static_cast<std::size_t>(active)];
    DrawTab(c, active, Rect(r.Left - kTabInset, r.Top - kTabInset, r.Right + kTabInset, r.Bottom), true);
  }
}

void TPageControl::DrawTab(TCanvas* C, Integer Index, const TRect& R, bool Active) {
  const Integer l = R.Left, t = R.Top, r = R.Right, b = R.Bottom;
  // The active tab opens into the page: its face runs over the frame's top.
  const Integer bottom = Active ? b + 1 : b;
  C->GetBrush()->SetColor(FColor);
  C->FillRect(Rect(l + 1, t + 1, r - 2, bottom));
  VLine(C, l, t + 2, bottom, clBtnHighlight);
  C->SetPixels(l + 1, t + 1, clBtnHighlight);
  HLine(C, l + 2, r - 2, t, clBtnHighlight);
  VLine(C, r - 2, t + 1, b, clBtnShadow);
  C->SetPixels(r - 2, t + 1, cl3DDkShadow);
  VLine(C, r - 1, t + 2, b, cl3DDkShadow);

  const AnsiString caption = FPages[static_cast<std::size_t>(Index)]->GetCaption();
  const TSize size = MeasureText(FFont, caption);
  // Centred on the face between the left highlight and the right shadows.
  const Integer x = l + 1 + (r - 2 - (l + 1) - size.cx) / 2;
  // The active tab is taller at the top, and its caption rides up with it.
  const Integer y = t + (b - t - size.cy) / 2;
  HDC dc = C->GetHandle();
  SetBkMode(dc, TRANSPARENT);
  TColor color = FFont->GetColor();
  if (!FEnabled)
    color = clGrayText;
  else if (FHotTrack && Index == FHotIndex)
    color = clHotLight;
  SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(color)));
  RECT textRect = Rect(x, y, x + size.cx, y + size.cy);
  DrawTextA(dc, caption.c_str(), -1, &textRect, DT_SINGLELINE | DT_NOCLIP);
  if (Active && Focused()) {
    // The same room on both sides of the caption, as much as the face has.
    const Integer room = std::max<Integer>(1, std::min<Integer>({3, x - (l + 2), r - 3 - (x + size.cx)}));
    TRect focus = Rect(x - room, y - 1, x + size.cx + room, y + size.cy + 1);
    focus = Rect(focus.Left, std::max(focus.Top, t + 2), focus.Right, std::min(focus.Bottom, b));
    C->DrawFocusRect(focus);
  }
}

// ---- Mouse, keys and focus ----

void TPageControl::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (Button == mbLeft) {
    const Integer index = IndexOfTabAt(X, Y);
    if (index >= 0) {
      if (CanFocus()) SetFocus();
      TTabSheet* page = FPages[static_cast<std::size_t>(index)];
      if (page != FActivePage && CanChange()) {
        SetActivePage(page);
        Change();
      }
    }
  }
  inherited::MouseDown(Button, Shift, X, Y);
}

void TPageControl::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  if (FHotTrack) {
    const Integer index = IndexOfTabAt(X, Y);
    if (index != FHotIndex) {
      FHotIndex = index;
      Invalidate();
    }
  }
  inherited::MouseMove(Shift, X, Y);
}

void TPageControl::CMMouseLeave(TMessage& Message) {
  if (reinterpret_cast<TControl*>(Message.LParam) == this && FHotIndex >= 0) {
    FHotIndex = -1;
    Invalidate();
  }
  inherited::DispatchFrom(inherited::StaticClass(), Message);
}

// Ctrl+Tab turns the pages wherever the focus is inside the control.
void TPageControl::CMDialogKey(TMessage& Message) {
  if (Message.WParam == VK_TAB && GetKeyState(VK_CONTROL) < 0 && HandleAllocated() &&
      (GetFocus() == FHandle || IsChild(FHandle, GetFocus()))) {
    SelectNextPage(GetKeyState(VK_SHIFT) >= 0);
    Message.Result = 1;
    return;
  }
  inherited::DispatchFrom(inherited::StaticClass(), Message);
}

void TPageControl::WMSetFocus(TMessage& Message) {
  inherited::DispatchFrom(inherited::StaticClass(), Message);
  Invalidate();
}

void TPageControl::WMKillFocus(TMessage& Message) {
  inherited::DispatchFrom(inherited::StaticClass(), Message);
  Invalidate();
}
