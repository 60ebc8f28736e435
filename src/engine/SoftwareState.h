#pragma once

#include "engine/DeviceConfiguration.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class TEngineTick;
class TRunControl;

// Files of a later version are refused rather than half read.
inline constexpr int SoftwareStateVersion = 1;

// One device as kept: found again by its serial number.
struct TSavedDevice {
    QString Serial;
    TConfigurePage Page; // FluidChosen is false for a device never configured
    QString SegmentProgram;
};

// The operator's set-up: every device's configuration and program, the time
// unit ("MINUTE", "HOUR", "DAY") and the window's splitter layout.
struct TSoftwareState {
    QList<TSavedDevice> Devices;
    QString TimeUnit = QStringLiteral("MINUTE");
    QList<QByteArray> SplitterLayout;
};

// Index in DevicesLocal of the device with this serial number, matched
// exactly ("123456" is not "1234567"); -1 when none has it.
int IndexOfSerial(const QString& serial);

// The Configure page that would give the device its present configuration.
TConfigurePage DeviceToPage(const TDeviceInfo& device);
TSoftwareState CaptureSoftwareState(const QList<TDeviceInfo>& devices);

QByteArray SoftwareStateToJson(const TSoftwareState& state);
// False with the reason in `error` for a file that is not a state this
// program can read; `state` is then untouched.
bool SoftwareStateFromJson(const QByteArray& json, TSoftwareState& state, QString& error);

// Configures the devices of this rig as "Apply" does, matched by serial
// number, and gives them their programs. Refused (false) while any device
// runs. `unplaced` receives a line for every entry no device here matches.
bool LoadSoftwareState(const TSoftwareState& state, TRunControl& runControl, TEngineTick& engine,
                       TDeviceConfigurationView& view, QStringList& unplaced);

// The file forms; false with the reason in `error`. Saving replaces the file
// whole or not at all.
bool SaveSoftwareStateFile(const QString& fileName, const TSoftwareState& state, QString& error);
bool ReadSoftwareStateFile(const QString& fileName, TSoftwareState& state, QString& error);
