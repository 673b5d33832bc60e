#include "library/foundation/cxGeometry.h"

#include <gtest/gtest.h>

#include <climits>

TEST(cxGeometry, RectanglesAreHalfOpen) {
  const TRect r{0, 0, 10, 10};
  EXPECT_TRUE(cxRectPtIn(r, 0, 0));
  EXPECT_TRUE(cxRectPtIn(r, 9, 9));
  EXPECT_FALSE(cxRectPtIn(r, 10, 5));
  EXPECT_FALSE(cxRectPtIn(r, TPoint{5, 10}));
  EXPECT_TRUE(cxRectIsEmpty({5, 5, 5, 9}));
  EXPECT_TRUE(cxRectContain(r, r));
  EXPECT_FALSE(cxRectContain(r, {-1, 0, 5, 5}));
}

TEST(cxGeometry, TouchingRectanglesDoNotIntersect) {
  TRect result{1, 2, 3, 4};
  EXPECT_FALSE(cxRectIntersect(result, {0, 0, 10, 10}, {10, 0, 20, 10}));
  EXPECT_EQ(result, cxNullRect);
  EXPECT_TRUE(cxRectIntersect(result, {0, 0, 10, 10}, {5, -5, 20, 6}));
  EXPECT_EQ(result, (TRect{5, 0, 10, 6}));
  EXPECT_FALSE(cxRectIntersect({0, 0, 10, 10}, {0, 10, 10, 20}));
}

TEST(cxGeometry, UnionIgnoresAnEmptySecondRectangle) {
  EXPECT_EQ(cxRectUnion({0, 0, 10, 10}, {20, 20, 20, 30}), (TRect{0, 0, 10, 10}));
  // An empty first rectangle is kept as it is when the second is empty too.
  EXPECT_EQ(cxRectUnion({5, 5, 5, 5}, {0, 0, 0, 0}), (TRect{5, 5, 5, 5}));
  EXPECT_EQ(cxRectUnion({0, 0, 10, 10}, {5, -5, 20, 6}), (TRect{0, -5, 20, 10}));
}

TEST(cxGeometry, HalvingTruncatesTowardZero) {
  EXPECT_EQ(cxRectCenter(TRect{-3, 0, 0, 0}).X, -1);
  EXPECT_EQ(cxRectCenter(TRect{0, 0, 10, 10}, 4, 2), (TRect{3, 4, 7, 6}));
  TRect left, right;
  cxRectSplitHorz({-5, 0, 0, 4}, left, right);
  EXPECT_EQ(left, (TRect{-5, 0, -2, 4}));
  EXPECT_EQ(right, (TRect{-2, 0, 0, 4}));

  // Near the ends of Integer the middle is still the middle.
  const TRect high{INT_MAX - 10, INT_MAX - 4, INT_MAX, INT_MAX};
  EXPECT_EQ(cxRectCenter(high), (TPoint{INT_MAX - 5, INT_MAX - 2}));
  EXPECT_EQ(cxRectCenter(high, 2, 2), (TRect{INT_MAX - 6, INT_MAX - 3, INT_MAX - 4, INT_MAX - 1}));
  cxRectSplitVert({0, INT_MIN, 1, INT_MIN + 8}, left, right);
  EXPECT_EQ(left, (TRect{0, INT_MIN, 1, INT_MIN + 4}));
  EXPECT_EQ(right.Top, INT_MIN + 4);
  cxRectSplitHorz({INT_MAX - 8, 0, INT_MAX, 1}, left, right);
  EXPECT_EQ(left.Right, INT_MAX - 4);
}

