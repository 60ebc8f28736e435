#include "gas/GasList.h"
#include "gas/MixtureCalculations.h"
#include "gas/MixtureReports.h"


#include <gtest/gtest.h>

namespace {

TGasItem Gas(const QString& nameShort, double massFlow = 0)
{
    TGasItem item;
    EXPECT_TRUE(GetGas_NameShort(nameShort, item)) << nameShort.toStdString();
    item.MassFlow_gmin = massFlow;
    return item;
}

TGasItem Stream(const QList<TGasItem>& components)
{
    TGasItem stream;
    stream.NameShort = QStringLiteral("Stream");
    stream.Components = components;
    return stream;
}

TEST(MixtureCalculations, PopulateComponentMassesSplitsByMass)
{
    TGasItem nameless;
    nameless.NameShort = QStringLiteral("X"); // no molar mass
    struct Case {
        const char* name;
        TGasItem item;
        double massFlow;
        bool result;
        QList<double> componentFlows;
    } cases[] = {
        {"air", Gas("Air"), 1, true, {0.2329092, 0.7670908}},
        {"air without flow", Gas("Air"), 0, true, {0, 0}},
        {"component without molar mass", Stream({Gas("N2"), nameless}), 1, false, {0, 0}},
        {"fractions all zero", Gas("Air"), 1, false, {0, 0}},
    };
    cases[3].item.Components[0].PartialPressure = 0;
    cases[3].item.Components[1].PartialPressure = 0;
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.item.MassFlow_gmin = c.massFlow;
        const TGasItem before = c.item;
        EXPECT_EQ(PopulateComponentMasses(c.item), c.result);
        ASSERT_EQ(c.item.Components.size(), c.componentFlows.size());
        for (int i = 0; i < c.componentFlows.size(); ++i) {
            EXPECT_NEAR(c.item.Components.at(i).MassFlow_gmin, c.componentFlows.at(i), 1e-7);
            if (!c.result) {
                EXPECT_EQ(c.item.Components.at(i).MassFraction, before.Components.at(i).MassFraction);
            }
        }
    }

    TGasItem nitrogen = Gas("N2", 2);
    nitrogen.PartialPressure = 0.3;
    EXPECT_TRUE(PopulateComponentMasses(nitrogen));
    EXPECT_EQ(nitrogen.PartialPressure, 1);
    EXPECT_EQ(nitrogen.MassFraction, 1);
    EXPECT_EQ(nitrogen.MassFlow_gmin, 2);
}

TEST(MixtureCalculations, PopulatePartialPressuresFromMassFlows)
{
    TGasItem stream = Stream({Gas("N2", 28.014), Gas("O2", 31.998)});
    PopulatePartialPressures(stream);
    EXPECT_DOUBLE_EQ(stream.Components.at(0).PartialPressure, 0.5);
    EXPECT_DOUBLE_EQ(stream.Components.at(1).PartialPressure, 0.5);
    EXPECT_NEAR(stream.Components.at(0).MassFraction, 0.4668, 1e-4);
    EXPECT_NEAR(stream.Components.at(1).MassFraction, 0.5332, 1e-4);
    EXPECT_DOUBLE_EQ(stream.MassFlow_gmin, 60.012);
    EXPECT_TRUE(stream.ComponentsNormalized);
    EXPECT_EQ(stream.FluidPartialPressure, 0);

    // One mole of nitrogen twice and one of water: the water's share is the
    // stream's fluid fraction, and the two nitrogen entries stay apart.
    TGasItem humid = Stream({Gas("N2", 28.014), Gas("H2O", 18.01488), Gas("N2", 28.014)});
    PopulatePartialPressures(humid);
    ASSERT_EQ(humid.Components.size(), 3);
    EXPECT_DOUBLE_EQ(humid.FluidPartialPressure, 1.0 / 3);
    EXPECT_DOUBLE_EQ(humid.Components.at(2).PartialPressure, 1.0 / 3);

    TGasItem nameless;
    const struct {
        const char* name;
        TGasItem item;
    } untouched[] = {
        {"nothing flows", Stream({Gas("N2"), Gas("O2")})},
        {"component without molar mass", Stream({Gas("N2", 1), nameless})},
    };
    for (const auto& c : untouched) {
        SCOPED_TRACE(c.name);
        TGasItem item = c.item;
        PopulatePartialPressures(item);
        EXPECT_FALSE(item.ComponentsNormalized);
        EXPECT_EQ(item.Components.at(0).PartialPressure, c.item.Components.at(0).PartialPressure);
        EXPECT_EQ(item.MassFlow_gmin, 0);
    }
}

TEST(MixtureCalculations, AppendElementalComponentsGoesTwoLevelsDeep)
{
    TGasItem air = Gas("Air");
    air.MassFlow_gmin = 1;
    PopulateComponentMasses(air);
    // Ar 0.5 and a sub-mixture: the sub-mixture is the third level, so only
    // the argon beside it is taken.
    const TGasItem nested = Gas("XTMC_DesignTime");
    TGasItem target;
    AppendElementalComponents(Stream({Gas("N2", 5), air, nested}), target);
    QStringList names;
    for (const TGasItem& component : std::as_const(target.Components))
        names << component.NameShort;
    EXPECT_EQ(names, QStringList({"N2", "O2", "N2", "Ar"}));
    EXPECT_EQ(target.Components.at(0).MassFlow_gmin, 5);
    EXPECT_NEAR(target.Components.at(1).MassFlow_gmin, 0.2329092, 1e-7);
}

