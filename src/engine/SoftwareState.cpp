#include "engine/SoftwareState.h"

#include "base/Errors.h"
#include "devices/DeviceRegistry.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <algorithm>

namespace {

QJsonObject PageToJson(const TConfigurePage& page)
{
    return QJsonObject{
        {QStringLiteral("configured"), page.FluidChosen},
        {QStringLiteral("fluidID"), page.FluidID},
        {QStringLiteral("flowUnit"), page.FlowUnitName},
        {QStringLiteral("temperatureC"), page.TemperatureC},
        {QStringLiteral("pressureBarA"), page.PressureBarA},
        {QStringLiteral("grams"), page.GramsChosen},
        {QStringLiteral("name"), page.DeviceName},
        // A colour is 32 bits with alpha: a double holds it exactly.
        {QStringLiteral("colour"), static_cast<double>(page.Color)},
        {QStringLiteral("fluidTemperatureC"), page.FluidTemperatureC},
        {QStringLiteral("syringeuL"), page.SyringeSizeuL},
        {QStringLiteral("directSetpoint"), page.DirectSetpoint},
        {QStringLiteral("deviationBandPercent"), page.DeviationBand_pct},
        {QStringLiteral("deviationHoldSeconds"), page.DeviationHold_s},
    };
}

TConfigurePage PageFromJson(const QJsonObject& json)
{
    TConfigurePage page;
    page.FluidChosen = json.value(QStringLiteral("configured")).toBool();
    page.FluidID = json.value(QStringLiteral("fluidID")).toInt();
    page.FlowUnitName = json.value(QStringLiteral("flowUnit")).toString();
    page.TemperatureC = json.value(QStringLiteral("temperatureC")).toDouble();
    page.PressureBarA = json.value(QStringLiteral("pressureBarA")).toDouble();
    page.GramsChosen = json.value(QStringLiteral("grams")).toBool();
    page.DeviceName = json.value(QStringLiteral("name")).toString();
    page.Color = static_cast<TRtColor>(std::clamp(json.value(QStringLiteral("colour")).toDouble(), 0.0, 4294967295.0));
    page.FluidTemperatureC = json.value(QStringLiteral("fluidTemperatureC")).toDouble();
    page.SyringeSizeuL = json.value(QStringLiteral("syringeuL")).toDouble();
    page.DirectSetpoint = json.value(QStringLiteral("directSetpoint")).toDouble();
    page.DeviationBand_pct = json.value(QStringLiteral("deviationBandPercent")).toDouble(page.DeviationBand_pct);
    page.DeviationHold_s = json.value(QStringLiteral("deviationHoldSeconds")).toDouble(page.DeviationHold_s);
    return page;
}

QString EntryName(const TSavedDevice& saved)
{
    return saved.Page.DeviceName + QStringLiteral(" (serial ") + saved.Serial + u')';
}

} // namespace

int IndexOfSerial(const QString& serial)
{
    if (serial.isEmpty())
        return -1;
    for (int i = 0; i < DevicesLocal.size(); ++i) {
        if (DevicesLocal.at(i).Serial == serial)
            return i;
    }
    return -1;
}

TConfigurePage DeviceToPage(const TDeviceInfo& device)
{
    TConfigurePage page;
    page.FluidChosen = HasWorkerThread(device);
    page.FluidID = device.FluidID;
    page.FlowUnitName = device.FlowUnitUser.Name;
    page.TemperatureC = device.FlowUnitUser.Temperature;
    page.PressureBarA = device.FlowUnitUser.Pressure_BarA;
    page.GramsChosen = device.FlowUnitUser.GasFlowType == gfuGrams;
    page.DeviceName = device.NameRole;
    page.Color = device.Color;
    page.FluidTemperatureC = device.FluidTemperatureC;
    page.SyringeSizeuL = device.SyringeSizeuL;
    page.DirectSetpoint = device.Setpoint_gui;
    page.DeviationBand_pct = device.DeviationBand_pct;
    page.DeviationHold_s = device.DeviationHold_s;
    return page;
}

