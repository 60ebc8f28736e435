#include "engine/DeviceWorker.h"

#include "devices/DeviceInfo.h"
#include "mfc/MFCThread.h"
#include "pump/PSD4Thread.h"

TWorkerThread* WorkerThread(const TDeviceInfo& device)
{
    if (device.ThreadMFC)
        return device.ThreadMFC;
    return device.ThreadPump;
}
