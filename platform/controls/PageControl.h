// The page control: a row of tabs across the top, one per sheet, and the
// active sheet filling the room below them. Sheets join a page control by
// being put into it (SetPageControl or SetParent, as a layout does), in
// the order they arrive; the first sheet with a tab becomes the active one
// when none is.
//
// Tabs are drawn in the classic raised look: the active tab stands two
// pixels taller and wider and opens into the page's frame. Changing pages
// by a click or by Ctrl+Tab / Ctrl+Shift+Tab asks OnChanging first (which
// may refuse) and reports OnChange after; setting ActivePage from the
// program does neither.
#pragma once

#include <vector>

#include "platform/forms/Controls.h"

class TPageControl;

class TTabSheet : public TWinControl {
  ORV_CLASS(TTabSheet, TWinControl)
 public:
  explicit TTabSheet(TComponent* AOwner);

  TPageControl* GetPageControl() const { return FPageControl; }
  void SetPageControl(TPageControl* Value);
  // The sheet's place among its page control's pages; -1 outside one.
  Integer GetPageIndex() const;
  void SetPageIndex(Integer Value);
  // A sheet without a tab cannot be chosen; hiding the active sheet's tab
  // moves the control on to the next page that has one.
  bool GetTabVisible() const { return FTabVisible; }
  void SetTabVisible(bool Value);

 protected:
  friend class TPageControl;
  void CMTextChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_TEXTCHANGED, CMTextChanged)

 private:
  TPageControl* FPageControl = nullptr;
  bool FTabVisible = true;
};

using TTabChangingEvent = Event<void(TObject* Sender, bool& AllowChange)>;

class TPageControl : public TCustomControl {
  ORV_CLASS(TPageControl, TCustomControl)
 public:
  explicit TPageControl(TComponent* AOwner);
  void BeforeDestruction() override;

  Integer GetPageCount() const { return static_cast<Integer>(FPages.size()); }
  TTabSheet* GetPages(Integer Index) const;
  TTabSheet* GetActivePage() const { return FActivePage; }
  // Only a sheet of this control with a visible tab, or null for none.
  void SetActivePage(TTabSheet* Value);
  Integer GetActivePageIndex() const;
  void SetActivePageIndex(Integer Value);
  // The tab under the mouse shows its caption in the hot-light colour.
  bool GetHotTrack() const { return FHotTrack; }
  void SetHotTrack(bool Value);

  // The next or previous page with a visible tab after CurrentPage (from
  // the end when null), round the ends; null when there is none.
  TTabSheet* FindNextPage(TTabSheet* CurrentPage, bool GoForward, bool CheckTabVisible) const;
  // What a person does with Ctrl+Tab: asks OnChanging, moves, tells OnChange.
  void SelectNextPage(bool GoForward);
  // The tab at a client point, as an index into Pages; -1 for none.
  Integer IndexOfTabAt(Integer X, Integer Y);
  // A visible tab's rectangle in client coordinates; empty for a page
  // without a tab.
  TRect TabRect(Integer Index);

  TNotifyEvent OnChange;
  TTabChangingEvent OnChanging;

 protected:
  friend class TTabSheet;
  void AdjustClientRect(TRect& Rect) override;
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  virtual bool CanChange();
  virtual void Change();

  void CMControlChange(TMessage& Message);
  ORV_MESSAGE(win::CM_CONTROLCHANGE, CMControlChange)
  void CMDialogKey(TMessage& Message);
  ORV_MESSAGE(win::CM_DIALOGKEY, CMDialogKey)
  void CMMouseLeave(TMessage& Message);
  ORV_MESSAGE(win::CM_MOUSELEAVE, CMMouseLeave)
  void CMFontChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_FONTCHANGED, CMFontChanged)
  void WMSetFocus(TMessage& Message);
  ORV_MESSAGE(win::WM_SETFOCUS, WMSetFocus)
  void WMKillFocus(TMessage& Message);
  ORV_MESSAGE(win::WM_KILLFOCUS, WMKillFocus)

 private:
  void InsertPage(TTabSheet* Page);
  void RemovePage(TTabSheet* Page);
  void MovePage(TTabSheet* Page, Integer Index);
  // Tabs came, went or changed their captions: new tab widths, new room.
  void TabsChanged();
  // Shows the active sheet, hides the others.
  void ShowActivePage();
  // Lays the visible tabs out from the captions and the font.
  void MeasureTabs();
  Integer TabRowHeight();
  void DrawTab(TCanvas* Canvas, Integer Index, const TRect& Rect, bool Active);

  std::vector<TTabSheet*> FPages;
  std::vector<TRect> FTabRects;  // per page; empty for a page without a tab
  bool FTabsMeasured = false;
  Integer FTabHeight = 0;
  TTabSheet* FActivePage = nullptr;
  Integer FHotIndex = -1;
  bool FHotTrack = false;
};
