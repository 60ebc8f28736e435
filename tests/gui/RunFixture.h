#pragma once

#include "WindowFixture.h"

#include "base/MainThreadWait.h"
#include "mfc/MFCThread.h"
#include "ui/DataTableView.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

// Programs started and run from the window, as an operator does it.
class RunFixture : public WindowFixture {
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        // The test ticks the engine itself, on its own clock.
        Find<QTimer>("TimerEngine")->stop();
    }

    void Click(const char* button) const { QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton); }

    void CtrlClick(const QString& port) const
    {
        const auto rows = Devices()->findItems(port, Qt::MatchExactly);
        ASSERT_EQ(rows.size(), 1) << port.toStdString();
        const QRect rect = Devices()->visualItemRect(rows.first());
        QTest::mouseClick(Devices()->viewport(), Qt::LeftButton, Qt::ControlModifier, rect.center());
    }

    // Focuses a row, picks its fluid and applies the configuration.
    void Configure(const QString& port, const char* fluidList, qint32 fluidID) const
    {
        Focus(port);
        ChooseFluid(fluidList, fluidID);
        Click("BitBtn6");
    }

    // One engine tick `seconds` of clock time after the last, with the
    // workers given `realMS` to hand over their readings.
    void Tick(double seconds, int realMS)
    {
        WaitProcessingEvents([] { return false; }, realMS);
        clock.AdvanceSeconds(seconds);
        window->TimerEngineTimer();
    }

    // One engine tick `seconds` of clock time after the last, once every
    // listed controller has handed over a reading taken at that time.
    void TickOnReadings(double seconds, const QStringList& ports)
    {
        clock.AdvanceSeconds(seconds);
        const bool read = WaitProcessingEvents(
            [&] {
                for (const QString& port : ports) {
                    if (Device(port).ThreadMFC->GUIIn.DeviceStatus.DataTime < clock.MonotonicNow())
                        return false;
                }
                return true;
            },
            ReadingTimeoutMS);
        ASSERT_TRUE(read) << ports.join(' ').toStdString();
        window->TimerEngineTimer();
    }

    // Generous: a simulated pass takes at most a second.
    static constexpr int ReadingTimeoutMS = 10000;

    QString DataTable() const { return Find<TDataTableView>("MemoData")->Text(); }
};
