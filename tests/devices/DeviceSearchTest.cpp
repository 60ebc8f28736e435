#include "devices/DeviceSearch.h"

#include "app/Startup.h"
#include "devices/DeviceRegistry.h"
#include "serial/PortLock.h"
#include "sim/ScriptedInstrument.h"
#include "sim/VirtualMFC.h"
#include "sim/VirtualPump.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

class RecordingSearchView final : public TDeviceSearchView {
public:
    void MM(const QString& message) override { Lines.append(message); }
    void DeviceFound(const QString& port, const TDeviceInfo& known) override
    {
        Found.append(port + QLatin1Char(' ') + DeviceTypeName(known.DevType) + QLatin1Char(' ') + known.NameRole);
    }

    QStringList Lines;
    QStringList Found;
};

// Instruments served on COM1, COM2, ... for one search.
class Bench {
public:
    template <typename Instrument>
    Instrument& Add(std::unique_ptr<Instrument> instrument)
    {
        Instrument& added = *instrument;
        EXPECT_TRUE(added.Start());
        EXPECT_TRUE(added.Register(QStringLiteral("COM%1").arg(lines.size() + 1)));
        lines.push_back(std::move(instrument));
        return added;
    }

    VirtualMFC& MFC(const QString& serial, LineFault fault = LineFault::None)
    {
        auto mfc = std::make_unique<VirtualMFC>();
        mfc->SetSerialNumber(serial);
        mfc->SetFault(fault);
        return Add(std::move(mfc));
    }

    VirtualPump& Pump(const QString& serial)
    {
        auto pump = std::make_unique<VirtualPump>(serial);
        pump->SetInitDurationMS(200);
        return Add(std::move(pump));
    }

    // A pump that identifies itself but whose stored strings read back as
    // no number at all.
    ScriptedInstrument& PumpWithoutSerial()
    {
        auto pump = std::make_unique<ScriptedInstrument>(VirtualPump::BaudRate);
        pump->SetDefaultReply("/0`\x03\r\n");
        pump->SetReply("/1?22", "/0`255\x03\r\n");
        pump->SetReply("/1?", "/0`xyz\x03\r\n");
        return Add(std::move(pump));
    }

    QStringList Ports() const
    {
        QStringList ports;
        for (size_t i = 1; i <= lines.size(); ++i)
            ports << QStringLiteral("COM%1").arg(i);
        return ports;
    }

    std::vector<std::unique_ptr<VirtualLine>> lines;
};

class DeviceSearchTest : public ::testing::Test {
protected:
    void SetUp() override { RunStartupSequence(); }

    TempFolder folder; // the port folder of the bench
    Bench bench;
    RecordingSearchView view;
};

struct SearchCase {
    const char* name;
    std::function<void(Bench&)> serve;
    QStringList found;
    // The report logged for the first port, when nothing was found there.
    QStringList reportLines;
};

void PrintTo(const SearchCase& row, std::ostream* os)
{
    *os << row.name;
}

class SearchCases : public DeviceSearchTest, public ::testing::WithParamInterface<SearchCase> {};

const SearchCase Cases[] = {
    {"KnownMFC", [](Bench& b) { b.MFC(QStringLiteral("432389")); }, {QStringLiteral("COM1 MFC-A Prototype")}, {}},
    {"KnownPump", [](Bench& b) { b.Pump(QStringLiteral("2020465")); }, {QStringLiteral("COM1 Pump Prototype")}, {}},
    {"UnknownMFCAndNoPump",
     [](Bench& b) { b.MFC(QStringLiteral("521641")); },
     {},
     {QString(), QStringLiteral("  Details for MFC search"), QStringLiteral("    Query port:COM1"),
      QStringLiteral("    Port COM1 was opened, command sent"),
      QStringLiteral("    Response  : *A  M05 Serial Number 521641*"), QStringLiteral("    Status    : *"),
      QStringLiteral("    => Invalid serial number for MFC"), QString(), QStringLiteral("  Details for Pump search"),
      QStringLiteral("    Query port:COM1"), QStringLiteral("    => No pump on port"), QString()}},
    {"SilentPort",
     [](Bench& b) { b.MFC(QStringLiteral("432389"), LineFault::Silent); },
     {},
     {QString(), QStringLiteral("  Details for MFC search"), QStringLiteral("    Query port:COM1"),
      QStringLiteral("    => Failed to communicate"), QString(), QStringLiteral("  Details for Pump search"),
      QStringLiteral("    Query port:COM1"), QStringLiteral("    => No pump on port"), QString()}},
    // The search goes on past such a pump and finds the controller after it.
    {"PumpWithoutReadableSerial",
     [](Bench& b) {
         b.PumpWithoutSerial();
         b.MFC(QStringLiteral("432390"));
     },
     {QStringLiteral("COM2 MFC-B Prototype")},
     {QString(), QStringLiteral("  Details for MFC search"), QStringLiteral("    Query port:COM1"),
      QStringLiteral("    => Failed to communicate"), QString(), QStringLiteral("  Details for Pump search"),
      QStringLiteral("    Query port:COM1"), QStringLiteral("    => Pump found but wrong serial"),
      QStringLiteral("    => Pump serial:unreadable"), QString()}},
    {"PumpWithUnknownSerial",
     [](Bench& b) { b.Pump(QStringLiteral("1234567")); },
     {},
     {QString(), QStringLiteral("  Details for MFC search"), QStringLiteral("    Query port:COM1"),
      QStringLiteral("    => Failed to communicate"), QString(), QStringLiteral("  Details for Pump search"),
      QStringLiteral("    Query port:COM1"), QStringLiteral("    => Pump found but wrong serial"),
      QStringLiteral("    => Pump serial:1234567"), QString()}},
};

