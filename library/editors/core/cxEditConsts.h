// Message texts of the editors: the engines (masks, regular expressions,
// smart date input), the editor kinds' captions, buttons, menus, hints and
// errors. The texts live in the library's string table under their
// fixed numbers, so a translation can replace any of them by number.
//
// The table is registered by cxEditConsts_Initialize; cxEditResString runs
// it on first use, so callers never see an empty table.
#pragma once

#include "platform/rtl/ResourceStrings.h"

// The string-table module of the editor library.
inline constexpr const char* cxEditResModule = "editors";

// Regular-expression compiler and matcher.
inline const TResStringRec scxRegExprMissing{cxEditResModule, 65136};
inline const TResStringRec scxRegExprUnnecessary{cxEditResModule, 65137};
inline const TResStringRec scxRegExprIncorrectSpace{cxEditResModule, 65138};
inline const TResStringRec scxRegExprNotCompiled{cxEditResModule, 65139};
inline const TResStringRec scxRegExprIncorrectParameterQuantifier{cxEditResModule, 65140};
inline const TResStringRec scxRegExprCantUseParameterQuantifier{cxEditResModule, 65141};
inline const TResStringRec scxRegExprChar{cxEditResModule, 65152};
inline const TResStringRec scxRegExprNotAssignedSourceStream{cxEditResModule, 65153};
inline const TResStringRec scxRegExprEmptySourceStream{cxEditResModule, 65154};
inline const TResStringRec scxRegExprCantUsePlusQuantifier{cxEditResModule, 65155};
inline const TResStringRec scxRegExprCantUseStarQuantifier{cxEditResModule, 65156};
inline const TResStringRec scxRegExprCantCreateEmptyAlt{cxEditResModule, 65157};
inline const TResStringRec scxRegExprCantCreateEmptyBlock{cxEditResModule, 65158};
inline const TResStringRec scxRegExprIllegalSymbol{cxEditResModule, 65159};
inline const TResStringRec scxRegExprIllegalQuantifier{cxEditResModule, 65160};
inline const TResStringRec scxRegExprNotSupportQuantifier{cxEditResModule, 65161};
inline const TResStringRec scxRegExprIllegalIntegerValue{cxEditResModule, 65162};
inline const TResStringRec scxRegExprTooBigReferenceNumber{cxEditResModule, 65163};
inline const TResStringRec scxRegExprCantCreateEmptyEnum{cxEditResModule, 65164};
inline const TResStringRec scxRegExprSubrangeOrder{cxEditResModule, 65165};
inline const TResStringRec scxRegExprHexNumberExpected0{cxEditResModule, 65166};
inline const TResStringRec scxRegExprHexNumberExpected{cxEditResModule, 65167};
inline const TResStringRec scxRegExprLine{cxEditResModule, 65183};

// Masked editors.
inline const TResStringRec scxMaskEditRegExprError{cxEditResModule, 65142};
inline const TResStringRec scxMaskEditInvalidEditValue{cxEditResModule, 65143};
inline const TResStringRec scxMaskEditNoMask{cxEditResModule, 65144};
inline const TResStringRec scxMaskEditIllegalFileFormat{cxEditResModule, 65145};
inline const TResStringRec scxMaskEditEmptyMaskCollectionFile{cxEditResModule, 65146};
inline const TResStringRec scxMaskEditMaskCollectionFiles{cxEditResModule, 65147};
inline const TResStringRec cxSSpinEditInvalidNumericValue{cxEditResModule, 65148};

