#pragma once

#include "VirtualLine.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <mutex>

// A virtual Alicat mass flow controller with unit letter A at 19200 baud, with
// a totaliser unless told otherwise. It answers status polls, setpoints in
// counts (A32000) or as a value (AS 75.0), gas selection (G n), full-scale
// queries (FPF stat unit), display units (DCU stat unit), LSS, SPUE, valve
// holds (HP, HC, C), FACTORY RESTORE ALL and the manufacturer line ??M5;
// anything else gets "?". Mass flow follows the setpoint with a first-order
// lag and a little noise.
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

    // A unit without totaliser prints no column between setpoint and gas.
    void SetTotalizer(bool present);

    // Faults. Status codes (ADC, MOV, ...) are appended to every status line
    // in the order the unit declares them. HLD among them is a hold set from
    // the front panel: the valve stays where it is and setpoint changes are
    // ignored until C cancels it (codes without HLD release it).
    void SetStatusCodes(const QStringList& codes);
    // The next `count` status lines carry a column that is not a number.
    void CorruptNextStatusLines(int count);
    // How the unit refuses gas `number`: as a number it does not know ("?"),
    // or by answering with its status line still showing the gas it has.
    enum class GasRefusal { None, Unknown, KeepsItsGas };
    void RefuseGas(int number, GasRefusal how);
    // The next `count` full-scale queries answer 0.
    void ZeroNextFullScales(int count);

    // What it was told, for tests.
    double Setpoint_counts() const;
    double Flow_counts(); // the flow now, without noise
    bool Held() const;
    int GasNumber() const;
    double FullScale_gpm() const; // of the selected gas

protected:
    void OnRequest(const QByteArray& line) override;

private:
    QByteArray Answer(const QString& command);
    QByteArray StatusLine();
    QByteArray SetSetpoint(double fraction);
    QByteArray SelectGas(const QString& argument);
    QByteArray Hold(bool closed);
    QByteArray CancelHold();
    QByteArray FullScale(const QStringList& arguments);
    QByteArray DisplayUnit(const QStringList& arguments);
    void FactoryRestore();
    void AdvanceFlow();
    double FullScaleOf(int gas) const;

    mutable std::mutex mutex; // requests arrive on the line's thread, tests read from theirs
    QString serialNumber = QStringLiteral("521641");
    double fullScale_slpm = 1.0;
    int timeConstantMS = 300;
    QStringList statusCodes; // without HLD
    bool totalizerShown = true;
    int corruptLines = 0;
    int refusedGas = -1;
    GasRefusal gasRefusal = GasRefusal::None;
    int zeroFullScales = 0;

    // The controller's own state.
    int gas = 8;
    double setpoint = 0; // fraction of full scale
    double flow = 0;     // fraction of full scale
    bool held = false;   // valve held: flow keeps its place, setpoints are ignored
    bool heldClosed = false;
    double totalizer_sl = 0;
    bool flowInCounts = false;
    bool pressureInBar = false;
    QChar setpointSource = QLatin1Char('S');
    QString powerUpSetpoint = QStringLiteral("0");
    QElapsedTimer sinceFlowUpdate;
};
