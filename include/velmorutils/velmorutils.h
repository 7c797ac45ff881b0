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

#include "velmorutils/platform/TickCount.h"
#include "velmorutils/platform/DebugOutput.h"
#include "velmorutils/platform/MemoryStatus.h"
#include "velmorutils/platform/IStream.h"
#include "velmorutils/platform/CFileStream.h"
#include "velmorutils/platform/CMemoryStream.h"
#include "velmorutils/utils/ZelTemplPosition.h"
#include "velmorutils/utils/CINIFile.h"
#include "velmorutils/utils/SettingsFile.h"
#include "velmorutils/utils/CLogFile.h"
#include "velmorutils/utils/Logging.h"
#include "velmorutils/utils/CErrStackItem.h"
#include "velmorutils/utils/MemoryFuncs.h"
#include "velmorutils/utils/CRudMemMappedData.h"
#include "velmorutils/utils/CRudMemMappedArray.h"
