#include "library/grid/vgrid/cxVGridUtils.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include "platform/forms/Bitmap.h"
#include "platform/forms/Canvas.h"

namespace {

std::string Cells(TRectScaler& AScaler) {
  std::string text;
  for (Integer i = 0; i < AScaler.GetRects()->GetCount(); ++i) {
    const TRect r = AScaler.GetRects()->GetRect(i);
    text += std::to_string(r.Left) + "-" + std::to_string(r.Right) + " ";
  }
  return text;
}

TEST(GeometryLists, RecordsGrowInBlocksAndRefuseIndexesOutsideThem) {
  TcxRectList rects;
  EXPECT_EQ(rects.GetCapacity(), 0) << "nothing is allocated before the first record";
  for (Integer i = 0; i < 1025; ++i) EXPECT_EQ(rects.Add(TRect(i, 0, i + 1, 1)), i);
  EXPECT_EQ(rects.GetCapacity(), 2048);
  EXPECT_EQ(rects.GetRect(1024), TRect(1024, 0, 1025, 1));
  rects.Clear();
  EXPECT_EQ(rects.GetCapacity(), 2048) << "a layout pass keeps the memory";
  rects.Add(TRect(1, 2, 3, 4));
  for (Integer bad : {-1, 1}) {
    try {
      rects.GetRect(bad);
      ADD_FAILURE() << bad;
    } catch (const Exception& e) {
      EXPECT_EQ(e.GetMessage(), "Error TcxRectList: Invalid index " + std::to_string(bad));
    }
  }
  TcxRectList copy;
  copy.Assign(&rects);
  EXPECT_EQ(copy.GetCapacity(), 2048);
  ASSERT_EQ(copy.GetCount(), 1);
  EXPECT_EQ(copy.GetRect(0), TRect(1, 2, 3, 4));

  TLineInfoList lines;
  EXPECT_EQ(lines.Add(0, 0, 10, 1, clRed), 0);
  lines.SetLocked(true);
  EXPECT_EQ(lines.Add(TRect(0, 1, 10, 2), clBlue), -1);
  lines.SetLocked(false);
  EXPECT_EQ(lines.GetCount(), 1);
  EXPECT_EQ(lines.GetItem(0).Rect, TRect(0, 0, 10, 1));
  EXPECT_FALSE(lines.GetItem(0).IsBrush);

  TBandInfoList bands;
  bands.Add(0, 12, -1, 0);
  EXPECT_EQ(bands.GetCapacity(), 32);
  EXPECT_EQ(bands.GetItem(0).RowsCount, 12);
}

// A row's lists mostly hold a handful of records: the memory behind one
// holds about that many, while its capacity still counts in steps of 1024,
// and every record survives the memory growing under it.
TEST(GeometryLists, AListTakesMemoryForTheRecordsItHoldsAndKeepsThemAsItGrows) {
  TIndentInfoList indents;
  TcxViewParams params;
  params.Color = clYellow;
  for (Integer i = 0; i < 3; ++i) indents.Add(TRect(i, 0, i + 1, 20), params);
  EXPECT_EQ(indents.GetCapacity(), 1024);
  EXPECT_LT(malloc_usable_size(const_cast<void*>(indents.Get(0))), 64 * sizeof(TIndentInfo))
      << "memory for a handful, not for the step";
  for (Integer i = 3; i < 1500; ++i) indents.Add(TRect(i, 0, i + 1, 20), params);
  EXPECT_EQ(indents.GetCapacity(), 2048);
  bool intact = true;
  for (Integer i = 0; i < 1500; ++i)
    intact = intact && indents.GetItem(i).Bounds == TRect(i, 0, i + 1, 20) && indents.GetItem(i).ViewParams.Color == clYellow;
  EXPECT_TRUE(intact);
  indents.Clear();
  EXPECT_EQ(indents.Add(TRect(7, 7, 8, 8), params), 0) << "a new pass reuses the memory";
  EXPECT_EQ(indents.GetItem(0).Bounds, TRect(7, 7, 8, 8));
}

TEST(GeometryLists, AScalerSharesAWidthAndTheLastCellEndsAtTheRightEdge) {
  TRectScaler scaler;
  for (Integer size : {100, 50, 50}) scaler.Add(size);
  scaler.ScaleRect(TRect(0, 0, 400, 20));
  EXPECT_EQ(Cells(scaler), "0-200 200-300 300-400 ");
  // Gaps come off the width first; a short last cell is stretched.
  scaler.Clear();
  scaler.Add(10, 0, 5);
  scaler.Add(10);
  scaler.CalcRect(TRect(0, 0, 100, 20));
  EXPECT_EQ(Cells(scaler), "0-10 15-100 ");
  scaler.ScaleRect(TRect(0, 0, 105, 20));
  EXPECT_EQ(Cells(scaler), "0-50 55-105 ");
  // A cell keeps its minimal size; what follows is cut at the edge and
  // cells that would start past it are not made.
  scaler.Clear();
  scaler.Add(10, 80);
  scaler.Add(10);
  scaler.Add(10);
  scaler.ScaleRect(TRect(0, 0, 90, 20));
  EXPECT_EQ(Cells(scaler), "0-80 80-90 ");
  EXPECT_EQ(scaler.GetSummaryParam().MinSize, 80);
  // Ties round to even.
  scaler.Clear();
  scaler.Add(1);
  scaler.Add(1);
  scaler.Add(1);
  scaler.Add(1);
  scaler.ScaleRect(TRect(0, 0, 10, 20));
  EXPECT_EQ(Cells(scaler), "0-2 2-4 4-6 6-10 ");
  scaler.Clear();
  scaler.ScaleRect(TRect(0, 0, 10, 20));
  EXPECT_EQ(Cells(scaler), "");
}

TEST(GeometryLists, TheHalftoneBrushIsACheckerboardOfItsTwoColours) {
  TBrush* brush = cxCreateHalftoneBrush(clBlack, clWhite);
  TBitmap* bitmap = brush->GetBitmap();
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(bitmap->GetWidth(), 8);
  EXPECT_EQ(bitmap->GetHeight(), 8);
  for (Integer y = 0; y < 8; ++y)
    for (Integer x = 0; x < 8; ++x)
      EXPECT_EQ(bitmap->GetCanvas()->GetPixels(x, y), (x + y) % 2 ? clBlack : clWhite) << x << "," << y;
  bitmap->Free();
  brush->Free();
}

}  // namespace
