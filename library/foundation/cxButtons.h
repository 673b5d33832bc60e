// A push button drawn by the look-and-feel painters: per-state background
// colours, a glyph laid out beside the caption, hot tracking, and two
// drop-down kinds that open a popup menu under (or above) the button.
#pragma once

#include <vector>

#include "library/foundation/cxControls.h"
#include "library/foundation/cxLookAndFeels.h"
#include "platform/forms/Bitmap.h"
#include "platform/forms/DialogControls.h"

ORV_ENUM(TcxButtonKind, cxbkStandard, cxbkDropDown, cxbkDropDownButton)
ORV_ENUM(TButtonLayout, blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom)
using TcxButtonAssignedColors = Set<TcxButtonState>;

class TcxCustomButton;

// The painter that draws push buttons in a look and feel: the theme-based
// painter only when the theme has a button class.
TcxCustomLookAndFeelPainterClass GetButtonPainterClass(const TcxLookAndFeel* ALookAndFeel);

// An image list of the process-wide glyph cache, one per glyph size. It
// knows which of its slots hold a glyph object's image, so a slot given
// back is used again and no other glyph's index moves.
class TcxGlyphList : public TImageList {
  ORV_CLASS(TcxGlyphList, TImageList)
 public:
  explicit TcxGlyphList(TComponent* AOwner) : TImageList(AOwner) {}
  // Puts the image, AMaskColor being see-through, into a free slot and
  // answers its index.
  Integer AddGlyph(TBitmap* AImage, TColor AMaskColor);
  // The slot is free for the next glyph.
  void ReleaseGlyph(Integer AIndex);
  Integer GetUsedCount() const { return FUsedCount; }

 private:
  std::vector<bool> FUsed;
  Integer FUsedCount = 0;
};

// The glyph of a button: the bitmap of one to four images side by side
// (normal, disabled, pressed, down) and, made once per state when first
// drawn, their images in the shared glyph list of their size. The lists
// live while some glyph object does.
class TcxButtonGlyph : public TObject {
  ORV_CLASS(TcxButtonGlyph, TObject)
 public:
  TcxButtonGlyph();
  ~TcxButtonGlyph() override;
  TBitmap* GetGlyph() const { return FGlyph; }
  void SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }
  Integer GetNumGlyphs() const { return FNumGlyphs; }
  // 1 to 4: more is 4, less than 1 changes nothing.
  void SetNumGlyphs(Integer Value);
  TColor GetTransparentColor() const { return FTransparentColor; }
  // The size of one image; empty without a bitmap.
  TSize GetSize() const;
  bool IsEmpty() const { return FGlyph->Empty(); }
  // The shared list the images are in; null before the first is made.
  TcxGlyphList* GetGlyphList() const { return FGlyphList; }
  // Draws the state's image with its top-left corner at P, see-through
  // where the bitmap has the transparent colour.
  void Draw(TCanvas* ACanvas, const TPoint& P, TcxButtonState AState);

  // The bitmap or the image count changed.
  TNotifyEvent OnChange;

 private:
  Integer ImageIndex(TcxButtonState AState);
  TBitmap* MakeImage(Integer AKind);
  // The images made so far go back to the list.
  void Invalidate();
  void GlyphChanged(TObject* Sender);

  TBitmap* FGlyph;
  TcxGlyphList* FGlyphList = nullptr;
  Integer FIndexes[4] = {-1, -1, -1, -1};
  TColor FTransparentColor = 0x008080;
  Integer FNumGlyphs = 1;
};

class TcxButtonColors : public TPersistent {
  ORV_CLASS(TcxButtonColors, TPersistent)
 public:
  explicit TcxButtonColors(TcxCustomButton* AButton) : FButton(AButton) {}

