#pragma once

struct TDeviceInfo;
class TWorkerThread;

// The device's worker thread, whichever kind it is; none when unconfigured.
TWorkerThread* WorkerThread(const TDeviceInfo& device);
