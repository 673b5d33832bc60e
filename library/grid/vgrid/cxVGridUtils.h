// The small value containers the vertical grid's layout fills on every
// calculation: a growable array of fixed-size records kept inline, and its
// typed descendants for rectangles, lines, indent cells and bands; a scaler
// that spreads a width over proportional parts; the band and empty
// rectangle lists; and the half-tone brush of the 3-D look. They are plain
// data: no events, and no ownership of what their records point to.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <vector>

#include "library/foundation/cxGraphics.h"
#include "platform/forms/Graphics.h"
#include "platform/rtl/Lists.h"

// A contiguous array of equal-size records. A layout pass clears it and
// fills it again; the memory stays, so a pass allocates nothing once the
// list has reached its size. Its capacity grows in steps of 1024 records;
// the memory behind it doubles up to the capacity as records come, since a
// row's lists mostly hold a handful and a step each, tens of kilobytes,
// took a page or two of the heap for every list of every row.
class TcxDataList : public TObject {
  ORV_CLASS(TcxDataList, TObject)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(Integer)>;
  explicit TcxDataList(Integer AItemSize) : FItemSize(AItemSize) {}

  // Makes room for one more record when the list is full.
  void CheckCapacity();
  // Record AIndex; an index outside 0 .. Count - 1 raises
  // "Error <class>: Invalid index <index>" and changes nothing.
  void* Get(Integer AIndex);
  const void* Get(Integer AIndex) const;
  // Count := 0; the memory stays for the next pass.
  void Clear() { FCount = 0; }

  Integer GetCount() const { return FCount; }
  Integer GetCapacity() const { return FCapacity; }
  Integer GetItemSize() const { return FItemSize; }

 protected:
  // Appends one record (grown first when needed) and answers its index.
  Integer AppendRecord(const void* ARecord);
  // Keeps the records; never shrinks.
  void GrowTo(Integer ACapacity);
  Integer FDelta = 1024;

 private:
  [[noreturn]] void IndexError(Integer AIndex) const;
  // Makes room in memory for one more record, within the capacity.
  void Reserve();
  Integer FCapacity = 0;
  Integer FAllocated = 0;  // records the memory holds
  // Reallocated, never cleared: clearing what a row's lists never use
  // cost more than the layout itself.
  struct FreeBlock {
    void operator()(std::byte* p) const { std::free(p); }
  };
  std::unique_ptr<std::byte[], FreeBlock> FData;
  Integer FItemSize;
  Integer FCount = 0;
};

// Rectangles.
class TcxRectList : public TcxDataList {
  ORV_CLASS(TcxRectList, TcxDataList)
 public:
  TcxRectList() : TcxDataList(sizeof(TRect)) {}
  Integer Add(const TRect& R) { return AppendRecord(&R); }
  TRect GetRect(Integer AIndex) const { return *static_cast<const TRect*>(Get(AIndex)); }
  void SetRect(Integer AIndex, const TRect& R) { *static_cast<TRect*>(Get(AIndex)) = R; }
  // The source's rectangles, in a block at least as large as the source's.
  void Assign(const TcxRectList* ASource);
};

// One grid line: a rectangle filled with a brush (not owned; the view
// info owns its brushes) or with a colour.
struct TLineInfo {
  TRect Rect{};
  bool IsBrush = false;
  TBrush* Brush = nullptr;
  TColor Color = clNone;
};

class TLineInfoList : public TcxDataList {
  ORV_CLASS(TLineInfoList, TcxDataList)
 public:
  TLineInfoList() : TcxDataList(sizeof(TLineInfo)) {}
  // While locked every Add adds nothing and answers -1.
  Integer Add(const TRect& R, TBrush* ABrush);
  Integer Add(const TRect& R, TColor AColor);
  Integer Add(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight, TBrush* ABrush);
  Integer Add(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight, TColor AColor);
  const TLineInfo& GetItem(Integer AIndex) const { return *static_cast<const TLineInfo*>(Get(AIndex)); }
  bool GetLocked() const { return FLocked; }
  void SetLocked(bool Value) { FLocked = Value; }

 private:
  Integer AddLine(const TLineInfo& ALine);
  bool FLocked = false;
};

// An indent cell of a row header with the view parameters it is painted
// with.
struct TIndentInfo {
  TRect Bounds{};
  TcxViewParams ViewParams;
};

