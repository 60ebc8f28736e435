// The window's panels, splitters, views and tab pages.
#include "ui/GUIF.h"

#include "ui/Icons.h"
#include "ui/Named.h"
#include "ui/widgets/RtDoubleEdit.h"
#include "ui/widgets/RtGraph2D.h"

#include <QBoxLayout>
#include <QEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
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

// A report-style list: whole rows, no tree decoration, not editable.
QTreeWidget* ReportList(const char* name, const QStringList& columns)
{
    auto* list = Named(new QTreeWidget, name);
    list->setHeaderLabels(columns);
    list->setRootIsDecorated(false);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->header()->setSectionsClickable(false);
    list->header()->setSectionsMovable(false);
    return list;
}

QWidget* Panel(const char* name, QBoxLayout* layout, const QMargins& padding)
{
    auto* panel = Named(new QWidget, name);
    layout->setContentsMargins(padding);
    layout->setSpacing(0);
    panel->setLayout(layout);
    return panel;
}

} // namespace

void TGUIF::BuildLayout()
{
    setMinimumWidth(MinimumWindowWidth);

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
    MemoData = TextTable("MemoData");
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
    struct Page {
        const char* name;
        const char* caption;
        const char* icon;
    };
    const Page pages[] = {
        {"TabSheetConfigure", "Configure", "settings"},
        {"TabSheetSegment", "Design segments", "bar_chart"},
        {"TabSheetDirectControl", "Direct control", "neutral_trading"},
        {"TabSheetMixtures", "Mixtures", "multiple_inputs"},
        {"TabSheetTools", "Tools", "support"},
        {"TabSheet1", "Designer", "todo_list"},
    };
    for (const Page& page : pages) {
        QWidget* sheet = qstrcmp(page.name, "TabSheetConfigure") == 0       ? BuildConfigurePage()
                       : qstrcmp(page.name, "TabSheetSegment") == 0       ? BuildSegmentPage()
                       : qstrcmp(page.name, "TabSheetDirectControl") == 0 ? BuildDirectControlPage()
                                                                          : new QWidget;
        sheet->setObjectName(QString::fromLatin1(page.name));
        PageControl1->addTab(sheet, TarvoIcon(QString::fromLatin1(page.icon)), QString::fromLatin1(page.caption));
    }
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

QWidget* TGUIF::BuildSegmentPage()
{
    LabelSegmentStartTime = Named(new QLabel, "LabelSegmentStartTime");
    LabelSelectedDeviceNameRole = Named(new QLabel(QStringLiteral("Name or role")), "LabelSelectedDeviceNameRole");
    RtDoubleEditDevMaxFlow = Named(new TRtDoubleEdit, "RtDoubleEditDevMaxFlow");
    RtDoubleEditDevMaxFlow->setReadOnly(true);
    LabelSpecifiedFlowUnit = Named(new QLabel(QStringLiteral("Flow unit")), "LabelSpecifiedFlowUnit");
    RtDoubleEditSegmentFlow = Named(new TRtDoubleEdit, "RtDoubleEditSegmentFlow");
    RtDoubleEditSegmentFlow->SetMaxValue(100);
    LabelResultingFlowinSpecifiedUnit =
        Named(new QLabel(QStringLiteral("Resulting flow in specified unit")), "LabelResultingFlowinSpecifiedUnit");

    auto* editors = new QGridLayout;
    editors->addWidget(Named(new QLabel(QStringLiteral("Selected device")), "LabelSelectedDevice"), 0, 0);
    editors->addWidget(LabelSelectedDeviceNameRole, 0, 1, 1, 2);
    editors->addWidget(Named(new QLabel(QStringLiteral("Maximum flow")), "LabelDeviceMaxFlow"), 1, 0);
    editors->addWidget(RtDoubleEditDevMaxFlow, 1, 1);
    editors->addWidget(LabelSpecifiedFlowUnit, 1, 2);
    editors->addWidget(LabelSegmentStartTime, 2, 0);
    editors->addWidget(Named(new QLabel(QStringLiteral("Segment flow, %")), "LabelSegmentFow"), 3, 0);
    editors->addWidget(RtDoubleEditSegmentFlow, 3, 1);
    editors->addWidget(LabelResultingFlowinSpecifiedUnit, 3, 2);
    editors->setColumnStretch(2, 1);

    BitBtn1 = Named(new QPushButton(TarvoIcon(QStringLiteral("play")), QStringLiteral("Start segment program(s)")),
                    "BitBtn1");
    BitBtn2 = Named(new QPushButton(TarvoIcon(QStringLiteral("stop")), QStringLiteral("Stop segment program(s)")),
                    "BitBtn2");
    auto* selected = Named(new QGroupBox(QStringLiteral("Selected devices")), "GroupBoxSegmentProgram");
    auto* buttons = new QHBoxLayout(selected);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);

    ListViewSegmentProgram = ReportList("ListViewSegmentProgram", {QStringLiteral("Time, m"), QStringLiteral("Flow, %"),
                                                                   QStringLiteral("Type"), QStringLiteral("Note")});
    ListViewSegmentProgram->setSelectionMode(QAbstractItemView::SingleSelection);
    const int widths[] = {51, 60, 45, 75};
    for (int column = 0; column < 4; ++column)
        ListViewSegmentProgram->setColumnWidth(column, widths[column]);
    ListViewSegmentProgram->viewport()->installEventFilter(this);
    // Until a device is shown, the list holds an example program.
    ShowSegmentRows(QStringLiteral("0 0 Step\r\n10 0.7525 Step\r\n30 65 Ramp\r\n60 100 Step\r\n65 0 Step"));

    auto* left = new QVBoxLayout;
    left->addLayout(editors);
    left->addWidget(selected);
    left->addStretch();

    auto* page = new QWidget;
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(left, 1);
    layout->addWidget(ListViewSegmentProgram, 1);
    return page;
}

