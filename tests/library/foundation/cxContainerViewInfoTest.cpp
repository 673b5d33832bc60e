// Container view information painted by pixels: frames on the grown border
// rectangle, the shadow hugging it, the sunken and complex edges, native
// painting through the theme, and the rectangle helpers.
#include "PainterCanvas.h"
#include "library/foundation/cxContainer.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/Owned.h"

namespace {

class cxContainerViewInfos : public ThemeSession {
 protected:
  TOwned<TcxContainerViewInfo> info{New<TcxContainerViewInfo>()};
  static TColor RGB(TColor c) { return ColorToRGB(c); }
};

}  // namespace

TEST_F(cxContainerViewInfos, AThickBorderOnTwoEdgesFramesTheWholeRectangleAroundTheShadow) {
  PainterCanvas canvas(40, 30);
  info->Bounds = {0, 0, 40, 30};
  info->BorderRect = {2, 2, 30, 20};
  info->ContainerBorderStyle = cbsThick;
  info->BorderWidth = 2;
  info->BorderColor = clRed;
  info->Edges = {bLeft, bTop};
  info->Shadow = true;
  info->SetBackgroundColor(clYellow);
  info->Paint(canvas.get());
  // The shadow is kept out of later drawing; reading it back needs no clip.
  EXPECT_FALSE(canvas->RectVisible({30, 10, 31, 11}));
  win::SelectClipRgn(canvas->GetHandle(), nullptr);

  EXPECT_EQ(canvas.At(5, 5), clYellow);
  EXPECT_EQ(canvas.At(29, 19), clYellow);
  EXPECT_EQ(canvas.At(0, 0), clRed);
  EXPECT_EQ(canvas.At(1, 10), clRed);
  // The shadow hugs BorderRect on the sides without an edge...
  EXPECT_EQ(canvas.At(10, 20), RGB(clBtnShadow));
  EXPECT_EQ(canvas.At(30, 10), RGB(clBtnShadow));
  EXPECT_EQ(canvas.At(32, 22), RGB(clBtnShadow));
  EXPECT_EQ(canvas.At(32, 2), kPaper);
  // ...and the frame, grown past it, shows only where the shadow is not.
  EXPECT_EQ(canvas.At(31, 1), clRed);
  EXPECT_EQ(canvas.At(2, 21), clRed);
  EXPECT_EQ(canvas.At(31, 2), clRed);
  EXPECT_EQ(canvas.At(33, 10), kPaper);
}

TEST_F(cxContainerViewInfos, FlatAnd3DBordersAreSunkenEdgesWithAnInnerRing) {
  PainterCanvas canvas(20, 20);
  info->BorderRect = {2, 2, 18, 18};
  info->BorderWidth = 2;
  info->ContainerBorderStyle = cbsFlat;
  info->SetBackgroundColor(clWhite);
  info->Paint(canvas.get());
  EXPECT_EQ(canvas.At(0, 0), RGB(clBtnShadow));
  EXPECT_EQ(canvas.At(19, 19), RGB(clBtnHighlight));
  EXPECT_EQ(canvas.At(1, 1), RGB(clBtnFace));
  EXPECT_EQ(canvas.At(18, 18), RGB(clBtnFace));
  EXPECT_EQ(canvas.At(2, 2), clWhite);

  info->ContainerBorderStyle = cbs3D;
  info->Paint(canvas.get());
  EXPECT_EQ(canvas.At(0, 0), RGB(clBtnShadow));
  EXPECT_EQ(canvas.At(1, 1), RGB(cl3DDkShadow));
  EXPECT_EQ(canvas.At(18, 18), RGB(cl3DLight));

  // The look-and-feel borders are drawn by the container as single lines.
  canvas.Clear(kPaper);
  info->ContainerBorderStyle = cbsUltraFlat;
  info->Paint(canvas.get());
  EXPECT_EQ(canvas.At(0, 0), kPaper);
  EXPECT_EQ(canvas.At(2, 2), clWhite);
}

TEST_F(cxContainerViewInfos, NativePaintingFillsBoundsOrRingsTheThemeContent) {
  PainterCanvas canvas(30, 20);
  info->NativeStyle = true;
  info->Bounds = {0, 0, 30, 20};
  info->BorderRect = {1, 1, 29, 19};
  info->SetBackgroundColor(clAqua);
  info->ContainerBorderStyle = cbsNone;
  info->Paint(canvas.get());
  EXPECT_EQ(canvas.At(0, 0), clAqua);
  EXPECT_EQ(canvas.At(29, 19), clAqua);

  info->ContainerBorderStyle = cbsSingle;
  info->ThemedObjectType = totEdit;
  info->NativePart = 1;
  info->NativeState = 1;
  info->Paint(canvas.get());
  EXPECT_NE(canvas.At(0, 0), clAqua);
  EXPECT_EQ(canvas.At(0, 0), canvas.At(29, 19));
  EXPECT_EQ(canvas.At(15, 10), clAqua);
}

TEST_F(cxContainerViewInfos, OffsetMovesTheRectanglesAndAssignTakesOnlyTheClientRect) {
  info->Bounds = {0, 0, 10, 10};
  info->BorderRect = {1, 1, 9, 9};
  info->ClientRect = {2, 2, 8, 8};
  info->BorderColor = clRed;
  info->Offset(5, -1);
  EXPECT_EQ(info->Bounds, TRect(5, -1, 15, 9));
  EXPECT_EQ(info->BorderRect, TRect(6, 0, 14, 8));
  EXPECT_EQ(info->ClientRect, TRect(7, 1, 13, 7));

  TOwned<TcxContainerViewInfo> other(New<TcxContainerViewInfo>());
  other->Assign(info.get());
  EXPECT_EQ(other->ClientRect, TRect(7, 1, 13, 7));
  EXPECT_EQ(other->Bounds, TRect());
  EXPECT_EQ(other->BorderColor, clWindowFrame);
  TOwned<TcxRegion> region(other->GetUpdateRegion(info.get()));
  EXPECT_TRUE(region->IsEmpty());

  TRect r(10, 10, 20, 20);
  ExtendRectByBorders(r, 2, {bLeft, bBottom});
  EXPECT_EQ(r, TRect(8, 10, 20, 22));
  InflateRectByBorders(r, 1, {bLeft, bBottom});
  EXPECT_EQ(r, TRect(8, 11, 19, 22));
  EXPECT_EQ(GetContainerBorderWidth(cbsThick), 2);
  EXPECT_EQ(GetContainerBorderWidth(cbsOffice11), 1);
  EXPECT_EQ(GetContainerBorderWidth(lfStandard), 2);
  EXPECT_EQ(GetContainerBorderWidth(lfUltraFlat), 1);
}
