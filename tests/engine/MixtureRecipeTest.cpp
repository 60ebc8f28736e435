#include "FakeViews.h"

#include "app/Startup.h"
#include "engine/MixtureRecipe.h"
#include "gas/GasList.h"
#include "support/RecordingPrompts.h"

#include <gtest/gtest.h>

namespace {

constexpr qint32 NitrogenID = 8;
constexpr qint32 WaterID = 1001;

// COM6: 50 SCCM of nitrogen measured in ml/min; COM7: a water pump of
// 312.5 µl/min; ttyUSB0: an argon MFC named as Linux names ports; COMX is
// left unconfigured.
class MixtureRecipeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RunStartupSequence();
        TDeviceInfo mfc = DevicesLocal.at(0);
        mfc.COMPort = QStringLiteral("COM6");
        mfc.FluidID = NitrogenID;
        mfc.SegmentProgram = QStringLiteral("0 0 Step\r\n5 10 Ramp");
        TDeviceInfo pump;
        ASSERT_TRUE(FindKnownDevice(QStringLiteral("2020465"), pump));
        pump.COMPort = QStringLiteral("COM7");
        pump.FluidID = WaterID;
        TDeviceInfo linuxPort = mfc;
        linuxPort.COMPort = QStringLiteral("ttyUSB0");
        linuxPort.FluidID = 1;
        DevicesLocal << mfc << pump << linuxPort;
    }

    static QString Program(const QString& port)
    {
        TDeviceInfo device;
        EXPECT_TRUE(GetDeviceByPort(port, device));
        return device.SegmentProgram;
    }

    RecordingPrompts prompts;
    FakeWindow window;
};

