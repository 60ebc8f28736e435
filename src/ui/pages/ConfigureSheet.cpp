#include "ui/pages/ConfigureSheet.h"

#include "gas/GasList.h"
#include "gas/ReferenceConditions.h"
#include "ui/Icons.h"
#include "ui/Named.h"
#include "ui/widgets/RtColorPickCombo.h"
#include "ui/widgets/RtDoubleEdit.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

namespace {

constexpr int FluidListRows = 30;
constexpr TRtColor InitialDeviceColor = 0xFF00FFFF; // opaque cyan
const QString IrrelevantForGrams = QStringLiteral("Irrelevant when unit is g");

QComboBox* FixedPitchList(const char* name)
{
    auto* list = Named(new QComboBox, name);
    list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    list->setMaxVisibleItems(FluidListRows);
    return list;
}

QLabel* Label(const char* name, const QString& caption)
{
    return Named(new QLabel(caption), name);
}

TRtDoubleEdit* LimitedEdit(const char* name, double minValue, double maxValue, double value)
{
    auto* edit = Named(new TRtDoubleEdit, name);
    edit->SetMinValue(minValue);
    edit->SetMaxValue(maxValue);
    edit->SetValue(value);
    return edit;
}

void SelectFluidRow(QComboBox* list, qint32 fluidID, bool gasList)
{
    if (fluidID == -1) {
        list->setCurrentIndex(0);
        return;
    }
    // Gas 0 is air, and 0 is also the number of the header row: in the gas
    // list it is looked up past the header, so the header is never a gas.
    for (int row = gasList ? 1 : 0; row < list->count(); ++row) {
        if (list->itemData(row).toInt() == fluidID) {
            list->setCurrentIndex(row);
            return;
        }
    }
    list->setCurrentIndex(-1);
}

} // namespace

TConfigureSheet::TConfigureSheet(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("TabSheetConfigure"));
    EditDeviceType = Named(new QLineEdit(QStringLiteral("Device type")), "EditDeviceType");
    EditDeviceType->setReadOnly(true);
    EditDeviceName = Named(new QLineEdit(QStringLiteral("e.g. Cathode side")), "EditDeviceName");
    RtColorPickComboDeviceColor = Named(new TRtColorPickCombo, "RtColorPickComboDeviceColor");
    RtColorPickComboDeviceColor->SetActiveColor(InitialDeviceColor);
    LabelDeviceColor = Label("LabelDeviceColor", QStringLiteral("Color code"));
    ComboBoxDeviceFluid = FixedPitchList("ComboBoxDeviceFluid");
    ComboBoxDeviceFluidPump = FixedPitchList("ComboBoxDeviceFluidPump");
    ComboBoxDeviceFluidPump->hide();
    BitBtn6 = Named(new QPushButton(TarvoIcon(QStringLiteral("checkmark")), QStringLiteral("Apply")), "BitBtn6");

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label("LabelDeviceType", QStringLiteral("Device Type")), 0, 0);
    grid->addWidget(EditDeviceType, 0, 1, 1, 2);
    grid->addWidget(Label("LabelDeviceName", QStringLiteral("Device Name")), 1, 0);
    grid->addWidget(EditDeviceName, 1, 1, 1, 2);
    grid->addWidget(Label("LabelColor", QStringLiteral("Device color in software")), 2, 0);
    grid->addWidget(RtColorPickComboDeviceColor, 2, 1);
    grid->addWidget(LabelDeviceColor, 2, 2);
    grid->addWidget(Label("LabelFluid", QStringLiteral("Fluid")), 3, 0);
    grid->addWidget(ComboBoxDeviceFluid, 3, 1, 1, 2);
    grid->addWidget(ComboBoxDeviceFluidPump, 3, 1, 1, 2); // the same place: one of the two shows
    grid->addWidget(BuildFlowUnitGroup(), 4, 0, 1, 3);
    grid->addWidget(BuildPumpGroup(), 4, 0, 1, 3);
    grid->addWidget(BuildDeviationGroup(), 5, 0, 1, 3);
    grid->addWidget(BitBtn6, 6, 0);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(7, 1);

    connect(BitBtn6, &QPushButton::clicked, this, &TConfigureSheet::ApplyClicked);
    connect(RtColorPickComboDeviceColor, &TRtColorPickCombo::Changed, this,
            &TConfigureSheet::RtColorPickComboDeviceColorChanged);
    connect(ComboBoxFlowUnitPredefined, &QComboBox::currentIndexChanged, this,
            &TConfigureSheet::ComboBoxFlowUnitPredefinedChange);
    connect(EditFlowUnitTemperatureC, &TRtDoubleEdit::ValueChanged, this,
            &TConfigureSheet::EditFlowUnitTemperatureCValueChanged);
    connect(EditFlowUnitPressureBar, &TRtDoubleEdit::ValueChanged, this,
            &TConfigureSheet::EditFlowUnitPressureBarValueChanged);
}

