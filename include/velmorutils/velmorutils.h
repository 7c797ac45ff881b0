#pragma once

// Every public header of velmorutils, for callers who want the whole interface at once.

#include "velmorutils/platform/Export.h"

#include "velmorutils/alloc/DlMalloc.h"
#include "velmorutils/alloc/ZelDlAllocator.h"

#include "velmorutils/zelmath/AlntElementFlags.h"
#include "velmorutils/zelmath/AngleConversions.h"
#include "velmorutils/zelmath/C2dPos.h"
#include "velmorutils/zelmath/CMathAngle.h"
#include "velmorutils/zelmath/CurveRelations.h"
#include "velmorutils/zelmath/LengthUnits.h"
#include "velmorutils/zelmath/MathCommon.h"
#include "velmorutils/zelmath/PlaneCogo.h"
#include "velmorutils/zelmath/TCoords.h"
#include "velmorutils/zelmath/TAlntHeType.h"
#include "velmorutils/zelmath/UNITS.h"
#include "velmorutils/zelmath/CCurveDataSegment.h"
#include "velmorutils/zelmath/CCurveDataArc.h"
#include "velmorutils/zelmath/COrgAzCurveT.h"

#include "velmorutils/utils/ReportAssertion.h"
