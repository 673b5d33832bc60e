// Popup menus: a tree of TMenuItem shown by TPopupMenu in a menu window of
// our own. Popup(x, y) runs its own modal loop and comes back once the
// chosen item's OnClick has run or the menu was dismissed (Esc, Alt, a
// press outside, a lost capture). The keyboard moves over the items that
// can be chosen (visible, enabled, not separators) and picks by Enter or
// by an item's mnemonic; shortcuts of the items are found by IsShortCut.
#pragma once

#include <optional>
#include <vector>

#include "platform/forms/Controls.h"
#include "platform/rtl/Alignment.h"

class TBitmap;
class TCustomImageList;
class TChangeLink;
class TPopupMenu;

using TMenuMeasureItemEvent = Event<void(TObject* Sender, TCanvas* ACanvas, Integer& Width, Integer& Height)>;
using TMenuDrawItemEvent = Event<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected)>;

ORV_ENUM(TPopupAlignment, paLeft, paRight, paCenter)

// The caption that makes an item a separator line.
constexpr const char* cLineCaption = "-";

// A caption without its mnemonic marks ("&&" stays one '&').
AnsiString StripHotkey(const AnsiString& Text);

class TMenuItem : public TComponent {
  ORV_CLASS(TMenuItem, TComponent)
 public:
  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;

  // ---- Children ----
  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  TMenuItem* GetItems(Integer Index) const;
  TMenuItem* operator[](Integer Index) const { return GetItems(Index); }
  // Adds at the end; an item belongs to one parent at a time.
  void Add(TMenuItem* Item);
  void Insert(Integer Index, TMenuItem* Item);
  // Takes the item out of this one without freeing it.
  void Remove(TMenuItem* Item);
  // Frees the item at Index.
  void Delete(Integer Index);
  void Clear();
  Integer IndexOf(TMenuItem* Item) const;
  TMenuItem* GetParent() const { return FParent; }
  // The item, among this one and its descendants, bound to a shortcut that
  // can run now (visible and enabled up the chain), or null.
  TMenuItem* FindShortCut(TShortCut Key);

  // ---- Appearance ----
  const AnsiString& GetCaption() const { return FCaption; }
  void SetCaption(const AnsiString& Value);
  bool IsLine() const { return FCaption == cLineCaption; }
  Integer GetImageIndex() const { return FImageIndex; }
  void SetImageIndex(Integer Value);
  // A glyph of the item's own, drawn when it has no image from the list.
  TBitmap* GetBitmap();
  void SetBitmap(TBitmap* Value);
  bool HasBitmap() const;
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool Value);
  bool GetEnabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool GetChecked() const { return FChecked; }
  void SetChecked(bool Value);
  TShortCut GetShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value);
  const AnsiString& GetHint() const { return FHint; }
  void SetHint(const AnsiString& Value) { FHint = Value; }
  // Can the user choose it now?
  bool IsSelectable() const { return FVisible && FEnabled && !IsLine(); }

  // Runs OnClick (menus call it once their window is gone).
  virtual void Click();

  TNotifyEvent OnClick;
  TMenuMeasureItemEvent OnMeasureItem;
  TMenuDrawItemEvent OnDrawItem;

  bool HasParent() override { return FParent != nullptr; }
  TComponent* GetParentComponent() override;
  void SetParentComponent(TComponent* Value) override;
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;

 private:
  // Menus are measured each time they open: nothing cached to update on a
  // change.
  std::vector<TMenuItem*> FItems;
  TMenuItem* FParent = nullptr;
  TPopupMenu* FMenu = nullptr;  // set on the root item only
  friend class TPopupMenu;
  AnsiString FCaption;
  AnsiString FHint;
  Integer FImageIndex = -1;
  TBitmap* FBitmap = nullptr;
  bool FVisible = true;
  bool FEnabled = true;
  bool FChecked = false;
  TShortCut FShortCut = scNone;
};

class TPopupMenu : public TComponent {
  ORV_CLASS(TPopupMenu, TComponent)
 public:
  explicit TPopupMenu(TComponent* AOwner);
  ~TPopupMenu() override;

  // The root item; the menu shows its children.
  TMenuItem* GetItems() const { return FItems; }
  TCustomImageList* GetImages() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  bool GetOwnerDraw() const { return FOwnerDraw; }
  void SetOwnerDraw(bool Value) { FOwnerDraw = Value; }
  bool GetAutoPopup() const { return FAutoPopup; }
  void SetAutoPopup(bool Value) { FAutoPopup = Value; }
  TPopupAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TPopupAlignment Value) { FAlignment = Value; }
  // The control the menu last popped up for by itself (or as set).
  TComponent* GetPopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TComponent* Value);

  // Shows the menu with its alignment point at the screen point X, Y and
  // returns when it is done; the chosen item's OnClick has run by then.
  virtual void Popup(Integer X, Integer Y);
  // The same under a band of the screen whose top is Over (a caption):
  // with no room below the point, the menu goes above the band.
  void PopupUnder(Integer X, Integer Y, Integer Over);
  // A key-down message (WM_ or CN_, with Alt or without) that is the
  // shortcut of an item that can run now runs that item and answers true.
  bool IsShortCut(TMessage& Message);

  TNotifyEvent OnPopup;

  // Layouts hold the menu's items inside it.
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;

 protected:
  virtual void DoPopup(TObject* Sender);
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  void Show(TPoint At, std::optional<Integer> Over);

  TMenuItem* FItems;
  TCustomImageList* FImages = nullptr;
  bool FOwnerDraw = false;
  bool FAutoPopup = true;
  TPopupAlignment FAlignment = paLeft;
  TComponent* FPopupComponent = nullptr;
};
