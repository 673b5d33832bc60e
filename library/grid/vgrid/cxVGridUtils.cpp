#include "library/grid/vgrid/cxVGridUtils.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "platform/forms/Bitmap.h"
#include "platform/forms/Canvas.h"

ORV_REGISTER(TcxDataList)
ORV_REGISTER(TcxRectList)
ORV_REGISTER(TLineInfoList)
ORV_REGISTER(TIndentInfoList)
ORV_REGISTER(TIndentRectInfoList)
ORV_REGISTER(TBandInfoList)
ORV_REGISTER(TRectScaler)
ORV_REGISTER(TViewRects)

// ---------------------------------------------------------------------------
// TcxDataList

void TcxDataList::CheckCapacity() {
  if (FCount == FCapacity) GrowTo(FCapacity + FDelta);
}

void TcxDataList::GrowTo(Integer ACapacity) {
  if (ACapacity > FCapacity) FCapacity = ACapacity;
}

void TcxDataList::Reserve() {
  if (FCount < FAllocated) return;
  const Integer records = std::min(FCapacity, std::max<Integer>(8, FAllocated * 2));
  void* block = std::realloc(FData.get(), static_cast<std::size_t>(records) * static_cast<std::size_t>(FItemSize));
  if (!block) throw std::bad_alloc();
  (void)FData.release();  // realloc took it
  FData.reset(static_cast<std::byte*>(block));
  FAllocated = records;
}

void TcxDataList::IndexError(Integer AIndex) const {
  throw Exception("Error %s: Invalid index %d", {ClassName(), AIndex});
}

void* TcxDataList::Get(Integer AIndex) {
  if (AIndex < 0 || AIndex >= FCount) IndexError(AIndex);
  return FData.get() + static_cast<std::size_t>(AIndex) * static_cast<std::size_t>(FItemSize);
}

const void* TcxDataList::Get(Integer AIndex) const { return const_cast<TcxDataList*>(this)->Get(AIndex); }

Integer TcxDataList::AppendRecord(const void* ARecord) {
  CheckCapacity();
  Reserve();
  std::memcpy(FData.get() + static_cast<std::size_t>(FCount) * static_cast<std::size_t>(FItemSize), ARecord,
              static_cast<std::size_t>(FItemSize));
  return FCount++;
}

// ---------------------------------------------------------------------------
// Typed lists

void TcxRectList::Assign(const TcxRectList* ASource) {
  GrowTo(ASource->GetCapacity());
  Clear();
  for (Integer i = 0; i < ASource->GetCount(); ++i) Add(ASource->GetRect(i));
}

Integer TLineInfoList::AddLine(const TLineInfo& ALine) {
  if (FLocked) return -1;
  return AppendRecord(&ALine);
}

Integer TLineInfoList::Add(const TRect& R, TBrush* ABrush) { return AddLine({R, true, ABrush, clNone}); }

Integer TLineInfoList::Add(const TRect& R, TColor AColor) { return AddLine({R, false, nullptr, AColor}); }

Integer TLineInfoList::Add(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight, TBrush* ABrush) {
  return Add(TRect(ALeft, ATop, ALeft + AWidth, ATop + AHeight), ABrush);
}

Integer TLineInfoList::Add(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight, TColor AColor) {
  return Add(TRect(ALeft, ATop, ALeft + AWidth, ATop + AHeight), AColor);
}

Integer TIndentInfoList::Add(const TRect& R, const TcxViewParams& AViewParams) {
  TIndentInfo info{R, AViewParams};
  return AppendRecord(&info);
}

Integer TIndentRectInfoList::Add(const TSize& ASize, bool AIsCategory, const TcxViewParams& AViewParams,
                                 bool AUnderline) {
  TIndentRectInfo info{AIsCategory, ASize, AViewParams, AUnderline};
  return AppendRecord(&info);
}

Integer TBandInfoList::Add(Integer ABandIndex, Integer ARowsCount, Integer ABandHeight, Integer AFirstRow) {
  TBandInfo info{ABandIndex, ARowsCount, ABandHeight, AFirstRow};
  return AppendRecord(&info);
}

// ---------------------------------------------------------------------------
// TRectScaler

TRectScaler::TRectScaler() : FRects(New<TcxRectList>()) {}

TRectScaler::~TRectScaler() { FreeAndNil(FRects); }

void TRectScaler::Add(Integer ASize, Integer AMinSize, Integer AGap) {
  TList::Add(new TPart{ASize, AMinSize, AGap});
}

void TRectScaler::Clear() {
  for (Integer i = 0; i < GetCount(); ++i) delete static_cast<TPart*>(Get(i));
  TList::Clear();
  if (FRects) FRects->Clear();
}

TRectScaler::TPart TRectScaler::GetSummaryParam() const {
  TPart sum;
  for (Integer i = 0; i < GetCount(); ++i) {
    sum.Size += GetPart(i).Size;
    sum.MinSize += GetPart(i).MinSize;
    sum.Gap += GetPart(i).Gap;
  }
  return sum;
}

bool TRectScaler::PlaceCell(const TRect& R, Integer AIndex, Integer AWidth, Integer& X) {
  const TPart& part = GetPart(AIndex);
  TRect cell(X, R.Top, X + AWidth, R.Bottom);
  if (cell.Width() < part.MinSize) cell.Right = cell.Left + part.MinSize;
  if (AIndex == GetCount() - 1) cell.Right = R.Right;
  if (cell.Right >= R.Right) {
    cell.Right = R.Right;
    FRects->Add(cell);
    return false;
  }
  FRects->Add(cell);
  X = cell.Right + part.Gap;
  return true;
}

void TRectScaler::CalcRect(const TRect& R) {
  FRects->Clear();
  Integer x = R.Left;
  for (Integer i = 0; i < GetCount(); ++i)
    if (!PlaceCell(R, i, GetPart(i).Size, x)) break;
}

void TRectScaler::ScaleRect(const TRect& R) {
  FRects->Clear();
  const TPart sum = GetSummaryParam();
  if (GetCount() == 0 || sum.Size < 1) return;
  const double scale = static_cast<double>(R.Width() - sum.Gap) / sum.Size;
  Integer x = R.Left;
  for (Integer i = 0; i < GetCount(); ++i) {
    // The default rounding mode rounds halves to even.
    const Integer width = static_cast<Integer>(std::nearbyint(GetPart(i).Size * scale));
    if (!PlaceCell(R, i, width, x)) break;
  }
}

// ---------------------------------------------------------------------------
// TViewRects

TViewRects::TViewRects() : FBandRects(New<TcxRectList>()), FEmptyRects(New<TcxRectList>()) {}

TViewRects::~TViewRects() {
  FreeAndNil(FBandRects);
  FreeAndNil(FEmptyRects);
}

void TViewRects::Clear() {
  FBandRects->Clear();
  FEmptyRects->Clear();
}

// ---------------------------------------------------------------------------

TBrush* cxCreateHalftoneBrush(TColor AColor1, TColor AColor2) {
  static constexpr Byte kPattern[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
  auto* bitmap = New<TBitmap>();
  bitmap->SetSize(8, 8);
  for (Integer x = 0; x < 8; ++x)
    for (Integer y = 0; y < 8; ++y)
      bitmap->GetCanvas()->SetPixels(x, y, (kPattern[x] >> y) & 1 ? AColor1 : AColor2);
  auto* brush = New<TBrush>();
  brush->SetBitmap(bitmap);
  return brush;
}
