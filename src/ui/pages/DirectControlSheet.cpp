#include "ui/pages/DirectControlSheet.h"

#include "devices/DeviceInfo.h"
#include "engine/FlowUnitDisplay.h"
#include "ui/Icons.h"
#include "ui/Named.h"
#include "ui/widgets/RtDoubleEdit.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

TDirectControlSheet::TDirectControlSheet(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("TabSheetDirectControl"));
    RtDoubleEditDirectControlMaxFlow = Named(new TRtDoubleEdit, "RtDoubleEditDirectControlMaxFlow");
    RtDoubleEditDirectControlMaxFlow->setEnabled(false);
    RtDoubleEditDirectControlMaxFlow->SetShownDigits(FlowShownDigits);
    LabelDirectControlMaxFlowUnit = Named(new QLabel(QStringLiteral("Flow unit")), "LabelDirectControlMaxFlowUnit");
    RtDoubleEditDirectControlDesiredFlow = Named(new TRtDoubleEdit, "RtDoubleEditDirectControlDesiredFlow");
    RtDoubleEditDirectControlDesiredFlow->SetMaxValue(100);
    LabelDirectControlResultingFlow =
        Named(new QLabel(QStringLiteral("Resulting flow in specified unit")), "LabelDirectControlResultingFlow");
    BitBtn7 = Named(new QPushButton(TarvoIcon(QStringLiteral("play")), QStringLiteral("Apply setpoint")), "BitBtn7");
    // "&&" shows one ampersand, as in the menus.
    BitBtn8 = Named(new QPushButton(TarvoIcon(QStringLiteral("stop")), QStringLiteral("Stop flow && stop tracking device")),
                    "BitBtn8");

    auto* grid = new QGridLayout;
    grid->addWidget(Named(new QLabel(QStringLiteral("Maximum flow")), "Label7"), 0, 0);
    grid->addWidget(RtDoubleEditDirectControlMaxFlow, 0, 1);
    grid->addWidget(LabelDirectControlMaxFlowUnit, 0, 2);
    grid->addWidget(Named(new QLabel(QStringLiteral("Setpoint, %")), "Label6"), 1, 0);
    grid->addWidget(RtDoubleEditDirectControlDesiredFlow, 1, 1);
    grid->addWidget(LabelDirectControlResultingFlow, 1, 2);
    grid->setColumnStretch(2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn7);
    buttons->addWidget(BitBtn8);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->addStretch();

    connect(BitBtn7, &QPushButton::clicked, this, &TDirectControlSheet::ApplyClicked);
    connect(BitBtn8, &QPushButton::clicked, this, &TDirectControlSheet::StopClicked);
    connect(RtDoubleEditDirectControlDesiredFlow, &TRtDoubleEdit::ValueChanged, this,
            [this] { emit DesiredFlowChanged(DesiredFlow()); });
}

void TDirectControlSheet::ShowDevice(const TDeviceInfo& device)
{
    RtDoubleEditDirectControlDesiredFlow->SetValue(device.Setpoint_gui);
}

void TDirectControlSheet::ShowMaxFlow(double maxFlow, const QString& unitName)
{
    RtDoubleEditDirectControlMaxFlow->SetValue(maxFlow);
    LabelDirectControlMaxFlowUnit->setText(unitName);
}

void TDirectControlSheet::ShowResultingFlow(const QString& text)
{
    LabelDirectControlResultingFlow->setText(text);
}

double TDirectControlSheet::DesiredFlow() const
{
    return RtDoubleEditDirectControlDesiredFlow->Value();
}
