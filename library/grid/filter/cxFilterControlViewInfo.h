// The filter builder's geometry and drawing: the view info lays out every
// row, answers hit tests and keeps the off-screen bitmap; the painter draws
// one row, its texts, its value cells and the dotted level lines.
#pragma once

#include "library/foundation/cxGraphics.h"
#include "library/grid/filter/cxFilterControl.h"

class TBitmap;

namespace cxfc {

class TcxFilterControlPainter;

class TcxFilterControlViewInfo : public TObject {
  ORV_CLASS(TcxFilterControlViewInfo, TObject)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxCustomFilterControl*)>;
  explicit TcxFilterControlViewInfo(TcxCustomFilterControl* AControl);
  ~TcxFilterControlViewInfo() override;

  virtual void CalcFocusRect();
  virtual TClass GetPainterClass();
  virtual void GetHitTestInfo(TShiftState AShift, const TPoint& P, TcxFilterControlHitTestInfo& HitInfo);

  void Calc();
  void Paint();
  void InvalidateRow(TcxCustomRowViewInfo* ARow);
  void Update();
  TcxButtonState CalcButtonState();
  void CheckBitmap(const TRect& AArea = TRect());
  Integer GetEditHeight();

  TcxCustomFilterControl* GetControl() const { return FControl; }
  TcxCanvas* GetCanvas() const { return FCanvas; }
  TcxFilterControlPainter* GetPainter();
  Integer GetRowHeight() const { return FRowHeight; }
  Integer GetMinValueWidth() const { return FMinValueWidth; }
  Integer GetMaxRowWidth() const { return FMaxRowWidth; }
  bool GetEnabled() const { return FEnabled; }
  const TRect& GetFocusRect() const { return FFocusRect; }
  const TRect& GetAddConditionRect() const { return FAddConditionRect; }
  TcxButtonState GetAddConditionButtonState() const { return FAddConditionButtonState; }
  // Text extent in one of the builder's fonts on the bitmap's canvas.
  TSize TextSize(TFont* AFont, const AnsiString& AText);

  AnsiString AddConditionCaption;

 private:
  TcxCustomFilterControl* FControl;
  TRect FAddConditionRect{};
  TBitmap* FBitmap = nullptr;
  TcxCanvas* FCanvas = nullptr;
  TcxButtonState FAddConditionButtonState = cxbsNormal;
  TRect FFocusRect{};
  Integer FMaxRowWidth = 0;
  TcxFilterControlPainter* FPainter = nullptr;
  Integer FRowHeight = 0;
  Integer FMinValueWidth = 0;
  bool FEnabled = false;
};

class TcxFilterControlPainter : public TObject {
  ORV_CLASS(TcxFilterControlPainter, TObject)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxCustomFilterControl*)>;
  explicit TcxFilterControlPainter(TcxCustomFilterControl* AControl) : FControl(AControl) {}

  virtual void DrawRow(TcxCustomRowViewInfo* ARow);
  void DrawBorder();
  void DrawDotLine(const TRect& R);
  void DrawGroup(TcxGroupViewInfo* AGroup);
  void DrawCondition(TcxConditionViewInfo* ACondition);
  void DrawValues(TcxConditionViewInfo* ACondition);
  void TextDraw(Integer X, Integer Y, const AnsiString& AText);
  TcxCanvas* GetCanvas();
  TcxCustomLookAndFeelPainterClass GetPainter();
  TcxFilterControlViewInfo* GetViewInfo();

 private:
  TcxCustomFilterControl* FControl;
};

}  // namespace cxfc
