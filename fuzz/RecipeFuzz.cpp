// A mixture recipe as typed on the Mixtures page, over a controller, a pump
// and an unconfigured device: it is either evaluated into a mixture or
// refused with a message, never both and never neither.
#include "app/Startup.h"
#include "devices/DeviceRegistry.h"
#include "engine/MixtureRecipe.h"
#include "fuzz/FuzzInput.h"

#include <cstdlib>

namespace {

void SetUpDevices()
{
    RunStartupSequence();
    TDeviceInfo mfc = DevicesLocal.at(0);
    mfc.COMPort = QStringLiteral("COM6");
    mfc.FluidID = 8;
    TDeviceInfo pump;
    if (!FindKnownDevice(QStringLiteral("2020465"), pump))
        std::abort();
    pump.COMPort = QStringLiteral("COM7");
    pump.FluidID = 1001;
    DevicesLocal << mfc << pump;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = (SetUpDevices(), true);
    (void)ready;
    const QString recipe = FuzzText(data, size);
    QString summary;
    QString errors;
    TGasItem mixture;
    mixture.Init();
    const bool parsed = ParseRecipe(recipe, summary, mixture, errors);
    if (parsed == !errors.isEmpty())
        std::abort();
    bool valid = false;
    const QString text = EvaluateRecipe(recipe, QStringLiteral("Fuzzed"), valid);
    if (valid != parsed || text.isEmpty())
        std::abort();
    return 0;
}
