#include "gas/ReferenceConditions.h"

#include "gas/FlowUnits.h"
#include "base/TextHelpers.h"

namespace {

constexpr double PsiPerBar = 14.5038;
// Collapsing blanks pairwise this often shrinks any run the rows hold to one.
constexpr int BlankCollapsePasses = 11;

} // namespace

QStringList ReferenceConditionRows()
{
    return {
        QStringLiteral("ºC    ºF     Bar      Standard"),
        QStringLiteral("n/a    n/a   n/a      g, grams"),
        QStringLiteral("0      32    1.01325  NIST, ISO 10780, (IUPAC until 1982)"),
        QStringLiteral("20     68    1.01325  EPA, NIST"),
        QStringLiteral("25     77    1.01325  SATP, EPA"),
        QStringLiteral("0      32    1        IUPAC since 1982"),
        QStringLiteral("0      32    1.01325  DIN 1343:1990"),
        QStringLiteral("15     59    0.9999   U.S. Army Standard Metro (RH: 78%)"),
        QStringLiteral("15     59    1.00000  SPE"),
        QStringLiteral("15     59    1.0133   ISO 2314, ISO 3977-2, ASHRAE Fundamentals Handbook (RH: 60%)"),
        QStringLiteral("15     59    1.013    FAA"),
        QStringLiteral("15     59    1.01325  ICAO's ISA, ISO 13443, EEA, EGIA (SI Definition)"),
        QStringLiteral("15     59    1.01325  ISO 2533:1975, ISO 13443:2005, ISO 7504:2015"),
        QStringLiteral("15.56  60    1.0133   SPE, U.S. OSHA, SCAQMD"),
        QStringLiteral("15.56  60    1.016    EGIA (Imperial System Definition)"),
        QStringLiteral("15.56  60    1.0135   U.S. DOT (SCF)"),
        QStringLiteral("20     68    1.00000  CAGI"),
        QStringLiteral("20     68    1.013    ISO 5011 (RH: 50%)"),
        QStringLiteral("20     68    1.0133   GOST 2939-63"),
        QStringLiteral("20     68    1.01325  EN 14511-1:2013"),
        QStringLiteral("21.11  70    1.013    AMCA, air density = 0.075 lbm/ft3. This AMCA standard applies only to air;"),
        QStringLiteral("22     71.6  1.01325  American Association of Physicists in Medicine (RH: 20-80%)"),
    };
}

TReferenceChoice ChooseReferenceRow(int row)
{
    TReferenceChoice choice;
    const QStringList rows = ReferenceConditionRows();
    if (row <= 0 || row >= rows.size())
        return choice;
    choice.Applies = true;
    if (row == ReferenceGramsRow) {
        choice.UnitName = QStringLiteral("g/min");
        return choice;
    }
    QString text = rows.at(row);
    for (int pass = 0; pass < BlankCollapsePasses; ++pass)
        text.replace(QStringLiteral("  "), QStringLiteral(" "));
    choice.SetsConditions = true;
    choice.TemperatureC = StrToFloatDot(SplitElement(text, u' ', 1)); // the °F column is not read
    choice.PressureBarA = StrToFloatDot(SplitElement(text, u' ', 3));
    choice.UnitName = QStringLiteral("ml/min");
    choice.ShowConditions = true;
    return choice;
}

QString FahrenheitReadout(double temperatureC)
{
    return FloatToStr(ConvertTemperature(tcCtoF, temperatureC)) + QStringLiteral("ºF");
}

QString PsiReadout(double pressureBar)
{
    return FormatFloatDecimals(pressureBar * PsiPerBar, 3, 3) + QStringLiteral(" psi");
}
