// Texts of the vertical grid. They live in the library's string table
// under their fixed numbers, so a translation can replace any of them by
// number. The table is registered by cxVGridConsts_Initialize;
// cxVGridResString runs it on first use, so callers never see an empty
// table.
#pragma once

#include "platform/rtl/ResourceStrings.h"

// The string-table module of the vertical grid.
inline constexpr const char* cxVGridResModule = "vgrid";

// Errors of the row tree and the grid (EcxVerticalGridError).
inline const TResStringRec cxSvgIndexError{cxVGridResModule, 65026};
inline const TResStringRec cxSvgInvalidRowClass{cxVGridResModule, 65027};
inline const TResStringRec cxSvgAssignRowsError{cxVGridResModule, 65028};
// The record delete confirmation.
inline const TResStringRec cxSvgDeletingFocusedConfirmationText{cxVGridResModule, 65029};
inline const TResStringRec cxSvgDeletingConfirmationCaption{cxVGridResModule, 65030};
// The customization form and the new-category dialog.
inline const TResStringRec cxSvgOKCaption{cxVGridResModule, 65031};
inline const TResStringRec cxSvgCancelCaption{cxVGridResModule, 65032};
inline const TResStringRec cxSvgCustomizeCaption{cxVGridResModule, 65033};
inline const TResStringRec cxSvgCustomizeCategoriesCaption{cxVGridResModule, 65034};
inline const TResStringRec cxSvgCustomizeDeleteCategory{cxVGridResModule, 65035};
inline const TResStringRec cxSvgCustomizeNewCategory{cxVGridResModule, 65036};
inline const TResStringRec cxSvgCustomizeRowsCaption{cxVGridResModule, 65037};
inline const TResStringRec cxSvgNewCategoryCaption{cxVGridResModule, 65038};
inline const TResStringRec cxSvgNewCategoryLabelCaption{cxVGridResModule, 65039};
// Texts of design-time editors; kept so that a translation table stays
// complete.
inline const TResStringRec cxSvgLayoutEditorCaption{cxVGridResModule, 65008};
inline const TResStringRec cxSvgLayoutEditorCustomize{cxVGridResModule, 65009};
inline const TResStringRec cxSvgRTTIInspectorEmptyGlyph{cxVGridResModule, 65010};
inline const TResStringRec cxSvgUnknown{cxVGridResModule, 65011};
inline const TResStringRec cxSvgExportNotVisibleControl{cxVGridResModule, 65012};
inline const TResStringRec cxSvgRTTICollectionEditCaption{cxVGridResModule, 65013};
inline const TResStringRec cxSvgRTTICollectionAdd{cxVGridResModule, 65014};
inline const TResStringRec cxSvgRTTICollectionAddHint{cxVGridResModule, 65015};
inline const TResStringRec cxSvgRTTICollectionDelete{cxVGridResModule, 65016};
inline const TResStringRec cxSvgRTTICollectionDeleteHint{cxVGridResModule, 65017};
inline const TResStringRec cxSvgRTTICollectionSelectAll{cxVGridResModule, 65018};
inline const TResStringRec cxSvgRTTICollectionToolbar{cxVGridResModule, 65019};
inline const TResStringRec cxSvgRTTICollectionTextLabel{cxVGridResModule, 65020};
inline const TResStringRec cxSvgRTTICollectionMoveUp{cxVGridResModule, 65021};
inline const TResStringRec cxSvgRTTICollectionMoveUpHint{cxVGridResModule, 65022};
inline const TResStringRec cxSvgRTTICollectionMoveDown{cxVGridResModule, 65023};
inline const TResStringRec cxSvgRTTICollectionMoveDownHint{cxVGridResModule, 64992};

// Registers the table (texts a translation registered first are kept);
// idempotent.
void cxVGridConsts_Initialize();
// The (possibly overridden) text of one of the grid's texts.
AnsiString cxVGridResString(const TResStringRec& ARec);
