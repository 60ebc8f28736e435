#include "serial/SerialPort.h"
#include "sim/VirtualMFC.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

// The virtual controller answers the way the real unit does on the line;
// discovery and the driver rely on these replies.
TEST(VirtualMFC, AnswersLikeTheRealUnit)
{
    TempFolder folder;
    VirtualMFC instrument;
    instrument.SetSerialNumber(QStringLiteral("123456"));
    instrument.SetFullScale_slpm(2.0);
    ASSERT_TRUE(instrument.Start());
    TSerialPort port;
    port.SetPort(instrument.DevicePath());
    port.SetBaudRate(19200);
    port.SetWindowsReadLoopTimeoutMS(20);

    const auto ask = [&](const QByteArray& request) { return port.Send2(request + '\r', true); };
    struct Case {
        const char* request;
        const char* reply; // empty: no answer
    };
    const Case cases[] = {
        {"A??M5", "A  M05 Serial Number 123456"},
        {"ALSS U", "A U"},
        {"ASPUE 0", "A 0"},
        {"ADCU 37 62", "A 62 count"},
        {"ADCU 2 7", "A 7 barA"},
        {"AFPF 37 67", "A +002.29 67 g/m"}, // 2 standard litres of N2 a minute
        {"AFPF 2 7", "A +10.340 7 bar"},
        {"ANOSUCH", "?"},
        {"B", ""}, // another unit's request
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.request);
        const TSerialResponse response = ask(c.request);
        if (*c.reply == 0) {
            EXPECT_FALSE(response.Status.isEmpty());
        } else {
            EXPECT_EQ(response.Status, "");
            EXPECT_EQ(response.Response, c.reply);
        }
    }

    // Setpoints and gases are answered with the status line: pressure in bar,
    // setpoint in counts, the gas label last.
    for (const auto& [request, gas] : {std::pair{"AS 16000", "N2"}, std::pair{"AG 1", "Ar"}}) {
        SCOPED_TRACE(request);
        const QStringList columns = ask(request).Response.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        ASSERT_EQ(columns.size(), 8) << columns.join(' ').toStdString();
        EXPECT_EQ(columns[0], "A");
        EXPECT_EQ(columns[1], "+001.01");
        EXPECT_EQ(columns[5], "+016000");
        EXPECT_EQ(columns[7], gas);
    }
    EXPECT_EQ(instrument.Setpoint_counts(), 16000);
    EXPECT_EQ(instrument.GasNumber(), 1);

    // The one command that must be upper case.
    EXPECT_EQ(ask("afactory restore all").Response, "?");
    EXPECT_EQ(ask("AFACTORY RESTORE ALL").Response, "A Factory values have been restored.");
    EXPECT_EQ(instrument.Setpoint_counts(), 0);
    EXPECT_EQ(instrument.GasNumber(), 8);
}