TEST(cxGeometry, SizesAndMovesStopAtTheEndsOfInteger) {
  // A painter's rectangle may reach across the whole range (a control
  // scrolled far away); its size and the shapes placed from its corners
  // stop at the ends instead of wrapping round to the other side.
  const TRect whole{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  EXPECT_EQ(cxRectSize(whole), (TSize{INT_MAX, INT_MAX}));
  EXPECT_EQ(cxRectOffset(TRect{INT_MAX - 4, 0, INT_MAX, 4}, 10, -10), (TRect{INT_MAX, -10, INT_MAX, -6}));
  EXPECT_EQ(cxRectInflate(whole, TRect{-1, -1, -1, -1}), whole);
  EXPECT_EQ(cxPointOffset(TPoint{INT_MIN, INT_MAX}, TPoint{-5, 8}), (TPoint{INT_MIN, INT_MAX}));
  EXPECT_EQ(cxRectBounds(INT_MAX - 2, 0, 5, 5).Right, INT_MAX);
  // Inside the range nothing changes, inverted rectangles included.
  EXPECT_EQ(cxRectWidth(TRect{10, 0, 4, 0}), -6);
  EXPECT_EQ(cxRectOffset(TRect{1, 2, 3, 4}, cxPoint(-1, 1)), (TRect{0, 3, 2, 5}));
}

TEST(cxGeometry, BorderZonesAreTestedRightBottomLeftTop) {
  const TRect r{0, 0, 10, 10};
  EXPECT_EQ(cxRectPtInEx(r, 5, 5, 3), ptrtArea);
  EXPECT_EQ(cxRectPtInEx(r, 11, 11, 3), ptrtRight);  // right before bottom
  EXPECT_EQ(cxRectPtInEx(r, 5, 12, 3), ptrtBottom);
  EXPECT_EQ(cxRectPtInEx(r, -2, 5, 3), ptrtLeft);
  EXPECT_EQ(cxRectPtInEx(r, 5, -2, 3), ptrtTop);
  EXPECT_EQ(cxRectPtInEx(r, 20, 5, 3), ptrtNone);
  EXPECT_EQ(cxRectPtInEx(r, -1, 5, 0, 0, 0, 0), ptrtNone);
}

TEST(cxGeometry, OverlappedStripsFollowTheSignsOfTheDifferences) {
  TRect a, b, c, d;
  // r1 ends 3 px higher (dy < 0) and 4 px further right (dx > 0).
  cxRectOverlapped({0, 0, 24, 7}, {0, 0, 20, 10}, a, b, c, d);
  EXPECT_EQ(a, (TRect{0, 0, 24, 3}));    // top strip of r1, height 3
  EXPECT_EQ(c, (TRect{0, 7, 20, 10}));   // bottom strip of r2, height 3
  EXPECT_EQ(d, (TRect{20, 0, 24, 7}));   // right strip of r1, width 4
  EXPECT_EQ(b, (TRect{0, 0, 4, 10}));    // left strip of r2, width 4
  cxRectOverlapped({0, 0, 10, 10}, {0, 0, 10, 10}, a, b, c, d);
  EXPECT_EQ(a, cxNullRect);
  EXPECT_EQ(b, cxNullRect);
  EXPECT_EQ(c, cxNullRect);
  EXPECT_EQ(d, cxNullRect);
}

TEST(cxGeometry, SettersKeepTheSizeUnlessGivenOne) {
  const TRect r{10, 20, 30, 60};
  EXPECT_EQ(cxRectSetLeft(r, 0), (TRect{0, 20, 20, 60}));
  EXPECT_EQ(cxRectSetRight(r, 100), (TRect{80, 20, 100, 60}));
  EXPECT_EQ(cxRectSetBottom(r, 50, 5), (TRect{10, 45, 30, 50}));
  EXPECT_EQ(cxRectInflate(r, TRect{1, 2, 3, 4}), (TRect{11, 22, 27, 56}));
  EXPECT_EQ(cxRectScaleWidth(r, 10, 0, 3, 2), (TRect{0, 20, 30, 60}));
  Integer mn, mx;
  cxRectMinMaxInit(mn, mx);
  cxRectMinMaxWidth(r, mx, mn);
  cxRectMinMaxWidth({-4, 0, 12, 0}, mx, mn);
  EXPECT_EQ(mn, -4);
  EXPECT_EQ(mx, 30);
}

TEST(cxGeometry, PointSumsAddEveryPointPassed) {
  const TPoint points[] = {{1, 2}, {10, 20}, {100, 200}};
  EXPECT_EQ(cxPointSum(points), (TPoint{111, 222}));
  EXPECT_EQ(cxPointSum({}), cxNullPoint);
  EXPECT_EQ(cxRectOffset(TRect{0, 0, 1, 1}, std::span(points, 2)), (TRect{11, 22, 12, 23}));
  EXPECT_EQ(cxPointOffset(TPoint{1, 1}, std::span(points, 1)), (TPoint{2, 3}));
}
