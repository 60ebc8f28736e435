// The device search and the Tools page's handlers, and the busy window they share.
#include "ui/GUIF.h"

#include "base/MainThreadWait.h"
#include "base/Prompts.h"
#include "devices/DeviceRegistry.h"
#include "devices/DeviceSearch.h"
#include "serial/SerialPort.h"
#include "ui/pages/ToolsSheet.h"

#include <QApplication>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>

namespace {

enum DeviceColumn { PortColumn, StateColumn, InstrumentColumn, DeviceColumn, NameColumn };

// The search runs off the main thread; what it reports reaches the window on
// the main thread, in order, before the search goes on.
class WindowSearchView final : public TDeviceSearchView {
public:
    explicit WindowSearchView(TGUIF& window)
        : window(window)
    {
    }

    void MM(const QString& message) override
    {
        RunOnMainThread([this, &message] { window.MM(message); });
    }

    void DeviceFound(const QString& port, const TDeviceInfo& known) override
    {
        RunOnMainThread([this, &port, &known] { window.AddFoundDeviceRow(AddFoundDevice(port, known)); });
    }

private:
    TGUIF& window;
};

} // namespace

void TGUIF::BeginBusy()
{
    setEnabled(false);
    TimerEngine->stop();
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void TGUIF::EndBusy()
{
    QApplication::restoreOverrideCursor();
    setEnabled(true);
    TimerEngine->start();
}

void TGUIF::Searchdevices1Click()
{
    if (searchDone) {
        ShowMessage(QStringLiteral("Functionality to re-search for new devices is currently not supported. Instead, "
                                   "connect new devices, restart the program, and do a fresh device search."));
        return;
    }
    // Demonstration devices configured before the search run threads that
    // would be lost with their records: they stop first, as on a reset.
    if (std::any_of(DevicesLocal.cbegin(), DevicesLocal.cend(), HasWorkerThread))
        runControl.TerminateThreads(TRunControl::ShutdownTimeoutS);
    FlowDataSave(true);
    ClearGraph(true);
    ListViewDevices->clear();
    DevicesLocal.clear();
    MM(QStringLiteral("Searching for Brisol and Nivra devices, this may take a while"));

    BeginBusy();
    const QStringList ports = ListSerialPorts();
    WindowSearchView view(*this);
    int found = 0;
    QString failure;
    try {
        RunOffMainThread([&] { found = SearchPorts(ports, view); });
    } catch (const std::exception& error) {
        failure = QString::fromLocal8Bit(error.what());
    }
    MM(QStringLiteral("Finished searching devices"));
    MM(QStringLiteral("Click found devices to configure them"));
    if (found == 0 && failure.isEmpty())
        MM(QStringLiteral("No instruments found."));
    EndBusy();
    if (!failure.isEmpty()) {
        ShowMessage(failure);
        return;
    }

    searchDone = true;
    // The data table keeps its rows: its log file is written whole from it,
    // so emptying it would lose every row recorded before the search at the
    // next save. The next tick starts a fresh header block for the new devices.
    SortDevicesLocalArray();
    engine.DataHeaderPending = true;
}

void TGUIF::AddFoundDeviceRow(const TDeviceInfo& device)
{
    new QTreeWidgetItem(ListViewDevices, {device.COMPort, QStringLiteral("Unknown"),
                                          DeviceInstrumentName(device.DevType), DeviceTypeName(device.DevType),
                                          device.NameRole});
    // By device, then by name: the second sort keeps the first one's order
    // among equal names.
    QList<QTreeWidgetItem*> rows;
    while (ListViewDevices->topLevelItemCount() > 0)
        rows.append(ListViewDevices->takeTopLevelItem(0));
    for (const int column : {DeviceColumn, NameColumn}) {
        std::stable_sort(rows.begin(), rows.end(), [column](const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
            return CompareDeviceRows(a, b, column - 1) < 0;
        });
    }
    ListViewDevices->addTopLevelItems(rows);
}

void TGUIF::ButtonDeviceInitializeClick()
{
    TDeviceInfo device;
    if (GetSelectedDevice(device) && !ToolsRefused())
        tools.ButtonDeviceInitializeClick(device);
}

void TGUIF::ButtonPrimePumpClick()
{
    TDeviceInfo device;
    if (GetSelectedDevice(device) && !ToolsRefused())
        tools.ButtonPrimePumpClick(device, toolsSheet->PrimePumpLoops());
}

void TGUIF::ButtonChangeSyringeClick()
{
    TDeviceInfo device;
    if (GetSelectedDevice(device) && !ToolsRefused())
        tools.ButtonChangeSyringeClick(device);
}
