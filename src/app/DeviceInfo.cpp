#include "app/DeviceRegistry.h"
