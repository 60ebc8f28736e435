#pragma once

#include "app/DeviceInfo.h"
#include "engine/DataLog.h"

#include <QMainWindow>

class QAction;
class QLabel;
class QMenu;
class QMouseEvent;
class QPlainTextEdit;
class QSplitter;
class QTabWidget;
class QTreeWidget;
class ThhALed;
class TRtGraph2D;
class TRtPointSeries;

// The main window: the data area (graph, segment program table, data table)
// on top, the device list and the tab pages in the middle, the message log,
// help panel and lamps at the bottom. Handlers stay short; the behaviour
// lives in the plain functions and classes they call.
class TGUIF : public QMainWindow {
    Q_OBJECT
public:
    explicit TGUIF(QWidget* parent = nullptr);
    ~TGUIF() override;

    // Window-wide state.
    double TimeUnitFactor() const { return timeUnitFactor; }
    const QString& TimeUnitSuffix() const { return timeUnitSuffix; }
    ThhALed* EngineLed() const { return engineLed; }
    bool DataHeaderPending() const { return dataHeaderPending; }
    void SetDataHeaderPending(bool pending) { dataHeaderPending = pending; }
    const TDataLog& DataLog() const { return dataLog; }

    void FormCaption();
    void FormClose();
    int GetDPIScaling() const;
    ThhALed* AddLedForThread();
    void MM(const QString& aMessage);
    bool GetSelectedDevice(TDeviceInfo& aDev) const;

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
    void MemoSegmentsUpdate();
    void SaveSegmentProgramAs1Click();
    void LoadSegmentProgram2Click();
    void ListViewSegmentProgramMouseUp(QMouseEvent* event);
    // Refreshes the window's views of a device from its record: the segment
    // list when it is the focused device, its segment series, the table.
    void DeviceDetailsUI(TDeviceInfo& aDevInfo);

    // Data log and data table.
    void LogFile1Click();
    bool FlowDataLogFileEnsure(bool AlwaysAsk);
    void FlowDataSave(bool ForceSave);
    void FlowDataLogFileCaption();
    void DataTableColumns();
    void AppendDataRow(const QString& row);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void BuildLayout();
    QWidget* BuildDataPanel();
    QWidget* BuildWorkingArea();
    QWidget* BuildBottomPanel();
    QWidget* BuildSegmentPage();
    void BuildMenus();
    void BuildSegmentPopupMenu();
    void AddStartupDeviceRows();
    void CreateWorkingFolders();
    void StopDeviceThreads();

    void CreateTimeHighlight();
    TRtPointSeries* NewDeviceSeries(const TDeviceInfo& device, bool flow);
    void StyleDeviceSeries(TRtPointSeries* series, const TDeviceInfo& device);
    void ApplySegmentSeriesVisibility();
    void ApplyFlowSeriesVisibility();
    void InvalidateAllSeries();
    void ShowSegmentRows(const QString& program);
    bool MergedSegmentsInput(QStringList& input) const;

    TDataLog dataLog;
    bool dataHeaderPending = true;
    double timeUnitFactor = 1;
    QString timeUnitSuffix = QStringLiteral("m");
    ThhALed* engineLed = nullptr;
    TRtPointSeries* timeHighlight = nullptr;

    // Controls, named as their objectName.
    QWidget* PanelData = nullptr;
    TRtGraph2D* RtGraph2DMain = nullptr;
    QPlainTextEdit* MemoSegments = nullptr;
    QPlainTextEdit* MemoData = nullptr;
    QSplitter* SplitterTop = nullptr;
    QSplitter* SplitterBottom = nullptr;
    QSplitter* SplitterVertical = nullptr;
    QWidget* PanelBottomMemo = nullptr;
    QPlainTextEdit* MemoMain = nullptr;
    QWidget* PanelHelp = nullptr;
    QLabel* DzHTMLTextTips = nullptr;
    QWidget* PanelStatusBar = nullptr;
    QWidget* PanelSelectDevice = nullptr;
    QTreeWidget* ListViewDevices = nullptr;
    QWidget* PanelActions = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QLabel* LabelSegmentStartTime = nullptr;
    QTreeWidget* ListViewSegmentProgram = nullptr;
    QMenu* PopupMenuSegment = nullptr;

    QAction* LogFile1 = nullptr;
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
    QAction* SaveSegmentProgramAs1 = nullptr;
    QAction* LoadSegmentProgram2 = nullptr;
};
