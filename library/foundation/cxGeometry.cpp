#include "library/foundation/cxGeometry.h"

#include <algorithm>

#include "platform/rtl/Numbers.h"

Integer cxRectGetItem(const TRect& R, Integer AIndex) {
  switch (AIndex) {
    case 0: return R.Left;
    case 1: return R.Top;
    case 2: return R.Right;
    case 3: return R.Bottom;
    default: return 0;
  }
}

TPoint cxPointReplaceItem(const TPoint& P, Integer AIndex, Integer AValue) {
  TPoint Result = P;
  (AIndex == 0 ? Result.X : Result.Y) = AValue;
  return Result;
}

bool cxRectIntersect(TRect& AResult, const TRect& R1, const TRect& R2) {
  AResult = {std::max(R1.Left, R2.Left), std::max(R1.Top, R2.Top), std::min(R1.Right, R2.Right),
             std::min(R1.Bottom, R2.Bottom)};
  if (AResult.Right > AResult.Left && AResult.Bottom > AResult.Top) return true;
  AResult = cxNullRect;
  return false;
}

bool cxRectIntersect(const TRect& R1, const TRect& R2) {
  TRect Unused;
  return cxRectIntersect(Unused, R1, R2);
}

TRect cxRectUnion(const TRect& R1, const TRect& R2) {
  if (cxRectIsEmpty(R2)) return R1;
  return {std::min(R1.Left, R2.Left), std::min(R1.Top, R2.Top), std::max(R1.Right, R2.Right),
          std::max(R1.Bottom, R2.Bottom)};
}

TcxPtInRectType cxRectPtInEx(const TRect& R, Integer X, Integer Y, Integer ALeftMargin, Integer ATopMargin,
                             Integer ARightMargin, Integer ABottomMargin) {
  if (cxRectPtIn(R, X, Y)) return ptrtArea;
  if (!cxRectPtIn(cxRectInflate(R, ALeftMargin, ATopMargin, ARightMargin, ABottomMargin), X, Y)) return ptrtNone;
  auto inZone = [](Integer d, Integer margin) { return -margin <= d && d < margin; };
  if (inZone(X - R.Right, ARightMargin)) return ptrtRight;
  if (inZone(Y - R.Bottom, ABottomMargin)) return ptrtBottom;
  if (inZone(X - R.Left, ALeftMargin)) return ptrtLeft;
  return ptrtTop;
}

TcxPtInRectType cxRectPtInEx(const TRect& R, Integer X, Integer Y, Integer AHorzMargin, Integer AVertMargin) {
  return cxRectPtInEx(R, X, Y, AHorzMargin, AVertMargin, AHorzMargin, AVertMargin);
}

TcxPtInRectType cxRectPtInEx(const TRect& R, Integer X, Integer Y, Integer AMargin) {
  return cxRectPtInEx(R, X, Y, AMargin, AMargin, AMargin, AMargin);
}

void cxRectOverlapped(const TRect& R1, const TRect& R2, TRect& A, TRect& B, TRect& C, TRect& D) {
  const Integer DY = R1.Bottom - R2.Bottom;
  const Integer DX = R1.Right - R2.Right;
  A = B = C = D = cxNullRect;
  if (DY < 0) {
    A = cxRectSetHeight(R1, -DY);
    C = cxRectSetTop(R2, R2.Bottom + DY, -DY);
  } else if (DY > 0) {
    A = cxRectSetTop(R1, R1.Bottom - DY, DY);
    C = cxRectSetHeight(R2, DY);
  }
  if (DX < 0) {
    D = cxRectSetWidth(R1, -DX);
    B = cxRectSetLeft(R2, R2.Right + DX, -DX);
  } else if (DX > 0) {
    D = cxRectSetLeft(R1, R1.Right - DX, DX);
    B = cxRectSetWidth(R2, DX);
  }
}

TRect cxRectOffset(const TRect& R, std::span<const TPoint> APoints) { return cxRectOffset(R, cxPointSum(APoints)); }

