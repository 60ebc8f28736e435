// The segment program table, the segment list and program files.
#include "ui/GUIF.h"

#include "base/Clock.h"
#include "devices/DeviceRegistry.h"
#include "base/Prompts.h"
#include "segments/SegmentProgramFile.h"
#include "segments/SegmentTable.h"
#include "ui/pages/SegmentSheet.h"
#include "base/TextHelpers.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTreeWidget>

namespace {

const QString SegmentFileFilter = QStringLiteral("Text files (*.txt)|*.TXT");

// The memo takes "\n" as its line break; a "\r" would make an extra line.
QString MemoText(const QString& text)
{
    QString memo = text;
    return memo.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

} // namespace

bool TGUIF::MergedSegmentsInput(QStringList& input) const
{
    if (!ShowSegmentPrograms1->isChecked())
        return false;
    input = {timeUnitSuffix, FloatToStr(timeUnitFactor)};
    bool anySelected = false;
    for (int row = 0; row < ListViewDevices->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = ListViewDevices->topLevelItem(row);
        if (!item->isSelected())
            continue;
        anySelected = true;
        TDeviceInfo device;
        if (GetDeviceByPort(item->text(0), device))
            input << device.COMPort + u'|' + DeviceTypeName(device.DevType) + u'|' + device.SegmentProgram;
    }
    return anySelected;
}

void TGUIF::MergeSegments()
{
    QStringList input;
    if (MergedSegmentsInput(input))
        MemoSegments->setPlainText(MemoText(MergedSegmentsText(input)));
}

void TGUIF::MemoSegmentsUpdate()
{
    QStringList input;
    const QString text = MergedSegmentsInput(input) ? MemoText(MergedSegmentsText(input)) : QString();
    if (text == MemoSegments->toPlainText())
        return; // the same table: the operator's view and selection stay untouched

    // Positions, not a cursor: a cursor would move along with the new text.
    const int anchor = MemoSegments->textCursor().anchor();
    const int position = MemoSegments->textCursor().position();
    const int firstLine = MemoSegments->verticalScrollBar()->value();
    const int firstColumn = MemoSegments->horizontalScrollBar()->value();
    MemoSegments->setPlainText(text);
    QTextCursor after(MemoSegments->document());
    const int end = MemoSegments->document()->characterCount() - 1;
    after.setPosition(qMin(anchor, end));
    after.setPosition(qMin(position, end), QTextCursor::KeepAnchor);
    MemoSegments->setTextCursor(after);
    MemoSegments->verticalScrollBar()->setValue(firstLine);
    MemoSegments->horizontalScrollBar()->setValue(firstColumn);
}

void TGUIF::SaveSegmentProgramAs1Click()
{
    TDeviceInfo device;
    if (!GetSelectedDevice(device))
        return;
    const FileDialogRequest request{
        SegmentFileFilter, QStringLiteral("txt"), MadeSegmentProgramFolder(),
        ProposedSegmentProgramFileName(Now(), device.COMPort, DeviceTypeName(device.DevType))};
    QString fileName;
    if (!CurrentPrompts().SaveFileName(request, fileName))
        return;
    QString error;
    if (!SaveSegmentProgramFile(fileName, device.SegmentProgram, error))
        ShowMessage(error);
}

void TGUIF::LoadSegmentProgram2Click()
{
    TDeviceInfo device;
    if (!GetSelectedDevice(device))
        return;
    const FileDialogRequest request{SegmentFileFilter, QString(), MadeSegmentProgramFolder(), QString()};
    QString fileName;
    if (!CurrentPrompts().OpenFileName(request, fileName))
        return;
    QString program;
    QString error;
    switch (LoadSegmentProgramFile(fileName, program, error)) {
    case sflUnreadable:
        ShowMessage(error);
        return;
    case sflDisordered:
        ShowMessage(error);
        MM(QStringLiteral("Invalid segment program"));
        return;
    case sflInvalid:
        MM(QStringLiteral("Invalid segment program"));
        return;
    case sflEmpty:
        if (!CurrentPrompts().AskYesNo(QStringLiteral("Load an empty program? The device will hold 0 %.")))
            return;
        break;
    case sflLoaded:
        break;
    }
    device.SegmentProgram = program;
    if (StoreDevice(device))
        DeviceDetailsUI(device);
    else
        MM(QStringLiteral("Saving device configuration failed"));
}
