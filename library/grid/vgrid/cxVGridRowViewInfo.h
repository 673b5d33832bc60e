// The geometry of one placed row of the vertical grid: the row view info
// with its rectangles, its header (one indent cell per tree level, the
// expand button in the last one, the caption cells with their images,
// text rectangles and hints, and the header's own lines) and its value
// cells, which are edit cell view infos painted by each row's editor kind.
#pragma once

#include <vector>

#include "library/grid/vgrid/cxVGridViewInfo.h"

class TcxCustomRowViewInfo;

// ---------------------------------------------------------------------------
// A caption cell of a row header.
class TcxRowCaptionInfo : public TPersistent, public IcxHotTrackElement {
  ORV_CLASS(TcxRowCaptionInfo, TPersistent)
 public:
  TcxRowCaptionInfo() = default;
  // The hot-track controller forgets a caption that goes.
  void BeforeDestruction() override;
  // The caption goes (freed, or cleared for the header's next calculation):
  // the hot tracking and the hint that follow it stop.
  void Retire();

  // IcxHotTrackElement: the cell's top-left; the row's Hint at the cell's
  // top-left, else the caption when it does not fit its visible part.
  TPoint GetOrigin() override { return HeaderCellBounds.TopLeft(); }
  bool IsNeedHint(TcxCanvas* ACanvas, const TPoint& P, AnsiString& AText, bool& AIsMultiLine, TRect& ATextRect,
                  bool& IsNeedOffsetHint) override;
  void UpdateHotTrackState(const TPoint&) override {}

  AnsiString Caption;
  TRect HeaderCellBounds{};
  TRect CaptionTextRect{};
  bool Focused = false;
  // -1 when no image is shown.
  Integer ImageIndex = -1;
  TRect ImageRect{};
  TCustomImageList* Images = nullptr;
  TcxCustomRow* Row = nullptr;
  TcxViewParams ViewParams;
  // cxTextOut flags.
  Integer TextFlags = 0;
  // The properties the caption comes from (their Hint is the row's hint).
  TcxCaptionRowProperties* Properties = nullptr;
  // The header it belongs to.
  TcxCustomRowHeaderInfo* HeaderInfo = nullptr;
};

// ---------------------------------------------------------------------------
// The header of a row.
class TcxCustomRowHeaderInfo : public TObject {
  ORV_CLASS(TcxCustomRowHeaderInfo, TObject)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxCustomRow*)>;
  explicit TcxCustomRowHeaderInfo(TcxCustomRow* ARow);
  ~TcxCustomRowHeaderInfo() override;

  virtual void AddBottomHorzLine(const TRect& R);
  virtual void AddBoundHeaderLines();
  virtual void AddRightVertLine(const TRect& R);
  virtual void CalcIndentBounds(TcxCustomRow* ANextRow, bool AFull);
  virtual void CalcRowCaptionsInfo();
  virtual void CalcViewParams(bool AFull);
  virtual void Clear();
  virtual void DoCalcExpandButton();
  virtual Integer GetButtonPlaceBackgroundWidth();
  virtual TcxViewParams GetCaptionViewParams() { return CaptionViewParams; }
  virtual TColor GetButtonColor() { return clWindow; }
  virtual TRect GetFocusRect() { return cxNullRect; }
  virtual bool IncreaseBoundsByLastVertLine() { return false; }
  virtual Integer LeftViewPoint();

  // Lays the header out over ARect; AFull false (a drag image) leaves out
  // the indents and the selected colours.
  void Calc(const TRect& ARect, TcxvgCustomViewInfo* AViewInfo, TcxCustomRow* ANextRow, bool AFull);
  TcxRowCaptionInfo* CalcCaptionInfo(TcxCaptionRowProperties* AProperties, const TRect& ARect);
  void CalcExpandButton();
  void AddNextIndentInfo(const TRect& R, const TcxViewParams& AViewParams, bool AToCategories, bool AUnderline,
                         bool ARightLine);
  bool GetShowButton();
  TcxvgPaintStyle GetPaintStyle();
  // The design-time selection holds the row.
  bool GetSelected();

  Integer GetCaptionCount() const { return FCaptionCount; }
  TcxRowCaptionInfo* GetCaption(Integer AIndex) const { return FCaptions[static_cast<size_t>(AIndex)]; }
  TIndentInfoList* GetCategoryIndents() const { return FCategoryIndents; }
  TIndentInfoList* GetRowIndents() const { return FRowIndents; }
  TLineInfoList* GetLinesInfo() const { return FLinesInfo; }
  TcxvgCustomViewInfo* GetViewInfo() const { return FViewInfo; }
  TcxCustomRow* GetRow() const { return FRow; }

  TRect FocusRect{};
  bool Transparent = false;
  TRect ButtonRect{};
  TColor ButtonColor = clWindow;
  bool Focused = false;
  TRect HeaderCellsRect{};
  TRect HeaderRect{};
  TRect IndentBounds{};
  TcxViewParams ViewParams;
  TcxViewParams CaptionViewParams;

 protected:
  // A reused caption cell (the cells stay between passes).
  TcxRowCaptionInfo* AddCaption();
  // ALevel: the row's level (GetLevel), or -1 for no indents.
  void CalcIndentsInfo(Integer ALevel, TcxCustomRow* ANextRow);

 private:
  std::vector<TcxRowCaptionInfo*> FCaptions;
  Integer FCaptionCount = 0;
  TIndentInfoList* FCategoryIndents;
  TLineInfoList* FLinesInfo;
  TIndentInfoList* FRowIndents;
  TIndentRectInfoList* FIndentsInfo;
  TcxvgCustomViewInfo* FViewInfo = nullptr;
  TcxCustomRow* FRow;
};

