// The drawing tier in one include.
#pragma once

#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/Blits.h"
#include "platform/gdi/BmpCodec.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Edges.h"
#include "platform/gdi/Fills.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/Lines.h"
#include "platform/gdi/PenBrush.h"
#include "platform/gdi/PngWriter.h"
#include "platform/gdi/Recorder.h"
#include "platform/gdi/Regions.h"
#include "platform/gdi/Shapes.h"
#include "platform/gdi/SysBitmaps.h"
#include "platform/gdi/SysColors.h"
