#include "WindowFixture.h"

#include "base/MainThreadWait.h"
#include "sim/VirtualMFC.h"
#include "sim/VirtualPump.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// "Search Devices" over virtual instruments registered as COM ports.
class SearchFixture : public WindowFixture {
protected:
    void Serve(VirtualLine& line, const char* port) const
    {
        ASSERT_TRUE(line.Start());
        ASSERT_TRUE(line.Register(QString::fromLatin1(port)));
    }

    void Search() const { Find<QAction>("Searchdevices1")->trigger(); }
    // Lines are shown once the event loop turns.
    QString Log() const
    {
        QCoreApplication::processEvents();
        return Find<QPlainTextEdit>("MemoMain")->toPlainText();
    }
    void Click(const char* button) const { QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton); }

    QStringList Row(int row) const
    {
        QStringList texts;
        for (int column = 0; column < Devices()->columnCount(); ++column)
            texts << Devices()->topLevelItem(row)->text(column);
        return texts;
    }
};

// The prototype installation: two controllers and the pump.
class RigSearchTest : public SearchFixture {
protected:
    void SetUp() override
    {
        SearchFixture::SetUp();
        mfcA.SetSerialNumber(QStringLiteral("432389"));
        mfcB.SetSerialNumber(QStringLiteral("432390"));
        pump.SetInitDurationMS(200);
        Serve(mfcA, "COM6");
        Serve(mfcB, "COM7");
        Serve(pump, "COM8");
    }

    // One engine tick `seconds` of clock time after the last, with the
    // workers given `realMS` to hand over their readings.
    void Tick(double seconds, int realMS)
    {
        WaitProcessingEvents([] { return false; }, realMS);
        clock.AdvanceSeconds(seconds);
        window->TimerEngineTimer();
    }

    // Declared before the window's owner goes: the base tear-down closes the
    // window while they still answer.
    VirtualMFC mfcA;
    VirtualMFC mfcB;
    VirtualPump pump{QStringLiteral("2020465")};
};

TEST_F(RigSearchTest, FindsTheRigListsItInOrderAndSearchesOnlyOnce)
{
    window->DataLog().AppendDataLines({QStringLiteral("a row recorded before the search")});
    Search();
    ASSERT_EQ(Devices()->topLevelItemCount(), 3) << Log().toStdString();
    EXPECT_EQ(Row(0), (QStringList{"COM6", "Unknown", "Brisol", "MFC-A", "Prototype"}));
    EXPECT_EQ(Row(1), (QStringList{"COM7", "Unknown", "Brisol", "MFC-B", "Prototype"}));
    EXPECT_EQ(Row(2), (QStringList{"COM8", "Unknown", "Nivra", "Pump", "Prototype"}));
    QStringList registered;
    for (const TDeviceInfo& device : DevicesLocal)
        registered << device.COMPort;
    EXPECT_EQ(registered, (QStringList{"COM6", "COM7", "COM8"})) << "the demonstration devices are gone";
    EXPECT_TRUE(Log().contains(QStringLiteral("Finished searching devices")));
    EXPECT_TRUE(window->isEnabled());
    EXPECT_TRUE(Find<QTimer>("TimerEngine")->isActive());
    EXPECT_TRUE(prompts.Messages.isEmpty()) << prompts.Messages.join('\n').toStdString();
    EXPECT_TRUE(window->DataLog().DataTable().contains(QStringLiteral("a row recorded before the search")))
        << "the next save writes the whole table to the same log file";

    Search();
    EXPECT_EQ(prompts.Messages, QStringList{QStringLiteral(
                                    "Functionality to re-search for new devices is currently not supported. Instead, "
                                    "connect new devices, restart the program, and do a fresh device search.")});
    EXPECT_EQ(Devices()->topLevelItemCount(), 3);
    EXPECT_EQ(DevicesLocal.size(), 3);
}