  TColor GetColor(TcxButtonState AState) const { return FColors[AState]; }
  // clNone and clDefault clear the state's colour.
  void SetColor(TcxButtonState AState, TColor Value);
  // An unassigned Normal falls back to Default; any other unassigned state
  // to Normal's own colour (clDefault when Normal is unassigned too).
  TColor GetBackgroundColor(TcxButtonState AState) const;
  TcxButtonAssignedColors GetAssignedColors() const { return FAssignedColors; }
  void SetAssignedColors(TcxButtonAssignedColors Value);

  TColor GetDefault() const { return FColors[cxbsDefault]; }
  void SetDefault(TColor Value) { SetColor(cxbsDefault, Value); }
  TColor GetNormal() const { return FColors[cxbsNormal]; }
  void SetNormal(TColor Value) { SetColor(cxbsNormal, Value); }
  TColor GetHot() const { return FColors[cxbsHot]; }
  void SetHot(TColor Value) { SetColor(cxbsHot, Value); }
  TColor GetPressed() const { return FColors[cxbsPressed]; }
  void SetPressed(TColor Value) { SetColor(cxbsPressed, Value); }
  TColor GetDisabled() const { return FColors[cxbsDisabled]; }
  void SetDisabled(TColor Value) { SetColor(cxbsDisabled, Value); }
  bool IsDefaultStored() const { return FAssignedColors.Contains(cxbsDefault); }
  bool IsNormalStored() const { return FAssignedColors.Contains(cxbsNormal); }
  bool IsHotStored() const { return FAssignedColors.Contains(cxbsHot); }
  bool IsPressedStored() const { return FAssignedColors.Contains(cxbsPressed); }
  bool IsDisabledStored() const { return FAssignedColors.Contains(cxbsDisabled); }

 protected:
  void DoAssign(TPersistent* Source) override;

 private:
  void Changed();
  TcxCustomButton* FButton;
  TcxButtonAssignedColors FAssignedColors;
  TColor FColors[5] = {clDefault, clDefault, clDefault, clDefault, clDefault};
};

using TcxButtonGetDrawParamsEvent =
    Event<void(TcxCustomButton* Sender, TcxButtonState AState, TColor& AColor, TFont* AFont)>;
using TcxButtonDropDownMenuPopupEvent = Event<void(TObject* Sender, TComponent*& APopupMenu, bool& AHandled)>;

class TcxCustomButton : public TDialogButton, public IcxLookAndFeelContainer, public IcxMouseTrackingCaller {
  ORV_CLASS(TcxCustomButton, TDialogButton)
 public:
  explicit TcxCustomButton(TComponent* AOwner);
  ~TcxCustomButton() override;
  void BeforeDestruction() override;
  void Click() override;

  TcxButtonColors* GetColors() const { return FColors; }
  void SetColors(TcxButtonColors* Value) { FColors->Assign(Value); }
  TBitmap* GetGlyph() const { return FButtonGlyph->GetGlyph(); }
  // A width that is 1 to 4 times the height sets NumGlyphs to that count;
  // any other (an empty bitmap included) sets 1.
  void SetGlyph(TBitmap* Value);
  Integer GetNumGlyphs() const { return FButtonGlyph->GetNumGlyphs(); }
  void SetNumGlyphs(Integer Value);
  TcxButtonGlyph* GetButtonGlyph() const { return FButtonGlyph; }
  // The button keeps its optimal size: a new caption or font resizes it,
  // and any other size is refused (moving is not).
  bool GetButtonAutoSize() const { return FButtonAutoSize; }
  void SetButtonAutoSize(bool Value);
  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;
  TcxButtonKind GetKind() const { return FKind; }
  void SetKind(TcxButtonKind Value);
  TButtonLayout GetLayout() const { return FLayout; }
  void SetLayout(TButtonLayout Value);
  Integer GetMargin() const { return FMargin; }
  void SetMargin(Integer Value);
  Integer GetSpacing() const { return FSpacing; }
  void SetSpacing(Integer Value);
  TcxLookAndFeel* GetLookAndFeel() override { return FLookAndFeel; }
  void SetLookAndFeel(TcxLookAndFeel* Value) { FLookAndFeel->Assign(Value); }
  TComponent* GetDropDownMenu() const { return FDropDownMenu; }
  void SetDropDownMenu(TComponent* Value);
  TPopupAlignment GetPopupAlignment() const { return FPopupAlignment; }
  void SetPopupAlignment(TPopupAlignment Value) { FPopupAlignment = Value; }
  bool GetUseSystemPaint() const { return FUseSystemPaint; }
  void SetUseSystemPaint(bool Value) { FUseSystemPaint = Value; }
  bool GetMenuVisible() const { return FMenuVisible; }
  bool GetHot() const { return FIsHot; }

