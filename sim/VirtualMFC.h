#pragma once

#include "VirtualLine.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <mutex>

// A virtual Alicat mass flow controller with unit letter A at 19200 baud, with
// a totaliser. It answers status polls, setpoints in counts (A32000) or as a
// value (AS 75.0), gas selection (G n), full-scale queries (FPF stat unit),
// display units (DCU stat unit), LSS, SPUE, FACTORY RESTORE ALL and the
// manufacturer line ??M5; anything else gets "?". Mass flow follows the
// setpoint with a first-order lag and a little noise.
class VirtualMFC : public VirtualLine {
public:
    VirtualMFC();
    ~VirtualMFC() override;

    static constexpr double CountsFullScale = 64000.0;

    // What the instrument is: its serial number (in the ??M5 line), its full
    // scale in standard litres per minute of the selected gas, and the time
    // constant with which its flow follows the setpoint.
    void SetSerialNumber(const QString& serial);
    void SetFullScale_slpm(double slpm);
    void SetFlowTimeConstantMS(int ms);

    // Faults. Status codes (ADC, HLD, MOV, ...) are appended to every status
    // line; with HLD the valve is held and setpoint changes are ignored.
    void SetStatusCodes(const QStringList& codes);
    // The next `count` status lines carry a column that is not a number.
    void CorruptNextStatusLines(int count);

    // What it was told, for tests.
    double Setpoint_counts() const;
    int GasNumber() const;
    double FullScale_gpm() const; // of the selected gas

protected:
    void OnRequest(const QByteArray& line) override;

private:
    QByteArray Answer(const QString& command);
    QByteArray StatusLine();
    QByteArray SetSetpoint(double fraction);
    QByteArray SelectGas(const QString& argument);
    QByteArray FullScale(const QStringList& arguments) const;
    QByteArray DisplayUnit(const QStringList& arguments);
    void FactoryRestore();
    void AdvanceFlow();
    double FullScaleOf(int gas) const;

    mutable std::mutex mutex; // requests arrive on the line's thread, tests read from theirs
    QString serialNumber = QStringLiteral("521641");
    double fullScale_slpm = 1.0;
    int timeConstantMS = 300;
    QStringList statusCodes;
    int corruptLines = 0;

    // The controller's own state.
    int gas = 8;
    double setpoint = 0; // fraction of full scale
    double flow = 0;     // fraction of full scale
    double totalizer_sl = 0;
    bool flowInCounts = false;
    bool pressureInBar = false;
    QChar setpointSource = QLatin1Char('S');
    QString powerUpSetpoint = QStringLiteral("0");
    QElapsedTimer sinceFlowUpdate;
};
