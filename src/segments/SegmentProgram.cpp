#include "segments/SegmentProgram.h"
