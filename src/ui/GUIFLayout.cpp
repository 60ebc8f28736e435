// The window's panels, splitters, views and tab pages.
#include "ui/GUIF.h"

#include "ui/ContextHelp.h"
#include "ui/Icons.h"
#include "ui/Named.h"
#include "ui/BatchedLines.h"
#include "ui/DataTableView.h"
#include "ui/ReportList.h"
#include "ui/pages/ConfigureSheet.h"
#include "ui/pages/DesignerSheet.h"
#include "ui/pages/DirectControlSheet.h"
#include "ui/pages/MixturesSheet.h"
#include "ui/pages/SegmentSheet.h"
#include "ui/pages/ToolsSheet.h"
#include "ui/widgets/DzHTMLText.h"
#include "ui/widgets/RtGraph2D.h"
#include "ui/widgets/hhALed.h"

#include <QBoxLayout>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeWidget>

namespace {

constexpr int MinimumWindowWidth = 691;
constexpr int DataPanelHeight = 200;
constexpr int BottomPanelHeight = 150;
constexpr int DevicePanelWidth = 400;
constexpr int MessageLogWidth = 500;
constexpr int StatusBarHeight = 20;
// The screen keeps the newest lines; the message file keeps them all.
constexpr int MessageLogLines = 100000;
constexpr int AlarmLampSize = 16;
constexpr int MinimumPane = 31;
constexpr int PanelPadding = 3;

QPlainTextEdit* TextTable(const char* name)
{
    auto* memo = Named(new QPlainTextEdit, name);
    memo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return memo;
}

QSplitter* Splitter(Qt::Orientation orientation, const char* name, int handleWidth)
{
    auto* splitter = Named(new QSplitter(orientation), name);
    splitter->setHandleWidth(handleWidth);
    splitter->setChildrenCollapsible(false);
    return splitter;
}

QWidget* Panel(const char* name, QBoxLayout* layout, const QMargins& padding)
{
    auto* panel = Named(new QWidget, name);
    layout->setContentsMargins(padding);
    layout->setSpacing(0);
    panel->setLayout(layout);
    return panel;
}

// A red lamp that shows only while its alarm is raised; its tool tip says why.
ThhALed* AlarmLamp(const char* name)
{
    auto* lamp = Named(new ThhALed, name);
    lamp->SetBordered(false);
    lamp->SetBlink(false);
    lamp->SetLEDStyle(ThhALed::LEDSqLarge);
    lamp->SetTrueColor(Qt::red);
    lamp->SetValue(true);
    lamp->setFixedSize(AlarmLampSize, AlarmLampSize);
    lamp->hide();
    return lamp;
}

} // namespace

void TGUIF::BuildLayout()
{
    setMinimumWidth(MinimumWindowWidth);
    // The pages attach their run-time controls to the help as they make them.
    DzHTMLTextTips = Named(new TDzHTMLText, "DzHTMLTextTips");
    contextHelp = new TContextHelp(DzHTMLTextTips, this);

    SplitterBottom = Splitter(Qt::Vertical, "SplitterBottom", 4);
    SplitterBottom->addWidget(BuildWorkingArea());
    SplitterBottom->addWidget(BuildBottomPanel());
    SplitterBottom->setStretchFactor(0, 1);
    SplitterBottom->setStretchFactor(1, 0);
    SplitterBottom->setMinimumHeight(MinimumPane);

    SplitterTop = Splitter(Qt::Vertical, "SplitterTop", 5);
    SplitterTop->addWidget(BuildDataPanel());
    SplitterTop->addWidget(SplitterBottom);
    SplitterTop->setStretchFactor(0, 0);
    SplitterTop->setStretchFactor(1, 1);
    setCentralWidget(SplitterTop);

    // Initial sizes; what is left over goes to the working area.
    constexpr int Rest = 10000;
    SplitterTop->setSizes({DataPanelHeight, Rest});
    SplitterBottom->setSizes({Rest, BottomPanelHeight});
    SplitterVertical->setSizes({DevicePanelWidth, Rest});
}

QWidget* TGUIF::BuildDataPanel()
{
    RtGraph2DMain = Named(new TRtGraph2D, "RtGraph2DMain");
    CreateTimeHighlight();
    MemoSegments = TextTable("MemoSegments");
    MemoSegments->setReadOnly(true);
    MemoSegments->hide();
    // The table is the data log's content: it is shown, never edited here.
    MemoData = Named(new TDataTableView([this](qsizetype index) { return dataLog.DataLine(index); }), "MemoData");
    MemoData->hide();

    auto* layout = new QVBoxLayout;
    layout->addWidget(RtGraph2DMain);
    layout->addWidget(MemoSegments);
    layout->addWidget(MemoData);
    PanelData = Panel("PanelData", layout, {});
    PanelData->setMinimumHeight(MinimumPane);
    return PanelData;
}

