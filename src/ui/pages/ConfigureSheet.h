#pragma once

#include "devices/DeviceInfo.h"
#include "engine/DeviceConfiguration.h"

#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TRtColorPickCombo;
class TRtDoubleEdit;

// The Configure page: a device's name, colour, fluid, and its flow unit (a
// controller) or pump details, with "Apply". It shows a device record and
// reads back what the operator chose; "Apply" comes out as ApplyClicked.
class TConfigureSheet : public QWidget {
    Q_OBJECT
public:
    explicit TConfigureSheet(QWidget* parent = nullptr);

    // Refills both fluid lists from the gas and pump fluid tables.
    void FillFluidLists();
    void ShowDevice(const TDeviceInfo& device);
    void ShowNoDevice();
    // The page as chosen for this device; the direct-control setpoint is not
    // on this page and stays 0.
    TConfigurePage Read(const TDeviceInfo& device) const;

    void RtColorPickComboDeviceColorChanged();
    void ComboBoxFlowUnitPredefinedChange(int row);
    void EditFlowUnitTemperatureCValueChanged();
    void EditFlowUnitPressureBarValueChanged();

signals:
    void ApplyClicked();

private:
    QGroupBox* BuildFlowUnitGroup();
    QGroupBox* BuildPumpGroup();
    QGroupBox* BuildDeviationGroup();
    void ShowReferenceConditions(bool shown);

    QLineEdit* EditDeviceType = nullptr;
    QLineEdit* EditDeviceName = nullptr;
    TRtColorPickCombo* RtColorPickComboDeviceColor = nullptr;
    QLabel* LabelDeviceColor = nullptr;
    QComboBox* ComboBoxDeviceFluid = nullptr;
    QComboBox* ComboBoxDeviceFluidPump = nullptr;
    QGroupBox* GroupBoxFlowUnit = nullptr;
    QLineEdit* EditFlowUnitName = nullptr;
    TRtDoubleEdit* EditFlowUnitTemperatureC = nullptr;
    QLabel* LabelUnitTemp = nullptr;
    TRtDoubleEdit* EditFlowUnitPressureBar = nullptr;
    QLabel* LabelPSI = nullptr;
    QComboBox* ComboBoxFlowUnitPredefined = nullptr;
    QGroupBox* GroupBoxConfigurePump = nullptr;
    TRtDoubleEdit* RtDoubleEditFluidTemperature = nullptr;
    TRtDoubleEdit* RtDoubleEditSyringeSizeuL = nullptr;
    QGroupBox* GroupBoxDeviationAlarm = nullptr;
    TRtDoubleEdit* RtDoubleEditDeviationBand = nullptr;
    TRtDoubleEdit* RtDoubleEditDeviationHold = nullptr;
    QPushButton* BitBtn6 = nullptr;
};
