#include "library/LibraryStartup.h"

#include "library/editors/ConcreteEditorsStartup.h"

void RegisterLibraryUnits() {
  // The controls tier's, the foundation's, the editor framework's and the
  // concrete editors' units.
  RegisterConcreteEditorUnits();
}
