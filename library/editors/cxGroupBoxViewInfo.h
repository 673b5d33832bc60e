// The group box laid out and painted: where its caption goes at each of
// the thirteen positions (turned a quarter for the side positions), how
// much room the frame and the caption take from the children, and the
// frame drawn by border style or by the theme's group-box part with the
// caption painted through a bitmap of its own. In a grid cell the box
// draws no frame and no caption.
#pragma once

#include "library/editors/core/cxTextEditViewInfo.h"

// Where the caption sits: 0-2 on the top side, 3-5 on the bottom, 6-8 on
// the left and 9-11 on the right (both read turned), 12 in the middle
// with no gap in the frame.
ORV_ENUM(TcxCaptionAlignment, alTopLeft, alTopCenter, alTopRight, alBottomLeft, alBottomCenter, alBottomRight,
         alLeftTop, alLeftCenter, alLeftBottom, alRightTop, alRightCenter, alRightBottom, alCenterCenter)

class TcxCustomGroupBox;

// The caption side of an alignment.
inline bool IsTopCaption(TcxCaptionAlignment A) { return A <= alTopRight; }
inline bool IsBottomCaption(TcxCaptionAlignment A) { return A >= alBottomLeft && A <= alBottomRight; }
inline bool IsLeftCaption(TcxCaptionAlignment A) { return A >= alLeftTop && A <= alLeftBottom; }
inline bool IsRightCaption(TcxCaptionAlignment A) { return A >= alRightTop && A <= alRightBottom; }
inline bool IsVerticalCaption(TcxCaptionAlignment A) { return IsLeftCaption(A) || IsRightCaption(A); }

class TcxGroupBoxViewData : public TcxCustomEditViewData {
  ORV_CLASS(TcxGroupBoxViewData, TcxCustomEditViewData)
 public:
  TcxGroupBoxViewData(TcxCustomEditProperties* AProperties, TcxCustomEditStyle* AStyle, bool AIsInplace)
      : TcxCustomEditViewData(AProperties, AStyle, AIsInplace) {}

  void Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TcxMouseButton AButton,
                 TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  // The ultra-flat and Office-11 frames take the highlight colour of their
  // look (the shadow colour when disabled).
  TColor GetBorderColor() override;
  // The caption side takes half a caption line (plus one pixel above or
  // below), so that the frame runs through the caption's middle.
  TRect GetBorderExtent() override;
  // The caption side takes a whole caption line and three pixels.
  TRect GetClientExtent(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo) override;
  // None below or right of a caption on those sides.
  bool HasShadow() override;
  // The box is drawn by the button class of the theme.
  bool IsNativeStyle(TcxLookAndFeel* ALookAndFeel) override;
  using TcxCustomEditViewData::IsNativeStyle;

  // Where the caption goes, in the box's coordinates; empty without a
  // caption (and in a grid cell).
  TRect GetCaptionRect(TcxCanvas* ACanvas);
  // The box the view data lays out; null for a grid cell.
  TcxCustomGroupBox* GetGroupBox() const;
  TcxCaptionAlignment GetAlignment() const;
  // The height of "Qq" in the caption font.
  Integer GetCaptionLineHeight();

 protected:
  // Normal or disabled: a group box is never hot or focused.
  TcxContainerState GetContainerState(const TRect& ABounds, const TPoint& P, TcxMouseButton AButton,
                                      TShiftState AShift, bool AIsMouseEvent) override;
};

class TcxGroupBoxViewInfo : public TcxCustomTextEditViewInfo {
  ORV_CLASS(TcxGroupBoxViewInfo, TcxCustomTextEditViewInfo)
 public:
  TcxGroupBoxViewInfo() = default;
  ~TcxGroupBoxViewInfo() override;

  void Offset(Integer DX, Integer DY) override;

  TcxCaptionAlignment Alignment = alTopLeft;
  // What is drawn: the caption without accelerator marks when turned.
  AnsiString Caption;
  // The box's caption font (not owned); turned for the side positions.
  TFont* CaptionFont = nullptr;
  TRect CaptionRect{};
  // The caption is painted here first, then copied onto the canvas.
  TBitmap* CaptionBitmap = nullptr;
  // The 3-D frame is etched (two lines) with Ctl3D, else a dark line.
  bool Ctl3D = true;
  // The height of "Qq" in the caption font.
  Integer CaptionLineHeight = 0;

  // Sizes the caption bitmap to the caption rectangle.
  void SetCaptionBitmapSize();

 protected:
  void InternalPaint(TcxCanvas* ACanvas) override;
  // Frame by border style or by theme, shadow and background; the caption
  // rectangle is kept out of it.
  virtual void DrawFrame(TcxCanvas* ACanvas);
  virtual void DrawCaption(TcxCanvas* ACanvas);
  // The buttons of a button group drawn while painting a copy.
  virtual void DrawPaintCopyButtons(TcxCanvas*) {}

 private:
  void DrawNativeFrame(TcxCanvas* ACanvas);
  void DrawStandardFrame(TcxCanvas* ACanvas);
  void DrawControlBackground(TcxCanvas* ACanvas, const TRect& R);
  TColor GetCaptionTextColor();
};
