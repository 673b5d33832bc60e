// Geometry helpers: stateless functions on rectangles and points.
//
// Rectangles are half-open: (x, y) lies in R when Left <= x < Right and
// Top <= y < Bottom. Every function returns a new value and leaves its
// arguments alone. Halving ("div 2") truncates toward zero, as integer
// division does; scaling goes through MulDiv, which rounds to nearest.
#pragma once

#include <span>

#include "platform/rtl/TypeInfo.h"
#include "platform/rtl/Types.h"

ORV_ENUM(TcxPtInRectType, ptrtNone, ptrtArea, ptrtLeft, ptrtTop, ptrtRight, ptrtBottom)

inline constexpr TRect cxNullRect{0, 0, 0, 0};
inline constexpr TRect cxInvalidRect{-1, -1, -1, -1};
inline constexpr TPoint cxNullPoint{0, 0};
inline constexpr TRect cxEmptyRect{0, 0, 0, 0};
inline constexpr TSize cxNullSize{0, 0};
inline constexpr TPoint cxInvalidPoint{-1, -1};
// One pixel on every side: margins of a single-line border.
inline constexpr TRect cxSimpleRect{1, 1, 1, 1};

// Construction and access.
constexpr TRect cxRect(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom) {
  return {ALeft, ATop, ARight, ABottom};
}
constexpr TRect cxRect(const TPoint& ATopLeft, const TPoint& ABottomRight) {
  return {ATopLeft.X, ATopLeft.Y, ABottomRight.X, ABottomRight.Y};
}
constexpr TRect cxRectBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  return Bounds(ALeft, ATop, AWidth, AHeight);
}
constexpr TPoint cxPoint(Integer X, Integer Y) { return {X, Y}; }
constexpr TPoint cxPoint(const TSize& ASize) { return {ASize.cx, ASize.cy}; }
constexpr TSize cxSize(Integer cx, Integer cy) { return {cx, cy}; }
constexpr Integer cxRectWidth(const TRect& R) { return R.Width(); }
constexpr Integer cxRectHeight(const TRect& R) { return R.Height(); }
constexpr TSize cxRectSize(const TRect& R) { return {cxRectWidth(R), cxRectHeight(R)}; }
// The width for index 0, the height for any other.
constexpr Integer cxRectGetSize(const TRect& R, Integer AIndex) {
  return AIndex == 0 ? cxRectWidth(R) : cxRectHeight(R);
}
// Left, Top, Right, Bottom for 0..3; 0 for any other index.
Integer cxRectGetItem(const TRect& R, Integer AIndex);
constexpr TPoint cxRectLeftBottom(const TRect& R) { return {R.Left, R.Bottom}; }
constexpr TPoint cxRectRightTop(const TRect& R) { return {R.Right, R.Top}; }
// X for index 0, Y for any other.
constexpr Integer cxPointGetItem(const TPoint& P, Integer AIndex) { return AIndex == 0 ? P.X : P.Y; }
TPoint cxPointReplaceItem(const TPoint& P, Integer AIndex, Integer AValue);

// Tests.
constexpr bool cxRectIsEmpty(const TRect& R) { return R.Right <= R.Left || R.Bottom <= R.Top; }
constexpr bool cxRectIsNull(const TRect& R) { return R == cxNullRect; }
constexpr bool cxRectIsInvalid(const TRect& R) { return R == cxInvalidRect; }
constexpr bool cxRectIsEqual(const TRect& R1, const TRect& R2) { return R1 == R2; }
constexpr bool cxRectCompare(const TRect& R1, const TRect& R2) { return R1 == R2; }
// AInner lies within AOuter; the edges may touch.
constexpr bool cxRectContain(const TRect& AOuter, const TRect& AInner) {
  return AInner.Left >= AOuter.Left && AInner.Top >= AOuter.Top && AInner.Right <= AOuter.Right &&
         AInner.Bottom <= AOuter.Bottom;
}
constexpr bool cxRectPtIn(const TRect& R, Integer X, Integer Y) {
  return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom;
}
constexpr bool cxRectPtIn(const TRect& R, const TPoint& P) { return cxRectPtIn(R, P.X, P.Y); }
constexpr bool cxPointIsEqual(const TPoint& P1, const TPoint& P2) { return P1 == P2; }
constexpr bool cxPointIsNull(const TPoint& P) { return P == cxNullPoint; }

// Intersection and union.
// The common part of R1 and R2 in AResult when it has a positive width and
// height; otherwise AResult becomes cxNullRect and the answer is false, so
// rectangles that only touch do not intersect.
bool cxRectIntersect(TRect& AResult, const TRect& R1, const TRect& R2);
bool cxRectIntersect(const TRect& R1, const TRect& R2);
// R1 widened by R2; an empty R2 leaves R1 as it is, even an empty R1.
TRect cxRectUnion(const TRect& R1, const TRect& R2);

// Where a point lies relative to R and the border zones around it: in R,
// else in the zone of R inflated by the margins, tested right, bottom,
// left, then top; else nowhere.
TcxPtInRectType cxRectPtInEx(const TRect& R, Integer X, Integer Y, Integer ALeftMargin, Integer ATopMargin,
                             Integer ARightMargin, Integer ABottomMargin);