TEST(MixtureCalculations, VolumesAndSaturationPressures)
{
    const struct {
        const char* name;
        double value;
        double expected;
        double tolerance;
    } cases[] = {
        {"one mole at 0 °C", VolumetricFlow_mlmin(1.01325, 0, 1), 22413.97, 0.01},
        {"no pressure", VolumetricFlow_mlmin(0, 0, 1), -1, 0},
        {"negative pressure", VolumetricFlow_mlmin(-1, 25, 1), -1, 0},
        {"water at 20 °C", SaturationVapourPressure(20), 23.39, 0.01},
        {"ice at 0 °C", SaturationVapourPressure(0), 6.11, 0.01},
        {"ice at -10 °C", SaturationVapourPressure(-10), 2.60, 0.01},
        {"boiling water", SaturationVapourPressure(100), 1014.17, 0.01},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(c.value, c.expected, c.tolerance) << c.name;
}

TEST(MixtureReports, HumidityRowsAgainstSaturation)
{
    TGasItem humid;
    humid.FluidPartialPressure = 0.01;
    // Below freezing the stream is supersaturated: a relative humidity above
    // 999.999 % keeps its leading digits.
    const TVecArr conditions = {{25, 1.01325}, {25, 0}, {25, 2.0265}, {-10, 1.01325}, {-30, 1.01325}};
    EXPECT_EQ(HumidityReport(humid, conditions),
              QStringLiteral("    ºC      BarA  Max ppm/100%RH  Current ppm     RH %\r\n"
                             "    25   1.01325          31 285       10 000   31.964  \r\n"
                             "    25    2.0265          15 642       10 000   63.928  \r\n"
                             "   -10   1.01325           2 565       10 000  389.913  \r\n"
                             "   -30   1.01325             375       10 000  2666.387  \r\n"));
}

TEST(MixtureReports, PartialPressuresInPpm)
{
    TGasItem stream = Stream({Gas("N2"), Gas("O2"), Gas("Ar"), Gas("He"), Gas("CO2")});
    const double fractions[] = {1, 0.2095, 0.0000005, 0.0000001234567, 0};
    for (int i = 0; i < 5; ++i)
        stream.Components[i].PartialPressure = fractions[i];
    // Six decimals are one wider than their column: the row grows rather
    // than lose a digit.
    EXPECT_EQ(PartialPressuresReport(stream), QStringLiteral("    N2              1 000 000 ppm\r\n"
                                                             "    O2                209 500 ppm\r\n"
                                                             "    Ar                    0.5 ppm\r\n"
                                                             "    He               0.123 457 ppm\r\n"
                                                             "    CO2                   0.0 ppm\r\n"));
}

TEST(MixtureReports, VolumetricFlowsPerConditionRow)
{
    TGasItem nameless;
    nameless.NameShort = QStringLiteral("X");
    nameless.MassFlow_gmin = 1;
    const TGasItem stream = Stream({Gas("N2", 28.014), nameless, Gas("O2", 3.1998)});
    // The cell without molar mass reads "Err" and stays out of the total;
    // no pressure gives -1 per cell.
    EXPECT_EQ(VolumetricFlowsReport(stream, {{0, 1.01325}, {150, 0}}),
              QStringLiteral("   ºC     BarA         N2         X        O2       Tot\r\n"
                             "    0  1.01325    22414.0       Err    2241.4   24655.4\r\n"
                             "  150        0       -1.0       Err      -1.0      -2.0\r\n"));
}

TEST(MixtureReports, InputsAndElementalComponents)
{
    TGasItem air = Gas("Air", 1);
    PopulateComponentMasses(air);
    const TGasItem recipe = Stream({Gas("N2", 12.5), air});
    EXPECT_EQ(MixtureInputsReport(recipe), QStringLiteral("  Inputs:\r\n"
                                                          "    N2            12.500 000 g/min\r\n"
                                                          "    Air           1.000 000 g/min\r\n"));
    EXPECT_EQ(MixtureComponentsReport(recipe), QStringLiteral("    N2            12.500 000 g/min\r\n"
                                                              "    O2            0.232 909 g/min\r\n"
                                                              "    N2            0.767 091 g/min\r\n"));
    EXPECT_EQ(MixtureComponentsReport(Gas("Ar", 2)), QStringLiteral("    Ar            2.000 000 g/min\r\n"));
}

TEST(MixtureReports, DetailsOfANormalisedMixture)
{
    TGasItem air;
    NormalizeMixture(Gas("Air", 28.85064), air);
    EXPECT_TRUE(PopulateComponentMasses(air));
    EXPECT_EQ(MixtureDetails(air), QStringLiteral("             Molar mass        Mass     Partial\r\n"
                                                  "Components   g/mol         fraction    pressure\r\n"
                                                  "        O2   31.998 000   0.232 909   0.210 000  \r\n"
                                                  "        N2   28.014 000   0.767 091   0.790 000  \r\n"
                                                  "\r\n"
                                                  "      Flow   Unit      Temperature     Pressure\r\n"
                                                  "   22419.5   mln/min           0ºC    1.013 bar\r\n"
                                                  "   24471.4   ml/min           25ºC    1.013 bar\r\n"
                                                  "   34731.1   ml/min          150ºC    1.013 bar\r\n"
                                                  "28.850 640   g/min\r\n"
                                                  " 1.000 000   mol/min\r\n"));
    EXPECT_EQ(MixtureDetails(Gas("XTMC_DesignTime", 1)), QString());
}

} // namespace