  TSize GetOptimalSize();
  // The painter that draws the button (GetButtonPainterClass).
  TcxCustomLookAndFeelPainterClass GetPainterClass();
  // Where the drop-down menu opens, in screen coordinates, and with which
  // alignment.
  TPoint GetDropDownMenuPopupPoint(TComponent* AMenu, TPopupAlignment& AAlignment);

  TcxButtonDropDownMenuPopupEvent OnDropDownMenuPopup;
  TcxButtonGetDrawParamsEvent OnGetDrawParams;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseTrackingMouseLeave() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void DoDropDownMenu();
  void UpdateHot(bool AHot);

  void DXMDropDownPopupMenu(TMessage& Message);
  ORV_MESSAGE(DXM_DROPDOWNPOPUPMENU, DXMDropDownPopupMenu)
  void DXMCloseUpPopupMenu(TMessage& Message);
  ORV_MESSAGE(DXM_CLOSEUPPOPUPMENU, DXMCloseUpPopupMenu)
  void CMMouseEnter(TMessage& Message);
  ORV_MESSAGE(win::CM_MOUSEENTER, CMMouseEnter)
  void CMMouseLeave(TMessage& Message);
  ORV_MESSAGE(win::CM_MOUSELEAVE, CMMouseLeave)
  void CMEnabledChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_ENABLEDCHANGED, CMEnabledChanged)
  void CMTextChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_TEXTCHANGED, CMTextChanged)
  void CMFontChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_FONTCHANGED, CMFontChanged)
  void WMContextMenu(TMessage& Message);
  ORV_MESSAGE(win::WM_CONTEXTMENU, WMContextMenu)
  void WMDestroy(TMessage& Message);
  ORV_MESSAGE(win::WM_DESTROY, WMDestroy)
  void LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues);

 private:
  TcxButtonState GetDrawState(bool APressed, bool AFocused) const;
  void DrawGlyphAndCaption(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState, Integer AShift);
  bool CanHotTrack();
  void GlyphChanged(TObject* Sender);
  void UpdateAutoSize();

  TcxButtonColors* FColors;
  TcxButtonGlyph* FButtonGlyph;
  bool FButtonAutoSize = false;
  TcxButtonKind FKind = cxbkStandard;
  TButtonLayout FLayout = blGlyphLeft;
  Integer FMargin = -1;
  Integer FSpacing = 4;
  TcxLookAndFeel* FLookAndFeel;
  TComponent* FDropDownMenu = nullptr;
  TPopupAlignment FPopupAlignment = paLeft;
  bool FUseSystemPaint = false;
  bool FMenuDropping = false;   // the menu is being dropped
  bool FMenuVisible = false;
  bool FSwallowClick = false;   // the click that closed the menu
  bool FIsHot = false;
  bool FMouseDown = false;      // the left button is held on the button
  bool FMouseInside = false;
};

class TcxButton : public TcxCustomButton {
  ORV_CLASS(TcxButton, TcxCustomButton)
 public:
  using TcxCustomButton::TcxCustomButton;
};

// The width of the drop-down part of a cxbkDropDownButton, and of the area
// that opens the menu when pressed.
constexpr Integer cxDropDownButtonPartWidth = 13;
constexpr Integer cxDropDownButtonHitWidth = 15;
