#include "library/editors/core/EditorsStartup.h"

#include "library/data/cxFilterConsts.h"
#include "library/editors/core/cxDropDownEdit.h"
#include "library/editors/core/cxEditConsts.h"
#include "library/editors/core/cxEditPaintUtils.h"
#include "library/editors/core/cxEditRegistries.h"
#include "library/editors/core/cxEditRepository.h"
#include "library/editors/core/cxEditStyles.h"
#include "library/editors/core/cxEditUtils.h"
#include "library/editors/core/cxButtonEdit.h"
#include "library/editors/core/cxMaskEdit.h"
#include "library/editors/core/cxTextEdit.h"
#include "library/foundation/FoundationStartup.h"
#include "platform/forms/Screen.h"
#include "platform/forms/UnitStartup.h"
#include "platform/win/Cursors.h"
#include "platform/win/Modules.h"

namespace {

Integer EditStartCount = 0;
Integer RegisteredRepositoryItemsStartCount = 0;
TcxFilterGetResourceStringFunc SavedFilterResourceStringFunc = nullptr;

AnsiString FilterResourceString(const AnsiString& S) { return cxGetResourceString(S); }

// The program's own image when it carries one, else the stock arrow.
void InstallMouseWheelCursor() {
  if (!Screen) return;
  win::HCURSOR cursor = win::LoadCursorA(win::ProgramInstance(), "CXEDIT_MOUSEWHEEL");
  Screen->SetCursors(crcxEditMouseWheel, cursor ? cursor : Screen->GetCursors(crArrow));
}

void RemoveMouseWheelCursor() {
  if (Screen) Screen->SetCursors(crcxEditMouseWheel, nullptr);
}

void StartRegisteredRepositoryItems() { ++RegisteredRepositoryItemsStartCount; }
void StopRegisteredRepositoryItems() {
  if (RegisteredRepositoryItemsStartCount > 0) --RegisteredRepositoryItemsStartCount;
}

}  // namespace

Integer cxEditStartCount() { return EditStartCount; }

void cxEditInitialize() {
  if (EditStartCount++ > 0) return;
  RegisterClasses({TcxEditRepository::StaticClass(), TcxEditStyleController::StaticClass(),
                   TcxDefaultEditStyleController::StaticClass(), TcxTextEdit::StaticClass()});
  InstallMouseWheelCursor();
  cxCreateDefaultEditStyleController();
  cxContainerDefaultStyleController = DefaultEditStyleController();
  // The list of every properties object lives for the whole process (see
  // cxEditProperties.cpp), so there is nothing to make here.
  SavedFilterResourceStringFunc = cxFilterGetResourceStringFunc;
  cxFilterGetResourceStringFunc = &FilterResourceString;
}

void cxEditFinalize() {
  if (EditStartCount == 0 || --EditStartCount > 0) return;
  cxFilterGetResourceStringFunc = SavedFilterResourceStringFunc;
  cxFreeRegisteredEditProperties();
  cxFreeDefaultEditRepository();
  cxContainerDefaultStyleController = nullptr;
  cxFreeDefaultEditStyleController();
  RemoveMouseWheelCursor();
}

void RegisterEditorUnits() {
  RegisterFoundationUnits();
  RegisterUnit("cxEditConsts", &cxEditConstsStartUp, &cxEditConstsShutDown);
  RegisterUnit("cxEditUtils", &cxEditUtilsInitialize, nullptr);
  RegisterUnit("cxEditPaintUtils", &cxEditPaintUtilsInitialize, &cxEditPaintUtilsFinalize);
  RegisterUnit("cxEdit", &cxEditInitialize, &cxEditFinalize);
  RegisterUnit("cxEditRegisteredRepositoryItems", &StartRegisteredRepositoryItems, &StopRegisteredRepositoryItems);
  RegisterUnit("cxTextEdit", &cxTextEditInitialize, &cxTextEditFinalize);
  RegisterUnit("cxMaskEdit", &cxMaskEditInitialize, &cxMaskEditFinalize);
  RegisterUnit("cxButtonEdit", &cxButtonEditInitialize, &cxButtonEditFinalize);
  RegisterUnit("cxDropDownEdit", &cxDropDownEditInitialize, &cxDropDownEditFinalize);
}
