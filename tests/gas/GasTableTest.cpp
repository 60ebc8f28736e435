#include "gas/GasList.h"

#include "base/Errors.h"
#include "support/RecordingPrompts.h"

#include <gtest/gtest.h>

#include <QSet>

namespace {

TGasItem Gas(const QString& nameShort)
{
    TGasItem item;
    EXPECT_TRUE(GetGas_NameShort(nameShort, item)) << nameShort.toStdString();
    return item;
}

TGasItem Part(const QString& nameShort, double fraction, double massFlow = 0)
{
    TGasItem part = Gas(nameShort);
    part.PartialPressure = fraction;
    part.MassFlow_gmin = massFlow;
    return part;
}

TGasItem Mixture(const QList<TGasItem>& components, double fraction = 1.0)
{
    TGasItem mixture;
    mixture.Components = components;
    mixture.PartialPressure = fraction;
    return mixture;
}

const TGasItem* Component(const TGasItem& mixture, const QString& nameShort)
{
    for (const TGasItem& component : mixture.Components) {
        if (component.NameShort == nameShort)
            return &component;
    }
    return nullptr;
}

TEST(GasLookup, ByNumberAndShortName)
{
    TGasItem item;
    item.MassFlow_gmin = 5; // a reused record: nothing of it may survive
    GetGas_ID(-1, item);
    EXPECT_EQ(item.NameShort, QStringLiteral("Unconfigured"));
    EXPECT_EQ(item.AlicatID, -1);
    EXPECT_EQ(item.GasType(), tElemental);
    EXPECT_EQ(item.MassFlow_gmin, 0);

    try {
        GetGas_ID(999, item);
        ADD_FAILURE() << "no error for an unknown gas number";
    } catch (const TarvoError& error) {
        EXPECT_EQ(error.Message(), QStringLiteral("GetGas_ID failed to return gas(ID):999"));
    }
    EXPECT_FALSE(TryGetGas_ID(999, item));
    EXPECT_EQ(item.NameShort, QStringLiteral("Undefined"));
    EXPECT_FALSE(TryGetGas_ID(-1, item));

    GetGas_ID(4, item);
    EXPECT_EQ(item.NameShort, QStringLiteral("CO2"));
    EXPECT_TRUE(TryGetGas_ID(1001, item));
    EXPECT_EQ(item.NameShort, QStringLiteral("H2O"));

    EXPECT_FALSE(GetGas_NameShort(QStringLiteral("co2"), item));
    EXPECT_TRUE(GetGas_NameShort(QStringLiteral("CO2"), item));
    EXPECT_EQ(item.AlicatID, 4);

    // Lookups hand out copies.
    item.NameShort = QStringLiteral("changed");
    EXPECT_TRUE(GetGas_NameShort(QStringLiteral("CO2"), item));
}

TEST(GasTable, ListsEveryGasInOrder)
{
    const QList<TGasItem>& list = GasList();
    ASSERT_EQ(list.size(), 133);

    struct Row { int index; const char* nameShort; qint32 id; };
    const Row rows[] = {
        {0, "Ar", 1}, {6, "H-2", 210}, {47, "R-318", 113}, {48, "R-404A", 114}, {52, "Air", 0},
        {67, "He-90", 144}, {68, "Bio5M", 145}, {86, "Bio95M", 163}, {87, "EAN-32", 164},
        {90, "HeOx20", 167}, {91, "HeOx21", 168}, {97, "HeOx99", 174}, {98, "EA-40", 175},
        {129, "PG-10", 206}, {130, "H2O", 1001}, {131, "XTMC_DesignTime", 301}, {132, "XTMC_Normalized", 302},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(list.at(row.index).NameShort, QString::fromLatin1(row.nameShort)) << row.index;
        EXPECT_EQ(list.at(row.index).AlicatID, row.id) << row.index;
    }

    QSet<qint32> ids;
    QSet<QString> names;
    for (const TGasItem& item : list) {
        ids.insert(item.AlicatID);
        names.insert(item.NameShort);
        if (item.GasType() != tMixture)
            continue;
        double sum = 0;
        for (const TGasItem& component : item.Components)
            sum += component.PartialPressure;
        EXPECT_NEAR(sum, 1.0, 1e-12) << item.NameShort.toStdString();
    }
    EXPECT_EQ(ids.size(), list.size());
    EXPECT_EQ(names.size(), list.size());
}

TEST(GasTable, GeneratedMixtures)
{
    struct Row { const char* nameShort; qint32 id; const char* first; int percent; const char* second; };
    const Row rows[] = {
        {"Bio5M", 145, "CH4", 5, "CO2"},
        {"Bio50M", 154, "CH4", 50, "CO2"},
        {"Bio95M", 163, "CH4", 95, "CO2"},
        {"HeOx21", 168, "O2", 21, "He"},
        {"HeOx99", 174, "O2", 99, "He"},
    };
    for (const Row& row : rows) {
        const TGasItem item = Gas(QString::fromLatin1(row.nameShort));
        EXPECT_EQ(item.AlicatID, row.id) << row.nameShort;
        ASSERT_EQ(item.Components.size(), 2) << row.nameShort;
        const TGasItem* first = Component(item, QString::fromLatin1(row.first));
        const TGasItem* second = Component(item, QString::fromLatin1(row.second));
        ASSERT_TRUE(first && second) << row.nameShort;
        EXPECT_DOUBLE_EQ(first->PartialPressure, row.percent / 100.0) << row.nameShort;
        EXPECT_DOUBLE_EQ(second->PartialPressure, (100 - row.percent) / 100.0) << row.nameShort;
    }
}

TEST(GasTable, AirIsANormalisedMixture)
{
    // The entry itself: lookups hand out copies without mass fractions.
    const TGasItem& air = GasList().at(52);
    EXPECT_EQ(air.AlicatID, 0);
    EXPECT_EQ(air.GasType(), tMixture);
    EXPECT_TRUE(air.ComponentsNormalized);
    ASSERT_EQ(air.Components.size(), 2);
    const TGasItem* oxygen = Component(air, QStringLiteral("O2"));
    const TGasItem* nitrogen = Component(air, QStringLiteral("N2"));
    ASSERT_TRUE(oxygen && nitrogen);
    EXPECT_DOUBLE_EQ(oxygen->PartialPressure, 0.21);
    EXPECT_DOUBLE_EQ(nitrogen->PartialPressure, 0.79);
    EXPECT_NEAR(air.GetMolarMass(), 28.85064, 1e-9);
    EXPECT_NEAR(oxygen->MassFraction, 0.2329092, 1e-7);
    EXPECT_NEAR(nitrogen->MassFraction, 0.7670908, 1e-7);
    EXPECT_EQ(air.GetNameLong(), QStringLiteral("21%Oxygen, 79%Nitrogen"));
    EXPECT_FALSE(air.GetCorrosive());
}

TEST(GasTable, CalculationTestMixtures)
{
    const TGasItem normalized = Gas(QStringLiteral("XTMC_Normalized"));
    EXPECT_EQ(normalized.GasType(), tMixture);
    ASSERT_EQ(normalized.Components.size(), 2);
    EXPECT_DOUBLE_EQ(Component(normalized, QStringLiteral("Ar"))->PartialPressure, 0.6625);
    EXPECT_DOUBLE_EQ(Component(normalized, QStringLiteral("He"))->PartialPressure, 0.3375);
    EXPECT_NEAR(normalized.GetMolarMass(), 27.8177525, 1e-9);
    EXPECT_EQ(normalized.GetNameLong(), QStringLiteral("Test mix for calculations"));

    const TGasItem designTime = Gas(QStringLiteral("XTMC_DesignTime"));
    EXPECT_EQ(designTime.GasType(), tDesignTimeMix);
    EXPECT_EQ(designTime.GetMolarMass(), 1.0);
    ASSERT_EQ(designTime.Components.size(), 2);
    EXPECT_EQ(designTime.Components.at(1).Components.size(), 2); // still nested

    TGasItem flattened;
    NormalizeMixture(designTime, flattened);
    ASSERT_EQ(flattened.Components.size(), 2);
    EXPECT_DOUBLE_EQ(Component(flattened, QStringLiteral("Ar"))->PartialPressure, 0.6625);
    EXPECT_DOUBLE_EQ(flattened.GetMolarMass(), normalized.GetMolarMass());
}

TEST(GasItem, VolumePerGramAtNormalConditions)
{
    const TGasItem argon = Gas(QStringLiteral("Ar"));
    EXPECT_NEAR(argon.mlnPerGram(), 561.05055, 1e-5);
    EXPECT_NEAR(argon.GramPermln(), 0.0017823706, 1e-10);
    EXPECT_NEAR(argon.mlnPerGram() * 0.5, 280.5253, 1e-4);

    // A record never given a molar mass, and a mixture whose fractions are all zero.
    TGasItem empty;
    TGasItem nothing;
    NormalizeMixture(Mixture({Part(QStringLiteral("Ar"), 0), Part(QStringLiteral("He"), 0)}), nothing);
    struct Case { const TGasItem& item; const char* message; };
    const Case cases[] = {
        {empty, "Moles per gram pre-work division by zero for: Undefined tElemental"},
        {nothing, "Moles per gram pre-work division by zero for: 0%Argon, 0%Helium tMixture"},
    };
    for (const Case& c : cases) {
        try {
            c.item.mlnPerGram();
            ADD_FAILURE() << "no error for " << c.message;
        } catch (const TarvoError& error) {
            EXPECT_EQ(error.Message(), QString::fromLatin1(c.message));
        }
        EXPECT_THROW(c.item.GramPermln(), TarvoError);
    }
}

TEST(GasItem, LongNamesFromComponents)
{
    EXPECT_EQ(Gas(QStringLiteral("HD5LPG")).GetNameLong(),
              QStringLiteral("96.2%Propane, 1.5%Ethane, .4%Propylene, 1.9%Normal Butane"));
    EXPECT_EQ(Gas(QStringLiteral("HHO")).GetNameLong(), QStringLiteral("66.7%Hydrogen, 33.3%Oxygen"));
    // A long name of its own wins.
    EXPECT_EQ(Gas(QStringLiteral("Star29")).GetNameLong(), QStringLiteral("Stargon CS"));
    EXPECT_EQ(Gas(QStringLiteral("R-410A")).GetNameLong(), QStringLiteral("50% R-32, 50% R-125"));
}

TEST(GasItem, CorrosiveOnlyWhenEveryComponentIs)
{
    struct Case { const char* nameShort; bool corrosive; };
    const Case cases[] = {
        {"C3H6", true}, {"O2", false}, {"OCG-89", false}, {"R-410A", true}, {"XTMC_DesignTime", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Gas(QString::fromLatin1(c.nameShort)).GetCorrosive(), c.corrosive) << c.nameShort;
}

TEST(GasItem, CloneCopiesIdentityNotCalculationResults)
{
    TGasItem source = Gas(QStringLiteral("Air"));
    source.MassFlow_gmin = 2;
    source.FluidPartialPressure = 0.1;
    source.Components[0].MassFlow_gmin = 3;

    const TGasItem withMass = source.Clone(true);
    EXPECT_EQ(withMass.MassFlow_gmin, 2);
    EXPECT_EQ(withMass.Components.at(0).MassFlow_gmin, 3);
    EXPECT_EQ(withMass.FluidPartialPressure, 0);
    EXPECT_EQ(withMass.Components.at(0).MassFraction, 0);
    EXPECT_EQ(withMass.GetMolarMass(), source.GetMolarMass());
    EXPECT_EQ(withMass._NameLong, QStringLiteral("21%Oxygen, 79%Nitrogen"));

    const TGasItem withoutMass = source.Clone(false);
    EXPECT_EQ(withoutMass.MassFlow_gmin, 0);
    EXPECT_EQ(withoutMass.Components.at(0).MassFlow_gmin, 0);

    source.Init();
    EXPECT_EQ(source.NameShort, QStringLiteral("Undefined"));
    EXPECT_EQ(source.AlicatID, -1);
    EXPECT_TRUE(source.Components.isEmpty());
    EXPECT_EQ(source.MassFlow_gmin, 2); // left for the mixture calculations
}

TEST(NormalizeMixture, ElementalGasComesBackUnchanged)
{
    TGasItem carbonDioxide = Part(QStringLiteral("CO2"), 0.3, 2.5);
    TGasItem result;
    NormalizeMixture(carbonDioxide, result);
    EXPECT_EQ(result.GasType(), tElemental);
    EXPECT_EQ(result.NameShort, QStringLiteral("CO2"));
    EXPECT_EQ(result.PartialPressure, 0.3);
    EXPECT_EQ(result.MassFlow_gmin, 2.5);
    EXPECT_EQ(result.GetMolarMass(), carbonDioxide.GetMolarMass());
}

TEST(NormalizeMixture, MergesAGasMetTwice)
{
    // Argon directly and inside a sub-mixture that makes up half the whole.
    const TGasItem nested = Mixture({Part(QStringLiteral("Ar"), 0.5, 1.0),
                                     Mixture({Part(QStringLiteral("Ar"), 0.4, 2.0), Part(QStringLiteral("He"), 0.6, 3.0)}, 0.5)});
    TGasItem result = nested;
    NormalizeMixture(result, result); // in place
    EXPECT_EQ(result.GasType(), tMixture);
    ASSERT_EQ(result.Components.size(), 2);
    const TGasItem* argon = Component(result, QStringLiteral("Ar"));
    const TGasItem* helium = Component(result, QStringLiteral("He"));
    ASSERT_TRUE(argon && helium);
    EXPECT_DOUBLE_EQ(argon->PartialPressure, 0.7);
    EXPECT_DOUBLE_EQ(argon->MassFlow_gmin, 3.0);
    EXPECT_DOUBLE_EQ(helium->PartialPressure, 0.3);
    EXPECT_DOUBLE_EQ(helium->MassFlow_gmin, 3.0);
    EXPECT_DOUBLE_EQ(argon->MassFraction + helium->MassFraction, 1.0);
    EXPECT_NEAR(argon->MassFraction, 0.7 * 39.95 / (0.7 * 39.95 + 0.3 * 4.0026), 1e-12);
}

TEST(NormalizeMixture, NormalisedEntriesStayAsTheyAre)
{
    for (const TGasItem& entry : GasList()) {
        if (entry.GasType() != tMixture)
            continue;
        TGasItem again;
        NormalizeMixture(entry, again);
        ASSERT_EQ(again.Components.size(), entry.Components.size()) << entry.NameShort.toStdString();
        for (int i = 0; i < entry.Components.size(); ++i) {
            const TGasItem& before = entry.Components.at(i);
            const TGasItem* after = Component(again, before.NameShort);
            ASSERT_TRUE(after) << entry.NameShort.toStdString();
            EXPECT_DOUBLE_EQ(after->PartialPressure, before.PartialPressure) << entry.NameShort.toStdString();
            EXPECT_DOUBLE_EQ(after->MassFraction, before.MassFraction) << entry.NameShort.toStdString();
        }
        EXPECT_EQ(again.GetNameLong(), entry.GetNameLong());
    }
}

TEST(GasItem, HasFluidOnlyAsksNormalisedMixtures)
{
    RecordingPrompts prompts;
    TGasItem humidAir;
    NormalizeMixture(Mixture({Part(QStringLiteral("Air"), 0.98), Part(QStringLiteral("H2O"), 0.02)}), humidAir);
    EXPECT_TRUE(humidAir.GetHasFluid());
    EXPECT_FALSE(Gas(QStringLiteral("Air")).GetHasFluid());
    EXPECT_TRUE(prompts.Messages.isEmpty());

    EXPECT_FALSE(Gas(QStringLiteral("H2O")).GetHasFluid());
    EXPECT_FALSE(Gas(QStringLiteral("XTMC_DesignTime")).GetHasFluid());
    EXPECT_EQ(prompts.Messages, QStringList(2, QStringLiteral("GasHasFluid on nonflat mixture")));
}

TEST(GasTable, MixtureWithUnknownComponentIsLeftOut)
{
    QList<TGasItem> list = {Gas(QStringLiteral("O2")), Gas(QStringLiteral("N2"))};
    TGasItem mixture;
    mixture.AlicatID = 500;
    mixture.NameShort = QStringLiteral("Test");
    EXPECT_FALSE(AppendMixture(list, mixture, {{QStringLiteral("O2"), 0.5}, {QStringLiteral("Xx"), 0.5}}));
    EXPECT_EQ(list.size(), 2);
    EXPECT_TRUE(AppendMixture(list, mixture, {{QStringLiteral("O2"), 0.5}, {QStringLiteral("N2"), 0.5}}));
    ASSERT_EQ(list.size(), 3);
    EXPECT_EQ(list.last().GasType(), tMixture);
}

TEST(FluidLists, RowsAlignedForAFixedPitchFont)
{
    const QList<TFluidListRow> gases = GasFluidListRows();
    ASSERT_EQ(gases.size(), GasList().size() + 1);
    EXPECT_EQ(gases.at(0).Text, QStringLiteral("Shortname Formula   Longname, recipe, comments"));
    EXPECT_EQ(gases.at(0).ID, 0);
    EXPECT_EQ(gases.at(4).Text, QStringLiteral("CO2       CO2       Carbon Dioxide "));
    EXPECT_EQ(gases.at(4).ID, 4);
    EXPECT_EQ(gases.at(53).Text, QStringLiteral("Air                 21%Oxygen, 79%Nitrogen "));
    EXPECT_EQ(gases.at(53).ID, 0);
    // Long short names are cut to the column.
    EXPECT_EQ(gases.at(132).Text, QStringLiteral("XTMC_Desi           Test mix for calculations "));
    EXPECT_EQ(gases.at(132).ID, 301);

    const QList<TFluidListRow> pump = PumpFluidListRows();
    ASSERT_EQ(pump.size(), 2);
    EXPECT_EQ(pump.at(0).Text, QStringLiteral("Shortname Formula   Longname (or recipe)"));
    EXPECT_EQ(pump.at(0).ID, 0);
    EXPECT_EQ(pump.at(1).Text, QStringLiteral("H2O                 Only use deionized or distilled water"));
    EXPECT_EQ(pump.at(1).ID, 1001);
}

} // namespace
