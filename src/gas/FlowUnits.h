#pragma once

#include <QString>

// Flow units: mass or volumetric, with volume and time base and the reference
// conditions at which a volume is measured. Ordinals are stored and compared:
// keep the order of every enumeration.

enum TGasFlowType : quint8 { gfuGrams, gfuVolumetric, gfuUndefined };
enum TGasFlowVolumeUnit : quint8 { gfvuCC, gfvuSCC, gfvuML, gfvuMLN, gfvuL, gfvuuL, gfvuUndefined };
enum TGasFlowTimeUnit : quint8 { gftSecond, gfMinute, gftHour, gftDay, gftUndefined };
enum TTemperatureUnit : quint8 { tuC, tuF, tuK, tuUndefined };
enum TTemperatureConversion : quint8 { tcCtoF, tcCtoK, tcFtoC, tcFtoK, tcKtoC, tcKtoF };

struct TGasFlowDetails {
    // Full scale of the device in SCCM (25 °C, 1.01325 bar).
    double pGasFlowMax = 0;
    QString Name = QStringLiteral("Undefined");
    double GasFlowValue = 0;
    double GasMolarMass = 1.0;
    QString GasName;
    TGasFlowVolumeUnit GasFlowVolumeUnit = gfvuUndefined;
    TGasFlowType GasFlowType = gfuUndefined;
    TGasFlowTimeUnit GasFlowTimeUnit = gftUndefined;
    double Temperature = 0;
    TTemperatureUnit TemperatureUnit = tuUndefined;
    double Pressure_BarA = 0;

    void SetGasFlowMax(double MaxFlowinAlicatSCCM);
    bool IsValid(QString& Feedback) const;
    TGasFlowDetails Clone() const;
    bool operator==(const TGasFlowDetails&) const = default;
};

// The three standard units, set up once at start-up.
extern TGasFlowDetails FlowUnitGramsPerMinute;
extern TGasFlowDetails FlowUnitMillilitresPerMinute;
extern TGasFlowDetails FlowUnitMicrolitresPerMinute;
void InitializeStandardFlowUnits();

bool ConvertGasFlow(const TGasFlowDetails& From, TGasFlowDetails& To, QString& Errors, QString& Report);
double ConvertFlowTimeUnit(TGasFlowTimeUnit FromUnit, TGasFlowTimeUnit ToUnit, double Value);
double ConvertTemperature(TTemperatureConversion Conversion, double Value);
double IdealGasMass(double MolarMass, double TemperatureK, double PressureBarA, double VolumeL);
double IdealGasVolume(double Moles, double TemperatureK, double PressureBarA);
QString GasFlowTimeUnitName(TGasFlowTimeUnit unit);
double MaxFlowInUnit(const TGasFlowDetails& Details);
double MaxFlowGramsPerMinute(const TGasFlowDetails& Details);
void SetGramsPerMinute(TGasFlowDetails& Details);
