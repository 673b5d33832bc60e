#include "library/grid/vgrid/cxVGridStyles.h"

#include "library/grid/vgrid/cxVGrid.h"
#include "platform/forms/Screen.h"
#include "platform/win/Cursors.h"
#include "platform/win/Modules.h"

ORV_REGISTER(TcxVerticalGridStyles, ORV_PROP(Category), ORV_PROP(Header), ORV_PROP(IncSearch),
             ORV_EVENT(OnGetCategoryStyle), ORV_EVENT(OnGetHeaderStyle), ORV_EVENT(OnGetContentStyle))
ORV_REGISTER(TcxvgCustomRowStyles)
ORV_REGISTER(TcxCategoryRowStyles, ORV_PROP(Header))
ORV_REGISTER(TcxEditorRowStyles, ORV_PROP(Content))
ORV_REGISTER(TcxVerticalGridStyleSheet, ORV_PROP(Styles))

// The cursor drawings of resources/grid, embedded by the build.
void cxVGridRegisterCursors();

// ---------------------------------------------------------------------------
// TcxVerticalGridStyles

TcxCustomVerticalGrid* TcxVerticalGridStyles::GetVerticalGrid() {
  return dynamic_cast<TcxCustomVerticalGrid*>(GetControl());
}

void TcxVerticalGridStyles::DoAssign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TcxVerticalGridStyles*>(Source)) {
    SetCategory(source->GetCategory());
    SetHeader(source->GetHeader());
    SetIncSearch(source->GetIncSearch());
    OnGetCategoryStyle = source->OnGetCategoryStyle;
    OnGetHeaderStyle = source->OnGetHeaderStyle;
    OnGetContentStyle = source->OnGetContentStyle;
  }
  inherited::DoAssign(Source);
}

TcxViewParams TcxVerticalGridStyles::GetCategoryParams(TcxCustomRow* ARow) {
  TcxStyle* style = nullptr;
  if (OnGetCategoryStyle) OnGetCategoryStyle(GetVerticalGrid(), ARow, style);
  auto* rowStyles = ARow ? dynamic_cast<TcxCategoryRowStyles*>(ARow->GetStyles()) : nullptr;
  TcxViewParams params;
  cxStylesToViewParams(this, vgs_Category, ARow, {style, rowStyles ? rowStyles->GetHeader() : nullptr, GetCategory()},
                       params);
  return params;
}

TcxViewParams TcxVerticalGridStyles::GetHeaderParams(TcxCustomRow* ARow) {
  TcxStyle* style = nullptr;
  if (OnGetHeaderStyle) OnGetHeaderStyle(GetVerticalGrid(), ARow, style);
  auto* rowStyles = ARow ? dynamic_cast<TcxCategoryRowStyles*>(ARow->GetStyles()) : nullptr;
  TcxViewParams params;
  cxStylesToViewParams(this, vgs_Header, ARow, {style, rowStyles ? rowStyles->GetHeader() : nullptr, GetHeader()},
                       params);
  return params;
}

TcxViewParams TcxVerticalGridStyles::GetContentParams(TcxCustomEditorRowProperties* ARowProperties, bool AFocused,
                                                      Integer ARecordIndex) {
  TcxStyle* style = nullptr;
  if (OnGetContentStyle) OnGetContentStyle(GetVerticalGrid(), ARowProperties, AFocused, ARecordIndex, style);
  TcxCustomRow* row = ARowProperties ? ARowProperties->GetRow() : nullptr;
  auto* rowStyles = row ? dynamic_cast<TcxEditorRowStyles*>(row->GetStyles()) : nullptr;
  auto focused = orv::TempValue(FContentFocused, AFocused);
  TcxViewParams params;
  cxStylesToViewParams(this, ecs_Content, ARowProperties,
                       {style, rowStyles ? rowStyles->GetContent() : nullptr, GetContent()}, params);
  return params;
}

TcxViewParams TcxVerticalGridStyles::GetSelectedHeaderParams(TcxCustomRow* ARow) {
  TcxStyle* style = nullptr;
  if (OnGetHeaderStyle) OnGetHeaderStyle(GetVerticalGrid(), ARow, style);
  const TcxViewParams selection = GetSelectionParams();
  TcxViewParams params;
  const TcxStyleValues done = style ? CombineParamsWithStyle(style, {}, params) : TcxStyleValues{};
  if (!done.Contains(svBitmap)) params.Bitmap = selection.Bitmap;
  if (!done.Contains(svColor)) params.Color = selection.Color;
  if (!done.Contains(svFont)) params.Font = selection.Font;
  if (!done.Contains(svTextColor)) params.TextColor = selection.TextColor;
  return params;
}

TcxViewParams TcxVerticalGridStyles::GetIncSearchParams() {
  TcxViewParams params;
  GetViewParams(vgs_IncSearch, nullptr, nullptr, params);
  return params;
}

