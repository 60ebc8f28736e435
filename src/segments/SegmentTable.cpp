#include "segments/SegmentTable.h"

#include "segments/SegmentProgram.h"
#include "base/TextHelpers.h"

#include <QMap>

namespace {

const QString CrLf = QStringLiteral("\r\n");
const QString CellEnd = QStringLiteral(" | ");

constexpr int TimeWidth = 8;
constexpr int DurationWidth = 15;
constexpr int SetpointWidth = 8;
constexpr int TypeWidth = 5;
constexpr int DeviceWidth = SetpointWidth + 1 + TypeWidth;

const QString EmptyDeviceCell = QString(DeviceWidth, u' ') + CellEnd;

struct TableEntry {
    qsizetype column;
    double setpoint;
    QString type;
};

} // namespace

bool FormatSegmentTable(const QStringList& input, QString& output)
{
    if (input.size() < 3) {
        output = QStringLiteral("No segment programs to format");
        return false;
    }
    if (input.at(0).isEmpty()) {
        output = QStringLiteral("Time unit name not provided");
        return false;
    }
    double minutesPerUnit = 0;
    if (!TryStrToFloatDot(input.at(1), minutesPerUnit)) {
        output = QStringLiteral("Time conversion factor not provided");
        return false;
    }

    QString heading = PadLeft(QStringLiteral("Time,") + input.at(0), TimeWidth) + CellEnd
                    + PadLeft(QStringLiteral("Time"), DurationWidth) + CellEnd;
    QString rule = QStringLiteral("---------+-") + QStringLiteral("----------------+-");
    // Points less than half a second apart share a row: keyed by whole seconds.
    QMap<double, QList<TableEntry>> rows;
    const qsizetype columns = input.size() - 2;
    for (qsizetype column = 0; column < columns; ++column) {
        const QString& item = input.at(column + 2);
        const QString program = item.section(u'|', 2);
        heading += PadLeft(item.section(u'|', 0, 0) + u' ' + item.section(u'|', 1, 1), DeviceWidth) + CellEnd;
        rule += QStringLiteral("Setpoint--Type-+-");
        TSegment point;
        for (int line = 0;; ++line) {
            ReadSegment(line, program, point);
            if (point.Index == -1) // past the end, or an unreadable line
                break;
            rows[RoundHalfEven(point.Time * 60.0)].append({column, point.Setpoint, point.aType});
        }
    }

    output = heading + CrLf + rule + CrLf;
    for (auto row = rows.cbegin(); row != rows.cend(); ++row) {
        const double minutes = row.key() / 60.0;
        output += PadLeft(FormatFloatDecimals(minutes / minutesPerUnit, 3, 3), TimeWidth) + CellEnd
                + PadLeft(FormatDuration(true, minutes), DurationWidth) + CellEnd;
        qsizetype column = 0;
        for (const TableEntry& entry : row.value()) {
            // A device's second point within the same second has no cell left.
            if (entry.column < column)
                continue;
            for (; column < entry.column; ++column)
                output += EmptyDeviceCell;
            output += PadLeft(FloatToStr(entry.setpoint), SetpointWidth) + u' ' + PadLeft(entry.type, TypeWidth)
                    + CellEnd;
            ++column;
        }
        for (; column < columns; ++column)
            output += EmptyDeviceCell;
        output += CrLf;
    }
    return true;
}

QString MergedSegmentsText(const QStringList& input)
{
    QString table;
    FormatSegmentTable(input, table);
    const qsizetype devices = qMax<qsizetype>(0, input.size() - 2);
    return QStringLiteral(" Segment programs ") + CrLf + QString(28 + 17 * devices, u'=') + CrLf + table + CrLf;
}
