// The in-place editing container: the editing control and its items,
// options, view info, painter, styles, controllers, hit test, cell
// navigator and in-place editing controller. The vertical grid builds on
// it; each part has its own header, all of which this one brings in.
#pragma once

#include "library/grid/cxInplaceContainerControl.h"
#include "library/grid/cxInplaceContainerController.h"
#include "library/grid/cxInplaceContainerDragAndDrop.h"
#include "library/grid/cxInplaceContainerEditing.h"
#include "library/grid/cxInplaceContainerItems.h"
#include "library/grid/cxInplaceContainerOptions.h"
#include "library/grid/cxInplaceContainerViewInfo.h"
