// The device list: rows, markers, selection and its refresh.
#include "ui/GUIF.h"

#include "devices/DeviceRegistry.h"
#include "ui/Icons.h"
#include "ui/pages/ConfigureSheet.h"
#include "ui/widgets/RtPointSeries.h"
#include "ui/widgets/hhALed.h"

#include <QBrush>
#include <QTreeWidget>

namespace {

enum DeviceColumn { PortColumn, StateColumn, InstrumentColumn, DeviceColumn, NameColumn };

} // namespace

int TGUIF::CompareDeviceRows(const QTreeWidgetItem* Item1, const QTreeWidgetItem* Item2, int SubItemIndex)
{
    const int column = SubItemIndex + 1;
    return QString::localeAwareCompare(Item1->text(column).toLower(), Item2->text(column).toLower());
}

QStringList TGUIF::SelectedPorts() const
{
    QStringList ports;
    for (int row = 0; row < ListViewDevices->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = ListViewDevices->topLevelItem(row);
        if (item->isSelected())
            ports << item->text(PortColumn);
    }
    return ports;
}

void TGUIF::SetDeviceRowMarkers()
{
    const QTreeWidgetItem* focused = ListViewDevices->currentItem();
    for (int row = 0; row < ListViewDevices->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = ListViewDevices->topLevelItem(row);
        if (item == focused)
            item->setIcon(PortColumn, TarvoIcon(QStringLiteral("keyframe-solid")));
        else if (item->isSelected())
            item->setIcon(PortColumn, TarvoIcon(QStringLiteral("keyframe")));
        else
            item->setIcon(PortColumn, QIcon());
    }
}

void TGUIF::ListViewDevicesClick()
{
    SetDeviceRowMarkers();
    // The graph shows the programs of the selected devices only.
    for (int row = 0; row < ListViewDevices->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = ListViewDevices->topLevelItem(row);
        TDeviceInfo device;
        if (!GetDeviceByPort(item->text(PortColumn), device) || !device.SerieSegment)
            continue;
        if (item->isSelected())
            SegmentSerie(device);
        else
            device.SerieSegment->Clear();
    }
    // A click reports twice, as a new focus and as a new selection: the
    // focused device is shown once, or a pump logs its commands twice over.
    const QTreeWidgetItem* focusedRow = ListViewDevices->currentItem();
    const QString focusedPort = focusedRow ? focusedRow->text(PortColumn) : QString();
    if (shownFocusedPort == focusedPort) {
        MemoSegmentsUpdate();
        return;
    }
    shownFocusedPort = focusedPort;
    TDeviceInfo focused;
    if (GetSelectedDevice(focused)) {
        DeviceDetailsUI(focused);
        MixMakerComponentSetup();
        RtDoubleEditDesignMixTimeValueChanged();
    } else {
        configureSheet->ShowNoDevice();
    }
}

void TGUIF::ShowDeviceRow(const TDeviceInfo& device)
{
    for (int row = 0; row < ListViewDevices->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = ListViewDevices->topLevelItem(row);
        if (item->text(PortColumn) != device.COMPort)
            continue;
        item->setText(StateColumn, DeviceStateText(device));
        if (device.DevType <= dtMFCD)
            item->setText(DeviceColumn, DeviceTypeAndGasText(device));
        item->setText(NameColumn, device.NameRole);
    }
}

void TGUIF::ShowDeviceState(const TDeviceInfo& device)
{
    ShowDeviceRow(device);
}

void TGUIF::ShowDeviationAlarm(const QStringList& ports, const QString& reasons)
{
    LedDeviationAlarm->setToolTip(reasons);
    LedDeviationAlarm->setVisible(!ports.isEmpty());
    // Red text alone would vanish in a selected row's highlight: the State
    // column carries a mark as well.
    for (int row = 0; row < ListViewDevices->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = ListViewDevices->topLevelItem(row);
        const bool alarmed = ports.contains(item->text(PortColumn));
        for (int column = PortColumn; column <= NameColumn; ++column) {
            item->setData(column, Qt::ForegroundRole, alarmed ? QVariant(QBrush(Qt::red)) : QVariant());
            item->setToolTip(column, alarmed ? QStringLiteral("Flow does not follow the setpoint") : QString());
        }
        item->setIcon(StateColumn, alarmed ? TarvoIcon(QStringLiteral("deviation")) : QIcon());
    }
}

void TGUIF::ShowAllDevicesUnknown()
{
    for (int row = 0; row < ListViewDevices->topLevelItemCount(); ++row)
        ListViewDevices->topLevelItem(row)->setText(StateColumn, QStringLiteral("Unknown"));
}