// The header of a category: one caption over the whole row, bold in the
// grid's font, the explorer-bar glyph at the right in explorer style.
class TcxCategoryRowHeaderInfo : public TcxCustomRowHeaderInfo {
  ORV_CLASS(TcxCategoryRowHeaderInfo, TcxCustomRowHeaderInfo)
 public:
  explicit TcxCategoryRowHeaderInfo(TcxCustomRow* ARow) : TcxCustomRowHeaderInfo(ARow) {}
  void AddBottomHorzLine(const TRect& R) override;
  void AddRightVertLine(const TRect& R) override;
  void CalcRowCaptionsInfo() override;
  void CalcViewParams(bool AFull) override;
  void DoCalcExpandButton() override;
  TColor GetButtonColor() override;
  TRect GetFocusRect() override;
  bool IncreaseBoundsByLastVertLine() override { return true; }
  Integer LeftViewPoint() override;
};

class TcxEditorRowHeaderInfo : public TcxCustomRowHeaderInfo {
  ORV_CLASS(TcxEditorRowHeaderInfo, TcxCustomRowHeaderInfo)
 public:
  explicit TcxEditorRowHeaderInfo(TcxCustomRow* ARow) : TcxCustomRowHeaderInfo(ARow) {}
};

// ---------------------------------------------------------------------------
// A value cell: the edit cell of one (record, edit container) of a row.
class TcxRowValueInfo : public TcxEditCellViewInfo {
  ORV_CLASS(TcxRowValueInfo, TcxEditCellViewInfo)
 public:
  explicit TcxRowValueInfo(TObject* AOwner) : TcxEditCellViewInfo(AOwner) {}

  void DoCalculate() override;
  TcxEditButtonTransparency GetButtonTransparency() override;
  // Empty for a record outside the data controller's rows.
  Variant GetDisplayValue() override;
  TcxViewParams GetEditViewParams() override;
  bool GetFocused() override;
  Integer GetRecordIndex() override { return RecordIndex; }
  TColor GetSelectedTextColor() override;
  TColor GetSelectedBKColor() override;
  bool IsAutoHeight() override;

  TcxCellEdit* EditContainer() { return static_cast<TcxCellEdit*>(GetEditContainer()); }
  TcxCustomEditorRowProperties* GetEditorRowProperties() { return EditContainer()->GetRowProperties(); }

  TRect FocusRect{};
  TcxCustomRow* Row = nullptr;
  Integer CellIndex = 0;
  Integer RecordIndex = 0;
};

// The value cells of a row, in the order they were made.
class TcxValueInfoList : public TObject {
  ORV_CLASS(TcxValueInfoList, TObject)
 public:
  explicit TcxValueInfoList(TcxvgCustomViewInfo* AViewInfo) : FViewInfo(AViewInfo) { FItems.reserve(64); }
  ~TcxValueInfoList() override { Trunc(0); }
  // Removes every cell from ACount on through the control's view info.
  void Trunc(Integer ACount);
  // Removes every cell of a record outside the AFirstRecord..ARecordCount
  // window, or of a cell index from ACellCount on: cells made for records
  // that scrolled away must not outlive the pass that placed the new ones.
  void Keep(Integer AFirstRecord, Integer ARecordCount, Integer ACellCount = 1);
  void Add(TcxRowValueInfo* AValueInfo) { FItems.push_back(AValueInfo); }
  TcxRowValueInfo* Find(Integer ARecordIndex, Integer ACellIndex) const;
  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  TcxRowValueInfo* GetItem(Integer AIndex) const { return FItems[static_cast<size_t>(AIndex)]; }

