#pragma once

#include "devices/DeviceInfo.h"
#include "devices/DeviceRegistry.h"
#include "engine/DataLog.h"
#include "engine/DeviceConfiguration.h"
#include "engine/EngineView.h"
#include "engine/MixtureRecipe.h"
#include "engine/RunControlView.h"
#include "engine/SegmentDesign.h"
#include "support/TestClock.h"

#include <QMap>
#include <QStringList>

#include <memory>
#include <vector>

// Stands in for the window: records what the engine and run control show.
class FakeWindow final : public TEngineView,
                         public TRunControlView,
                         public TDeviceConfigurationView,
                         public TMixtureRecipeView,
                         public TSegmentDesignView {
public:
    struct Point { double x; double y; };

    // Engine view.
    void SetEngineLamp(bool lit) override { engineLampLit = lit; }
    void SetDeviceLamp(ThhALed* lamp, bool lit) override { if (lit) ++litLamps[lamp]; }
    void FlowSerie(const TDeviceInfo& device, double x, double y) override { flowPoints[device.COMPort].append({x, y}); }
    void MM(const QString& message) override { log.append(message); }
    void ShowDeviceState(const TDeviceInfo& device) override
    {
        const QString state = DeviceStateText(device);
        states[device.COMPort] = state;
        QStringList& shown = shownStates[device.COMPort];
        if (shown.isEmpty() || shown.last() != state)
            shown << state;
    }
    bool FlowDataLogFileEnsure(bool AlwaysAsk) override { return dataLog.FlowDataLogFileEnsure(AlwaysAsk); }
    void ShowDeviationAlarm(const QStringList& ports, const QString& reasons) override
    {
        deviationPorts = ports;
        deviationReasons = reasons;
        ++deviationShows;
    }
    bool AutoScrollChecked() const override { return true; }
    void ScrollDataTableToEnd() override { ++scrolls; }
    void MemoSegmentsUpdate() override { ++segmentTableRefreshes; }
    void Pause(int ms) override
    {
        pausedMS += ms;
        if (clockDuringPauses)
            clockDuringPauses->AdvanceSeconds(ms / 1000.0);
    }

    // Run-control view.
    QStringList SelectedPorts() const override { return selected; }
    bool GetSelectedDevice(TDeviceInfo& device) const override
    {
        return !focused.isEmpty() && GetDeviceByPort(focused, device);
    }
    void RefreshDevice(TDeviceInfo& device) override { refreshed.append(device.COMPort); StoreDevice(device); }
    void ClearFlowSerie(TDeviceInfo& device) override { flowPoints[device.COMPort].clear(); ++flowClears; }
    void BeginThreadShutdown() override { shuttingDown = true; }
    void EndThreadShutdown() override { shuttingDown = false; ++graphClears; }
    void FreeLamp(ThhALed*) override { ++freedLamps; }
    void ShowAllDevicesUnknown() override { ++unknownMarks; }

    // Configuration view. Lamps are tokens here: the logic never looks inside one.
    ThhALed* AddLedForThread() override
    {
        lampTokens.push_back(std::make_unique<char>());
        return reinterpret_cast<ThhALed*>(lampTokens.back().get());
    }
    void ColourLamp(ThhALed* lamp, TRtColor color) override { lampColours[lamp] = color; }

    // The lines the data table view would show arrive in `dataLines`.
    TDataLog dataLog{[this](const QString& message) { MM(message); },
                     [this](const QStringList& lines) { dataLines += lines; }};
    bool engineLampLit = false;
    QMap<ThhALed*, int> litLamps;
    QMap<QString, QList<Point>> flowPoints;
    QMap<QString, QStringList> shownStates; // each state change of the device list, by port
    QMap<QString, QString> states; // the device list's "State", as the engine last showed it
    QStringList log;
    QStringList deviationPorts; // the controllers the window shows in deviation alarm
    QString deviationReasons;
    int deviationShows = 0;
    QStringList dataLines;
    int scrolls = 0;
    int segmentTableRefreshes = 0;
    int pausedMS = 0;
    TestClock* clockDuringPauses = nullptr; // time passes while the engine pauses

    QStringList selected;
    QString focused;
    QStringList refreshed;
    int flowClears = 0;
    bool shuttingDown = false;
    int graphClears = 0;
    int freedLamps = 0;
    int unknownMarks = 0;

    std::vector<std::unique_ptr<char>> lampTokens;
    QMap<ThhALed*, TRtColor> lampColours;
};