QGroupBox* TConfigureSheet::BuildFlowUnitGroup()
{
    EditFlowUnitName = Named(new QLineEdit(QStringLiteral("g/min")), "EditFlowUnitName");
    EditFlowUnitTemperatureC = Named(new TRtDoubleEdit, "EditFlowUnitTemperatureC");
    EditFlowUnitTemperatureC->SetMinValue(-273.15);
    EditFlowUnitTemperatureC->SetMaxValue(900000);
    EditFlowUnitTemperatureC->SetValue(20);
    EditFlowUnitPressureBar = Named(new TRtDoubleEdit, "EditFlowUnitPressureBar");
    EditFlowUnitPressureBar->SetValue(1.01325);
    LabelUnitTemp = Label("LabelUnitTemp", IrrelevantForGrams);
    LabelPSI = Label("LabelPSI", IrrelevantForGrams);
    ComboBoxFlowUnitPredefined = FixedPitchList("ComboBoxFlowUnitPredefined");
    ComboBoxFlowUnitPredefined->addItems(ReferenceConditionRows());
    ComboBoxFlowUnitPredefined->setCurrentIndex(-1);

    GroupBoxFlowUnit = Named(new QGroupBox(QStringLiteral("Flow unit")), "GroupBoxFlowUnit");
    auto* grid = new QGridLayout(GroupBoxFlowUnit);
    grid->addWidget(Label("Label2", QStringLiteral("Unit name")), 0, 0);
    grid->addWidget(EditFlowUnitName, 0, 1);
    grid->addWidget(Label("Label3", QStringLiteral("Temperature, ºC")), 1, 0);
    grid->addWidget(EditFlowUnitTemperatureC, 1, 1);
    grid->addWidget(LabelUnitTemp, 1, 2);
    grid->addWidget(Label("Label4", QStringLiteral("Pressure, bar")), 2, 0);
    grid->addWidget(EditFlowUnitPressureBar, 2, 1);
    grid->addWidget(LabelPSI, 2, 2);
    grid->addWidget(Label("Label5", QStringLiteral("Some ref. conditions")), 3, 0);
    grid->addWidget(ComboBoxFlowUnitPredefined, 3, 1, 1, 2);
    grid->setColumnStretch(2, 1);
    ShowReferenceConditions(false);
    return GroupBoxFlowUnit;
}

QGroupBox* TConfigureSheet::BuildPumpGroup()
{
    auto* unitName = Named(new QLineEdit(QStringLiteral("µl/min")), "EditPumpUnitName");
    unitName->setReadOnly(true);
    RtDoubleEditFluidTemperature = LimitedEdit("RtDoubleEditFluidTemperature", -273.15, 2000, -273.15);
    RtDoubleEditSyringeSizeuL = LimitedEdit("RtDoubleEditSyringeSizeuL", 12.5, 12500, 12500);

    GroupBoxConfigurePump = Named(new QGroupBox(QStringLiteral("Pump details")), "GroupBoxConfigurePump");
    auto* grid = new QGridLayout(GroupBoxConfigurePump);
    grid->addWidget(Label("Label1", QStringLiteral("Unit name")), 0, 0);
    grid->addWidget(unitName, 0, 1);
    grid->addWidget(Label("LabelFluidTemp", QStringLiteral("Fluid temperature, ºC")), 1, 0);
    grid->addWidget(RtDoubleEditFluidTemperature, 1, 1);
    grid->addWidget(Label("LabelSyringeSize", QStringLiteral("Syringe size, µL")), 2, 0);
    grid->addWidget(RtDoubleEditSyringeSizeuL, 2, 1);
    grid->setColumnStretch(2, 1);
    GroupBoxConfigurePump->hide();
    return GroupBoxConfigurePump;
}

QGroupBox* TConfigureSheet::BuildDeviationGroup()
{
    RtDoubleEditDeviationBand = LimitedEdit("RtDoubleEditDeviationBand", 0.1, 100, DefaultDeviationBand_pct);
    RtDoubleEditDeviationHold = LimitedEdit("RtDoubleEditDeviationHold", 1, 3600, DefaultDeviationHold_s);

    GroupBoxDeviationAlarm = Named(new QGroupBox(QStringLiteral("Deviation alarm")), "GroupBoxDeviationAlarm");
    auto* grid = new QGridLayout(GroupBoxDeviationAlarm);
    grid->addWidget(Label("LabelDeviationBand", QStringLiteral("Band, % of full scale")), 0, 0);
    grid->addWidget(RtDoubleEditDeviationBand, 0, 1);
    grid->addWidget(Label("LabelDeviationHold", QStringLiteral("Hold time, s")), 1, 0);
    grid->addWidget(RtDoubleEditDeviationHold, 1, 1);
    grid->setColumnStretch(2, 1);
    return GroupBoxDeviationAlarm;
}

void TConfigureSheet::ShowReferenceConditions(bool shown)
{
    for (QWidget* control : {static_cast<QWidget*>(EditFlowUnitTemperatureC), static_cast<QWidget*>(LabelUnitTemp),
                             static_cast<QWidget*>(EditFlowUnitPressureBar), static_cast<QWidget*>(LabelPSI)})
        control->setVisible(shown);
}

