#include "gas/GasList.h"

#include "base/Errors.h"
#include "base/TextHelpers.h"

#include <QLoggingCategory>

namespace {

Q_LOGGING_CATEGORY(lcGasList, "GasList", QtWarningMsg)

constexpr qint32 UnconfiguredID = -1;
constexpr qint32 WaterID = 1001;
constexpr int FluidListColumnWidth = 9;

struct ElementalRow {
    qint32 ID;
    const char* NameShort;
    const char* NameLong;
    const char* Formula;
    double MolarMass;
    bool Corrosive;
};

const ElementalRow ElementalRows[] = {
    {1, "Ar", "Argon", "Ar", 39.95, false},
    {2, "CH4", "Methane", "CH4", 16.04276, false},
    {3, "CO", "Carbon Monoxide", "CO", 28.01, false},
    {4, "CO2", "Carbon Dioxide", "CO2", 44.009, false},
    {5, "C2H6", "Ethane", "C2H6", 30.06964, false},
    {6, "H2", "Hydrogen", "H2", 2.01588, false},
    {210, "H-2", "Deuterium", "H2", 4.02820355622, false},
    {7, "He", "Helium", "He", 4.0026, false},
    {8, "N2", "Nitrogen", "N2", 28.014, false},
    {9, "N2O", "Nitrous Oxide", "N2O", 44.013, false},
    {10, "Ne", "Neon", "Ne", 20.18, false},
    {11, "O2", "Oxygen", "O2", 31.998, false},
    {12, "C3H8", "Propane", "C3H8", 44.09652, false},
    {13, "nC4H10", "Normal Butane", "nC4H10", 58.1234, false},
    {14, "C2H2", "Acetylene", "C2H2", 26.03788, false},
    {15, "C2H4", "Ethylene/Ethene", "C2H4", 28.05376, false},
    {16, "iC4H10", "Isobutane", "iC4H10", 58.1234, false},
    {17, "Kr", "Krypton", "Kr", 83.798, false},
    {18, "Xe", "Xenon", "Xe", 131.29, false},
    {19, "SF6", "Sulfur Hexafluoride", "SF6", 146.048, false},
    {30, "NO", "Nitric oxide", "NO", 30.006, true},
    {31, "NF3", "Nitric trifluoride", "NF3", 71.001, true},
    {32, "NH3", "Ammonia", "NH3", 17.03082, true},
    {33, "Cl", "Chlorine", "Cl", 35.45, true},
    {34, "H2S", "Hydrogen Sulfide", "H2S", 34.07588, true},
    {35, "SO2", "Sulfur dioxide", "SO2", 64.058, true},
    {36, "C3H6", "Propylene", "C3H6", 42.08064, true},
    {80, "1Buten", "1-Butylene", "C4H8", 56.10752, true},
    {81, "cButen", "cis-2-Butene", "C4H8", 56.10752, true},
    {82, "iButen", "Isobutene", "C4H8", 56.10752, true},
    {83, "tButen", "Trans-2-Butene", "C4H8", 56.10752, true},
    {84, "COS", "Carbonyl Sulfide", "COS", 60.07, true},
    {85, "DME", "Dimethylether", "C2H6O", 46.06864, true},
    {86, "SiH4", "Silane", "H4Si", 32.11676, true},
    {100, "R-11", "Trichlorofluoromethane", "CCL3F", 137.359, true},
    {101, "R-115", "Chloropentafluoroethane", "C2CLF5", 154.462, true},
    {102, "R-116", "Hexafluoroethane", "C2F6", 138.01, true},
    {103, "R-124", "Chlorotetrafluoroethane", "C2HClF4", 136.47194, true},
    {104, "R-125", "Pentafluoroethane", "C2HF5", 120.01994, true},
    {105, "R-134A", "Tetrafluoroethane", "C2H2F4", 102.02988, true},
    {106, "R-14", "Tetrafluoromethane", "CF4", 88.003, true},
    {107, "R-14b", "Chlorodifluoroethane", "C2H3ClF2", 100.49182, true},
    {108, "R-143a", "Trifluoroethane", "C2H3F3", 84.03982, true},
    {109, "R-152a", "Difluoroethane", "C2H4F2", 66.04976, true},
    {110, "R-22", "Difluoromonochloromethane", "CHClF2", 86.46494, true},
    {111, "R-23", "Trifluoromethane", "CHF3", 70.01294, true},
    {112, "R-32", "Difluoromethane", "CH2F2", 52.02288, true},
    {113, "R-318", "Octafluorocyclobutane", "C4F8", 200.028, true},
};

struct MixtureRow {
    qint32 ID;
    QString NameShort;
    QString NameLong; // empty: named after its components
    QList<TMixturePart> Parts;
};

// Mixtures of two gases in whole percent: N % of the first, the rest of the second.
MixtureRow BinaryPercentMixture(qint32 id, const QString& name, int percent, const QString& first,
                                const QString& second)
{
    return {id, name, QString(), {{first, percent / 100.0}, {second, (100 - percent) / 100.0}}};
}

QList<MixtureRow> MixtureRows()
{
    QList<MixtureRow> rows = {
        {114, "R-404A", "44% R-125, 4% R-134A, 52% R-143A2", {{"R-125", 0.44}, {"R-134A", 0.04}, {"R-143a", 0.52}}},
        {115, "R-407C", "23% R-32, 25% R-125, 52% R-143A2", {{"R-32", 0.23}, {"R-125", 0.25}, {"R-143a", 0.52}}},
        {116, "R-410A", "50% R-32, 50% R-125", {{"R-32", 0.5}, {"R-125", 0.5}}},
        {117, "R-507A", "50% R-125, 50% R-143A", {{"R-125", 0.5}, {"R-143a", 0.5}}},
        {0, "Air", {}, {{"O2", 0.21}, {"N2", 0.79}}},
        {20, "C-25", {}, {{"CO2", 0.25}, {"Ar", 0.75}}},
        {21, "C-10", {}, {{"CO2", 0.1}, {"Ar", 0.9}}},
        {22, "C-8", {}, {{"CO2", 0.08}, {"Ar", 0.92}}},
        {23, "C-2", {}, {{"CO2", 0.02}, {"Ar", 0.98}}},
        {24, "C-75", {}, {{"CO2", 0.75}, {"Ar", 0.25}}},
        {25, "He-25", {}, {{"He", 0.25}, {"Ar", 0.75}}},
        {26, "He-75", {}, {{"He", 0.75}, {"Ar", 0.25}}},
        {27, "A1025", {}, {{"He", 0.9}, {"Ar", 0.075}, {"CO2", 0.025}}},
        {28, "Star29", "Stargon CS", {{"Ar", 0.9}, {"CO2", 0.08}, {"O2", 0.02}}},
        {29, "P-5", {}, {{"CH4", 0.05}, {"Ar", 0.95}}},
        {140, "C-15", {}, {{"CO2", 0.15}, {"Ar", 0.85}}},
        {141, "C-20", {}, {{"CO2", 0.2}, {"Ar", 0.8}}},
        {142, "C-50", {}, {{"CO2", 0.5}, {"Ar", 0.5}}},
        {143, "He-50", {}, {{"He", 0.5}, {"Ar", 0.5}}},
        {144, "He-90", {}, {{"He", 0.9}, {"Ar", 0.1}}},
    };
    // Biogas: methane in steps of 5 % with carbon dioxide.
    for (int percent = 5; percent <= 95; percent += 5)
        rows.append(BinaryPercentMixture(144 + percent / 5, QStringLiteral("Bio%1M").arg(percent), percent,
                                         QStringLiteral("CH4"), QStringLiteral("CO2")));
    rows += QList<MixtureRow>{
        {164, "EAN-32", {}, {{"O2", 0.32}, {"N2", 0.68}}},
        {165, "EAN-36", {}, {{"O2", 0.36}, {"N2", 0.64}}},
        {166, "EAN-40", {}, {{"O2", 0.4}, {"N2", 0.6}}},
    };
    // Heliox: oxygen with helium.
    qint32 helioxID = 167;
    for (int percent : {20, 21, 30, 40, 50, 60, 80, 99})
        rows.append(BinaryPercentMixture(helioxID++, QStringLiteral("HeOx%1").arg(percent), percent,
                                         QStringLiteral("O2"), QStringLiteral("He")));
    rows += QList<MixtureRow>{
        {175, "EA-40", {}, {{"O2", 0.4}, {"N2", 0.6}}},
        {176, "EA-60", {}, {{"O2", 0.6}, {"N2", 0.4}}},
        {177, "EA-80", {}, {{"O2", 0.8}, {"N2", 0.2}}},
        {178, "Metab", {}, {{"O2", 0.16}, {"N2", 0.7804}, {"CO2", 0.05}, {"Ar", 0.0096}}},
        {179, "LG-4.5", {}, {{"CO2", 0.045}, {"N2", 0.135}, {"He", 0.82}}},
        {180, "LG-6", {}, {{"CO2", 0.06}, {"N2", 0.14}, {"He", 0.8}}},
        {181, "LG-7", {}, {{"CO2", 0.07}, {"N2", 0.14}, {"He", 0.79}}},
        {182, "LG-9", {}, {{"CO2", 0.09}, {"N2", 0.15}, {"He", 0.76}}},
        {183, "HeNe-9", {}, {{"Ne", 0.09}, {"He", 0.91}}},
        {184, "LG-9.4", {}, {{"CO2", 0.094}, {"N2", 0.1925}, {"He", 0.7135}}},
        {185, "SynG-1", {}, {{"H2", 0.4}, {"CO", 0.29}, {"CO2", 0.2}, {"CH4", 0.11}}},
        {186, "SynG-2", {}, {{"H2", 0.64}, {"CO", 0.28}, {"CO2", 0.01}, {"CH4", 0.07}}},
        {187, "SynG-3", {}, {{"H2", 0.7}, {"CO", 0.04}, {"CO2", 0.25}, {"CH4", 0.01}}},
        {188, "SynG-4", {}, {{"H2", 0.83}, {"CO", 0.14}, {"CH4", 0.03}}},
        {189, "NatG-1", {}, {{"CH4", 0.93}, {"C2H6", 0.03}, {"C3H8", 0.01}, {"N2", 0.02}, {"CO2", 0.01}}},
        {190, "NatG-2", {}, {{"CH4", 0.95}, {"C2H6", 0.03}, {"N2", 0.01}, {"CO2", 0.01}}},
        {191, "NatG-3", {}, {{"CH4", 0.952}, {"C2H6", 0.025}, {"C3H8", 0.002}, {"iC4H10", 0.001}, {"N2", 0.013}, {"CO2", 0.007}}},
        {192, "ColG", {}, {{"H2", 0.5}, {"CH4", 0.35}, {"CO", 0.1}, {"C2H4", 0.05}}},
        {193, "Endo", {}, {{"H2", 0.75}, {"N2", 0.25}}},
        {194, "HHO", {}, {{"H2", 2.0 / 3.0}, {"O2", 1.0 / 3.0}}},
        {195, "HD5LPG", {}, {{"C3H8", 961.0 / 999.0}, {"C2H6", 15.0 / 999.0}, {"C3H6", 4.0 / 999.0}, {"nC4H10", 19.0 / 999.0}}},
        {196, "HD10LPG", {}, {{"C3H8", 0.85}, {"C3H6", 0.1}, {"nC4H10", 0.05}}},
        {197, "OCG-89", {}, {{"O2", 0.89}, {"C3H6", 0.07}, {"nC4H10", 0.04}}},
        {198, "OCG-93", {}, {{"O2", 0.93}, {"N2", 0.03}, {"Ar", 0.04}}},
        {199, "OCG-95", {}, {{"O2", 0.95}, {"N2", 0.01}, {"Ar", 0.04}}},
        {200, "FG-1", {}, {{"O2", 0.025}, {"CO2", 0.108}, {"N2", 0.857}, {"Ar", 0.01}}},
        {201, "FG-2", {}, {{"O2", 0.029}, {"CO2", 0.14}, {"N2", 0.821}, {"Ar", 0.01}}},
        {202, "FG-3", {}, {{"O2", 0.037}, {"CO2", 0.15}, {"N2", 0.803}, {"Ar", 0.01}}},
        {203, "FG-4", {}, {{"O2", 0.07}, {"CO2", 0.12}, {"N2", 0.8}, {"Ar", 0.01}}},
        {204, "FG-5", {}, {{"O2", 0.1}, {"CO2", 0.095}, {"N2", 0.795}, {"Ar", 0.01}}},
        {205, "FG-6", {}, {{"O2", 0.13}, {"CO2", 0.07}, {"N2", 0.79}, {"Ar", 0.01}}},
        {206, "PG-10", {}, {{"CH4", 0.1}, {"Ar", 0.9}}},
    };
    return rows;
}

const TGasItem* FindNameShort(const QList<TGasItem>& list, const QString& name)
{
    for (const TGasItem& item : list) {
        if (item.NameShort == name)
            return &item;
    }
    return nullptr;
}

const TGasItem* FindID(const QList<TGasItem>& list, qint32 id)
{
    for (const TGasItem& item : list) {
        if (item.AlicatID == id)
            return &item;
    }
    return nullptr;
}

// A component of the calculation test mixtures; the building blocks are
// always in the list by then.
TGasItem Part(const QList<TGasItem>& list, const QString& name, double fraction)
{
    TGasItem part = FindNameShort(list, name)->Clone(false);
    part.PartialPressure = fraction;
    return part;
}

// Argon, then argon with a sub-mixture nested twice: normalising must reach
// every level ("Ar" 0.6625, "He" 0.3375).
TGasItem TestMixture(const QList<TGasItem>& list, qint32 id, const QString& name)
{
    TGasItem inner;
    inner.PartialPressure = 0.75;
    inner.Components = {Part(list, QStringLiteral("Ar"), 0.1), Part(list, QStringLiteral("He"), 0.9)};
    TGasItem middle;
    middle.PartialPressure = 0.5;
    middle.Components = {Part(list, QStringLiteral("Ar"), 0.25), inner};
    TGasItem mixture;
    mixture.AlicatID = id;
    mixture.NameShort = name;
    mixture._NameLong = QStringLiteral("Test mix for calculations");
    mixture.Components = {Part(list, QStringLiteral("Ar"), 0.5), middle};
    return mixture;
}

void TraceGasList(const QList<TGasItem>& list)
{
    for (const TGasItem& item : list) {
        qCDebug(lcGasList).noquote() << item.NameShort + QStringLiteral(" Components:")
                + QString::number(item.Components.size()) + QLatin1Char(' ')
                + (item.ComponentsNormalized ? QStringLiteral("Normalized mixture") : QStringLiteral("Elemental"));
    }
    const TGasItem* argon = FindNameShort(list, QStringLiteral("Ar"));
    qCDebug(lcGasList).noquote() << "Testing";
    qCDebug(lcGasList).noquote() << QStringLiteral("Ar g/mln = ") + FloatToStr(argon->GramPermln());
    qCDebug(lcGasList).noquote() << QStringLiteral("0.5 g of Ar in mln = ") + FloatToStr(argon->mlnPerGram() * 0.5);
    qCDebug(lcGasList).noquote() << QStringLiteral("280.6 mln of Ar in g = ") + FloatToStr(argon->GramPermln() * 280.6);
}

QList<TGasItem> MakeGasList()
{
    QList<TGasItem> list;
    for (const ElementalRow& row : ElementalRows) {
        TGasItem gas;
        gas.AlicatID = row.ID;
        gas.NameShort = QString::fromLatin1(row.NameShort);
        gas._NameLong = QString::fromLatin1(row.NameLong);
        gas.Formula = QString::fromLatin1(row.Formula);
        gas._MolarMass = row.MolarMass;
        gas._CorrosiveFlag = row.Corrosive;
        list.append(gas);
    }
    for (const MixtureRow& row : MixtureRows()) {
        TGasItem mixture;
        mixture.AlicatID = row.ID;
        mixture.NameShort = row.NameShort;
        if (!row.NameLong.isEmpty())
            mixture._NameLong = row.NameLong;
        AppendMixture(list, mixture, row.Parts);
    }

    TGasItem water;
    water.AlicatID = WaterID;
    water.NameShort = QStringLiteral("H2O");
    water._NameLong = QStringLiteral("H2O");
    water.Formula = QStringLiteral("H2O");
    water._MolarMass = 18.01488;
    water._CorrosiveFlag = false;
    list.append(water);

    list.append(TestMixture(list, 301, QStringLiteral("XTMC_DesignTime")));
    TGasItem normalized;
    NormalizeMixture(TestMixture(list, 302, QStringLiteral("XTMC_Normalized")), normalized);
    list.append(normalized);

    TraceGasList(list);
    return list;
}

QString FluidRowText(const QString& nameShort, const QString& formula, const QString& nameLong)
{
    return PadRight(nameShort, FluidListColumnWidth) + QLatin1Char(' ') + PadRight(formula, FluidListColumnWidth)
        + QLatin1Char(' ') + nameLong;
}

} // namespace