// Lines of the first port's report as logged. An expected line ending in "*"
// is the start of the logged one.
QStringList FirstReport(const QStringList& logged)
{
    const int at = int(logged.indexOf(QStringLiteral("No valid MFC or Pump on port")));
    return at < 0 ? QStringList() : logged.at(at + 1).split(QStringLiteral("\r\n"));
}

TEST_P(SearchCases, ReportsEachPortAsDescribed)
{
    GetParam().serve(bench);
    SearchPorts(bench.Ports(), view);

    EXPECT_EQ(view.Found, GetParam().found);
    const QStringList report = FirstReport(view.Lines);
    ASSERT_EQ(report.size(), GetParam().reportLines.size()) << view.Lines.join('\n').toStdString();
    for (int i = 0; i < report.size(); ++i) {
        const QString& expected = GetParam().reportLines.at(i);
        const bool matches = expected.endsWith(QLatin1Char('*')) ? report.at(i).startsWith(expected.chopped(1))
                                                                 : report.at(i) == expected;
        EXPECT_TRUE(matches) << i << ": " << report.at(i).toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Ports, SearchCases, ::testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DeviceSearchTest, LogsEachPortInOrder)
{
    bench.MFC(QStringLiteral("432389"));
    SearchPorts(bench.Ports(), view);
    EXPECT_EQ(view.Lines, (QStringList{QStringLiteral("Found ports: COM1"), QStringLiteral("Scanning port: COM1"),
                                       QStringLiteral("...for MFC"), QStringLiteral("Valid MFC found!!!")}));
}

TEST_F(DeviceSearchTest, APortHeldByAnotherUserIsNotTouched)
{
    VirtualMFC& mfc = bench.MFC(QStringLiteral("432389"));
    TPortLock otherUser;
    QString refusal;
    ASSERT_TRUE(otherUser.Acquire(QStringLiteral("COM1"), refusal));

    SearchPorts(bench.Ports(), view);
    EXPECT_TRUE(view.Found.isEmpty());
    const QString report = FirstReport(view.Lines).join(QStringLiteral("\r\n"));
    EXPECT_TRUE(report.contains(QStringLiteral("    => Failed to communicate\r\n"))) << report.toStdString();
    EXPECT_TRUE(report.endsWith(QStringLiteral("    => No pump on port\r\n"))) << report.toStdString();
    EXPECT_TRUE(mfc.ReceivedLines().isEmpty());
}

TEST_F(DeviceSearchTest, AFoundDeviceJoinsTheRegistryOncePerPort)
{
    DevicesLocal.clear();
    TDeviceInfo known;
    ASSERT_TRUE(FindKnownDevice(QStringLiteral("432390"), known));
    const TDeviceInfo added = AddFoundDevice(QStringLiteral("COM7"), known);
    EXPECT_EQ(added.COMPort, QStringLiteral("COM7"));
    EXPECT_EQ(added.DevType, dtMFCB);

    TDeviceInfo other;
    ASSERT_TRUE(FindKnownDevice(QStringLiteral("432389"), other));
    EXPECT_EQ(AddFoundDevice(QStringLiteral("COM7"), other).DevType, dtMFCB);
    EXPECT_EQ(DevicesLocal.size(), 1);
}

} // namespace
