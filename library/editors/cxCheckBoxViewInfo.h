// The check box laid out and painted: where the check and the caption go,
// which state the check shows (hot, pressed, disabled), the focus frame,
// the size the editor needs, and the check itself in every border style,
// through the theme's check-box part or from a strip of images. The check
// drawing routines serve every editor that shows check marks.
#pragma once

#include "library/editors/core/cxTextEditViewInfo.h"
#include "library/editors/cxCheckStates.h"

ORV_ENUM(TcxCheckBoxNullValueShowingStyle, nssUnchecked, nssInactive, nssGrayedChecked)
ORV_ENUM(TcxEditCheckState, ecsNormal, ecsHot, ecsPressed, ecsDisabled)

class TcxCustomCheckBoxProperties;

class TcxCustomCheckBoxViewData : public TcxCustomEditViewData {
  ORV_CLASS(TcxCustomCheckBoxViewData, TcxCustomEditViewData)
 public:
  TcxCustomCheckBoxViewData(TcxCustomEditProperties* AProperties, TcxCustomEditStyle* AStyle, bool AIsInplace)
      : TcxCustomEditViewData(AProperties, AStyle, AIsInplace) {}

  void Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TcxMouseButton AButton,
                 TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  // The state of the value (checked in preview mode), and no caption in a
  // grid cell.
  void EditValueToDrawValue(TcxCanvas* ACanvas, const Variant& AValue, TcxCustomEditViewInfo* AViewInfo) override;

  TcxCustomCheckBoxProperties* GetProperties() const;
  // The editor's border style belongs to its check: a style without a
  // border of its own (the check box's) draws no frame around the control.
  TcxEditBorderStyle GetBorderStyle() override;

 protected:
  TSize InternalGetEditConstantPartSize(TcxCanvas* ACanvas, bool AIsInplace,
                                        const TcxEditSizeProperties& AEditSizeProperties, TSize& MinContentSize,
                                        TcxCustomEditViewInfo* AViewInfo) override;

 private:
  Integer GetDrawTextFlags();
  void CalculateCheckBoxState(TcxCustomEditViewInfo* AViewInfo, const TPoint& P, TcxMouseButton AButton,
                              TShiftState AShift);
  void CalculateRects(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo, const TSize& ACheckSize);
  void CalculateFocusRect(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo);
};

class TcxCustomCheckBoxViewInfo : public TcxCustomTextEditViewInfo {
  ORV_CLASS(TcxCustomCheckBoxViewInfo, TcxCustomTextEditViewInfo)
 public:
  TcxCustomCheckBoxViewInfo() = default;

  void Assign(TObject* Source) override;
  // Only the check's rectangle when nothing but its state changed.
  TcxRegion* GetUpdateRegion(TcxContainerViewInfo* AViewInfo) override;
  bool IsHotTrack() override { return true; }
  bool IsHotTrack(const TPoint&) override { return true; }
  bool NeedShowHint(TcxCanvas*, const TPoint&, const TRect&, AnsiString&, bool&, TRect&) override { return false; }
  using TcxCustomTextEditViewInfo::NeedShowHint;
  void Offset(Integer DX, Integer DY) override;
  bool Repaint(TWinControl* AControl, const TRect& AInnerEditRect,
               TcxContainerViewInfo* AViewInfo = nullptr) override;
  using TcxCustomTextEditViewInfo::Repaint;

  TAlignment Alignment = taLeftJustify;
  TRect CheckBoxRect{};
  TRect FocusRect{};
  TcxEditBorderStyle CheckBoxBorderStyle = ebsNone;
  Integer CheckBoxBorderOffset = 0;
  // The properties' strip of images (not owned).
  TBitmap* CheckBoxGlyph = nullptr;
  Integer CheckBoxGlyphCount = 0;
  bool HasGlyph = false;
  TcxEditCheckState CheckBoxCheckState = ecsNormal;
  TcxCheckBoxNullValueShowingStyle NullValueShowingStyle = nssGrayedChecked;
  TcxCheckBoxState CheckBoxState = cbsUnchecked;
  bool IsTextColorAssigned = false;

 protected:
  void InternalPaint(TcxCanvas* ACanvas) override;
};

// ---------------------------------------------------------------------------
// Check drawing.

// The check of AState in ACheckState inside ACheckRect: from the strip of
// AGlyphCount images when AGlyph is usable, else the theme's check-box
// part when ANativeStyle, else a border of ABorderStyle and the mark (the
// library's own for the ultra-flat and Office-11 borders, the platform's
// frame control for the others). Without ADrawBackground the background
// shows through.
void DrawEditCheck(TcxCanvas* ACanvas, const TRect& ACheckRect, TcxCheckBoxState AState,
                   TcxEditCheckState ACheckState, TBitmap* AGlyph, Integer AGlyphCount,
                   TcxEditBorderStyle ABorderStyle, bool ANativeStyle, TColor ABorderColor, TColor ABackgroundColor,
                   bool ADrawBackground, bool AIsDesigning, bool AFocused, bool AGrayedShowingGlyphs,
                   TcxCheckBoxNullValueShowingStyle ANullValueShowingStyle = nssGrayedChecked);
// A caption with a clear background, embossed when not enabled.
void DrawCheckBoxText(TcxCanvas* ACanvas, const AnsiString& AText, TFont* AFont, TColor ATextColor, const TRect& R,
                      Integer ADrawTextFlags, bool AEnabled);
// The size of one check: an image of the strip, the theme's or the
// standard painter's check.
TSize GetEditCheckSize(TcxCanvas* ACanvas, bool ANativeStyle, TBitmap* AGlyph = nullptr, Integer AGlyphCount = 0);
// The image of the strip that shows the state (the pressed row when
// pressed); never an index past the strip.
Integer GetEditCheckGlyphIndex(TcxCheckBoxState AState, TcxEditCheckState ACheckState, bool AGrayedShowingGlyphs,
                               Integer AGlyphCount);
// The room between the check's frame and the editor's border.
Integer GetEditCheckBorderOffset(TcxContainerBorderStyle ABorderStyle, bool ANativeStyle, bool AHasGlyph);
Integer GetEditCheckBorderOffset(TcxEditBorderStyle ABorderStyle, bool ANativeStyle, bool AHasGlyph);
Integer GetEditCheckBorderOffset(TcxLookAndFeelKind ALookAndFeelKind, bool ANativeStyle, bool AHasGlyph);

// The monochrome mask of the mark (black on the mark), made from the
// system check bitmap at the unit's start-up; null before and after.
TBitmap* cxEditCheckMarkMask();
void cxCreateEditCheckMarkMask();
void cxFreeEditCheckMarkMask();