// Editor kinds as "Caption|Description" (the registered edit properties and
// the repository items).
inline const TResStringRec scxSEditRepositoryComboBoxItem{cxEditResModule, 65168};
inline const TResStringRec scxSEditRepositoryCurrencyItem{cxEditResModule, 65169};
inline const TResStringRec scxSEditRepositoryDateItem{cxEditResModule, 65170};
inline const TResStringRec scxSEditRepositoryHyperLinkItem{cxEditResModule, 65171};
inline const TResStringRec scxSEditRepositoryImageComboBoxItem{cxEditResModule, 65172};
inline const TResStringRec scxSEditRepositoryImageItem{cxEditResModule, 65173};
inline const TResStringRec scxSEditRepositoryLookupComboBoxItem{cxEditResModule, 65174};
inline const TResStringRec scxSEditRepositoryMaskItem{cxEditResModule, 65175};
inline const TResStringRec scxSEditRepositoryMemoItem{cxEditResModule, 65176};
inline const TResStringRec scxSEditRepositoryMRUItem{cxEditResModule, 65177};
inline const TResStringRec scxSEditRepositoryPopupItem{cxEditResModule, 65178};
inline const TResStringRec scxSEditRepositorySpinItem{cxEditResModule, 65179};
inline const TResStringRec scxSEditRepositoryRadioGroupItem{cxEditResModule, 65180};
inline const TResStringRec scxSEditRepositoryTextItem{cxEditResModule, 65181};
inline const TResStringRec scxSEditRepositoryTimeItem{cxEditResModule, 65182};
inline const TResStringRec scxSEditRepositoryBlobItem{cxEditResModule, 65196};
inline const TResStringRec scxSEditRepositoryButtonItem{cxEditResModule, 65197};
inline const TResStringRec scxSEditRepositoryCalcItem{cxEditResModule, 65198};
inline const TResStringRec scxSEditRepositoryCheckBoxItem{cxEditResModule, 65199};
inline const TResStringRec scxSEditRepositoryRichItem{cxEditResModule, 64989};

// Navigator hints.
inline const TResStringRec cxNavigatorHint_NextPage{cxEditResModule, 65184};
inline const TResStringRec cxNavigatorHint_Last{cxEditResModule, 65185};
inline const TResStringRec cxNavigatorHint_Insert{cxEditResModule, 65186};
inline const TResStringRec cxNavigatorHint_Delete{cxEditResModule, 65187};
inline const TResStringRec cxNavigatorHint_Edit{cxEditResModule, 65188};
inline const TResStringRec cxNavigatorHint_Post{cxEditResModule, 65189};
inline const TResStringRec cxNavigatorHint_Cancel{cxEditResModule, 65190};
inline const TResStringRec cxNavigatorHint_Refresh{cxEditResModule, 65191};
inline const TResStringRec cxNavigatorHint_SaveBookmark{cxEditResModule, 65192};
inline const TResStringRec cxNavigatorHint_GotoBookmark{cxEditResModule, 65193};
inline const TResStringRec cxNavigatorHint_Filter{cxEditResModule, 65194};
inline const TResStringRec cxNavigator_DeleteRecordQuestion{cxEditResModule, 65195};
inline const TResStringRec cxNavigatorHint_First{cxEditResModule, 65212};
inline const TResStringRec cxNavigatorHint_Prior{cxEditResModule, 65213};
inline const TResStringRec cxNavigatorHint_PriorPage{cxEditResModule, 65214};
inline const TResStringRec cxNavigatorHint_Next{cxEditResModule, 65215};

// Calculator and hyperlink.
inline const TResStringRec scxSCalcError{cxEditResModule, 65209};
inline const TResStringRec scxSHyperLinkPrefix{cxEditResModule, 65210};
inline const TResStringRec scxSHyperLinkDoubleSlash{cxEditResModule, 65211};

// Date popup.
inline const TResStringRec cxSDatePopupClear{cxEditResModule, 65216};
inline const TResStringRec cxSDatePopupNow{cxEditResModule, 65217};
inline const TResStringRec cxSDatePopupOK{cxEditResModule, 65218};
inline const TResStringRec cxSDatePopupToday{cxEditResModule, 65219};
inline const TResStringRec cxSDateError{cxEditResModule, 65220};

// Radio group, Boolean texts, blob editor and the text editors' menu.
inline const TResStringRec cxSRadioGroupDefaultCaption{cxEditResModule, 65232};
inline const TResStringRec cxSTextTrue{cxEditResModule, 65233};
inline const TResStringRec cxSTextFalse{cxEditResModule, 65234};
inline const TResStringRec cxSBlobButtonOK{cxEditResModule, 65235};
inline const TResStringRec cxSBlobButtonCancel{cxEditResModule, 65236};
inline const TResStringRec cxSBlobButtonClose{cxEditResModule, 65237};
inline const TResStringRec cxSBlobMemo{cxEditResModule, 65238};
inline const TResStringRec cxSBlobMemoEmpty{cxEditResModule, 65239};
inline const TResStringRec cxSBlobPicture{cxEditResModule, 65240};
inline const TResStringRec cxSBlobPictureEmpty{cxEditResModule, 65241};
inline const TResStringRec cxSMenuItemCaptionCut{cxEditResModule, 65242};
inline const TResStringRec cxSMenuItemCaptionCopy{cxEditResModule, 65243};
inline const TResStringRec cxSMenuItemCaptionPaste{cxEditResModule, 65244};
inline const TResStringRec cxSMenuItemCaptionDelete{cxEditResModule, 65245};
inline const TResStringRec cxSMenuItemCaptionLoad{cxEditResModule, 65246};
inline const TResStringRec cxSMenuItemCaptionSave{cxEditResModule, 65247};

