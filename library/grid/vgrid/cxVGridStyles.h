// The vertical grid's styles: the colours and fonts of category rows, row
// headers, value cells and the incremental-search text, with per-row styles
// and style events that come first; and the style sheet that shares a set
// of grid styles between grids.
#pragma once

#include "library/grid/vgrid/cxVGridEditorRows.h"

// Style slots of the grid, after the control's Content, Background,
// Inactive and Selection.
inline constexpr Integer vgs_Category = 4;
inline constexpr Integer vgs_Header = 5;
inline constexpr Integer vgs_IncSearch = 6;
// Style slots of a row.
inline constexpr Integer vgrs_Header = 0;
inline constexpr Integer vgrs_Content = 1;

using TcxvgOnGetItemStyleEvent = Event<void(TObject* Sender, TcxCustomRow* ARow, TcxStyle*& AStyle)>;
using TcxvgOnGetContentStyleEvent = Event<void(TObject* Sender, TcxCustomEditorRowProperties* AEditProp,
                                               bool AFocused, Integer ARecordIndex, TcxStyle*& AStyle)>;

class TcxVerticalGridStyles : public TcxCustomControlStyles {
  ORV_CLASS(TcxVerticalGridStyles, TcxCustomControlStyles)
 public:
  explicit TcxVerticalGridStyles(TPersistent* AOwner) : TcxCustomControlStyles(AOwner) {}

  // Each from the style event, then the row's own style, then the grid's
  // slot, then the defaults.
  TcxViewParams GetCategoryParams(TcxCustomRow* ARow);
  TcxViewParams GetHeaderParams(TcxCustomRow* ARow);
  TcxViewParams GetContentParams(TcxCustomEditorRowProperties* ARowProperties, bool AFocused,
                                 Integer ARecordIndex);
  // The selection combined with the header style event's style.
  TcxViewParams GetSelectedHeaderParams(TcxCustomRow* ARow);
  TcxViewParams GetIncSearchParams();
  TcxCustomVerticalGrid* GetVerticalGrid();

  TcxStyle* GetCategory() const { return static_cast<TcxStyle*>(GetValue(vgs_Category)); }
  void SetCategory(TcxStyle* Value) { SetValue(vgs_Category, Value); }
  TcxStyle* GetHeader() const { return static_cast<TcxStyle*>(GetValue(vgs_Header)); }
  void SetHeader(TcxStyle* Value) { SetValue(vgs_Header, Value); }
  TcxStyle* GetIncSearch() const { return static_cast<TcxStyle*>(GetValue(vgs_IncSearch)); }
  void SetIncSearch(TcxStyle* Value) { SetValue(vgs_IncSearch, Value); }

  TcxvgOnGetItemStyleEvent OnGetCategoryStyle;
  TcxvgOnGetItemStyleEvent OnGetHeaderStyle;
  TcxvgOnGetContentStyleEvent OnGetContentStyle;

 protected:
  void DoAssign(TPersistent* Source) override;

  // The grid's defaults.
  void GetDefaultViewParams(Integer AIndex, TObject* AData, TcxViewParams& AParams) override;

 private:
  // Whether the content asked for is the focused cell's.
  bool FContentFocused = false;
};

// The styles of one row.
class TcxvgCustomRowStyles : public TcxStyles {
  ORV_CLASS(TcxvgCustomRowStyles, TcxStyles)
 public:
  explicit TcxvgCustomRowStyles(TPersistent* AOwner) : TcxStyles(AOwner) {}
  TcxCustomRow* GetRow() { return dynamic_cast<TcxCustomRow*>(GetOwner()); }

 protected:
  // A change of any row style relays out the row.
  void Changed(Integer AIndex) override;
};

class TcxCategoryRowStyles : public TcxvgCustomRowStyles {
  ORV_CLASS(TcxCategoryRowStyles, TcxvgCustomRowStyles)
 public:
  explicit TcxCategoryRowStyles(TPersistent* AOwner) : TcxvgCustomRowStyles(AOwner) {}
  TcxStyle* GetHeader() const { return static_cast<TcxStyle*>(GetValue(vgrs_Header)); }
  void SetHeader(TcxStyle* Value) { SetValue(vgrs_Header, Value); }

 protected:
  void DoAssign(TPersistent* Source) override;
};

class TcxEditorRowStyles : public TcxCategoryRowStyles {
  ORV_CLASS(TcxEditorRowStyles, TcxCategoryRowStyles)
 public:
  explicit TcxEditorRowStyles(TPersistent* AOwner) : TcxCategoryRowStyles(AOwner) {}
  TcxStyle* GetContent() const { return static_cast<TcxStyle*>(GetValue(vgrs_Content)); }
  void SetContent(TcxStyle* Value) { SetValue(vgrs_Content, Value); }

 protected:
  void DoAssign(TPersistent* Source) override;
};

// A named, shareable set of grid styles.
class TcxVerticalGridStyleSheet : public TcxCustomStyleSheet {
  ORV_CLASS(TcxVerticalGridStyleSheet, TcxCustomStyleSheet)
 public:
  explicit TcxVerticalGridStyleSheet(TComponent* AOwner) : TcxCustomStyleSheet(AOwner) {}
  TcxCustomStylesClass GetStylesClass() const override { return TcxVerticalGridStyles::StaticClass(); }
  TcxVerticalGridStyles* GetStyles() const { return static_cast<TcxVerticalGridStyles*>(TcxCustomStyleSheet::GetStyles()); }
  void SetStyles(TcxVerticalGridStyles* Value) { TcxCustomStyleSheet::SetStyles(Value); }
};

// The grid's start-up: the row and row-properties classes layouts name,
// and the five cursors of row dragging. Shut-down takes the cursors back.
// Counted.
inline constexpr TCursor crcxVGInsert = -1228;
inline constexpr TCursor crcxVGAddChild = -1229;
inline constexpr TCursor crcxVGAdd = -1230;
inline constexpr TCursor crcxVGHide = -1241;
inline constexpr TCursor crcxVGNoDrag = -1242;
void cxVGridInitialize();
void cxVGridFinalize();