class TIndentInfoList : public TcxDataList {
  ORV_CLASS(TIndentInfoList, TcxDataList)
 public:
  TIndentInfoList() : TcxDataList(sizeof(TIndentInfo)) {}
  Integer Add(const TRect& R, const TcxViewParams& AViewParams);
  const TIndentInfo& GetItem(Integer AIndex) const { return *static_cast<const TIndentInfo*>(Get(AIndex)); }
};

// An indent cell before it is placed: its size, whether it belongs to a
// category and whether a line runs under it.
struct TIndentRectInfo {
  bool IsCategory = false;
  TSize Size{};
  TcxViewParams ViewParams;
  bool Underline = false;
};

class TIndentRectInfoList : public TcxDataList {
  ORV_CLASS(TIndentRectInfoList, TcxDataList)
 public:
  TIndentRectInfoList() : TcxDataList(sizeof(TIndentRectInfo)) {}
  Integer Add(const TSize& ASize, bool AIsCategory, const TcxViewParams& AViewParams, bool AUnderline);
  const TIndentRectInfo& GetItem(Integer AIndex) const { return *static_cast<const TIndentRectInfo*>(Get(AIndex)); }
};

// One band of a band layout: its number, its row count, a third value (-1
// where a layout has only one band) and its first row. Bands grow by 32.
struct TBandInfo {
  Integer BandIndex = 0;
  Integer RowsCount = 0;
  Integer BandHeight = 0;
  Integer FirstRow = 0;
};

class TBandInfoList : public TcxDataList {
  ORV_CLASS(TBandInfoList, TcxDataList)
 public:
  TBandInfoList() : TcxDataList(sizeof(TBandInfo)) { FDelta = 32; }
  Integer Add(Integer ABandIndex, Integer ARowsCount, Integer ABandHeight, Integer AFirstRow);
  TBandInfo GetItem(Integer AIndex) const { return *static_cast<const TBandInfo*>(Get(AIndex)); }
};

// Spreads a width over parts: CalcRect keeps the parts' sizes, ScaleRect
// shares the width in proportion to them. Either way a cell keeps at least
// its minimal size, the last cell ends at the rectangle's right edge
// (stretched when short, cut when long), and cells that would start right
// of it are not produced. The result is in GetRects.
class TRectScaler : public TList {
  ORV_CLASS(TRectScaler, TList)
 public:
  struct TPart {
    Integer Size = 0;
    Integer MinSize = 0;
    Integer Gap = 0;
  };
  TRectScaler();
  ~TRectScaler() override;

  void Add(Integer ASize, Integer AMinSize = 0, Integer AGap = 0);
  // Frees the parts and empties the result.
  void Clear() override;
  void CalcRect(const TRect& R);
  void ScaleRect(const TRect& R);
  // The sums of the sizes, the minimal sizes and the gaps.
  TPart GetSummaryParam() const;
  const TPart& GetPart(Integer AIndex) const { return *static_cast<const TPart*>(Get(AIndex)); }
  TcxRectList* GetRects() const { return FRects; }

 private:
  // Places one cell at X; false once the cells have reached R's right.
  bool PlaceCell(const TRect& R, Integer AIndex, Integer AWidth, Integer& X);
  TcxRectList* FRects;
};

// The band rectangles and the empty rectangles of one layout.
class TViewRects : public TObject {
  ORV_CLASS(TViewRects, TObject)
 public:
  TViewRects();
  ~TViewRects() override;
  void Clear();
  TcxRectList* GetBandRects() const { return FBandRects; }
  TcxRectList* GetEmptyRects() const { return FEmptyRects; }

 private:
  TcxRectList* FBandRects;
  TcxRectList* FEmptyRects;
};

// The largest extent the grid keeps: a row's height, a width or a gap,
// whoever sets it (code, sizing or a stored layout). The layout adds a few
// of them to positions inside the client, and the client's coordinates and
// such a sum then stay far inside the range of Integer; no screen shows
// anything that large.
inline constexpr Integer cxvgMaxExtent = 1 << 20;

inline Integer Max(Integer A, Integer B) { return A > B ? A : B; }
inline Integer Min(Integer A, Integer B) { return A < B ? A : B; }

// A new brush over a new 8 x 8 checkerboard of the two colours (AColor1
// where x + y is odd). The caller owns both and frees the bitmap with the
// brush.
TBrush* cxCreateHalftoneBrush(TColor AColor1, TColor AColor2);