QWidget* TGUIF::BuildWorkingArea()
{
    ListViewDevices = ReportList("ListViewDevices", {QStringLiteral("COM port"), QStringLiteral("State"),
                                                     QStringLiteral("Instrument"), QStringLiteral("Device"),
                                                     QStringLiteral("Name or role")});
    ListViewDevices->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListViewDevices->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    ListViewDevices->header()->setStretchLastSection(true);

    auto* deviceLayout = new QVBoxLayout;
    deviceLayout->addWidget(ListViewDevices);
    PanelSelectDevice = Panel("PanelSelectDevice", deviceLayout,
                              {PanelPadding, PanelPadding, PanelPadding, PanelPadding});
    PanelSelectDevice->setMinimumWidth(MinimumPane);

    PageControl1 = Named(new QTabWidget, "PageControl1");
    configureSheet = new TConfigureSheet;
    segmentSheet = new TSegmentSheet;
    directControlSheet = new TDirectControlSheet;
    toolsSheet = new TToolsSheet;
    mixturesSheet = new TMixturesSheet;
    struct Page {
        QWidget* sheet;
        const char* caption;
        const char* icon;
    };
    const Page pages[] = {
        {configureSheet, "Configure", "settings"},
        {segmentSheet, "Design segments", "bar_chart"},
        {directControlSheet, "Direct control", "neutral_trading"},
        {mixturesSheet, "Mixtures", "multiple_inputs"},
        {toolsSheet, "Tools", "support"},
        {BuildDesignerPage(), "Designer", "todo_list"},
    };
    for (const Page& page : pages)
        PageControl1->addTab(page.sheet, TarvoIcon(QString::fromLatin1(page.icon)), QString::fromLatin1(page.caption));
    auto* actionsLayout = new QVBoxLayout;
    actionsLayout->addWidget(PageControl1);
    PanelActions = Panel("PanelActions", actionsLayout, {PanelPadding, PanelPadding, PanelPadding, PanelPadding});
    PanelActions->setMinimumWidth(MinimumPane);

    SplitterVertical = Splitter(Qt::Horizontal, "SplitterVertical", 4);
    SplitterVertical->addWidget(PanelSelectDevice);
    SplitterVertical->addWidget(PanelActions);
    SplitterVertical->setStretchFactor(0, 0);
    SplitterVertical->setStretchFactor(1, 1);
    SplitterVertical->setMinimumHeight(MinimumPane);
    return SplitterVertical;
}

QWidget* TGUIF::BuildBottomPanel()
{
    MemoMain = TextTable("MemoMain");
    MemoMain->setReadOnly(true);
    MemoMain->setMaximumBlockCount(MessageLogLines);
    messageLines = new TBatchedLines(MemoMain);
    MemoMain->setFixedWidth(MessageLogWidth);

    auto* helpLayout = new QVBoxLayout;
    helpLayout->addWidget(DzHTMLTextTips);
    PanelHelp = Panel("PanelHelp", helpLayout, {11, 0, 0, 0});

    auto* logAndHelp = new QHBoxLayout;
    logAndHelp->setSpacing(0);
    logAndHelp->addWidget(MemoMain);
    logAndHelp->addWidget(PanelHelp, 1);

    PanelStatusBar = Named(new QWidget, "PanelStatusBar");
    PanelStatusBar->setFixedHeight(StatusBarHeight);
    // Beside the status bar, not in it: the device lamps are placed by how
    // many lamps the status bar holds.
    LedDeviationAlarm = AlarmLamp("LedDeviationAlarm");
    LedSaveAlarm = AlarmLamp("LedSaveAlarm");
    auto* statusRow = new QHBoxLayout;
    statusRow->addWidget(PanelStatusBar, 1);
    statusRow->addWidget(LedDeviationAlarm);
    statusRow->addWidget(LedSaveAlarm);

    auto* layout = new QVBoxLayout;
    layout->addLayout(logAndHelp, 1);
    layout->addLayout(statusRow);
    PanelBottomMemo = Panel("PanelBottomMemo", layout, {11, 11, 11, 4});
    PanelBottomMemo->setMinimumHeight(MinimumPane);
    return PanelBottomMemo;
}

QWidget* TGUIF::BuildDesignerPage()
{
    designerSheet = new TDesignerSheet(*contextHelp, [this] { return SelectedPorts(); });
    connect(designerSheet, &TDesignerSheet::DesignTimeChanged, this, &TGUIF::ShowDesignTime);
    connect(designerSheet, &TDesignerSheet::ApplyClicked, this, &TGUIF::BitBtnDesignerApplyClick);
    return designerSheet;
}
