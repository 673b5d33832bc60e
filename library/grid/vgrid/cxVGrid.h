// The vertical grid: the row tree, editor rows and their values, the grid
// control with its options and controller, the styles and the stored
// layout, the view info and the geometry lists, and the data-bound grid; each part has its own
// header, all of which this one brings in.
#pragma once

#include "library/grid/vgrid/cxVGridCellNavigator.h"
#include "library/grid/vgrid/cxVGridConsts.h"
#include "library/grid/vgrid/cxVGridControl.h"
#include "library/grid/vgrid/cxVGridCustomizing.h"
#include "library/grid/vgrid/cxVGridController.h"
#include "library/grid/vgrid/cxVGridEditorRows.h"
#include "library/grid/vgrid/cxVGridHitTest.h"
#include "library/grid/vgrid/cxVGridLayoutViewInfo.h"
#include "library/grid/vgrid/cxVGridMultiEditorViewInfo.h"
#include "library/grid/vgrid/cxVGridMultiRecordsController.h"
#include "library/grid/vgrid/cxVGridNewCategory.h"
#include "library/grid/vgrid/cxVGridRows.h"
#include "library/grid/vgrid/cxVGridStyles.h"
#include "library/grid/vgrid/cxVGridUtils.h"
#include "library/grid/vgrid/cxVGridViewInfo.h"
#include "library/grid/vgrid/cxVGridRowViewInfo.h"
#include "library/grid/vgrid/cxVGridPainter.h"
#include "library/grid/vgrid/cxVGridScroller.h"
#include "library/grid/vgrid/cxVGridVirtual.h"