QWidget* TGUIF::BuildDirectControlPage()
{
    RtDoubleEditDirectControlMaxFlow = Named(new TRtDoubleEdit, "RtDoubleEditDirectControlMaxFlow");
    RtDoubleEditDirectControlMaxFlow->setEnabled(false);
    LabelDirectControlMaxFlowUnit = Named(new QLabel(QStringLiteral("Flow unit")), "LabelDirectControlMaxFlowUnit");
    RtDoubleEditDirectControlDesiredFlow = Named(new TRtDoubleEdit, "RtDoubleEditDirectControlDesiredFlow");
    RtDoubleEditDirectControlDesiredFlow->SetMaxValue(100);
    LabelDirectControlResultingFlow =
        Named(new QLabel(QStringLiteral("Resulting flow in specified unit")), "LabelDirectControlResultingFlow");
    BitBtn7 = Named(new QPushButton(TarvoIcon(QStringLiteral("play")), QStringLiteral("Apply setpoint")), "BitBtn7");
    // "&&" shows one ampersand, as in the menus.
    BitBtn8 = Named(new QPushButton(TarvoIcon(QStringLiteral("stop")), QStringLiteral("Stop flow && stop tracking device")),
                    "BitBtn8");

    auto* grid = new QGridLayout;
    grid->addWidget(Named(new QLabel(QStringLiteral("Maximum flow")), "Label7"), 0, 0);
    grid->addWidget(RtDoubleEditDirectControlMaxFlow, 0, 1);
    grid->addWidget(LabelDirectControlMaxFlowUnit, 0, 2);
    grid->addWidget(Named(new QLabel(QStringLiteral("Setpoint, %")), "Label6"), 1, 0);
    grid->addWidget(RtDoubleEditDirectControlDesiredFlow, 1, 1);
    grid->addWidget(LabelDirectControlResultingFlow, 1, 2);
    grid->setColumnStretch(2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn7);
    buttons->addWidget(BitBtn8);
    buttons->addStretch();

    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->addStretch();
    return page;
}

QWidget* TGUIF::BuildBottomPanel()
{
    MemoMain = TextTable("MemoMain");
    MemoMain->setReadOnly(true);
    MemoMain->setFixedWidth(MessageLogWidth);

    DzHTMLTextTips = Named(new QLabel, "DzHTMLTextTips");
    DzHTMLTextTips->setTextFormat(Qt::RichText);
    DzHTMLTextTips->setWordWrap(true);
    DzHTMLTextTips->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* helpLayout = new QVBoxLayout;
    helpLayout->addWidget(DzHTMLTextTips);
    PanelHelp = Panel("PanelHelp", helpLayout, {11, 0, 0, 0});

    auto* logAndHelp = new QHBoxLayout;
    logAndHelp->setSpacing(0);
    logAndHelp->addWidget(MemoMain);
    logAndHelp->addWidget(PanelHelp, 1);

    PanelStatusBar = Named(new QWidget, "PanelStatusBar");
    PanelStatusBar->setFixedHeight(StatusBarHeight);

    auto* layout = new QVBoxLayout;
    layout->addLayout(logAndHelp, 1);
    layout->addWidget(PanelStatusBar);
    PanelBottomMemo = Panel("PanelBottomMemo", layout, {11, 11, 11, 4});
    PanelBottomMemo->setMinimumHeight(MinimumPane);
    return PanelBottomMemo;
}