TEST_F(MixtureRecipeTest, ParseProblemsAndTheirMessages)
{
    const struct {
        const char* name;
        const char* recipe;
        const char* errors;
    } cases[] = {
        {"no device on the port", "COM9 50", "No device on port: COM9\r\n"},
        {"decimal comma", "COM6 50,5", "Illegal character ',' on line: 1\r\n"},
        {"tab", "COM6\t50", "Illegal character '\t' on line: 1\r\n"},
        {"one item", "COM6", "Recipe has less than 2 or more than 3 items on line: 1\r\n => Unable to determine meaning\r\n"},
        {"four items", "COM6 50 S x",
         "Recipe has less than 2 or more than 3 items on line: 1\r\n => Unable to determine meaning\r\n"},
        {"two blanks make an empty setpoint", "COM6  50", "Cannot convert '' to a number\r\n"},
        {"nan is no number", "COM6 nan", "Cannot convert 'nan' to a number\r\n"},
        {"inf is no number", "COM6 inf", "Cannot convert 'inf' to a number\r\n"},
        {"hexadecimal is no number", "COM6 0x10", "Cannot convert '0x10' to a number\r\n"},
        {"above full scale", "COM6 100.5", "Invalid setpoint on line 1\r\n"},
        {"unknown segment type", "COM6 50 X", "Invalid segment type on line 1 (use S or R)\r\n"},
        {"blank lines are counted", "COM6 50\r\n\r\nCOM6 101", "Invalid setpoint on line 3\r\n"},
        {"device without gas", "COMX 50", "GasID on COMX matches no known gas, device not configured?\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TGasItem mixture;
        QString summary;
        QString errors;
        EXPECT_FALSE(ParseRecipe(QString::fromUtf8(c.recipe), summary, mixture, errors));
        EXPECT_EQ(errors, QString::fromUtf8(c.errors));
    }
}

TEST_F(MixtureRecipeTest, AcceptedLinesBecomeComponents)
{
    const struct {
        const char* name;
        const char* recipe;
        const char* port;
    } cases[] = {
        {"lower-case port", "com6 50", "COM6"},
        {"port named in lower case by the system", "TTYUSB0 50", "ttyUSB0"},
        {"leading and trailing blanks", "  COM6 50 R  ", "COM6"},
        {"full scale", "COM6 100", "COM6"},
        {"type only by its first letter", "COM6 50 Rapid", "COM6"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TGasItem mixture;
        QString summary;
        QString errors;
        EXPECT_TRUE(ParseRecipe(QString::fromUtf8(c.recipe), summary, mixture, errors));
        EXPECT_EQ(errors, QString());
        EXPECT_EQ(mixture.Components.size(), 1);
        EXPECT_TRUE(summary.startsWith(QStringLiteral("P:") + QString::fromUtf8(c.port))) << summary.toStdString();
    }
}

TEST_F(MixtureRecipeTest, MassFlowsOfGasAndWater)
{
    TGasItem mixture;
    QString summary;
    QString errors;
    ASSERT_TRUE(ParseRecipe(QStringLiteral("COM6 50\nCOM7 10"), summary, mixture, errors));
    ASSERT_EQ(mixture.Components.size(), 2);
    // Half of 50 ml/min of nitrogen at 25 °C and 1.01325 bar.
    EXPECT_NEAR(mixture.Components.at(0).MassFlow_gmin, 0.0286, 0.00005);
    EXPECT_EQ(mixture.Components.at(0).NameShort, QStringLiteral("N2"));
    // A tenth of 312.5 µl/min of water, as near as the pump's commands come.
    EXPECT_NEAR(mixture.Components.at(1).MassFlow_gmin, 0.03125, 0.03125 * 0.05);
    const QStringList lines = summary.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines.at(0).startsWith(QStringLiteral("P:COM6, G:N2, FU:25.000 ml/min, FD:25.000 ml/min, FM:0.028")))
        << lines.at(0).toStdString();
    EXPECT_TRUE(lines.at(1).startsWith(QStringLiteral("P:COM7, G:H2O, Flow(vol):"))) << lines.at(1).toStdString();
    EXPECT_TRUE(lines.at(1).endsWith(QStringLiteral(" g/min, Temp(No effect):20ºC"))) << lines.at(1).toStdString();
}

TEST_F(MixtureRecipeTest, AFailedConversionStopsLaterComponents)
{
    DevicesLocal[IndexOfDevicePort(QStringLiteral("COM6"))].FlowUnitUser = TGasFlowDetails();
    TGasItem mixture;
    QString summary;
    QString errors;
    EXPECT_FALSE(ParseRecipe(QStringLiteral("COM6 50\r\nttyUSB0 50"), summary, mixture, errors));
    EXPECT_EQ(errors, QStringLiteral("Failed to convert gas flow to user unit: Undefined"));
    EXPECT_TRUE(mixture.Components.isEmpty());
    EXPECT_TRUE(summary.isEmpty());
}

TEST_F(MixtureRecipeTest, EvaluationShowsTheReports)
{
    bool valid = false;
    const QString text = EvaluateRecipe(QStringLiteral("COM6 50\r\nCOM7 10"), QStringLiteral("Humid N2"), valid);
    EXPECT_TRUE(valid);
    const QStringList headings = {"Mixture: 'Humid N2'\r\n\r\n  Inputs:\r\n    N2 ", "  Components:\r\n    N2 ",
                                  "  Partial pressures:\r\n    N2 ", "  Volumetric flows, ml/min:\r\n   ºC     BarA ",
                                  "  Mixture has fluid:\r\n    ºC      BarA  Max ppm/100%RH"};
    qsizetype at = 0;
    for (const QString& heading : headings) {
        const qsizetype found = text.indexOf(heading, at);
        EXPECT_GT(found, at - 1) << heading.toStdString() << " in order in\n" << text.toStdString();
        at = qMax(found, at);
    }
    EXPECT_EQ(text.count(QStringLiteral("\r\n  150  1.01325  ")), 1); // the last volumetric row
    EXPECT_TRUE(prompts.Messages.isEmpty());

    EXPECT_EQ(EvaluateRecipe(QStringLiteral("COM6 50,5"), QStringLiteral("Name"), valid),
              QStringLiteral("Illegal character ',' on line: 1\r\n"));
    EXPECT_FALSE(valid);
}

TEST_F(MixtureRecipeTest, NoFlowAtAllKeepsTheDefinedFractions)
{
    bool valid = false;
    const QString text = EvaluateRecipe(QStringLiteral("COM6 0\r\nCOM7 0"), QStringLiteral("Name"), valid);
    EXPECT_TRUE(valid);
    EXPECT_TRUE(text.contains(QStringLiteral("    N2              1 000 000 ppm\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("      0.0       0.0       0.0\r\n")));
    EXPECT_FALSE(text.contains(QStringLiteral("Mixture has fluid")));
    EXPECT_EQ(prompts.Messages, QStringList{QStringLiteral("GasHasFluid on nonflat mixture")});
}

TEST_F(MixtureRecipeTest, AddWritesOneSegmentPerLine)
{
    const struct {
        const char* name;
        const char* recipe;
        double minutes;
        const char* note;
        const char* com6Program;
    } cases[] = {
        {"ramp at whole minutes", "COM6 40 R", 2.5, "", "0 0 Step\r\n2 40 Ramp\r\n5 10 Ramp\r\n"},
        {"halves round to even", "COM6 40 R", 3.5, "", "0 0 Step\r\n4 40 Ramp\r\n5 10 Ramp\r\n"},
        {"leading blank", " COM6 40 R", 2, "", "0 0 Step\r\n2 40 Ramp\r\n5 10 Ramp\r\n"},
        {"trailing blank keeps the ramp", "COM6 40 R ", 2, "", "0 0 Step\r\n2 40 Ramp\r\n5 10 Ramp\r\n"},
        {"lower-case port", "com6 40", 2, "", "0 0 Step\r\n2 40 Step\r\n5 10 Ramp\r\n"},
        {"only R ramps", "COM6 40 Rapid", 2, "", "0 0 Step\r\n2 40 Step\r\n5 10 Ramp\r\n"},
        {"replaces the point at that time", "COM6 12.5 s", 5, "pre-mix, 2.5%",
         "0 0 Step\r\n5 12.5 Step premix_25%\r\n"},
        {"small setpoint in decimals", "COM6 0.00001", 1, "", "0 0 Step\r\n1 0.00001 Step\r\n5 10 Ramp\r\n"},
    };
    const QString original = Program(QStringLiteral("COM6"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DevicesLocal[IndexOfDevicePort(QStringLiteral("COM6"))].SegmentProgram = original;
        window.refreshed.clear();
        AddRecipeSegments(QString::fromUtf8(c.recipe), true, c.minutes, QString::fromUtf8(c.note), window);
        EXPECT_EQ(Program(QStringLiteral("COM6")), QString::fromUtf8(c.com6Program));
        EXPECT_EQ(window.refreshed, QStringList{QStringLiteral("COM6")});
        EXPECT_TRUE(prompts.Messages.isEmpty()) << prompts.Messages.join(u'|').toStdString();
    }
    EXPECT_EQ(window.log.mid(window.log.size() - 3),
              (QStringList{"Segment Program Modify for Device: COM6", "Try adding: 1 0.00001 Step ",
                           "Resulting segment program: \r\n0 0 Step\r\n1 0.00001 Step\r\n5 10 Ramp\r\n"}));
}

TEST_F(MixtureRecipeTest, AddRefusesWhatWouldSpoilAProgram)
{
    const QString com6 = Program(QStringLiteral("COM6"));
    const QString com7 = Program(QStringLiteral("COM7"));
    AddRecipeSegments(QStringLiteral("COM6 40"), false, 2, QString(), window);
    // A negative time: the first program would take a "-" and stop there.
    AddRecipeSegments(QStringLiteral("COM6 40\r\nCOM7 10"), true, -2, QString(), window);
    EXPECT_EQ(prompts.Messages,
              (QStringList{QStringLiteral("Cannot add invalid recipe"), QStringLiteral("Invalid character: -")}));
    EXPECT_EQ(Program(QStringLiteral("COM6")), com6);
    EXPECT_EQ(Program(QStringLiteral("COM7")), com7);
    EXPECT_TRUE(window.refreshed.isEmpty());

    // A device removed since the recipe was checked is skipped.
    DevicesLocal.removeAt(IndexOfDevicePort(QStringLiteral("COM6")));
    AddRecipeSegments(QStringLiteral("COM6 40\r\nCOM7 10"), true, 2, QString(), window);
    EXPECT_EQ(window.refreshed, QStringList{QStringLiteral("COM7")});
    EXPECT_EQ(prompts.Messages.size(), 2);
}

} // namespace
