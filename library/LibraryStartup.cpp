#include "library/LibraryStartup.h"

#include "library/grid/GridStartup.h"

void RegisterLibraryUnits() {
  // The controls tier's, the foundation's, the editor framework's, the
  // concrete editors' and the grid's units.
  RegisterGridUnits();
}