TEST_F(RigSearchTest, FoundInstrumentsRunAProgramFromStartToClose)
{
    Find<QTimer>("TimerEngine")->stop(); // the test ticks the engine itself
    Search();
    Find<QTimer>("TimerEngine")->stop();
    ASSERT_EQ(DevicesLocal.size(), 3);
    SetProgram(QStringLiteral("COM6"), QStringLiteral("0 50 Step\r\n30 50 Step"));
    SetProgram(QStringLiteral("COM8"), QStringLiteral("0 20 Step\r\n30 20 Step"));
    Focus(QStringLiteral("COM6"));
    ChooseFluid("ComboBoxDeviceFluid", 8);
    Click("BitBtn6");
    Focus(QStringLiteral("COM8"));
    ChooseFluid("ComboBoxDeviceFluidPump", 1001);
    Click("BitBtn6");
    Devices()->topLevelItem(0)->setSelected(true);
    ASSERT_EQ(window->SelectedPorts(), (QStringList{"COM6", "COM8"}));

    prompts.InputAnswers.enqueue(QStringLiteral("rig"));
    Click("BitBtn1");
    for (int i = 0; i < 60 && !(mfcA.Setpoint_counts() > 0 && pump.IsBusy()); ++i)
        Tick(5, 500);
    EXPECT_EQ(mfcA.Setpoint_counts(), 32000);
    ASSERT_TRUE(pump.IsBusy()) << "dosing";
    const QByteArrayList pumpHeard = pump.ReceivedLines();
    EXPECT_TRUE(std::any_of(pumpHeard.cbegin(), pumpHeard.cend(), [](const QByteArray& line) {
        return line.startsWith("/1") && line.contains('g') && line.endsWith('R');
    })) << pumpHeard.join(' ').toStdString();
    EXPECT_GT(mfcA.FullScale_gpm(), 0);

    Click("BitBtn2");
    for (int i = 0; i < 60 && !(mfcA.Setpoint_counts() == 0 && !pump.IsBusy()); ++i)
        Tick(5, 500);
    EXPECT_EQ(mfcA.Setpoint_counts(), 0);
    EXPECT_FALSE(pump.IsBusy());
    EXPECT_TRUE(pump.ReceivedLines().contains("/1TR"));

    window->close();
    EXPECT_EQ(mfcA.Setpoint_counts(), 0);
    EXPECT_FALSE(pump.IsBusy());
    EXPECT_EQ(mfcB.Setpoint_counts(), 0) << "never configured, never moved";
}

using EmptySearchTest = SearchFixture;

TEST_F(EmptySearchTest, ConfiguredDemonstrationDevicesStopFirstAndNothingFoundLeavesAnEmptyList)
{
    Focus(QStringLiteral("COMX"));
    ChooseFluid("ComboBoxDeviceFluid", 8);
    Click("BitBtn6");
    ASSERT_TRUE(HasWorkerThread(Device(QStringLiteral("COMX"))));

    Search();
    EXPECT_TRUE(Log().contains(QStringLiteral("All threads terminated"))) << Log().toStdString();
    EXPECT_TRUE(DevicesLocal.isEmpty());
    EXPECT_EQ(Devices()->topLevelItemCount(), 0);
    EXPECT_TRUE(Log().endsWith(QStringLiteral("No instruments found."))) << Log().toStdString();
}

// Counts the paint events of a widget.
class PaintCounter : public QObject {
public:
    int Paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++Paints;
        return QObject::eventFilter(watched, event);
    }
};

using SlowSearchTest = SearchFixture;

TEST_F(SlowSearchTest, TheWindowShowsEachPortAsItIsProbed)
{
    VirtualMFC slow;
    slow.SetSerialNumber(QStringLiteral("432389"));
    slow.SetFault(LineFault::Slow);
    Serve(slow, "COM6");

    QWidget* log = Find<QPlainTextEdit>("MemoMain")->viewport();
    PaintCounter painted;
    log->installEventFilter(&painted);
    // Samples the window from its own event loop while the search runs: the
    // log shows the port being probed and keeps being painted.
    bool sawProgressWhileSearching = false;
    bool disabledWhileSearching = false;
    int firstPaints = -1;
    int lastPaints = -1;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, window.get(), [&] {
        const QString text = Log();
        if (!text.contains(QStringLiteral("Scanning port: COM6")) || text.contains(QStringLiteral("Finished searching")))
            return;
        sawProgressWhileSearching = true;
        disabledWhileSearching = !window->isEnabled();
        if (firstPaints < 0)
            firstPaints = painted.Paints;
        lastPaints = painted.Paints;
        log->update();
    });
    sampler.start(100);
    Search();
    sampler.stop();

    EXPECT_TRUE(sawProgressWhileSearching);
    EXPECT_TRUE(disabledWhileSearching);
    EXPECT_GT(lastPaints, firstPaints);
    EXPECT_EQ(Devices()->topLevelItemCount(), 1);
    slow.Stop();
}

} // namespace
