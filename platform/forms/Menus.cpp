// Popup menus and their items, and the menu window: a topmost popup that
// never activates and holds the mouse capture while its loop runs, so every
// mouse message reaches it; keys are taken from the queue before anyone
// else sees them.
#include "platform/forms/Menus.h"

#include <algorithm>

#include "platform/forms/Bitmap.h"
#include "platform/forms/FloatingPopup.h"
#include "platform/forms/FreeWatch.h"
#include "platform/forms/Graphics.h"
#include "platform/forms/ImageList.h"
#include "platform/forms/Screen.h"
#include "platform/forms/TestHooks.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Text.h"
#include "platform/rtl/EraseNearEnd.h"
#include "platform/rtl/Exceptions.h"
#include "platform/win/Focus.h"
#include "platform/win/Keyboard.h"
#include "platform/win/ModalLoop.h"
#include "platform/win/Seams.h"
#include "platform/win/SystemMenu.h"
#include "platform/win/Mouse.h"
#include "platform/win/Paint.h"
#include "platform/win/Queue.h"
#include "platform/win/Window.h"
#include "platform/win/WindowPos.h"

using namespace win;

// ---- Texts ----

AnsiString StripHotkey(const AnsiString& Text) {
  AnsiString out;
  out.reserve(Text.size());
  for (std::size_t i = 0; i < Text.size(); ++i) {
    if (Text[i] == '&') {
      if (i + 1 < Text.size() && Text[i + 1] == '&') {
        out += '&';
        ++i;
      }
      continue;
    }
    out += Text[i];
  }
  return out;
}

// ---- TMenuItem ----

namespace {
// The open menu windows let go of an item taken out of its menu or freed.
void ItemLeavingOpenMenus(TMenuItem* Item);
}  // namespace

ORV_REGISTER(TMenuItem, ORV_PROP(Caption), ORV_PROP(ImageIndex).Default(-1), ORV_PROP(Visible).Default(true),
             ORV_PROP(Enabled).Default(true), ORV_PROP(Checked).Default(false), ORV_PROP(ShortCut).Default(0),
             ORV_PROP(Hint), ORV_EVENT(OnClick), ORV_EVENT(OnMeasureItem), ORV_EVENT(OnDrawItem))

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
  ItemLeavingOpenMenus(this);
  Clear();
  if (FParent) FParent->Remove(this);
  FreeAndNil(FBitmap);
}

TMenuItem* TMenuItem::GetItems(Integer Index) const {
  if (Index < 0 || Index >= GetCount()) throw EListError("Menu index out of bounds (" + std::to_string(Index) + ")");
  return FItems[static_cast<std::size_t>(Index)];
}

void TMenuItem::Add(TMenuItem* Item) { Insert(GetCount(), Item); }

void TMenuItem::Insert(Integer Index, TMenuItem* Item) {
  if (!Item) throw EInvalidOperation("Cannot add a nil menu item");
  if (Item->FParent) throw EInvalidOperation("Menu inserted twice");
  for (TMenuItem* p = this; p; p = p->FParent)
    if (p == Item) throw EInvalidOperation("A menu item cannot hold itself");
  if (Index < 0 || Index > GetCount()) throw EListError("Menu index out of bounds (" + std::to_string(Index) + ")");
  FItems.insert(FItems.begin() + Index, Item);
  Item->FParent = this;
}

void TMenuItem::Remove(TMenuItem* Item) {
  if (!orv::EraseNearEnd(FItems, Item)) return;
  Item->FParent = nullptr;
  ItemLeavingOpenMenus(Item);
}

void TMenuItem::Delete(Integer Index) {
  TMenuItem* item = GetItems(Index);
  Remove(item);
  item->Free();
}

void TMenuItem::Clear() {
  while (!FItems.empty()) Delete(GetCount() - 1);
}

Integer TMenuItem::IndexOf(TMenuItem* Item) const {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  return it == FItems.end() ? -1 : static_cast<Integer>(it - FItems.begin());
}

