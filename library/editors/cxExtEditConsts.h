// Texts of the extended editors, in the editors' string table under their
// fixed numbers so that a translation can replace any of them. The rich
// text editor reads its errors and its menu captions here; the other texts
// name editor kinds this library does not carry and stay in the table all
// the same. The description of the rich text editor kind is the editor
// table's own (scxSEditRepositoryRichItem): one text, one number.
#pragma once

#include "library/editors/core/cxEditConsts.h"

inline const TResStringRec scxSEditRepositoryColorComboBoxItem{cxEditResModule, 64993};
inline const TResStringRec scxSEditRepositoryFontNameComboBoxItem{cxEditResModule, 64994};
inline const TResStringRec scxSEditRepositoryLabelItem{cxEditResModule, 64995};
inline const TResStringRec scxSEditRepositoryProgressBarItem{cxEditResModule, 64996};
inline const TResStringRec scxSEditRepositoryTrackBarItem{cxEditResModule, 64997};
inline const TResStringRec scxSEditRepositorySpinButtonItem{cxEditResModule, 64998};
inline const TResStringRec scxSEditRepositoryCheckComboBox{cxEditResModule, 64999};
inline const TResStringRec scxSEditRepositoryShellComboBoxItem{cxEditResModule, 65000};
inline const TResStringRec scxSEditRepositoryCheckGroupItem{cxEditResModule, 65001};
inline const TResStringRec scxUDAssociated{cxEditResModule, 65002};
inline const TResStringRec scxHotZoneStyleMediaPlayer9{cxEditResModule, 65003};
inline const TResStringRec scxHotZoneStyleMediaPlayer8{cxEditResModule, 65004};
inline const TResStringRec scxHotZoneStyleXPTaskBar{cxEditResModule, 65005};
inline const TResStringRec scxHotZoneStyleSimple{cxEditResModule, 65006};
inline const TResStringRec scxLoadingFonts{cxEditResModule, 65007};
inline const TResStringRec cxSEditCheckGroupCaptionStateDelimiter{cxEditResModule, 64976};
inline const TResStringRec cxSEditCheckGroupFilterColumnSeparator{cxEditResModule, 64977};
inline const TResStringRec cxSEditCheckGroupChecked{cxEditResModule, 64978};
inline const TResStringRec cxSEditCheckGroupGrayed{cxEditResModule, 64979};
inline const TResStringRec cxSEditCheckGroupUnchecked{cxEditResModule, 64980};
inline const TResStringRec cxSCheckComboBoxStatesItemsPropertyDlgCaption{cxEditResModule, 64981};
inline const TResStringRec cxSCheckGroupStatesItemsPropertyDlgCaption{cxEditResModule, 64982};
inline const TResStringRec cxSCheckComboBoxEmptySelectionText{cxEditResModule, 64983};
inline const TResStringRec cxSColorComboBoxDefaultDescription{cxEditResModule, 64984};
inline const TResStringRec cxSEditRichEditLibraryError{cxEditResModule, 64985};
inline const TResStringRec cxSEditRichEditLineInsertionError{cxEditResModule, 64986};
inline const TResStringRec cxSEditRichEditLoadFail{cxEditResModule, 64987};
inline const TResStringRec cxSEditRichEditSaveFail{cxEditResModule, 64988};
inline const TResStringRec& scxSEditRepositoryRichEditItem = scxSEditRepositoryRichItem;
inline const TResStringRec cxSEditRichEditUndoCaption{cxEditResModule, 64990};
inline const TResStringRec cxSEditRichEditRedoCaption{cxEditResModule, 64991};
inline const TResStringRec cxSEditRichEditCutCaption{cxEditResModule, 64960};
inline const TResStringRec cxSEditRichEditCopyCaption{cxEditResModule, 64961};
inline const TResStringRec cxSEditRichEditPasteCaption{cxEditResModule, 64962};
inline const TResStringRec cxSEditRichEditDeleteCaption{cxEditResModule, 64963};
inline const TResStringRec cxSEditRichEditSelectAllCaption{cxEditResModule, 64964};

// The texts join the table on first use; a text already there (a
// translation registered earlier) is kept.
void cxExtEditConsts_Initialize();
// The unit's start-up and shut-down only count: the table stays.
void cxExtEditConstsInitialize();
void cxExtEditConstsFinalize();
// The text of one of the records above, the table filled first.
AnsiString cxExtEditResString(const TResStringRec& ARec);
