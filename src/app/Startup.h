#pragma once

// Process settings and the registry, before any window exists: "." as the
// decimal separator, the gas table, the standard flow units, the two
// demonstration devices and the known-device table.
void RunStartupSequence();