void TConfigureSheet::FillFluidLists()
{
    ComboBoxDeviceFluid->clear();
    for (const TFluidListRow& row : GasFluidListRows())
        ComboBoxDeviceFluid->addItem(row.Text, row.ID);
    ComboBoxDeviceFluidPump->clear();
    for (const TFluidListRow& row : PumpFluidListRows())
        ComboBoxDeviceFluidPump->addItem(row.Text, row.ID);
}

void TConfigureSheet::RtColorPickComboDeviceColorChanged()
{
    LabelDeviceColor->setText(QStringLiteral("%1").arg(RtColorPickComboDeviceColor->AsTColor(), 8, 10, QLatin1Char('0')));
}

void TConfigureSheet::ComboBoxFlowUnitPredefinedChange(int row)
{
    const TReferenceChoice choice = ChooseReferenceRow(row);
    if (!choice.Applies)
        return;
    if (choice.SetsConditions) {
        EditFlowUnitTemperatureC->SetValue(choice.TemperatureC);
        EditFlowUnitPressureBar->SetValue(choice.PressureBarA);
    }
    EditFlowUnitName->setText(choice.UnitName);
    ShowReferenceConditions(choice.ShowConditions);
}

void TConfigureSheet::EditFlowUnitTemperatureCValueChanged()
{
    LabelUnitTemp->setText(FahrenheitReadout(EditFlowUnitTemperatureC->Value()));
}

void TConfigureSheet::EditFlowUnitPressureBarValueChanged()
{
    LabelPSI->setText(PsiReadout(EditFlowUnitPressureBar->Value()));
}

void TConfigureSheet::ShowDevice(const TDeviceInfo& device)
{
    EditDeviceType->setText(DeviceInstrumentName(device.DevType) + u' ' + DeviceTypeName(device.DevType));
    EditDeviceName->setText(device.NameRole);
    RtColorPickComboDeviceColor->SetActiveColor(device.Color);

    const bool pump = device.DevType == dtPump;
    GroupBoxDeviationAlarm->setVisible(HasDeviationAlarm(device.DevType));
    RtDoubleEditDeviationBand->SetValue(device.DeviationBand_pct);
    RtDoubleEditDeviationHold->SetValue(device.DeviationHold_s);
    GroupBoxConfigurePump->setVisible(pump);
    GroupBoxFlowUnit->setVisible(!pump);
    ComboBoxDeviceFluidPump->setVisible(pump);
    ComboBoxDeviceFluid->setVisible(!pump);
    if (pump) {
        RtDoubleEditFluidTemperature->SetValue(device.FluidTemperatureC);
        RtDoubleEditSyringeSizeuL->SetValue(device.SyringeSizeuL);
        SelectFluidRow(ComboBoxDeviceFluidPump, device.FluidID, false);
        return;
    }
    const bool grams = device.FlowUnitUser.GasFlowType == gfuGrams;
    ShowReferenceConditions(!grams);
    EditFlowUnitName->setText(device.FlowUnitUser.Name);
    EditFlowUnitTemperatureC->SetValue(device.FlowUnitUser.Temperature);
    EditFlowUnitPressureBar->SetValue(device.FlowUnitUser.Pressure_BarA);
    // The list's choice decides grams or volume on "Apply": it must show this
    // device's unit, not the one chosen for the device shown before.
    const QSignalBlocker keepEditors(ComboBoxFlowUnitPredefined);
    ComboBoxFlowUnitPredefined->setCurrentIndex(grams ? ReferenceGramsRow : -1);
    SelectFluidRow(ComboBoxDeviceFluid, device.FluidID, true);
}

void TConfigureSheet::ShowNoDevice()
{
    EditDeviceType->setText(QStringLiteral("No valid device selected"));
    EditDeviceName->clear();
}

TConfigurePage TConfigureSheet::Read(const TDeviceInfo& device) const
{
    const QComboBox* fluids = device.DevType == dtPump ? ComboBoxDeviceFluidPump : ComboBoxDeviceFluid;
    TConfigurePage page;
    page.FluidChosen = fluids->currentIndex() > 0; // the header row is never a fluid
    page.FluidID = fluids->currentData().toInt();
    page.FlowUnitName = EditFlowUnitName->text();
    page.TemperatureC = EditFlowUnitTemperatureC->Value();
    page.PressureBarA = EditFlowUnitPressureBar->Value();
    page.GramsChosen = ComboBoxFlowUnitPredefined->currentIndex() == ReferenceGramsRow;
    page.DeviceName = EditDeviceName->text();
    page.Color = RtColorPickComboDeviceColor->ActiveColor();
    page.FluidTemperatureC = RtDoubleEditFluidTemperature->Value();
    page.SyringeSizeuL = RtDoubleEditSyringeSizeuL->Value();
    page.DeviationBand_pct = RtDoubleEditDeviationBand->Value();
    page.DeviationHold_s = RtDoubleEditDeviationHold->Value();
    return page;
}