TMenuItem* TMenuItem::FindShortCut(TShortCut Key) {
  if (!FVisible || !FEnabled) return nullptr;
  if (Key != scNone && FShortCut == Key && !IsLine()) return this;
  for (TMenuItem* item : FItems)
    if (TMenuItem* found = item->FindShortCut(Key)) return found;
  return nullptr;
}

void TMenuItem::SetCaption(const AnsiString& Value) {
  if (FCaption == Value) return;
  FCaption = Value;
}

void TMenuItem::SetImageIndex(Integer Value) {
  if (FImageIndex == Value) return;
  FImageIndex = Value;
}

TBitmap* TMenuItem::GetBitmap() {
  if (!FBitmap) FBitmap = New<TBitmap>();
  return FBitmap;
}

bool TMenuItem::HasBitmap() const { return FBitmap && !FBitmap->Empty(); }

void TMenuItem::SetBitmap(TBitmap* Value) {
  if (!Value)
    FreeAndNil(FBitmap);
  else
    GetBitmap()->Assign(Value);
}

void TMenuItem::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
}

void TMenuItem::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
}

void TMenuItem::SetChecked(bool Value) {
  if (FChecked == Value) return;
  FChecked = Value;
}

void TMenuItem::SetShortCut(TShortCut Value) {
  if (FShortCut == Value) return;
  FShortCut = Value;
}

void TMenuItem::Click() {
  if (OnClick) OnClick(this);
}

TComponent* TMenuItem::GetParentComponent() {
  if (FParent && FParent->FMenu) return FParent->FMenu;
  return FParent;
}

void TMenuItem::SetParentComponent(TComponent* Value) {
  if (FParent) FParent->Remove(this);
  if (auto* menu = dynamic_cast<TPopupMenu*>(Value)) {
    menu->GetItems()->Add(this);
  } else if (auto* item = dynamic_cast<TMenuItem*>(Value)) {
    item->Add(this);
  }
}

void TMenuItem::GetChildren(TGetChildProc Proc, TComponent*) {
  for (TMenuItem* item : FItems) Proc(item);
}

// ---- The menu window ----

namespace {

constexpr Integer kBorder = 3;        // raised frame and one pixel of menu colour
constexpr Integer kSeparatorHeight = 9;
constexpr Integer kTextGap = 8;       // between the gutter and the caption
constexpr Integer kShortCutGap = 24;  // between a caption and its shortcut
constexpr Integer kArrowSpace = 20;   // room for a submenu arrow on the right

// How a menu window ended.
enum class MenuEnd { Open, Chosen, Closed, DismissedAll };

class TMenuWindow;
// The menu windows open now, outermost first.
std::vector<TMenuWindow*>& OpenWindows() {
  static std::vector<TMenuWindow*> open;
  return open;
}

class TMenuWindow : public TCustomControl {
  ORV_CLASS(TMenuWindow, TCustomControl)
 public:
  TMenuWindow(TPopupMenu* Menu, TMenuItem* Parent, TMenuWindow* ParentWindow)
      : TCustomControl(nullptr), FMenu(Menu), FParentItem(Parent), FParentMenuWindow(ParentWindow) {
    FVisible = false;
    FParentColor = false;
    FParentFont = false;
    FColor = clMenu;
    FBrush->SetColor(FColor);
    if (Screen) FFont->Assign(Screen->GetMenuFont());
    FFont->SetColor(clMenuText);
    for (Integer i = 0; i < Parent->GetCount(); ++i)
      if (Parent->GetItems(i)->GetVisible()) FShown.push_back(Parent->GetItems(i));
  }

  bool IsEmpty() const { return FShown.empty(); }

