// The in-place editing container: the editing control and its items,
// options, view info, painter, styles, controllers, hit test, cell
// navigator and in-place editing controller. The vertical grid builds on
// it; each part has its own header, all of which this one brings in.
#pragma once

#include "library/grid/container/cxInplaceContainerControl.h"
#include "library/grid/container/cxInplaceContainerController.h"
#include "library/grid/container/cxInplaceContainerDragAndDrop.h"
#include "library/grid/container/cxInplaceContainerEditing.h"
#include "library/grid/container/cxInplaceContainerItems.h"
#include "library/grid/container/cxInplaceContainerOptions.h"
#include "library/grid/container/cxInplaceContainerViewInfo.h"
