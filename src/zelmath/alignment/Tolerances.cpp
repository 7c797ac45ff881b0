#include "velmorutils/zelmath/angles/MathCommon.h"

const double smallNumTolerance = 1e-05;
const double roadTolerance = 0.001;