  // An item taken out of the menu or freed while the window is open (a
  // timer rebuilding the menu, a window closing): the window shows the
  // rest, closes up the gap, and closes once nothing is left; when it is
  // the item whose children the window shows, every open menu ends.
  void ItemLeaving(TMenuItem* Item) {
    if (Item == FParentItem) {
      FShown.clear();
      FRects.clear();
      FSelected = -1;
      FChosen = nullptr;
      End(MenuEnd::DismissedAll);
      return;
    }
    auto it = std::find(FShown.begin(), FShown.end(), Item);
    if (it == FShown.end()) return;
    const auto i = static_cast<std::size_t>(it - FShown.begin());
    const Integer h = FRects[i].Height();
    FShown.erase(it);
    FRects.erase(FRects.begin() + static_cast<std::ptrdiff_t>(i));
    for (std::size_t j = i; j < FRects.size(); ++j) {
      FRects[j].Top -= h;
      FRects[j].Bottom -= h;
    }
    const auto index = static_cast<Integer>(i);
    if (FSelected == index)
      FSelected = -1;
    else if (FSelected > index)
      --FSelected;
    if (FChosen == Item) FChosen = nullptr;
    if (FShown.empty()) {
      End(MenuEnd::Closed);
      return;
    }
    FHeight -= h;
    if (HandleAllocated()) {
      SetWindowPos(FHandle, nullptr, 0, 0, FWidth, FHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      InvalidateRect(FHandle, nullptr, FALSE);
    }
  }

  // Shows the window with its alignment point at the screen point and runs
  // until it is done; answers how it ended and, when chosen, the item.
  // With a band the point stands under (Over, its top), a window with no
  // room below goes above the band instead of over it.
  MenuEnd Run(TPoint At, TPopupAlignment Alignment, TMenuItem*& Chosen, std::optional<Integer> Over = {}) {
    Layout();
    TRect area = Screen ? Screen->GetWorkAreaRect() : TRect{0, 0, 1024, 768};
    Integer x = At.X;
    if (Alignment == paRight) x -= FWidth;
    else if (Alignment == paCenter) x -= FWidth / 2;
    Integer y = At.Y;
    // Kept on the screen: flipped to the other side of the point when it
    // would run off the bottom or the right.
    if (x + FWidth > area.Right)
      x = FParentMenuWindow ? FParentMenuWindow->GetLeft() - FWidth + kBorder : area.Right - FWidth;
    if (y + FHeight > area.Bottom)
      y = Over && *Over - FHeight >= area.Top ? *Over - FHeight : std::max(area.Top, area.Bottom - FHeight);
    x = std::max(area.Left, x);
    SetBounds(x, y, FWidth, FHeight);
    SetWindowPos(GetHandle(), HWND_TOPMOST, x, y, FWidth, FHeight, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    FVisible = true;
    FShowing = true;
    Invalidate();
    SetCapture(FHandle);
    OpenWindows().push_back(this);
    struct Closing {
      TMenuWindow* self;
      ~Closing() { std::erase(OpenWindows(), self); }
    } closing{this};
    {
      ModalLoopScope scope;
      MSG msg;
      while (FEnd == MenuEnd::Open) {
        if (GetCapture() != FHandle) {
          FEnd = MenuEnd::DismissedAll;
          break;
        }
        BOOL r = GetMessageA(&msg, nullptr, 0, 0);
        if (r <= 0) {
          if (r == 0) PostQuitMessage(static_cast<int>(msg.wParam));
          FEnd = MenuEnd::DismissedAll;
          break;
        }
        // Keys belong to the menu while it is open, wherever the focus is.
        if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) msg.hwnd = FHandle;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
    }
    if (GetCapture() == FHandle) ReleaseCapture();
    ShowWindow(FHandle, SW_HIDE);
    FVisible = false;
    Chosen = FChosen;
    return FEnd;
  }

  // Ends the window from outside its own messages: its loop may be waiting
  // for one, so it gets one.
  void End(MenuEnd How) {
    if (FEnd != MenuEnd::Open) return;
    FEnd = How;
    if (HandleAllocated()) PostMessageA(FHandle, WM_NULL, 0, 0);
  }

  // The item under a client point, or -1.
  Integer ItemAt(TPoint P) const {
    for (std::size_t i = 0; i < FRects.size(); ++i)
      if (Contains(FRects[i], P)) return static_cast<Integer>(i);
    return -1;
  }

  TMenuItem* Selected() const { return FSelected >= 0 ? FShown[static_cast<std::size_t>(FSelected)] : nullptr; }

  // The screen rectangle of an item this window shows, or an empty one.
  TRect ItemScreenRect(TMenuItem* Item) {
    for (std::size_t i = 0; i < FShown.size(); ++i) {
      if (FShown[i] != Item) continue;
      TPoint origin = ClientToScreen({0, 0});
      TRect r = FRects[i];
      return Rect(r.Left + origin.X, r.Top + origin.Y, r.Right + origin.X, r.Bottom + origin.Y);
    }
    return {};
  }

 protected:
  void CreateParams(TCreateParams& Params) override {
    inherited::CreateParams(Params);
    FloatingPopupParams(Params, WS_POPUP);
  }

  void Paint() override {
    TCanvas* c = GetCanvas();
    c->GetFont()->Assign(FFont);
    TRect r = GetClientRect();
    c->GetBrush()->SetColor(clMenu);
    c->FillRect(r);
    HDC dc = c->GetHandle();
    RECT edge = r;
    DrawEdge(dc, &edge, EDGE_RAISED, BF_RECT);
    for (std::size_t i = 0; i < FShown.size(); ++i) PaintItem(c, FShown[i], FRects[i], static_cast<Integer>(i) == FSelected);
  }

 private:
  bool OwnerDraws(TMenuItem* Item) const { return FMenu->GetOwnerDraw() && Item->OnDrawItem; }
  bool HasSubItems(TMenuItem* Item) const {
    for (Integer i = 0; i < Item->GetCount(); ++i)
      if (Item->GetItems(i)->GetVisible()) return true;
    return false;
  }
  Integer GutterWidth() const {
    Integer w = 16;
    if (TCustomImageList* images = FMenu->GetImages()) w = std::max(w, images->GetWidth());
    for (TMenuItem* item : FShown)
      if (item->HasBitmap()) w = std::max(w, item->GetBitmap()->GetWidth());
    return w + 6;
  }

  void Layout() {
    TCanvas* measure = New<TCanvas>();
    HDC dc = CreateCompatibleDC(nullptr);
    measure->SetHandle(dc);
    measure->GetFont()->Assign(FFont);
    Integer textHeight = measure->TextHeight("Wg");
    Integer itemHeight = std::max(textHeight + 8, 22);
    if (TCustomImageList* images = FMenu->GetImages()) itemHeight = std::max(itemHeight, images->GetHeight() + 6);
    FGutter = GutterWidth();
    Integer captions = 0, shortcuts = 0;
    std::vector<Integer> heights;
    for (TMenuItem* item : FShown) {
      Integer w = 0, h = item->IsLine() ? kSeparatorHeight : itemHeight;
      if (!item->IsLine()) {
        w = measure->TextWidth(StripHotkey(item->GetCaption()));
        if (item->GetShortCut() != scNone) shortcuts = std::max(shortcuts, measure->TextWidth(ShortCutToText(item->GetShortCut())));
      }
      if (FMenu->GetOwnerDraw() && item->OnMeasureItem) {
        Integer ow = FGutter + kTextGap + w, oh = h;
        item->OnMeasureItem(item, measure, ow, oh);
        w = ow - FGutter - kTextGap;
        h = std::max<Integer>(oh, 1);
      }
      captions = std::max(captions, w);
      heights.push_back(h);
    }
    measure->SetHandle(nullptr);
    measure->Free();
    DeleteDC(dc);
    FWidth = kBorder * 2 + FGutter + kTextGap + captions + (shortcuts ? kShortCutGap + shortcuts : 0) + kArrowSpace;
    FWidth = std::max<Integer>(FWidth, 100);
    FShortCutRight = FWidth - kBorder - kArrowSpace;
    FRects.clear();
    Integer y = kBorder;
    for (Integer h : heights) {
      FRects.push_back(Rect(kBorder, y, FWidth - kBorder, y + h));
      y += h;
    }
    FHeight = y + kBorder;
  }

  void PaintItem(TCanvas* c, TMenuItem* Item, const TRect& R, bool Selected) {
    HDC dc = c->GetHandle();
    if (OwnerDraws(Item)) {
      c->GetBrush()->SetColor(Selected ? clHighlight : clMenu);
      c->GetFont()->SetColor(Selected ? clHighlightText : clMenuText);
      Item->OnDrawItem(Item, c, R, Selected);
      return;
    }
    if (Item->IsLine()) {
      Integer mid = R.Top + R.Height() / 2 - 1;
      RECT line{R.Left + 1, mid, R.Right - 1, mid + 2};
      DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
      return;
    }
    bool enabled = Item->GetEnabled();
    c->GetBrush()->SetColor(Selected ? clHighlight : clMenu);
    c->FillRect(R);
    // The gutter: an image (from the list, else the item's bitmap) or a tick.
    TRect gutter = Rect(R.Left, R.Top, R.Left + FGutter, R.Bottom);
    TCustomImageList* images = FMenu->GetImages();
    bool drawn = false;
    if (images && Item->GetImageIndex() >= 0 && Item->GetImageIndex() < images->GetCount()) {
      Integer ix = gutter.Left + (gutter.Width() - images->GetWidth()) / 2;
      Integer iy = gutter.Top + (gutter.Height() - images->GetHeight()) / 2;
      if (Item->GetChecked()) FrameChecked(dc, Rect(ix - 2, iy - 2, ix + images->GetWidth() + 2, iy + images->GetHeight() + 2));
      images->Draw(c, ix, iy, Item->GetImageIndex(), enabled);
      drawn = true;
    } else if (Item->HasBitmap()) {
      TBitmap* b = Item->GetBitmap();
      Integer ix = gutter.Left + (gutter.Width() - b->GetWidth()) / 2;
      Integer iy = gutter.Top + (gutter.Height() - b->GetHeight()) / 2;
      if (Item->GetChecked()) FrameChecked(dc, Rect(ix - 2, iy - 2, ix + b->GetWidth() + 2, iy + b->GetHeight() + 2));
      c->Draw(ix, iy, b);
      drawn = true;
    }
    TColor text = !enabled ? clGrayText : Selected ? clHighlightText : clMenuText;
    if (!drawn && Item->GetChecked()) DrawTick(c, gutter, text);

    // Straight onto the DC: the canvas would only bring its font and
    // colour there for its own drawing calls.
    HGDIOBJ oldFont = SelectObject(dc, ToObj(FFont->GetHandle()));
    int oldMode = SetBkMode(dc, TRANSPARENT);
    TRect tr = Rect(gutter.Right + kTextGap, R.Top, FShortCutRight, R.Bottom);
    auto drawText = [&](const AnsiString& s, UINT align, TColor color, Integer dx) {
      SetTextColor(dc, ColorToRGB(color));
      RECT rr{tr.Left + dx, tr.Top + dx, tr.Right + dx, tr.Bottom + dx};
      DrawTextA(dc, s.c_str(), -1, &rr, align | DT_SINGLELINE | DT_VCENTER | DT_NOCLIP);
    };
    AnsiString sc = ShortCutToText(Item->GetShortCut());
    // A disabled item is embossed: a light copy one pixel down and right
    // under the grey text, unless it sits on the selection colour.
    if (!enabled && !Selected) {
      drawText(Item->GetCaption(), DT_LEFT, clBtnHighlight, 1);
      if (!sc.empty()) drawText(sc, DT_RIGHT | DT_NOPREFIX, clBtnHighlight, 1);
    }
    drawText(Item->GetCaption(), DT_LEFT, text, 0);
    if (!sc.empty()) drawText(sc, DT_RIGHT | DT_NOPREFIX, text, 0);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
    if (HasSubItems(Item)) DrawArrow(c, Rect(FShortCutRight, R.Top, R.Right, R.Bottom), text);
  }

  static void FrameChecked(HDC dc, const TRect& R) {
    RECT r = R;
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
  }

  static void DrawTick(TCanvas* c, const TRect& Box, TColor Color) {
    Integer cx = Box.Left + Box.Width() / 2, cy = Box.Top + Box.Height() / 2;
    c->GetPen()->SetColor(Color);
    c->GetPen()->SetWidth(1);
    // Three strokes deep: from the lower left up to the joint, then the
    // long arm up to the right.
    for (Integer d = 0; d < 3; ++d) {
      c->MoveTo(cx - 4, cy - 1 + d);
      c->LineTo(cx - 2, cy + 1 + d);
      c->LineTo(cx + 3, cy - 4 + d);
    }
  }

  static void DrawArrow(TCanvas* c, const TRect& Box, TColor Color) {
    Integer cx = Box.Left + Box.Width() / 2 - 1, cy = Box.Top + Box.Height() / 2;
    c->GetPen()->SetColor(Color);
    for (Integer i = 0; i < 4; ++i) {
      c->MoveTo(cx + i, cy - 3 + i);
      c->LineTo(cx + i, cy + 4 - i);
    }
  }

  void Select(Integer Index) {
    if (Index == FSelected) return;
    auto repaint = [this](Integer i) {
      if (i >= 0 && HandleAllocated()) {
        RECT r = FRects[static_cast<std::size_t>(i)];
        InvalidateRect(FHandle, &r, FALSE);
      }
    };
    repaint(FSelected);
    FSelected = Index;
    repaint(FSelected);
  }

  // The next item that can be chosen in a direction, wrapping; -1 for none.
  Integer Step(Integer From, Integer Direction) const {
    Integer n = static_cast<Integer>(FShown.size());
    for (Integer k = 1; k <= n; ++k) {
      Integer i = ((From < 0 ? (Direction > 0 ? -1 : 0) : From) + Direction * k + n * 2) % n;
      if (FShown[static_cast<std::size_t>(i)]->IsSelectable()) return i;
    }
    return -1;
  }

  // Chooses the item at Index: opens its submenu, or ends the menu.
  void Choose(Integer Index) {
    if (Index < 0) return;
    TMenuItem* item = FShown[static_cast<std::size_t>(Index)];
    if (!item->IsSelectable()) return;
    Select(Index);
    if (HasSubItems(item)) {
      OpenSubMenu(Index);
      return;
    }
    FChosen = item;
    FEnd = MenuEnd::Chosen;
  }

  void OpenSubMenu(Integer Index) {
    TMenuItem* item = FShown[static_cast<std::size_t>(Index)];
    auto* sub = New<TMenuWindow>(FMenu, item, this);
    TRect r = FRects[static_cast<std::size_t>(Index)];
    TPoint at = ClientToScreen({r.Right - kBorder, r.Top - kBorder});
    TMenuItem* chosen = nullptr;
    MenuEnd end = MenuEnd::Closed;
    try {
      end = sub->Run(at, paLeft, chosen);
    } catch (...) {
      sub->Free();
      throw;
    }
    sub->Free();
    if (end == MenuEnd::Closed) {
      SetCapture(FHandle);
      return;
    }
    FChosen = chosen;
    FEnd = end;
  }

  void MenuKey(Word Key) {
    switch (Key) {
      case VK_UP: Select(Step(FSelected, -1)); break;
      case VK_DOWN: Select(Step(FSelected, 1)); break;
      case VK_HOME: Select(Step(-1, 1)); break;
      case VK_END: Select(Step(-1, -1)); break;
      case VK_RETURN: case VK_SPACE: Choose(FSelected); break;
      case VK_RIGHT:
        if (FSelected >= 0 && HasSubItems(Selected())) Choose(FSelected);
        break;
      case VK_ESCAPE: FEnd = MenuEnd::Closed; break;
      case VK_LEFT:
        if (FParentMenuWindow) FEnd = MenuEnd::Closed;
        break;
      case VK_MENU: case VK_F10: FEnd = MenuEnd::DismissedAll; break;
      default: {
        // A mnemonic picks its item at once; the first one that can be
        // chosen wins.
        for (std::size_t i = 0; i < FShown.size(); ++i)
          if (FShown[i]->IsSelectable() && IsAccel(Key, FShown[i]->GetCaption())) {
            Choose(static_cast<Integer>(i));
            break;
          }
        break;
      }
    }
  }

  // Keys (straight from the queue, or offered first as CN_ messages while
  // the menu holds the capture) and the mouse are the menu's alone.
  void WndProc(TMessage& Message) override {
    switch (Message.Msg) {
      case WM_KEYDOWN: case CN_KEYDOWN: MenuKey(static_cast<Word>(Message.WParam)); break;
      // Alt, or a key with it, ends every open menu. A key without Alt is
      // a system key only because no window has the focus (a minimised
      // window holds the keyboard): the menu takes it as any other.
      case WM_SYSKEYDOWN: case CN_SYSKEYDOWN:
        if (Message.LParam & (1 << 29)) FEnd = MenuEnd::DismissedAll;
        else MenuKey(static_cast<Word>(Message.WParam));
        break;
      case WM_KEYUP: case WM_SYSKEYUP: case WM_CHAR: case WM_SYSCHAR: case CN_KEYUP: case CN_CHAR:
      case CN_SYSCHAR: case CN_BASE + WM_SYSKEYUP:
        break;
      case WM_MOUSEMOVE: {
        Integer i = ItemAt(Message.Pos());
        Select(i >= 0 && FShown[static_cast<std::size_t>(i)]->IsSelectable() ? i : -1);
        break;
      }
      // A press outside the window ends every open menu.
      case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
        if (!Contains(GetClientRect(), Message.Pos())) FEnd = MenuEnd::DismissedAll;
        break;
      case WM_LBUTTONUP: case WM_RBUTTONUP: Choose(ItemAt(Message.Pos())); break;
      case WM_CANCELMODE: FEnd = MenuEnd::DismissedAll; break;
      case WM_MOUSEACTIVATE: Message.Result = MA_NOACTIVATE; return;
      default: inherited::WndProc(Message); return;
    }
    Message.Result = 1;
  }

  static bool Contains(const TRect& R, TPoint P) {
    return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
  }

  TPopupMenu* FMenu;
  TMenuItem* FParentItem;  // whose children the window shows
  TMenuWindow* FParentMenuWindow;
  std::vector<TMenuItem*> FShown;  // the visible items, separators included
  std::vector<TRect> FRects;
  Integer FGutter = 0;
  Integer FShortCutRight = 0;
  Integer FSelected = -1;
  TMenuItem* FChosen = nullptr;
  MenuEnd FEnd = MenuEnd::Open;
};

void ItemLeavingOpenMenus(TMenuItem* Item) {
  for (TMenuWindow* w : std::vector<TMenuWindow*>(OpenWindows())) w->ItemLeaving(Item);
}

}  // namespace

ORV_REGISTER(TMenuWindow)

TRect forms::test::OpenMenuItemRect(TMenuItem* Item) {
  for (TMenuWindow* w : OpenWindows()) {
    TRect r = w->ItemScreenRect(Item);
    if (r.Right > r.Left) return r;
  }
  return {};
}

win::HWND forms::test::OpenMenuWindow() {
  return OpenWindows().empty() ? nullptr : OpenWindows().back()->GetHandle();
}

// ---- TPopupMenu ----

ORV_REGISTER(TPopupMenu, ORV_PROP(Images), ORV_PROP(OwnerDraw).Default(false), ORV_PROP(AutoPopup).Default(true),
             ORV_PROP(Alignment).Default(paLeft), ORV_EVENT(OnPopup))

TPopupMenu::TPopupMenu(TComponent* AOwner) : TComponent(AOwner) {
  FItems = New<TMenuItem>(nullptr);
  FItems->FMenu = this;
}

TPopupMenu::~TPopupMenu() { FItems->Free(); }

void TPopupMenu::SetImages(TCustomImageList* Value) {
  if (FImages == Value) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (FImages) FImages->FreeNotification(this);
}

void TPopupMenu::SetPopupComponent(TComponent* Value) {
  if (FPopupComponent == Value) return;
  if (FPopupComponent) FPopupComponent->RemoveFreeNotification(this);
  FPopupComponent = Value;
  if (FPopupComponent) FPopupComponent->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FImages) FImages = nullptr;
  if (AComponent == FPopupComponent) FPopupComponent = nullptr;
}

void TPopupMenu::GetChildren(TGetChildProc Proc, TComponent* Root) { FItems->GetChildren(Proc, Root); }

void TPopupMenu::DoPopup(TObject* Sender) {
  if (OnPopup) OnPopup(Sender);
}

void TPopupMenu::Popup(Integer X, Integer Y) { Show({X, Y}, {}); }

void TPopupMenu::PopupUnder(Integer X, Integer Y, Integer Over) { Show({X, Y}, Over); }

void TPopupMenu::Show(TPoint At, std::optional<Integer> Over) {
  const Integer X = At.X, Y = At.Y;
  // OnPopup may free the menu (one built afresh takes its place): nothing
  // shows then.
  TFreeWatch watch(this);
  DoPopup(this);
  if (watch.Gone()) return;
  TMenuItem* chosen = nullptr;
  if (!forms::detail::ScriptedPopupMenu(this, {X, Y}, chosen)) {
    // Whatever held the mouse lets it go before the menu takes it.
    if (HWND capture = GetCapture()) SendMessageA(capture, WM_CANCELMODE, 0, 0);
    auto* window = New<TMenuWindow>(this, FItems, nullptr);
    try {
      if (!window->IsEmpty() && window->Run({X, Y}, FAlignment, chosen, Over) != MenuEnd::Chosen) chosen = nullptr;
    } catch (...) {
      window->Free();
      throw;
    }
    window->Free();
  }
  // The window is gone before the item's handler runs: it may open a form
  // or another menu.
  if (chosen) chosen->Click();
}

bool TPopupMenu::IsShortCut(TMessage& Message) {
  switch (Message.Msg) {
    case WM_KEYDOWN: case WM_SYSKEYDOWN: case CN_KEYDOWN: case CN_SYSKEYDOWN: break;
    default: return false;
  }
  TShortCut key = ShortCut(static_cast<Word>(Message.WParam), KeyDataToShiftState(Message.LParam));
  if (key == scNone) return false;
  TMenuItem* item = nullptr;
  for (Integer i = 0; i < FItems->GetCount() && !item; ++i) item = FItems->GetItems(i)->FindShortCut(key);
  if (!item) return false;
  item->Click();
  return true;
}

// ---------------------------------------------------------------------------
// Menus of the window system (the system menu) shown as popup menus.

namespace {

UINT TrackMenuHandle(HMENU Menu, POINT At, LONG Over, HWND) {
  UINT chosen = 0;
  auto* popup = New<TPopupMenu>(nullptr);
  try {
    for (int i = 0, n = GetMenuItemCount(Menu); i < n; ++i) {
      auto* item = New<TMenuItem>(popup);
      const UINT state = GetMenuState(Menu, static_cast<UINT>(i), MF_BYPOSITION);
      if (state & MF_SEPARATOR) {
        item->SetCaption(cLineCaption);
      } else {
        AnsiString text(static_cast<std::size_t>(GetMenuStringA(Menu, static_cast<UINT>(i), nullptr, 0, MF_BYPOSITION)),
                        '\0');
        GetMenuStringA(Menu, static_cast<UINT>(i), text.data(), static_cast<int>(text.size()) + 1, MF_BYPOSITION);
        // A tab parts the caption from the name of the item's shortcut.
        const std::size_t tab = text.find('\t');
        item->SetCaption(text.substr(0, tab));
        if (tab != AnsiString::npos) item->SetShortCut(TextToShortCut(text.substr(tab + 1)));
        item->SetEnabled(!(state & (MF_GRAYED | MF_DISABLED)));
        const UINT command = GetMenuItemID(Menu, i);
        item->OnClick = [&chosen, command](TObject*) { chosen = command; };
      }
      popup->GetItems()->Add(item);
    }
    popup->PopupUnder(At.X, At.Y, Over);
  } catch (...) {
    popup->Free();
    throw;
  }
  popup->Free();
  return chosen;
}

// Whenever menus are part of the program, the window system shows its own
// through them.
[[maybe_unused]] const bool menusShown = (Seams().trackMenu = TrackMenuHandle, true);

}  // namespace