TRect cxRectSetLeft(const TRect& R, Integer ALeft) { return cxRectSetLeft(R, ALeft, cxRectWidth(R)); }
TRect cxRectSetLeft(const TRect& R, Integer ALeft, Integer AWidth) { return {ALeft, R.Top, ALeft + AWidth, R.Bottom}; }
TRect cxRectSetTop(const TRect& R, Integer ATop) { return cxRectSetTop(R, ATop, cxRectHeight(R)); }
TRect cxRectSetTop(const TRect& R, Integer ATop, Integer AHeight) { return {R.Left, ATop, R.Right, ATop + AHeight}; }
TRect cxRectSetRight(const TRect& R, Integer ARight) { return cxRectSetRight(R, ARight, cxRectWidth(R)); }
TRect cxRectSetRight(const TRect& R, Integer ARight, Integer AWidth) {
  return {ARight - AWidth, R.Top, ARight, R.Bottom};
}
TRect cxRectSetBottom(const TRect& R, Integer ABottom) { return cxRectSetBottom(R, ABottom, cxRectHeight(R)); }
TRect cxRectSetBottom(const TRect& R, Integer ABottom, Integer AHeight) {
  return {R.Left, ABottom - AHeight, R.Right, ABottom};
}
TRect cxRectSetWidth(const TRect& R, Integer AWidth) { return {R.Left, R.Top, R.Left + AWidth, R.Bottom}; }
TRect cxRectSetWidth(const TRect& R, Integer ALeft, Integer AWidth) {
  return {ALeft, R.Top, ALeft + AWidth, R.Bottom};
}
TRect cxRectSetHeight(const TRect& R, Integer AHeight) { return {R.Left, R.Top, R.Right, R.Top + AHeight}; }
TRect cxRectSetHeight(const TRect& R, Integer ATop, Integer AHeight) {
  return {R.Left, ATop, R.Right, ATop + AHeight};
}
TRect cxRectSetSize(const TRect& R, Integer AWidth, Integer AHeight) {
  return {R.Left, R.Top, R.Left + AWidth, R.Top + AHeight};
}
TRect cxRectSetXPos(const TRect& R, Integer ALeft, Integer ARight) { return {ALeft, R.Top, ARight, R.Bottom}; }
TRect cxRectSetYPos(const TRect& R, Integer ATop, Integer ABottom) { return {R.Left, ATop, R.Right, ABottom}; }

namespace {

// (A + B - C) / 2 truncated toward zero, summed in 64 bits: the middle of
// a rectangle near an end of Integer lies inside it, though the sum of its
// edges does not fit.
Integer HalfSum(Integer A, Integer B, Integer C = 0) { return static_cast<Integer>((Int64(A) + B - C) / 2); }

}  // namespace

TPoint cxRectCenter(const TRect& R) { return {HalfSum(R.Left, R.Right), HalfSum(R.Top, R.Bottom)}; }

TRect cxRectCenter(const TRect& R, Integer AWidth, Integer AHeight) {
  return cxRectBounds(HalfSum(R.Left, R.Right, AWidth), HalfSum(R.Top, R.Bottom, AHeight), AWidth, AHeight);
}

TRect cxRectCenter(const TRect& R, const TSize& ASize) { return cxRectCenter(R, ASize.cx, ASize.cy); }

void cxRectSplitHorz(const TRect& R, TRect& ALeftPart, TRect& ARightPart) {
  const Integer X = HalfSum(R.Left, R.Right);
  ALeftPart = cxRectSetXPos(R, R.Left, X);
  ARightPart = cxRectSetXPos(R, X, R.Right);
}

void cxRectSplitVert(const TRect& R, TRect& ATopPart, TRect& ABottomPart) {
  const Integer Y = HalfSum(R.Top, R.Bottom);
  ATopPart = cxRectSetYPos(R, R.Top, Y);
  ABottomPart = cxRectSetYPos(R, Y, R.Bottom);
}

TRect cxRectScaleWidth(const TRect& R, Integer AOrigin, Integer ANewOrigin, Integer ANumerator,
                       Integer ADenominator) {
  return cxRectSetLeft(R, MulDiv(R.Left - AOrigin, ANumerator, ADenominator) + ANewOrigin,
                       MulDiv(cxRectWidth(R), ANumerator, ADenominator));
}

TRect cxRectScaleHeight(const TRect& R, Integer AOrigin, Integer ANewOrigin, Integer ANumerator,
                        Integer ADenominator) {
  return cxRectSetTop(R, MulDiv(R.Top - AOrigin, ANumerator, ADenominator) + ANewOrigin,
                      MulDiv(cxRectHeight(R), ANumerator, ADenominator));
}

void cxRectMinMaxInit(Integer& AMin, Integer& AMax) {
  AMin = 2147483647;
  AMax = -1;
}

void cxRectMinMaxWidth(const TRect& R, Integer& AMax, Integer& AMin) {
  AMax = std::max(AMax, R.Right);
  AMin = std::min(AMin, R.Left);
}

void cxRectMinMaxHeight(const TRect& R, Integer& AMax, Integer& AMin) {
  AMax = std::max(AMax, R.Bottom);
  AMin = std::min(AMin, R.Top);
}

TPoint cxPointOffset(const TPoint& P, std::span<const TPoint> APoints) {
  return cxPointOffset(P, cxPointSum(APoints));
}

TPoint cxPointSum(std::span<const TPoint> APoints) {
  TPoint Result = cxNullPoint;
  for (const TPoint& P : APoints) Result = cxPointOffset(Result, P);
  return Result;
}