TcxPtInRectType cxRectPtInEx(const TRect& R, Integer X, Integer Y, Integer AHorzMargin, Integer AVertMargin);
TcxPtInRectType cxRectPtInEx(const TRect& R, Integer X, Integer Y, Integer AMargin);

// The strips by which R1 and R2 differ along their bottom and right edges:
// A and C from the bottoms (A in R1, C in R2), D and B from the rights (D in
// R1, B in R2); a strip without a difference is cxNullRect.
void cxRectOverlapped(const TRect& R1, const TRect& R2, TRect& A, TRect& B, TRect& C, TRect& D);

// Changes.
constexpr TRect cxRectInflate(const TRect& R, Integer DX, Integer DY) {
  return {R.Left - DX, R.Top - DY, R.Right + DX, R.Bottom + DY};
}
constexpr TRect cxRectInflate(const TRect& R, Integer ALeft, Integer ATop, Integer ARight, Integer ABottom) {
  return {R.Left - ALeft, R.Top - ATop, R.Right + ARight, R.Bottom + ABottom};
}
// Deflates R by the margins held in AMargins.
// Edges moved past the ends of Integer stop there, as the sizes do.
constexpr TRect cxRectInflate(const TRect& R, const TRect& AMargins) {
  return {ClampToInteger(Int64{R.Left} + AMargins.Left), ClampToInteger(Int64{R.Top} + AMargins.Top),
          ClampToInteger(Int64{R.Right} - AMargins.Right), ClampToInteger(Int64{R.Bottom} - AMargins.Bottom)};
}
constexpr TRect cxRectOffset(const TRect& R, Integer DX, Integer DY) {
  return {ClampToInteger(Int64{R.Left} + DX), ClampToInteger(Int64{R.Top} + DY), ClampToInteger(Int64{R.Right} + DX),
          ClampToInteger(Int64{R.Bottom} + DY)};
}
constexpr TRect cxRectOffset(const TRect& R, const TPoint& P) { return cxRectOffset(R, P.X, P.Y); }
// Moved by the sum of every point given.
TRect cxRectOffset(const TRect& R, std::span<const TPoint> APoints);
constexpr TRect cxRectOffsetHorz(const TRect& R, Integer D) { return cxRectOffset(R, D, 0); }
constexpr TRect cxRectOffsetVert(const TRect& R, Integer D) { return cxRectOffset(R, 0, D); }
TRect cxRectSetLeft(const TRect& R, Integer ALeft);
TRect cxRectSetLeft(const TRect& R, Integer ALeft, Integer AWidth);
TRect cxRectSetTop(const TRect& R, Integer ATop);
TRect cxRectSetTop(const TRect& R, Integer ATop, Integer AHeight);
TRect cxRectSetRight(const TRect& R, Integer ARight);
TRect cxRectSetRight(const TRect& R, Integer ARight, Integer AWidth);
TRect cxRectSetBottom(const TRect& R, Integer ABottom);
TRect cxRectSetBottom(const TRect& R, Integer ABottom, Integer AHeight);
TRect cxRectSetWidth(const TRect& R, Integer AWidth);
TRect cxRectSetWidth(const TRect& R, Integer ALeft, Integer AWidth);
TRect cxRectSetHeight(const TRect& R, Integer AHeight);
TRect cxRectSetHeight(const TRect& R, Integer ATop, Integer AHeight);
TRect cxRectSetSize(const TRect& R, Integer AWidth, Integer AHeight);
TRect cxRectSetXPos(const TRect& R, Integer ALeft, Integer ARight);
TRect cxRectSetYPos(const TRect& R, Integer ATop, Integer ABottom);
// The middle point, halves truncated toward zero.
TPoint cxRectCenter(const TRect& R);
// A rectangle of the size given, centred in R.
TRect cxRectCenter(const TRect& R, Integer AWidth, Integer AHeight);
TRect cxRectCenter(const TRect& R, const TSize& ASize);
void cxRectSplitHorz(const TRect& R, TRect& ALeftPart, TRect& ARightPart);
void cxRectSplitVert(const TRect& R, TRect& ATopPart, TRect& ABottomPart);
TRect cxRectScaleWidth(const TRect& R, Integer AOrigin, Integer ANewOrigin, Integer ANumerator, Integer ADenominator);
TRect cxRectScaleHeight(const TRect& R, Integer AOrigin, Integer ANewOrigin, Integer ANumerator,
                        Integer ADenominator);
void cxRectMinMaxInit(Integer& AMin, Integer& AMax);
void cxRectMinMaxWidth(const TRect& R, Integer& AMax, Integer& AMin);
void cxRectMinMaxHeight(const TRect& R, Integer& AMax, Integer& AMin);

constexpr TPoint cxPointInvert(const TPoint& P) { return {-P.X, -P.Y}; }
constexpr TPoint cxPointOffset(const TPoint& P, Integer DX, Integer DY) {
  return {ClampToInteger(Int64{P.X} + DX), ClampToInteger(Int64{P.Y} + DY)};
}
constexpr TPoint cxPointOffset(const TPoint& P, const TPoint& D) { return cxPointOffset(P, D.X, D.Y); }
// Moved by the sum of every point given.
TPoint cxPointOffset(const TPoint& P, std::span<const TPoint> APoints);
// The sum of every point given; cxNullPoint for none. A count travels with
// the span, so no caller can read past the points it passes.
TPoint cxPointSum(std::span<const TPoint> APoints);
