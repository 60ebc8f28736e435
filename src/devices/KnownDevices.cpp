#include "devices/DeviceRegistry.h"

#include <QStringList>

namespace {

const QString CRLF = QStringLiteral("\r\n");

TDeviceInfo MFCRow(tDeviceType type, const QString& serial, const QString& nameRole, TRtColor color, double fullScale)
{
    TDeviceInfo row;
    row.DevType = type;
    row.Serial = serial;
    row.NameRole = nameRole;
    row.Color = color;
    row.FluidID = -1;
    row.ControlMode = dcmDirect;
    row.FlowUnitDevice = FlowUnitMillilitresPerMinute.Clone();
    row.FlowUnitDevice.SetGasFlowMax(fullScale);
    row.FlowUnitUser = row.FlowUnitDevice.Clone();
    return row;
}

TDeviceInfo PumpRow(const QString& serial, const QString& nameRole, TRtColor color, double syringeuL,
                    double fluidTemperatureC, double maxFlowulpm)
{
    TDeviceInfo row;
    row.DevType = dtPump;
    row.Serial = serial;
    row.NameRole = nameRole;
    row.Color = color;
    row.FluidID = -1;
    row.ControlMode = dcmDirect;
    row.SyringeSizeuL = syringeuL;
    row.FluidTemperatureC = fluidTemperatureC;
    row.MaxFlow_ulpm = maxFlowulpm;
    row.FlowUnitUser = FlowUnitMicrolitresPerMinute.Clone();
    return row;
}

QString ProgramText(const QStringList& lines)
{
    return lines.join(CRLF);
}

// The installations the rig program serves. A pump's serial starts with the
// seven digits it keeps in its stored strings (two parts of four and three
// digits, read back as plunger positions, so neither part starts with 0).
struct Installation {
    const char* name;
    struct Mfc { const char* serial; TRtColor color; double fullScale; };
    QList<Mfc> mfcs; // two or four, in the roles A, B, C, D
    const char* pumpSerial; // nullptr: no pump
    TRtColor pumpColor;
    double syringeuL;
};

const QList<Installation>& Installations()
{
    static const QList<Installation> list = {
        {"Otaniemi SOFC 1",
         {{"511204", clRtRed, 500}, {"511205", clRtGreen, 500}, {"511206", clRtBlue, 5000}, {"511207", clRtBrown, 50}},
         "2021137-PS021044718", clRtAqua, 25},
        {"Otaniemi SOFC 2",
         {{"512840", clRtRed, 500}, {"512841", clRtGreen, 500}, {"512842", clRtBlue, 5000}, {"512843", clRtPurple, 50}},
         "2021138-PS021044719", clRtAqua, 25},
        {"Hervanta PEM",
         {{"520317", clRtRed, 5000}, {"520318", clRtGreen, 5000}, {"520319", clRtBrown, 500}, {"520320", clRtPurple, 50}},
         "2022241-PS0220071953", clRtBlue, 12.5},
        {"Keilaniemi Catalysis",
         {{"524466", clRtBlue, 50}, {"524467", clRtGreen, 50}, {"524468", clRtRed, 500}, {"524469", clRtBrown, 500}},
         nullptr, 0, 0},
        {"Linnanmaa Sensors",
         {{"530912", clRtRed, 50}, {"530913", clRtGreen, 500}},
         "2022318-PS022118804", clRtAqua, 12.5},
        {"Kupittaa Membranes",
         {{"533578", clRtPurple, 500}, {"533579", clRtBrown, 5000}},
         "2023452-PS023051127", clRtBlue, 25},
        {"Ylistonrinne Corrosion",
         {{"536145", clRtBlue, 50}, {"536146", clRtRed, 50}},
         nullptr, 0, 0},
        {"Skinnarila Electrolysis",
         {{"540781", clRtGreen, 5000}, {"540782", clRtPurple, 500}},
         "2023519-PS0231109376", clRtAqua, 25},
        {"Palosaari Humidity", {}, "2024163-PS024020651", clRtAqua, 12.5},
        {"Savilahti Biogas", {}, "2024274-PS024035582", clRtBlue, 25},
        {"Noljakka Aerosols", {}, "2024385-PS0240617743", clRtAqua, 12.5},
    };
    return list;
}

constexpr tDeviceType MFCRoles[] = {dtMFCA, dtMFCB, dtMFCC, dtMFCD};
constexpr double InstalledPumpMaxFlowulpm = 1000;
constexpr double InstalledFluidTemperatureC = 21;

} // namespace

