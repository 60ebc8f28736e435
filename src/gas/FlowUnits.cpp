#include "gas/FlowUnits.h"