TSoftwareState CaptureSoftwareState(const QList<TDeviceInfo>& devices)
{
    TSoftwareState state;
    for (const TDeviceInfo& device : devices)
        state.Devices.append({device.Serial, DeviceToPage(device), device.SegmentProgram});
    return state;
}

QByteArray SoftwareStateToJson(const TSoftwareState& state)
{
    QJsonArray devices;
    for (const TSavedDevice& device : state.Devices) {
        devices.append(QJsonObject{{QStringLiteral("serial"), device.Serial},
                                   {QStringLiteral("configuration"), PageToJson(device.Page)},
                                   {QStringLiteral("segmentProgram"), device.SegmentProgram}});
    }
    QJsonArray splitters;
    for (const QByteArray& layout : state.SplitterLayout)
        splitters.append(QString::fromLatin1(layout.toBase64()));
    const QJsonObject root{{QStringLiteral("version"), SoftwareStateVersion},
                           {QStringLiteral("timeUnit"), state.TimeUnit},
                           {QStringLiteral("splitters"), splitters},
                           {QStringLiteral("devices"), devices}};
    return QJsonDocument(root).toJson();
}

bool SoftwareStateFromJson(const QByteArray& json, TSoftwareState& state, QString& error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (!document.isObject()) {
        error = QStringLiteral("Not a software state file: ") + parseError.errorString();
        return false;
    }
    const QJsonObject root = document.object();
    const int version = root.value(QStringLiteral("version")).toInt(0);
    if (version < 1 || version > SoftwareStateVersion) {
        error = QStringLiteral("Software state version %1 is not supported").arg(version);
        return false;
    }
    TSoftwareState read;
    read.TimeUnit = root.value(QStringLiteral("timeUnit")).toString(read.TimeUnit);
    for (const QJsonValue& layout : root.value(QStringLiteral("splitters")).toArray())
        read.SplitterLayout.append(QByteArray::fromBase64(layout.toString().toLatin1()));
    for (const QJsonValue& value : root.value(QStringLiteral("devices")).toArray()) {
        const QJsonObject device = value.toObject();
        TSavedDevice saved;
        saved.Serial = device.value(QStringLiteral("serial")).toString();
        saved.Page = PageFromJson(device.value(QStringLiteral("configuration")).toObject());
        saved.SegmentProgram = device.value(QStringLiteral("segmentProgram")).toString();
        read.Devices.append(saved);
    }
    state = read;
    return true;
}

bool LoadSoftwareState(const TSoftwareState& state, TRunControl& runControl, TEngineTick& engine,
                       TDeviceConfigurationView& view, QStringList& unplaced)
{
    if (std::any_of(DevicesLocal.cbegin(), DevicesLocal.cend(), IsRunning))
        return false;
    for (const TSavedDevice& saved : state.Devices) {
        const int index = IndexOfSerial(saved.Serial);
        if (index < 0) {
            unplaced.append(EntryName(saved));
            continue;
        }
        TDeviceInfo device = DevicesLocal.at(index);
        device.SegmentProgram = saved.SegmentProgram;
        StoreDevice(device);
        if (saved.Page.FluidChosen) {
            try {
                ApplyConfiguration(device, saved.Page, runControl, engine, view);
            } catch (const TarvoError& error) {
                unplaced.append(EntryName(saved) + QStringLiteral(": ") + error.Message());
                continue;
            }
            GetDeviceByPort(device.COMPort, device);
        }
        view.RefreshDevice(device);
    }
    return true;
}

bool SaveSoftwareStateFile(const QString& fileName, const TSoftwareState& state, QString& error)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(SoftwareStateToJson(state)) < 0 || !file.commit()) {
        error = QStringLiteral("Saving the software state failed: ") + file.errorString();
        return false;
    }
    return true;
}

bool ReadSoftwareStateFile(const QString& fileName, TSoftwareState& state, QString& error)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("Reading the software state failed: ") + file.errorString();
        return false;
    }
    return SoftwareStateFromJson(file.readAll(), state, error);
}
