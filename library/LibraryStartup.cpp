#include "library/LibraryStartup.h"

#include "library/editors/core/EditorsStartup.h"

void RegisterLibraryUnits() {
  // The controls tier's, the foundation's and the editor framework's units.
  RegisterEditorUnits();
}
