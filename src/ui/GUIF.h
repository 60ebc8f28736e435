#pragma once

#include "devices/DeviceInfo.h"
#include "devices/DeviceTools.h"
#include "engine/DataLog.h"
#include "engine/DeviceConfiguration.h"
#include "engine/EngineTick.h"
#include "engine/EngineView.h"
#include "engine/MessageFile.h"
#include "engine/MixtureRecipe.h"
#include "engine/RunControl.h"
#include "engine/RunControlView.h"
#include "engine/RunStateKeeper.h"
#include "engine/SegmentDesign.h"
#include "engine/SoftwareState.h"
#include "engine/WriteAlarm.h"

#include <QMainWindow>

#include <optional>

class QAction;
class QLabel;
class QTimer;
class QTreeWidgetItem;
class QMenu;
class QMouseEvent;
class QPlainTextEdit;
class TDataTableView;
class QSplitter;
class QTabWidget;
class QTreeWidget;
class ThhALed;
class TBatchedLines;
class TConfigureSheet;
class TDirectControlSheet;
class TMixturesSheet;
class TRtGraph2D;
class TRtPointSeries;
class TSegmentSheet;
class TToolsSheet;
class TContextHelp;
class TDzHTMLText;
class TDesignerSheet;

// The main window: the data area (graph, segment program table, data table)
// on top, the device list and the tab pages in the middle, the message log,
// help panel and lamps at the bottom. Handlers stay short; the behaviour
// lives in the plain functions and classes they call.
class TGUIF : public QMainWindow,
              public TEngineView,
              public TRunControlView,
              public TDeviceConfigurationView,
              public TDeviceToolsView,
              public TSegmentDesignView,
              public TMixtureRecipeView {
    Q_OBJECT
public:
    explicit TGUIF(QWidget* parent = nullptr);
    // Stops every device thread first when the window was not closed.
    ~TGUIF() override;

    // Window-wide state.
    double TimeUnitFactor() const { return timeUnitFactor; }
    const QString& TimeUnitSuffix() const { return timeUnitSuffix; }
    ThhALed* EngineLed() const { return engineLed; }
    // True while an engine tick runs (its lamp lingers a little after it).
    bool TickRunning() const { return tickRunning; }
    TDataLog& DataLog() { return dataLog; }
    TEngineTick& Engine() { return engine; }
    const TMessageFile& MessageFile() const { return messageFile; }
    // From now on a SIGTERM, SIGHUP or SIGINT closes the window as the
    // operator's close does.
    void CloseOnTerminationSignals();
    TRunControl& RunControl() { return runControl; }

    void FormCaption();
    void FormClose();
    int GetDPIScaling() const;
    ThhALed* AddLedForThread() override;
    void MM(const QString& aMessage) override;
    bool GetSelectedDevice(TDeviceInfo& aDev) const override;

    // The engine and run control.
    void TimerEngineTimer();
    void ButtonSegmentProgramStartClick();
    void ButtonSegmentProgramStopClick();
    void ButtonApplyFlowClick();
    void RtDoubleEditDirectControlDesiredFlowValueChanged();
    void Resetsoftware1Click();

    // The device search: once per run, off the main thread, with the window
    // disabled but painted and the engine timer stopped.
    void Searchdevices1Click();
    // A found device's row, the rows sorted by device and then by name.
    void AddFoundDeviceRow(const TDeviceInfo& device);
    void BeginBusy() override;
    void EndBusy() override;

    // The Tools page: refused while any device runs, otherwise one tool on
    // the focused device.
    void ButtonDeviceInitializeClick();
    void ButtonPrimePumpClick();
    void ButtonChangeSyringeClick();

    // The device list and the Configure page.
    void ListViewDevicesClick();
    // Compares one column of two rows as text, ignoring case, in the user's
    // locale; SubItemIndex counts the columns after the port from 0.
    static int CompareDeviceRows(const QTreeWidgetItem* Item1, const QTreeWidgetItem* Item2, int SubItemIndex);
    // Shows a device in every control of the window: the pages when it is the
    // focused device, its row, its segment series, the segment table. (The
    // other way, page to record, is PageToDevice of the configuration.)
    void DeviceDetailsUI(TDeviceInfo& aDevInfo);
    void ButtonApplyConfigurationClick();
    void RtColorPickComboDeviceColorChanged();
    void ComboBoxFlowUnitPredefinedChange(int row);
    void EditFlowUnitTemperatureCValueChanged();
    void EditFlowUnitPressureBarValueChanged();
    void UpdateGasFlowUnits();

    // Flow designer.
    void MixMakerComponentSetup();
    void RtDoubleEditDesignMixTimeValueChanged();
    void ShowNewMix(const QString& Caller);
    void BitBtnDesignerApplyClick();
    // Marks the designer time on the graph.
    void ShowDesignTime(double minutes);

    // Context help.
    const QString& MouseOverName() const;
    void ShowHelp(const QObject* Sender);
    void ComboBoxDeviceFluidMouseEnter();
    void ComboBoxFlowUnitPredefinedMouseEnter();

    // Time unit and the data menu.
    void SetTimeUnit(const QString& aUnit);
    void Minute1Click();
    void Hour1Click();
    void Day1Click();
    void ShowTable1Click(QAction* Sender);
    void ShowSegmentPrograms1Click();
    void Showachievedflows1Click();
    void Autoscrolltolastline1Click();
    void Cleargraphdiscarddata1Click();

    // Graph.
    void SegmentSerie(TDeviceInfo aDevice);
    void FlowSerie(TDeviceInfo aDevice, double X, double Y, bool Clear);
    double RtPointSeriesXValueTransformation(double x) const;
    void ClearGraph(bool RemoveData);
    TRtPointSeries* RtLineSeriesTimeHighlight() const { return timeHighlight; }

    // Segment program table, list and files.
    void MergeSegments();
    void SaveSegmentProgramAs1Click();
    void LoadSegmentProgram2Click();

    // The operator's set-up kept in a file.
    TSoftwareState CurrentSoftwareState() const;
    void Savesoftwarestate1Click();
    void Loadsoftwarestate1Click();
    // Refused (false) while a device runs; tells which entries found no device.
    bool ApplySoftwareState(const TSoftwareState& state);
    // At start-up: a run the program did not end left its run-state file
    // beside its log. Asks whether to resume it (its log continued, its
    // devices configured, each program at its elapsed time) or to discard
    // it (its instruments brought to rest).
    void OfferResumeOfInterruptedRun();
    void ListViewSegmentProgramMouseUp(QMouseEvent* event);

    // Data log and data table.
    void LogFile1Click();
    bool FlowDataLogFileEnsure(bool AlwaysAsk) override;
    void FlowDataSave(bool ForceSave);
    void FlowDataLogFileCaption();

    // The data taken out: the table as CSV, the chart as a picture, a logged
    // run reopened in a window of its own.
    void OpenDataLog1Click();
    void ExportDataTableAsCSV1Click();
    void SaveChartAs1Click();

    // What the engine, run control and the configuration show here.
    void SetEngineLamp(bool lit) override;
    void SetDeviceLamp(ThhALed* lamp, bool lit) override;
    void FlowSerie(const TDeviceInfo& device, double x, double y) override;
    bool AutoScrollChecked() const override;
    void ScrollDataTableToEnd() override;
    void MemoSegmentsUpdate() override;
    void Pause(int ms) override;
    void ShowDeviceState(const TDeviceInfo& device) override;
    void ShowDeviationAlarm(const QStringList& ports, const QString& reasons) override;
    QStringList SelectedPorts() const override;
    void RefreshDevice(TDeviceInfo& device) override;
    void ClearFlowSerie(TDeviceInfo& device) override;
    void BeginThreadShutdown() override;
    void EndThreadShutdown() override;
    void FreeLamp(ThhALed* lamp) override;
    void ShowAllDevicesUnknown() override;
    void ColourLamp(ThhALed* lamp, TRtColor color) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void ShowDataLines(const QStringList& lines);
    void ShowWriteAlarm(bool raised, const QString& reasons);
    void BuildLayout();
    QWidget* BuildDataPanel();
    QWidget* BuildWorkingArea();
    QWidget* BuildBottomPanel();
    QWidget* BuildDesignerPage();
    void ConnectPages();
    void BuildMenus();
    void BuildDataOutMenu(QMenu* file);
    QString ProposedDataOutFile(const QString& extension) const;
    void AddStartupDeviceRows();
    void CreateWorkingFolders();
    void AttachContextHelp();
    void SetDeviceRowMarkers();
    void ShowDeviceRow(const TDeviceInfo& device);

    void CreateTimeHighlight();
    TRtPointSeries* NewDeviceSeries(const TDeviceInfo& device, bool flow);
    void StyleDeviceSeries(TRtPointSeries* series, const TDeviceInfo& device);
    void ApplySegmentSeriesVisibility();
    void ApplyFlowSeriesVisibility();
    void InvalidateAllSeries();
    bool MergedSegmentsInput(QStringList& input) const;
    void ContinueDataLog(const QString& fileName);

    TWriteAlarm writeAlarm{[this](bool raised, const QString& reasons) { ShowWriteAlarm(raised, reasons); }};
    TMessageFile messageFile;
    TDataLog dataLog;
    TEngineTick engine{*this, dataLog};
    TRunControl runControl{*this, engine, dataLog};
    TRunStateKeeper runStateKeeper{dataLog, [this] { return CurrentSoftwareState(); },
                                   [this](const QString& message) { MM(message); }};
    TDeviceTools tools{*this};
    bool closed = false;
    bool closeAfterShutdown = false;
    bool terminationSignalled = false; // a close that asks nobody
    bool searchDone = false;
    bool tickRunning = false;
    // The focused row the list refresh last showed; none before the first.
    std::optional<QString> shownFocusedPort;
    QWidget* shutdownCover = nullptr;
    double timeUnitFactor = 1;
    QString timeUnitSuffix = QStringLiteral("m");
    ThhALed* engineLed = nullptr;
    TRtPointSeries* timeHighlight = nullptr;
    TContextHelp* contextHelp = nullptr;
    TDesignerSheet* designerSheet = nullptr;

    // Controls, named as their objectName.
    QWidget* PanelData = nullptr;
    TRtGraph2D* RtGraph2DMain = nullptr;
    QPlainTextEdit* MemoSegments = nullptr;
    TDataTableView* MemoData = nullptr;
    QSplitter* SplitterTop = nullptr;
    QSplitter* SplitterBottom = nullptr;
    QSplitter* SplitterVertical = nullptr;
    QWidget* PanelBottomMemo = nullptr;
    QPlainTextEdit* MemoMain = nullptr;
    TBatchedLines* messageLines = nullptr;
    QWidget* PanelHelp = nullptr;
    TDzHTMLText* DzHTMLTextTips = nullptr;
    QWidget* PanelStatusBar = nullptr;
    ThhALed* LedSaveAlarm = nullptr;
    ThhALed* LedDeviationAlarm = nullptr;
    QWidget* PanelSelectDevice = nullptr;
    QTreeWidget* ListViewDevices = nullptr;
    QWidget* PanelActions = nullptr;
    QTabWidget* PageControl1 = nullptr;
    TConfigureSheet* configureSheet = nullptr;
    TSegmentSheet* segmentSheet = nullptr;
    TDirectControlSheet* directControlSheet = nullptr;
    TToolsSheet* toolsSheet = nullptr;
    TMixturesSheet* mixturesSheet = nullptr;
    QTimer* TimerEngine = nullptr;

    QAction* LogFile1 = nullptr;
    QAction* Resetsoftware1 = nullptr;
    QAction* Minute1 = nullptr;
    QAction* Hour1 = nullptr;
    QAction* Day1 = nullptr;
    QAction* ShowTable1 = nullptr;
    QAction* ShowSegmentProgram1 = nullptr;
    QAction* ShowData1 = nullptr;
    QAction* ShowSegmentPrograms1 = nullptr;
    QAction* Showachievedflows1 = nullptr;
    QAction* Cleargraphdiscarddata1 = nullptr;
    QAction* Autoscrolltolastline1 = nullptr;
};