void TcxVerticalGridStyles::GetDefaultViewParams(Integer AIndex, TObject* AData, TcxViewParams& AParams) {
  inherited::GetDefaultViewParams(AIndex, AData, AParams);
  TcxCustomVerticalGrid* grid = GetVerticalGrid();
  if (grid && grid->GetVGViewInfo()) {
    auto focused = orv::TempValue(grid->DefaultContentFocused, FContentFocused);
    grid->GetDefaultViewParams(AIndex, AData, AParams);
  }
}

// The grid's defaults: the control font and its colour, then per slot the
// paint style's colours.
void TcxCustomVerticalGrid::GetDefaultViewParams(Integer AIndex, TObject*, TcxViewParams& AParams) {
  TcxvgCustomPaintStyleCalcHelper* calc = GetVGViewInfo()->GetCalcHelper();
  TcxVerticalGridStyles* styles = GetStyles();
  switch (AIndex) {
    case ecs_Content:
      AParams = {nullptr, calc->GetContentColor(DefaultContentFocused), GetFont(), calc->GetContentTextColor()};
      break;
    case ecs_Background:
      AParams = {styles->GetBitmap(ecs_Background), calc->GetHeaderColor(), GetFont(), GetFont()->GetColor()};
      break;
    case vgs_Category:
      AParams = {nullptr, calc->GetCategoryColor(), FCategoryFont ? FCategoryFont : GetFont(),
                 calc->GetCategoryTextColor()};
      break;
    case vgs_Header:
      AParams = {nullptr, calc->GetHeaderColor(), GetFont(), calc->GetHeaderTextColor()};
      break;
    case vgs_IncSearch:
      AParams = {nullptr, clDefault, GetFont(), clDefault};
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------------------
// Row styles

void TcxvgCustomRowStyles::Changed(Integer AIndex) {
  inherited::Changed(AIndex);
  TcxCustomRow* row = GetRow();
  if (!row || !row->GetVisible()) return;
  // The laid-out row still names the old style's font and bitmap: nothing
  // of it may be painted before the next layout, even while updates are
  // held and the style is gone.
  if (TcxCustomVerticalGrid* grid = row->GetVerticalGrid())
    if (TcxCustomControlViewInfo* viewInfo = grid->GetViewInfo()) viewInfo->SetState(cvis_StyleInvalid, true);
  row->Changed(false);
}

void TcxCategoryRowStyles::DoAssign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TcxCategoryRowStyles*>(Source)) SetHeader(source->GetHeader());
  inherited::DoAssign(Source);
}

void TcxEditorRowStyles::DoAssign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TcxEditorRowStyles*>(Source)) SetContent(source->GetContent());
  inherited::DoAssign(Source);
}

// ---------------------------------------------------------------------------
// Start-up

namespace {

Integer StartCount = 0;

// The classes layouts and stored layouts name.
constexpr std::initializer_list<TClass (*)()> kLayoutClasses = {
    &TcxCategoryRow::StaticClass,         &TcxEditorRow::StaticClass,           &TcxMultiEditorRow::StaticClass,
    &TcxCaptionRowProperties::StaticClass, &TcxEditorRowProperties::StaticClass, &TcxMultiEditorRowProperties::StaticClass,
    &TcxVerticalGrid::StaticClass,        &TcxVerticalGridStyleSheet::StaticClass,
    &TcxVirtualVerticalGrid::StaticClass, &TcxNavigator::StaticClass};

struct CursorEntry {
  TCursor Id;
  const char* Name;
};
constexpr CursorEntry kCursors[] = {{crcxVGInsert, "CXVG_INSERT"},
                                    {crcxVGAddChild, "CXVG_ADDCHILD"},
                                    {crcxVGAdd, "CXVG_ADD"},
                                    {crcxVGHide, "CXVG_HIDE"},
                                    {crcxVGNoDrag, "CXVG_NODRAG"}};

}  // namespace

void cxVGridInitialize() {
  if (StartCount++ > 0) return;
  cxVGridConsts_Initialize();
  for (auto cls : kLayoutClasses) RegisterClass(cls());
  static const bool registered = [] {
    cxVGridRegisterCursors();
    return true;
  }();
  (void)registered;
  if (Screen)
    for (const CursorEntry& entry : kCursors)
      Screen->SetCursors(entry.Id, win::LoadCursorA(win::ProgramInstance(), entry.Name));
}

void cxVGridFinalize() {
  if (StartCount == 0 || --StartCount > 0) return;
  if (Screen)
    for (const CursorEntry& entry : kCursors) Screen->SetCursors(entry.Id, nullptr);
  for (auto cls : kLayoutClasses) UnRegisterClass(cls());
}