// Editor messages.
inline const TResStringRec cxSEditButtonCancel{cxEditResModule, 65251};
inline const TResStringRec cxSEditButtonOK{cxEditResModule, 65252};
inline const TResStringRec cxSEditDateConvertError{cxEditResModule, 65253};
inline const TResStringRec cxSEditInvalidRepositoryItem{cxEditResModule, 65254};
inline const TResStringRec cxSEditNumericValueConvertError{cxEditResModule, 65255};
inline const TResStringRec cxSEditPopupCircularReferencingError{cxEditResModule, 65256};
inline const TResStringRec cxSEditPostError{cxEditResModule, 65257};
inline const TResStringRec cxSEditTimeConvertError{cxEditResModule, 65258};
inline const TResStringRec cxSEditValidateErrorText{cxEditResModule, 65259};
inline const TResStringRec cxSEditValueOutOfBounds{cxEditResModule, 65260};
inline const TResStringRec cxSEditCheckBoxChecked{cxEditResModule, 65261};
inline const TResStringRec cxSEditCheckBoxGrayed{cxEditResModule, 65262};
inline const TResStringRec cxSEditCheckBoxUnchecked{cxEditResModule, 65263};

// Limits of our own that keep a hostile or mistyped mask from exhausting
// memory or the stack; they sit in a table of their own so that they never
// collide with the numbered texts above.
inline constexpr const char* cxEditLimitsResModule = "editors.limits";
inline const TResStringRec scxRegExprTooLargeQuantifier{cxEditLimitsResModule, 1};
inline const TResStringRec scxRegExprTooLargeReference{cxEditLimitsResModule, 2};
inline const TResStringRec scxRegExprTooDeepNesting{cxEditLimitsResModule, 3};

// Smart date input words.
inline const TResStringRec cxSDateSecond{cxEditResModule, 65200};
inline const TResStringRec cxSDateThird{cxEditResModule, 65201};
inline const TResStringRec cxSDateFourth{cxEditResModule, 65202};
inline const TResStringRec cxSDateFifth{cxEditResModule, 65203};
inline const TResStringRec cxSDateSixth{cxEditResModule, 65204};
inline const TResStringRec cxSDateSeventh{cxEditResModule, 65205};
inline const TResStringRec cxSDateBOM{cxEditResModule, 65206};
inline const TResStringRec cxSDateEOM{cxEditResModule, 65207};
inline const TResStringRec cxSDateNow{cxEditResModule, 65208};
inline const TResStringRec cxSDateToday{cxEditResModule, 65221};
inline const TResStringRec cxSDateYesterday{cxEditResModule, 65222};
inline const TResStringRec cxSDateTomorrow{cxEditResModule, 65223};
inline const TResStringRec cxSDateSunday{cxEditResModule, 65224};
inline const TResStringRec cxSDateMonday{cxEditResModule, 65225};
inline const TResStringRec cxSDateTuesday{cxEditResModule, 65226};
inline const TResStringRec cxSDateWednesday{cxEditResModule, 65227};
inline const TResStringRec cxSDateThursday{cxEditResModule, 65228};
inline const TResStringRec cxSDateFriday{cxEditResModule, 65229};
inline const TResStringRec cxSDateSaturday{cxEditResModule, 65230};
inline const TResStringRec cxSDateFirst{cxEditResModule, 65231};

// The one text of the filter builder that the editors' filter helpers raise
// as well. It stays in the builder's table (module and number), so one
// translation serves both; the editors register it, since the builder is
// built on them.
inline const TResStringRec cxSFilterDialogInvalidValue{"cxFilterControlStrs", 65132};

// Registers the texts above where the table has none yet, so a translation
// registered before or after stays in force.
void cxEditConsts_Initialize();
// The unit's start-up and shut-down steps only count: the texts stay in the
// table for the life of the process.
void cxEditConstsStartUp();
void cxEditConstsShutDown();
Integer cxEditConstsStartCount();

// The current text of one of the records above, a replacement set through
// cxSetResourceString included.
AnsiString cxEditResString(const TResStringRec& rec);
