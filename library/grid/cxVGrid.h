// The vertical grid: the row tree, editor rows and their values, the grid
// control with its options and controller, the styles and the stored
// layout, the view info and the geometry lists, and the data-bound grid; each part has its own
// header, all of which this one brings in.
#pragma once

#include "library/grid/cxVGridCellNavigator.h"
#include "library/grid/cxVGridConsts.h"
#include "library/grid/cxVGridControl.h"
#include "library/grid/cxVGridCustomizing.h"
#include "library/grid/cxVGridController.h"
#include "library/grid/cxVGridEditorRows.h"
#include "library/grid/cxVGridHitTest.h"
#include "library/grid/cxVGridLayoutViewInfo.h"
#include "library/grid/cxVGridMultiEditorViewInfo.h"
#include "library/grid/cxVGridMultiRecordsController.h"
#include "library/grid/cxVGridNewCategory.h"
#include "library/grid/cxVGridRows.h"
#include "library/grid/cxVGridStyles.h"
#include "library/grid/cxVGridUtils.h"
#include "library/grid/cxVGridViewInfo.h"
#include "library/grid/cxVGridRowViewInfo.h"
#include "library/grid/cxVGridPainter.h"
#include "library/grid/cxVGridScroller.h"
#include "library/grid/cxVGridVirtual.h"