const QList<TGasItem>& GasList()
{
    static const QList<TGasItem> list = MakeGasList();
    return list;
}

void InitializeGasList()
{
    GasList();
}

void GetGas_ID(qint32 ID, TGasItem& Item)
{
    if (ID == UnconfiguredID) {
        Item = TGasItem();
        Item.NameShort = QStringLiteral("Unconfigured");
        return;
    }
    if (!TryGetGas_ID(ID, Item))
        throw TarvoError(QStringLiteral("GetGas_ID failed to return gas(ID):") + QString::number(ID));
}

bool TryGetGas_ID(qint32 ID, TGasItem& Item)
{
    const TGasItem* found = FindID(GasList(), ID);
    Item = found ? found->Clone(false) : TGasItem();
    return found != nullptr;
}

bool GetGas_NameShort(const QString& Name, TGasItem& Item)
{
    const TGasItem* found = FindNameShort(GasList(), Name);
    Item = found ? found->Clone(false) : TGasItem();
    return found != nullptr;
}

void ScalePartialPressures(TGasItem& Item, double Factor)
{
    Item.PartialPressure *= Factor;
    for (TGasItem& component : Item.Components)
        ScalePartialPressures(component, Item.PartialPressure);
}

void CollectElementals(const TGasItem& Item, TElementalMap& Map)
{
    if (!Item.Components.isEmpty()) {
        for (const TGasItem& component : Item.Components)
            CollectElementals(component, Map);
        return;
    }
    for (TGasItem& entry : Map) {
        if (entry.AlicatID == Item.AlicatID) {
            entry.PartialPressure += Item.PartialPressure;
            entry.MassFlow_gmin += Item.MassFlow_gmin;
            return;
        }
    }
    Map.append(Item.Clone(true));
}

