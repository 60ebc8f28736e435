#include "VirtualLine.h"
