#pragma once

// Every public header of velmorutils, for callers who want the whole interface at once.

#include "velmorutils/platform/Export.h"

#include "velmorutils/alloc/DlMalloc.h"
#include "velmorutils/alloc/ZelDlAllocator.h"

#include "velmorutils/platform/CMemoryException.h"
#include "velmorutils/platform/CodePage.h"
#include "velmorutils/platform/OleStrings.h"
#include "velmorutils/platform/StringResources.h"

#include "velmorutils/text/CMfcStringProxy.h"
#include "velmorutils/text/CZelStringT.h"

#include "velmorutils/zelmath/AlntElementFlags.h"
#include "velmorutils/zelmath/AngleConversions.h"
#include "velmorutils/zelmath/C2dPos.h"
#include "velmorutils/zelmath/CMathAngle.h"
#include "velmorutils/zelmath/CurveRelations.h"
#include "velmorutils/zelmath/LengthUnits.h"
#include "velmorutils/zelmath/MathCommon.h"
#include "velmorutils/zelmath/TCoords.h"

#include "velmorutils/utils/ReportAssertion.h"
