#pragma once

#include "gas/GasItem.h"

#include <QList>
#include <QString>

// The gases and built-in mixtures the program knows, in the order the
// configuration page lists them. Built on first use (start-up calls
// InitializeGasList) and read-only afterwards.
const QList<TGasItem>& GasList();
void InitializeGasList();

// A copy of the entry with that gas number; for -1 a fresh item named
// "Unconfigured". Raises TarvoError for any other unknown number.
void GetGas_ID(qint32 ID, TGasItem& Item);
// The same without the placeholder and without error: false when unknown,
// Item then a fresh item named "Undefined".
bool TryGetGas_ID(qint32 ID, TGasItem& Item);
// By short name, case-sensitive.
bool GetGas_NameShort(const QString& Name, TGasItem& Item);

// Elemental gases keyed by AlicatID (one entry each), in the order they were
// first met, so a normalised mixture lists its components as its recipe does.
using TElementalMap = QList<TGasItem>;

// Flattens a mixture to one component per elemental gas with fractions of the
// whole (and mass fractions); an elemental gas comes back as a copy.
// Source and Result may be the same item.
void NormalizeMixture(const TGasItem& Source, TGasItem& Result);
// Multiplies the item's fraction by Factor and every nested fraction by its
// parent's new fraction.
void ScalePartialPressures(TGasItem& Item, double Factor);
// Adds the elemental leaves of Item to Map, summing fractions and mass flows
// of a gas met more than once.
void CollectElementals(const TGasItem& Item, TElementalMap& Map);

// One component of a mixture definition.
struct TMixturePart {
    QString NameShort;
    double Fraction = 0;
};
// Appends Mixture, normalised, with the parts looked up by short name in List.
// When a part is not in List the mixture is left out (and traced); false then.
bool AppendMixture(QList<TGasItem>& List, const TGasItem& Mixture, const QList<TMixturePart>& Parts);

// One row of a fluid list: aligned text for a fixed-pitch font.
QString GasListEntryText(const TGasItem& Item);

// A row of a fluid drop-down and the gas or fluid ID it stands for.
struct TFluidListRow {
    QString Text;
    qint32 ID = 0;
};
// The MFC gas list: a header row (ID 0), then every gas of the table.
QList<TFluidListRow> GasFluidListRows();
// The pump fluid list: a header row (ID 0) and water (1001).
QList<TFluidListRow> PumpFluidListRows();