 private:
  TcxvgCustomViewInfo* FViewInfo;
  std::vector<TcxRowValueInfo*> FItems;
};

// ---------------------------------------------------------------------------
// A placed row.
class TcxCustomRowViewInfo : public TObject {
  ORV_CLASS(TcxCustomRowViewInfo, TObject)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxCustomRow*)>;
  explicit TcxCustomRowViewInfo(TcxCustomRow* ARow);
  void AfterConstruction() override;
  // The row forgets it; the header and the value cells go with it.
  ~TcxCustomRowViewInfo() override;

  virtual void CalcValuesInfo() {}
  virtual void CalcRowHeaderInfo(TcxCustomRow* ANextRow);
  virtual void CalcPaintViewParamsLines(TcxCustomRow* ANextRow);
  // The height the row's value needs for auto height; -1 when it has none.
  virtual Integer GetValueHeight(Integer, Integer, TcxvgCustomViewInfo*) { return -1; }
  virtual TcxEditCellViewInfoClass GetRowValueInfoClass();
  virtual TcxCustomRowHeaderInfo* CreateHeaderInfo();

  // Places the row at ARect and lays out its header and values.
  void Calc(const TRect& ARect, TcxvgCustomViewInfo* AViewInfo, TcxCustomRow* ANextRow);
  // Lays the row out again in place and repaints it.
  void Update();
  void UpdateRecord(Integer ARecordIndex);
  // The value cell of (ARecordIndex, ACellIndex), made when there is none;
  // none for a row without that edit container.
  TcxRowValueInfo* CalcRowValueInfo(TcxCustomEditorRowProperties* AProperties, TcxvgCustomViewInfo* AViewInfo,
                                    Integer ARecordIndex, Integer ACellIndex);
  void AddRectValueLines(const TRect& R, bool ALast);

  TcxCustomRowHeaderInfo* GetHeaderInfo() const { return FHeaderInfo; }
  TcxValueInfoList* GetValuesInfo() const { return FValuesInfo; }
  TcxCustomRow* GetRow() const { return FRow; }

  Integer BandIndex = -1;
  Integer BandRowIndex = -1;
  Integer CalculatedHeight = 0;
  TRect RowRect{};
  TRect ValuesRect{};
  TcxvgCustomViewInfo* ViewInfo = nullptr;
  // Placed by the current pass.
  bool Placed = false;

 private:
  TcxCustomRowHeaderInfo* FHeaderInfo = nullptr;
  TcxCustomRow* FRow;
  TcxValueInfoList* FValuesInfo = nullptr;
};

class TcxCategoryRowViewInfo : public TcxCustomRowViewInfo {
  ORV_CLASS(TcxCategoryRowViewInfo, TcxCustomRowViewInfo)
 public:
  explicit TcxCategoryRowViewInfo(TcxCustomRow* ARow) : TcxCustomRowViewInfo(ARow) {}
  // The header is the whole row; there are no values.
  void CalcRowHeaderInfo(TcxCustomRow* ANextRow) override;
  TcxCustomRowHeaderInfo* CreateHeaderInfo() override;
};

// An editor row: one value cell per visible record. A multi-editor row
// shows its first editor this way until the multi-editor layout lands.
class TcxEditorRowViewInfo : public TcxCustomRowViewInfo {
  ORV_CLASS(TcxEditorRowViewInfo, TcxCustomRowViewInfo)
 public:
  explicit TcxEditorRowViewInfo(TcxCustomRow* ARow) : TcxCustomRowViewInfo(ARow) {}
  void CalcValuesInfo() override;
  Integer GetValueHeight(Integer ARecordIndex, Integer AWidth, TcxvgCustomViewInfo* AViewInfo) override;
  TcxCustomRowHeaderInfo* CreateHeaderInfo() override;
  TcxCustomEditorRowProperties* GetEditorProperties();
};
