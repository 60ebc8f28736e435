#include "cli/CliCommands.h"

#include "devices/DeviceRegistry.h"
#include "engine/EngineTick.h"
#include "engine/RunControl.h"
#include "sim/VirtualMFC.h"
#include "sim/VirtualPump.h"
#include "support/TempFolder.h"
#include "engine/FakeViews.h"

#include <QFile>
#include <QTextStream>

#include <gtest/gtest.h>

namespace {

class CliTest : public ::testing::Test {
protected:
    void SetUp() override { PrepareCliCommands(); }

    TCliExit Run(const QStringList& arguments)
    {
        out.clear();
        err.clear();
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        return RunCliCommand(arguments, outStream, errStream);
    }

    TempFolder folder;
    QString out;
    QString err;
};

struct ArgumentCase {
    const char* name;
    QStringList arguments;
};

void PrintTo(const ArgumentCase& row, std::ostream* os)
{
    *os << row.name;
}

class BadArguments : public CliTest, public ::testing::WithParamInterface<ArgumentCase> {};

const ArgumentCase BadCases[] = {
    {"NoCommand", {}},
    {"UnknownCommand", {QStringLiteral("start")}},
    {"StatusWithoutPort", {QStringLiteral("status")}},
    {"SetpointNotANumber", {QStringLiteral("set"), QStringLiteral("COM6"), QStringLiteral("abc")}},
    {"SetpointNotDecimal", {QStringLiteral("set"), QStringLiteral("COM6"), QStringLiteral("nan")}},
    {"SetpointAbove100", {QStringLiteral("set"), QStringLiteral("COM6"), QStringLiteral("100.5")}},
    {"SetpointBelow0", {QStringLiteral("set"), QStringLiteral("COM6"), QStringLiteral("-1")}},
    {"SearchWithUnknownOption", {QStringLiteral("search"), QStringLiteral("--fast")}},
};

TEST_P(BadArguments, ExitWithTwoAndSendNothing)
{
    EXPECT_EQ(Run(GetParam().arguments), ceBadArguments);
    EXPECT_TRUE(err.contains(QStringLiteral("tarvo-cli --help"))) << err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Cli, BadArguments, ::testing::ValuesIn(BadCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CliTest, HelpListsEveryCommand)
{
    EXPECT_EQ(Run({QStringLiteral("--help")}), ceSuccess);
    for (const char* command : {"ports", "search", "status PORT", "set PORT PERCENT", "check FILE"})
        EXPECT_TRUE(out.contains(QLatin1String(command))) << command;
}

TEST_F(CliTest, CheckGivesTheEndTimeOrTheProblem)
{
    QFile valid(folder.FilePath(QStringLiteral("valid.txt")));
    ASSERT_TRUE(valid.open(QIODevice::WriteOnly));
    valid.write("0 0 Step\r\n4 30 Ramp\r\n7.5 10 Ramp\r\n");
    valid.close();
    EXPECT_EQ(Run({QStringLiteral("check"), valid.fileName()}), ceSuccess);
    EXPECT_EQ(out, QStringLiteral("End time: 7.5 min\n"));

    QFile invalid(folder.FilePath(QStringLiteral("invalid.txt")));
    ASSERT_TRUE(invalid.open(QIODevice::WriteOnly));
    invalid.write("5 50 Step\r\n7 120 Ramp\r\n");
    invalid.close();
    EXPECT_EQ(Run({QStringLiteral("check"), invalid.fileName()}), ceFailure);
    EXPECT_EQ(err, QStringLiteral("Setpoint out of bounds:120\n"));

    EXPECT_EQ(Run({QStringLiteral("check"), folder.FilePath(QStringLiteral("missing.txt"))}), ceFailure);
}

// The prototype installation on virtual instruments.
class CliRigTest : public CliTest {
protected:
    void SetUp() override
    {
        CliTest::SetUp();
        mfcA.SetSerialNumber(QStringLiteral("432389"));
        mfcB.SetSerialNumber(QStringLiteral("432390"));
        pump.SetInitDurationMS(200);
        ASSERT_TRUE(mfcA.Start() && mfcA.Register(QStringLiteral("COM6")));
        ASSERT_TRUE(mfcB.Start() && mfcB.Register(QStringLiteral("COM7")));
        ASSERT_TRUE(pump.Start() && pump.Register(QStringLiteral("COM8")));
    }

    VirtualMFC mfcA;
    VirtualMFC mfcB;
    VirtualPump pump{QStringLiteral("2020465")};
};

TEST_F(CliRigTest, PortsListTheVirtualPorts)
{
    EXPECT_EQ(Run({QStringLiteral("ports")}), ceSuccess);
    for (const char* port : {"COM6\n", "COM7\n", "COM8\n"})
        EXPECT_TRUE(out.contains(QLatin1String(port))) << out.toStdString();
}

TEST_F(CliRigTest, SearchPrintsEachInstrumentOnce)
{
    EXPECT_EQ(Run({QStringLiteral("search")}), ceSuccess);
    const QStringList lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << out.toStdString();
    EXPECT_EQ(lines[0].simplified(), QStringLiteral("COM6 MFC 432389 MFC-A Prototype"));
    EXPECT_EQ(lines[1].simplified(), QStringLiteral("COM7 MFC 432390 MFC-B Prototype"));
    EXPECT_EQ(lines[2].simplified(), QStringLiteral("COM8 pump 2020465-PS019015362 Pump Prototype"));
}

TEST_F(CliRigTest, SetMovesTheControllerAndStatusReadsIt)
{
    EXPECT_EQ(Run({QStringLiteral("set"), QStringLiteral("COM6"), QStringLiteral("50")}), ceSuccess);
    EXPECT_EQ(mfcA.Setpoint_counts(), 32000);

    EXPECT_EQ(Run({QStringLiteral("status"), QStringLiteral("COM6")}), ceSuccess);
    EXPECT_TRUE(out.startsWith(QStringLiteral("COM6 MFC: flow "))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("gas N2"))) << out.toStdString();

    EXPECT_EQ(Run({QStringLiteral("status"), QStringLiteral("COM8")}), ceSuccess);
    EXPECT_EQ(out, QStringLiteral("COM8 pump: Ready, No error\n"));
}

TEST_F(CliRigTest, APortAWorkerHoldsIsRefused)
{
    FakeWindow window;
    TEngineTick engine(window, window.dataLog);
    TRunControl runControl(window, engine, window.dataLog);
    DevicesLocal.clear();
    TDeviceInfo device;
    ASSERT_TRUE(FindKnownDevice(QStringLiteral("432389"), device));
    device.COMPort = QStringLiteral("COM6");
    ASSERT_TRUE(runControl.StartDeviceThread(device));
    DevicesLocal.append(device);

    mfcA.ClearReceivedLines();
    EXPECT_EQ(Run({QStringLiteral("status"), QStringLiteral("COM6")}), ceFailure);
    EXPECT_TRUE(err.startsWith(QStringLiteral("Port COM6 is in use by Tarvo (process "))) << err.toStdString();
    EXPECT_EQ(Run({QStringLiteral("set"), QStringLiteral("COM6"), QStringLiteral("10")}), ceFailure);

    runControl.TerminateThreads(TRunControl::ShutdownTimeoutS);
    EXPECT_EQ(Run({QStringLiteral("status"), QStringLiteral("COM6")}), ceSuccess) << err.toStdString();
    DevicesLocal.clear();
}

TEST_F(CliTest, SearchWithoutInstrumentsSaysSoAndFails)
{
    // Only the machine's own serial ports, if any, remain to be searched.
    EXPECT_EQ(Run({QStringLiteral("search")}), ceFailure);
    EXPECT_TRUE(out.endsWith(QStringLiteral("No instruments found.\n"))) << out.toStdString();
}

} // namespace
