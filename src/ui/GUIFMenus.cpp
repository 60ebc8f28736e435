// The main menu.
#include "ui/GUIF.h"

#include "ui/Icons.h"
#include "ui/pages/SegmentSheet.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {

QMenu* Menu(QWidget* parent, const char* name, const QString& caption)
{
    auto* menu = new QMenu(caption, parent);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

enum class Check { None, Unchecked, Checked };

// A menu item; captions use "&&" for a shown ampersand, as Qt does.
QAction* Item(QMenu* menu, const char* name, const QString& caption, Check check = Check::None)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setCheckable(check != Check::None);
    action->setChecked(check == Check::Checked);
    return action;
}

QAction* Heading(QMenu* menu, const char* name, const QString& caption)
{
    QAction* action = Item(menu, name, caption);
    action->setEnabled(false);
    return action;
}

void Separator(QMenu* menu, const char* name)
{
    menu->addSeparator()->setObjectName(QString::fromLatin1(name));
}

} // namespace

void TGUIF::BuildMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    QMenu* file = Menu(bar, "File1", QStringLiteral("File"));
    LogFile1 = Item(file, "LogFile1", QStringLiteral("Data log file: <not set>"));
    QAction* saveState = Item(file, "Savesoftwarestate1", QStringLiteral("Save software state"));
    QAction* loadState = Item(file, "Loadsoftwarestate1", QStringLiteral("Load software state"));
    connect(saveState, &QAction::triggered, this, &TGUIF::Savesoftwarestate1Click);
    connect(loadState, &QAction::triggered, this, &TGUIF::Loadsoftwarestate1Click);
    connect(LogFile1, &QAction::triggered, this, &TGUIF::LogFile1Click);
    BuildDataOutMenu(file);

    QMenu* preferences = Menu(bar, "Edit1", QStringLiteral("Preferences"));
    QMenu* timeUnit = Menu(preferences, "imeUnit1", QStringLiteral("Time Unit"));
    timeUnit->setIcon(TarvoIcon(QStringLiteral("alarm_clock")));
    preferences->addMenu(timeUnit);
    Minute1 = Item(timeUnit, "Minute1", QStringLiteral("Minute"), Check::Checked);
    Hour1 = Item(timeUnit, "Hour1", QStringLiteral("Hour"), Check::Unchecked);
    Day1 = Item(timeUnit, "Day1", QStringLiteral("Day"), Check::Unchecked);
    connect(Minute1, &QAction::triggered, this, &TGUIF::Minute1Click);
    connect(Hour1, &QAction::triggered, this, &TGUIF::Hour1Click);
    connect(Day1, &QAction::triggered, this, &TGUIF::Day1Click);

    QMenu* data = Menu(bar, "Graph1", QStringLiteral("Data"));
    ShowTable1 = Item(data, "ShowTable1", QStringLiteral("Show Graph"), Check::Checked);
    ShowSegmentProgram1 = Item(data, "ShowSegmentProgram1", QStringLiteral("Show Segment Program Table"),
                               Check::Unchecked);
    ShowData1 = Item(data, "ShowData1", QStringLiteral("Show Data Table"), Check::Unchecked);
    for (QAction* view : {ShowTable1, ShowSegmentProgram1, ShowData1})
        connect(view, &QAction::triggered, this, [this, view] { ShowTable1Click(view); });
    Separator(data, "N2");
    Heading(data, "Graph2", QStringLiteral("Graph"));
    ShowSegmentPrograms1 = Item(data, "ShowSegmentPrograms1", QStringLiteral("Show Segment Programs"), Check::Checked);
    Showachievedflows1 = Item(data, "Showachievedflows1", QStringLiteral("Show Device Flows"), Check::Checked);
    Cleargraphdiscarddata1 = Item(data, "Cleargraphdiscarddata1", QStringLiteral("Clear Graph && Remove Data"));
    Separator(data, "N3");
    Heading(data, "DataTable1", QStringLiteral("Data Table"));
    Autoscrolltolastline1 = Item(data, "Autoscrolltolastline1", QStringLiteral("Auto-scroll to last line"),
                                 Check::Checked);
    // A click has already moved the check mark; the handlers apply it.
    connect(ShowSegmentPrograms1, &QAction::triggered, this, &TGUIF::ApplySegmentSeriesVisibility);
    connect(Showachievedflows1, &QAction::triggered, this, &TGUIF::ApplyFlowSeriesVisibility);
    connect(Autoscrolltolastline1, &QAction::triggered, this, &TGUIF::MemoSegmentsUpdate);
    connect(Cleargraphdiscarddata1, &QAction::triggered, this, &TGUIF::Cleargraphdiscarddata1Click);

    QMenu* devices = Menu(bar, "Devices1", QStringLiteral("Devices"));
    QAction* searchDevices = Item(devices, "Searchdevices1", QStringLiteral("Search Devices"));
    searchDevices->setIcon(TarvoIcon(QStringLiteral("usb")));
    connect(searchDevices, &QAction::triggered, this, &TGUIF::Searchdevices1Click);
    Resetsoftware1 = Item(devices, "Resetsoftware1", QStringLiteral("Reset Devices"));
    Resetsoftware1->setIcon(TarvoIcon(QStringLiteral("synchronize")));
    connect(Resetsoftware1, &QAction::triggered, this, &TGUIF::Resetsoftware1Click);

    for (QMenu* menu : {file, preferences, data, devices})
        bar->addMenu(menu);
}

void TGUIF::BuildDataOutMenu(QMenu* file)
{
    Separator(file, "N1");
    QAction* openLog = Item(file, "OpenDataLog1", QStringLiteral("Open data log..."));
    QAction* exportCsv = Item(file, "ExportDataTableAsCSV1", QStringLiteral("Export data table as CSV..."));
    QAction* saveChart = Item(file, "SaveChartAs1", QStringLiteral("Save chart as..."));
    connect(openLog, &QAction::triggered, this, &TGUIF::OpenDataLog1Click);
    connect(exportCsv, &QAction::triggered, this, &TGUIF::ExportDataTableAsCSV1Click);
    connect(saveChart, &QAction::triggered, this, &TGUIF::SaveChartAs1Click);
}

void TGUIF::ListViewSegmentProgramMouseUp(QMouseEvent* event)
{
    segmentSheet->ListViewSegmentProgramMouseUp(event);
}
