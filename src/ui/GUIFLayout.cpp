// The window's panels, splitters, views and tab pages.
#include "ui/GUIF.h"

#include "ui/Icons.h"
#include "ui/widgets/RtGraph2D.h"

#include <QBoxLayout>
#include <QEvent>
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
constexpr int MinimumPane = 31;
constexpr int PanelPadding = 3;

template <typename Widget>
Widget* Named(Widget* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

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
        QWidget* sheet = qstrcmp(page.name, "TabSheetSegment") == 0 ? BuildSegmentPage() : new QWidget;
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

    ListViewSegmentProgram = ReportList("ListViewSegmentProgram", {QStringLiteral("Time, m"), QStringLiteral("Flow, %"),
                                                                   QStringLiteral("Type"), QStringLiteral("Note")});
    ListViewSegmentProgram->setSelectionMode(QAbstractItemView::SingleSelection);
    const int widths[] = {51, 60, 45, 75};
    for (int column = 0; column < 4; ++column)
        ListViewSegmentProgram->setColumnWidth(column, widths[column]);
    ListViewSegmentProgram->viewport()->installEventFilter(this);
    // Until a device is shown, the list holds an example program.
    ShowSegmentRows(QStringLiteral("0 0 Step\r\n10 0.7525 Step\r\n30 65 Ramp\r\n60 100 Step\r\n65 0 Step"));

    auto* editors = new QVBoxLayout;
    editors->addWidget(LabelSegmentStartTime);
    editors->addStretch();

    auto* page = new QWidget;
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(editors, 1);
    layout->addWidget(ListViewSegmentProgram, 1);
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
