#include "gas/FlowUnits.h"

#include "base/TextHelpers.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <cmath>
#include <functional>
#include <limits>

namespace {

constexpr double AirMolarMass = 28.9647;

class FlowUnitsTest : public ::testing::Test {
protected:
    void SetUp() override { InitializeStandardFlowUnits(); }

    // 1 g/min of air, as the engine passes a reading.
    static TGasFlowDetails GramsOfAir(double value = 1.0)
    {
        TGasFlowDetails from = FlowUnitGramsPerMinute;
        from.GasFlowValue = value;
        from.GasMolarMass = AirMolarMass;
        return from;
    }

    static TGasFlowDetails Millilitres(TGasFlowVolumeUnit volumeUnit, double temperature,
                                       TTemperatureUnit temperatureUnit)
    {
        TGasFlowDetails unit = FlowUnitMillilitresPerMinute;
        unit.GasFlowVolumeUnit = volumeUnit;
        unit.Temperature = temperature;
        unit.TemperatureUnit = temperatureUnit;
        return unit;
    }
};

TEST_F(FlowUnitsTest, ConvertsBetweenMassAndVolume)
{
    TGasFlowDetails gramsPerSecond = GramsOfAir();
    gramsPerSecond.GasFlowTimeUnit = gftSecond;
    // A mass unit never consults its conditions: these would stop any
    // volumetric conversion.
    TGasFlowDetails gramsPerMinuteNoConditions = FlowUnitGramsPerMinute;
    gramsPerMinuteNoConditions.TemperatureUnit = tuUndefined;
    gramsPerMinuteNoConditions.Pressure_BarA = 0;
    gramsPerSecond.TemperatureUnit = tuUndefined;
    gramsPerSecond.Pressure_BarA = 0;
    TGasFlowDetails gramsPerHour = FlowUnitGramsPerMinute;
    gramsPerHour.GasFlowTimeUnit = gftHour;
    TGasFlowDetails millilitresOfAir = FlowUnitMillilitresPerMinute;
    millilitresOfAir.GasFlowValue = 844.6628;

    struct Case {
        const char* name;
        TGasFlowDetails from;
        TGasFlowDetails to;
        double expected;
    };
    const Case cases[] = {
        {"g/min to ml/min", GramsOfAir(), FlowUnitMillilitresPerMinute, 844.6628},
        {"g/min to L/min", GramsOfAir(), Millilitres(gfvuL, 25, tuC), 0.8446628},
        {"g/min to uL/min", GramsOfAir(), Millilitres(gfvuuL, 25, tuC), 844662.8},
        {"same volume in F", GramsOfAir(), Millilitres(gfvuMLN, 77, tuF), 844.6628},
        {"same volume in K", GramsOfAir(), Millilitres(gfvuMLN, 298.15, tuK), 844.6628},
        {"g/s to g/min", gramsPerSecond, gramsPerMinuteNoConditions, 60},
        {"g/min to g/h", GramsOfAir(), gramsPerHour, 60},
        {"ml/min back to g/min", millilitresOfAir, FlowUnitGramsPerMinute, 1.0},
    };
    for (const Case& c : cases) {
        TGasFlowDetails to = c.to;
        to.GasMolarMass = 99; // always replaced by the source's
        QString errors, report;
        ASSERT_TRUE(ConvertGasFlow(c.from, to, errors, report)) << c.name << "\n" << errors.toStdString();
        EXPECT_NEAR(to.GasFlowValue, c.expected, c.expected * 1e-7) << c.name;
        EXPECT_EQ(to.GasMolarMass, c.from.GasMolarMass) << c.name;
        EXPECT_TRUE(errors.isEmpty()) << c.name;
    }
}

TEST_F(FlowUnitsTest, StandardAndNormalVolumesConvertLikePlainOnes)
{
    // SCC and MLN carry no conditions of their own: the record's count.
    const std::pair<TGasFlowVolumeUnit, TGasFlowVolumeUnit> pairs[] = {{gfvuSCC, gfvuCC}, {gfvuMLN, gfvuML}};
    for (const auto& [standard, plain] : pairs) {
        TGasFlowDetails fromStandard = Millilitres(standard, 20, tuC);
        fromStandard.GasFlowValue = 100;
        TGasFlowDetails fromPlain = fromStandard;
        fromPlain.GasFlowVolumeUnit = plain;
        TGasFlowDetails toStandard = Millilitres(standard, 0, tuC);
        TGasFlowDetails toPlain = Millilitres(plain, 0, tuC);
        QString errors, report;
        ASSERT_TRUE(ConvertGasFlow(fromStandard, toStandard, errors, report));
        ASSERT_TRUE(ConvertGasFlow(fromPlain, toPlain, errors, report));
        EXPECT_EQ(toStandard.GasFlowValue, toPlain.GasFlowValue);
        EXPECT_NEAR(toPlain.GasFlowValue, 100 * 273.15 / 293.15, 1e-9);
    }
}

// Every refusal leaves the target as it was: callers read To after a false
// result only by mistake, and then must not find a half-written record.
TEST_F(FlowUnitsTest, RefusesUnconvertibleUnitsAndLeavesTargetUnchanged)
{
    using Edit = std::function<void(TGasFlowDetails&)>;
    const Edit none = [](TGasFlowDetails&) {};
    struct Case {
        const char* name;
        Edit editFrom;
        Edit editTo;
        QStringList errors;
    };
    const Case cases[] = {
        {"source below absolute zero", [](TGasFlowDetails& d) { d.Temperature = -273.16; }, none,
         {"GasFrom: Absolute zero temperature. Cannot perform math."}},
        {"source at zero pressure", [](TGasFlowDetails& d) { d.Pressure_BarA = 0; }, none,
         {"GasFrom: Absolute zero pressure. Cannot perform math."}},
        {"source at negative pressure", [](TGasFlowDetails& d) { d.Pressure_BarA = -1; }, none,
         {"GasFrom: Absolute zero pressure. Cannot perform math."}},
        {"both conditions, temperature first",
         [](TGasFlowDetails& d) { d.Temperature = -500; d.TemperatureUnit = tuF; d.Pressure_BarA = 0; }, none,
         {"GasFrom: Absolute zero temperature. Cannot perform math.",
          "GasFrom: Absolute zero pressure. Cannot perform math."}},
        {"source type and time unit undefined",
         [](TGasFlowDetails& d) { d.GasFlowType = gfuUndefined; d.GasFlowTimeUnit = gftUndefined; }, none,
         {"From GasFlowType is Undefined", "From GasFlowTimeUnit is Undefined"}},
        {"source volume and temperature scale undefined, then fresh target",
         [](TGasFlowDetails& d) { d.GasFlowVolumeUnit = gfvuUndefined; d.TemperatureUnit = tuUndefined; },
         [](TGasFlowDetails& d) { d = TGasFlowDetails(); },
         {"From TemperatureUnit is Undefined", "From GasFlowVolumeUnit is Undefined",
          "To GasFlowType is Undefined", "To GasFlowTimeUnit is Undefined"}},
        {"target volume and temperature scale undefined", none,
         [](TGasFlowDetails& d) { d.GasFlowVolumeUnit = gfvuUndefined; d.TemperatureUnit = tuUndefined; },
         {"To TemperatureUnit is Undefined", "To GasFlowVolumeUnit is Undefined"}},
        {"target at zero pressure", none, [](TGasFlowDetails& d) { d.Pressure_BarA = 0; },
         {"GasTo: Absolute zero pressure. Cannot perform math."}},
        {"target at negative pressure", none, [](TGasFlowDetails& d) { d.Pressure_BarA = -2; },
         {"GasTo: Absolute zero pressure. Cannot perform math."}},
    };
    for (const Case& c : cases) {
        TGasFlowDetails from = FlowUnitMillilitresPerMinute;
        from.GasFlowValue = 500;
        c.editFrom(from);
        TGasFlowDetails to = FlowUnitMicrolitresPerMinute;
        to.GasFlowValue = 7;
        c.editTo(to);
        const TGasFlowDetails before = to;
        QString errors = QStringLiteral("stale"), report;
        EXPECT_FALSE(ConvertGasFlow(from, to, errors, report)) << c.name;
        EXPECT_EQ(errors, c.errors.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")) << c.name;
        EXPECT_TRUE(to == before) << c.name;
        EXPECT_TRUE(std::isfinite(to.GasFlowValue)) << c.name;
    }
}

TEST_F(FlowUnitsTest, AcceptsSourceJustAboveAbsoluteZero)
{
    TGasFlowDetails from = Millilitres(gfvuMLN, -273.14, tuC);
    from.GasFlowValue = 1;
    TGasFlowDetails to = FlowUnitGramsPerMinute;
    QString errors, report;
    EXPECT_TRUE(ConvertGasFlow(from, to, errors, report));
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_GT(to.GasFlowValue, 0);
}

TEST_F(FlowUnitsTest, RefusesSourceWithoutMolarMassSilently)
{
    for (double molarMass : {0.0, -1.0, std::numeric_limits<double>::quiet_NaN()}) {
        TGasFlowDetails from = GramsOfAir();
        from.GasMolarMass = molarMass;
        TGasFlowDetails to = FlowUnitMillilitresPerMinute;
        const TGasFlowDetails before = to;
        QString errors, report;
        EXPECT_FALSE(ConvertGasFlow(from, to, errors, report)) << molarMass;
        EXPECT_TRUE(errors.isEmpty()) << molarMass;
        EXPECT_TRUE(report.endsWith(QStringLiteral(" GasFromMolarMass = 0 "))) << molarMass;
        EXPECT_TRUE(to == before) << molarMass;
    }
}

TEST_F(FlowUnitsTest, ReportListsEveryStepOfAVolumetricConversion)
{
    TGasFlowDetails from = Millilitres(gfvuL, 0, tuC);
    from.GasFlowValue = 2;
    TGasFlowDetails to = FlowUnitMillilitresPerMinute;
    QString errors, report;
    ASSERT_TRUE(ConvertGasFlow(from, to, errors, report));
    ASSERT_TRUE(report.endsWith(QStringLiteral("\r\n")));

    QStringList labels;
    for (const QString& line : report.split(QStringLiteral("\r\n")))
        labels << line.section(QLatin1Char(':'), 0, 0) + QLatin1Char(':');
    labels.removeLast(); // after the last line end
    const QStringList expected = {
        "       Volume:", "Gas from details:", "            Unit:", "       Time unit:",
        "       Volume:", "       Volume, L:", "  Pressure, barA:", "  Temperature, K:",
        "      Molar mass:", "         Mass, g:", "           Moles:", ":",
        "  Gas to details:", "            Unit:", "       Time unit:", "      Molar mass:",
        "         Mass, g:", "           Moles:", "Continuing to volumetrics:", "  Pressure, barA:",
        " Temperature, ºC:", " Temperature, ºK:", "       Volume, L:", "          Volume:",
    };
    EXPECT_EQ(labels, expected);
    EXPECT_TRUE(report.startsWith(QStringLiteral("       Volume: 2\r\n")));
    EXPECT_TRUE(report.contains(QStringLiteral("       Time unit: minute\r\n")));
    EXPECT_TRUE(report.contains(QStringLiteral("  Temperature, K: 273.15\r\n")));
    EXPECT_TRUE(report.contains(QStringLiteral(" Temperature, ºC: 25\r\n")));
    EXPECT_TRUE(report.endsWith(QStringLiteral("          Volume: ") + FloatToStr(to.GasFlowValue)
                                + QStringLiteral(" ml/min\r\n")));
}

TEST_F(FlowUnitsTest, ConvertsTemperatures)
{
    struct Case { TTemperatureConversion conversion; double value; double expected; };
    const Case cases[] = {
        {tcCtoF, 100, 212}, {tcCtoK, 0, 273.15}, {tcFtoC, 212, 100},
        {tcFtoK, 32, 273.15}, {tcKtoC, 273.15, 0}, {tcKtoF, 373.15, 212},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(ConvertTemperature(c.conversion, c.value), c.expected, 1e-9) << int(c.conversion);
}

TEST_F(FlowUnitsTest, ExpressesFullScaleInUnit)
{
    TGasFlowDetails volumetric = FlowUnitMicrolitresPerMinute; // 20 °C, 1.01325 bar
    volumetric.SetGasFlowMax(50);
    TGasFlowDetails grams = FlowUnitGramsPerMinute;
    grams.SetGasFlowMax(50);
    grams.GasMolarMass = AirMolarMass;
    TGasFlowDetails undefined;
    undefined.SetGasFlowMax(50);
    TGasFlowDetails noPressure = volumetric;
    noPressure.Pressure_BarA = 0;

    struct Case { const char* name; TGasFlowDetails details; double expected; };
    const Case cases[] = {
        {"volumetric at 20 C", volumetric, 49.1615},
        {"grams of air", grams, 0.0591952},
        {"undefined type", undefined, 0},
        {"volumetric at zero pressure", noPressure, 0},
    };
    for (const Case& c : cases) {
        const double value = MaxFlowInUnit(c.details);
        EXPECT_TRUE(std::isfinite(value)) << c.name;
        EXPECT_NEAR(value, c.expected, 1e-6 * c.expected + 1e-12) << c.name;
    }

    // Whatever the unit, grams per minute of the device's gas.
    volumetric.GasMolarMass = AirMolarMass;
    EXPECT_NEAR(MaxFlowGramsPerMinute(volumetric), 0.0591952, 1e-7);
}

TEST_F(FlowUnitsTest, ValidatesRecords)
{
    const QString header = QStringLiteral("Gas flow details failure, cannot proceed to calculations:\r\n");

    QString feedback;
    EXPECT_FALSE(TGasFlowDetails().IsValid(feedback));
    EXPECT_EQ(feedback, header + QStringLiteral("Name:Undefined\r\n"
                                                "Lacking \"GasName\"\r\n"
                                                "\"GasFlowType\" is undefined\r\n"
                                                "\"GasFlowTimeUnit\" is undefined\r\n"));

    feedback = QStringLiteral("stale");
    EXPECT_TRUE(FlowUnitMillilitresPerMinute.IsValid(feedback));
    EXPECT_TRUE(feedback.isEmpty());

    TGasFlowDetails atAbsoluteZero = FlowUnitMillilitresPerMinute;
    atAbsoluteZero.Temperature = -273.15; // the bound itself passes
    EXPECT_TRUE(atAbsoluteZero.IsValid(feedback)) << feedback.toStdString();

    TGasFlowDetails broken = FlowUnitMillilitresPerMinute;
    broken.Name.clear();
    broken.GasMolarMass = 0;
    broken.Temperature = 0.05;
    broken.TemperatureUnit = tuK;
    broken.Pressure_BarA = -1;
    EXPECT_FALSE(broken.IsValid(feedback));
    EXPECT_EQ(feedback, header + QStringLiteral("Name:\r\n"
                                                "Lacking \"Name\"\r\n"
                                                "\"GasMolarMass\" value not above zero\r\n"
                                                "Absolute zero or below \"Temperature\" ºK\r\n"
                                                "Absolute zero or below \"Pressure\"\r\n"));

    TGasFlowDetails notNumbers = FlowUnitMillilitresPerMinute;
    notNumbers.GasFlowValue = std::numeric_limits<double>::quiet_NaN();
    notNumbers.Temperature = std::numeric_limits<double>::quiet_NaN();
    notNumbers.TemperatureUnit = tuF;
    EXPECT_FALSE(notNumbers.IsValid(feedback));
    EXPECT_EQ(feedback, header + QStringLiteral("Name:ml/min\r\n"
                                                "\"GasFlowValue\" is not a valid float\r\n"
                                                "\"Temperature\" is not a valid float\"\r\n"));
}

TEST_F(FlowUnitsTest, GramsPerMinutePresetKeepsGasAndFullScale)
{
    TGasFlowDetails details = FlowUnitMillilitresPerMinute;
    details.SetGasFlowMax(200);
    SetGramsPerMinute(details);
    EXPECT_EQ(details.Name, QStringLiteral("g/min"));
    EXPECT_EQ(details.GasFlowType, gfuGrams);
    EXPECT_EQ(details.GasFlowVolumeUnit, gfvuUndefined);
    EXPECT_EQ(details.GasFlowTimeUnit, gfMinute);
    EXPECT_EQ(details.pGasFlowMax, 200);
    EXPECT_EQ(details.GasName, QStringLiteral("Air"));
    EXPECT_EQ(details.GasMolarMass, AirMolarMass);

    // As the recipe parser uses it: the full scale in the device unit to g/min.
    TGasFlowDetails device = FlowUnitMillilitresPerMinute;
    device.SetGasFlowMax(844.6628);
    device.Temperature = 25;
    device.GasFlowValue = MaxFlowInUnit(device);
    TGasFlowDetails grams;
    SetGramsPerMinute(grams);
    QString errors, report;
    ASSERT_TRUE(ConvertGasFlow(device, grams, errors, report)) << errors.toStdString();
    EXPECT_NEAR(grams.GasFlowValue, 1.0, 1e-7);
}

TEST_F(FlowUnitsTest, StandardUnits)
{
    EXPECT_EQ(FlowUnitGramsPerMinute.Name, QStringLiteral("g/min"));
    EXPECT_EQ(FlowUnitMillilitresPerMinute.Name, QStringLiteral("ml/min"));
    EXPECT_EQ(FlowUnitMicrolitresPerMinute.Name, QStringLiteral("µl/min"));
    EXPECT_EQ(FlowUnitMicrolitresPerMinute.Temperature, 20);
    EXPECT_EQ(FlowUnitMicrolitresPerMinute.GasMolarMass, 1.0);
    EXPECT_EQ(FlowUnitGramsPerMinute.Pressure_BarA, 1.01325);
    EXPECT_EQ(GasFlowTimeUnitName(gftDay), QStringLiteral("day"));
    EXPECT_EQ(GasFlowTimeUnitName(gftUndefined), QStringLiteral("undefined"));
}

} // namespace