void NormalizeMixture(const TGasItem& Source, TGasItem& Result)
{
    // Built apart from Result, which may be Source itself.
    TGasItem normalized = Source.Clone(true);
    if (Source.GasType() == tElemental) {
        Result = normalized;
        return;
    }
    ScalePartialPressures(normalized, 1.0);
    TElementalMap elementals;
    CollectElementals(normalized, elementals);
    normalized.Components = elementals;
    normalized.ComponentsNormalized = true;

    double molarMass = 0;
    for (const TGasItem& component : normalized.Components)
        molarMass += component.GetMolarMass() * component.PartialPressure;
    if (molarMass != 0) {
        for (TGasItem& component : normalized.Components)
            component.MassFraction = component.GetMolarMass() * component.PartialPressure / molarMass;
    }
    Result = normalized;
}

bool AppendMixture(QList<TGasItem>& List, const TGasItem& Mixture, const QList<TMixturePart>& Parts)
{
    TGasItem defined = Mixture;
    for (const TMixturePart& part : Parts) {
        const TGasItem* gas = FindNameShort(List, part.NameShort);
        if (!gas) {
            qCDebug(lcGasList).noquote() << QStringLiteral("Making mixture failed:") + QString::number(Mixture.AlicatID);
            return false;
        }
        TGasItem component = gas->Clone(false);
        component.PartialPressure = part.Fraction;
        defined.Components.append(component);
    }
    TGasItem normalized;
    NormalizeMixture(defined, normalized);
    List.append(normalized);
    return true;
}

QString GasListEntryText(const TGasItem& Item)
{
    return FluidRowText(Item.NameShort, Item.Formula, Item.GetNameLong()) + QLatin1Char(' ');
}

QList<TFluidListRow> GasFluidListRows()
{
    QList<TFluidListRow> rows;
    rows.append({FluidRowText(QStringLiteral("Shortname"), QStringLiteral("Formula"),
                              QStringLiteral("Longname, recipe, comments")),
                 0});
    for (const TGasItem& gas : GasList())
        rows.append({GasListEntryText(gas), gas.AlicatID});
    return rows;
}

QList<TFluidListRow> PumpFluidListRows()
{
    return {
        {FluidRowText(QStringLiteral("Shortname"), QStringLiteral("Formula"), QStringLiteral("Longname (or recipe)")), 0},
        {FluidRowText(QStringLiteral("H2O"), QString(), QStringLiteral("Only use deionized or distilled water")), WaterID},
    };
}
