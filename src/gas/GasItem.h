#pragma once

#include <QList>
#include <QString>

// Ordinals are stored and compared: keep the order.
enum TGasType : quint8 {
    tElemental,    // no components
    tMixture,      // components flattened to elemental gases, fractions of the whole
    tDesignTimeMix // components as defined, possibly nested
};

// A gas or a gas mixture under the gas number the instruments use. A value:
// copying an item copies its components.
struct TGasItem {
    QString _NameLong = QStringLiteral("Undefined");
    bool _CorrosiveFlag = true;
    double _MolarMass = 0; // g/mol of an elemental gas; a mixture's is computed
    QString NameShort = QStringLiteral("Undefined");
    QString Formula;
    qint32 AlicatID = -1;
    double PartialPressure = 1.0; // mole fraction of the parent mixture
    double FluidPartialPressure = 0;
    double MassFraction = 0;
    double MassFlow_gmin = 0;
    QList<TGasItem> Components;
    bool ComponentsNormalized = false;

    TGasType GasType() const;
    // A mixture is corrosive only when every component is.
    bool GetCorrosive() const;
    // A mixture without a long name of its own is named after its components:
    // "21%Oxygen, 79%Nitrogen".
    QString GetNameLong() const;
    // Raises TarvoError when the molar mass is 0.
    double MolesPerGram() const;
    // Millilitres per gram at 0 °C and 1.01325 bar.
    double mlnPerGram() const;
    double GramPermln() const;
    // Whether a normalised mixture holds a pump fluid (IDs 1000 to 9999).
    // Any other item is a caller's mistake: the operator is told, and the
    // result is false.
    bool GetHasFluid() const;
    // Resets the identity, fractions and components; leaves the values the
    // mixture calculations fill in (fluid fraction, mass fraction, mass flow,
    // the normalised flag).
    void Init();
    // A fresh copy; MassFlow_gmin only when CopyMass, FluidPartialPressure
    // and MassFraction never. The long name and corrosiveness are fixed from
    // the source's components.
    TGasItem Clone(bool CopyMass) const;
    // An elemental gas's own, a normalised mixture's from its fractions;
    // 1.0 for a mixture as defined.
    double GetMolarMass() const;
};

QString GasTypeName(TGasType type);

// Gas numbers 1000 to 9999 are liquids the pump doses (1001 is water).
bool IsFluidID(qint32 ID);