void AddDemonstrationDevices()
{
    TDeviceInfo first = MFCRow(dtMFCDemo, QStringLiteral("123456"), QStringLiteral("Virtual Demo"), clRtPurple, 50);
    first.COMPort = QStringLiteral("COMX");
    first.SegmentProgram = ProgramText({QStringLiteral("10 100 Ramp"), QStringLiteral("12 100 Step Some_random_comment"),
                                        QStringLiteral("12.5 30 Ramp"), QStringLiteral("15 50 Step"),
                                        QStringLiteral("20 30 Step"), QStringLiteral("24 0 Ramp")});
    TDeviceInfo second = MFCRow(dtMFCDemo, QStringLiteral("1234567"), QStringLiteral("Virtual Demo"), clRtGreen, 500);
    second.COMPort = QStringLiteral("COMY");
    second.SegmentProgram = ProgramText({QStringLiteral("1.5 100 Ramp"), QStringLiteral("2.5 100 Step Some_random_comment"),
                                         QStringLiteral("3.5 30 Ramp"), QStringLiteral("4 50 Step"),
                                         QStringLiteral("4.5 30 Step"), QStringLiteral("8 0 Ramp")});
    DevicesLocal.append(first);
    DevicesLocal.append(second);
}

void BuildKnownDevices()
{
    KnownDevices.clear();
    const QString prototype = QStringLiteral("Prototype");

    TDeviceInfo mfcA = MFCRow(dtMFCA, QStringLiteral("432389"), prototype, clRtRed, 50);
    mfcA.SegmentProgram = ProgramText({QStringLiteral("0 0 Step"), QStringLiteral("4 30 Ramp"), QStringLiteral("7 10 Ramp")});
    TDeviceInfo mfcB = MFCRow(dtMFCB, QStringLiteral("432390"), prototype, clRtGreen, 500);
    mfcB.SegmentProgram = ProgramText({QStringLiteral("0 30 Step"), QStringLiteral("3 80 Ramp"), QStringLiteral("8 0 Step")});
    constexpr double PrototypeSyringeuL = 12.5;
    TDeviceInfo pump = PumpRow(QStringLiteral("2020465-PS019015362"), prototype, clRtAqua, PrototypeSyringeuL, 20,
                               25 * PrototypeSyringeuL);
    pump.SegmentProgram = ProgramText({QStringLiteral("0 0 Step"), QStringLiteral("5 20 Ramp"), QStringLiteral("10 5 Ramp")});
    KnownDevices << mfcA << mfcB << pump;

    for (const Installation& site : Installations()) {
        const QString name = QString::fromLatin1(site.name);
        for (int role = 0; role < site.mfcs.size(); ++role) {
            const Installation::Mfc& mfc = site.mfcs.at(role);
            KnownDevices << MFCRow(MFCRoles[role], QString::fromLatin1(mfc.serial), QStringLiteral("Brisol ") + name,
                                   mfc.color, mfc.fullScale);
        }
        if (site.pumpSerial) {
            KnownDevices << PumpRow(QString::fromLatin1(site.pumpSerial), QStringLiteral("Nivra ") + name,
                                    site.pumpColor, site.syringeuL, InstalledFluidTemperatureC,
                                    InstalledPumpMaxFlowulpm);
        }
    }
}
