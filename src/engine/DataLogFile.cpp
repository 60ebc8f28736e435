#include "engine/DataLogFile.h"

#include "base/TextEncoding.h"
#include "base/TextHelpers.h"
#include "engine/DataLog.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>

namespace {

// The layout is taken from the writer itself, so the two cannot drift apart.
struct Layout {
    QStringList headerPrefixes; // rule, device, unit, gas, rule
    QString ruleCell;
    int firstColumn;
    int cell;

    Layout()
        : headerPrefixes(DataTableColumns({}))
        , ruleCell(DataTableColumns({TDeviceInfo()}).first().mid(headerPrefixes.first().size()))
        , firstColumn(int(DataRowTimeColumn(0).size()))
        , cell(int(DataRowValueColumn(0).size()))
    {
    }

    int LineLength(int columns) const { return firstColumn + cell * columns; }
};

const Layout& TableLayout()
{
    static const Layout layout;
    return layout;
}

const QString CellEnd = QStringLiteral(" | ");

QString RightTrimmed(const QString& line)
{
    qsizetype end = line.size();
    while (end > 0 && line.at(end - 1).isSpace())
        --end;
    return line.left(end);
}

// The texts of the `columns` cells after the first column, or nothing when a
// cell lacks its " | " or text follows the last one. An editor may have
// dropped the blank that ends the line.
std::optional<QStringList> Cells(const QString& line, int columns)
{
    const Layout& layout = TableLayout();
    const QString trimmed = RightTrimmed(line);
    if (trimmed.size() > layout.LineLength(columns) || trimmed.size() < layout.LineLength(columns) - 1)
        return std::nullopt;
    const QString full = trimmed.leftJustified(layout.LineLength(columns));
    QStringList cells;
    for (int i = 0; i < columns; ++i) {
        const QString text = full.mid(layout.firstColumn + i * layout.cell, layout.cell);
        if (!text.endsWith(CellEnd))
            return std::nullopt;
        cells << text.chopped(CellEnd.size()).trimmed();
    }
    return cells;
}

// Columns of a rule line: "---...+-" followed by one rule cell per device.
std::optional<int> RuleColumns(const QString& line)
{
    const Layout& layout = TableLayout();
    const QString rule = RightTrimmed(line);
    if (!rule.startsWith(layout.headerPrefixes.first()))
        return std::nullopt;
    const QString cells = rule.mid(layout.headerPrefixes.first().size());
    if (cells.size() % layout.cell != 0 || cells != layout.ruleCell.repeated(cells.size() / layout.cell))
        return std::nullopt;
    return int(cells.size() / layout.cell);
}

// A local time as the data rows print it. An hour that the clock repeats
// when daylight saving ends reads the same twice; rows only move forwards,
// so the earliest reading at or after the previous row is the one meant.
QDateTime LocalRowTime(const QDate& date, const QTime& time, const QDateTime& previous)
{
    const QDateTime moment(date, time);
    QList<QDateTime> readings;
    for (int shift : {-3600, 0, 3600}) {
        const QDateTime reading = moment.addSecs(shift);
        if (reading.date() == date && reading.time() == time)
            readings << reading;
    }
    for (const QDateTime& reading : std::as_const(readings)) {
        if (!previous.isValid() || reading >= previous)
            return reading;
    }
    return readings.isEmpty() ? moment : readings.first(); // the clock was set back
}

class Parser {
public:
    Parser(const QStringList& lines, TDataLogContent& content) : lines(lines), content(content) {}

    bool Run(QString& error)
    {
        lastLine = int(lines.size()) - 1;
        while (lastLine >= 0 && TrimControl(lines.at(lastLine)).isEmpty())
            --lastLine;
        for (int i = 0; i <= lastLine; ++i) {
            if (TrimControl(lines.at(i)).isEmpty())
                continue;
            const int taken = RuleColumns(lines.at(i)) ? HeaderBlock(i) : Row(i);
            if (taken == CutOff) {
                content.Note = QStringLiteral("The last line is incomplete and was left out.");
                break;
            }
            if (taken == Refused) {
                error = problem;
                return false;
            }
            i += taken - 1;
        }
        if (content.Blocks.isEmpty()) {
            error = QStringLiteral("it holds no header block of a data table");
            return false;
        }
        return true;
    }

private:
    // What HeaderBlock and Row return instead of the number of lines taken.
    static constexpr int Refused = 0;
    static constexpr int CutOff = -1;

    int HeaderBlock(int first)
    {
        const Layout& layout = TableLayout();
        const int columns = *RuleColumns(lines.at(first));
        const int count = int(layout.headerPrefixes.size());
        if (first + count - 1 > lastLine)
            return CutOff;
        problem = QStringLiteral("line %1 begins a header block that is not whole").arg(first + 1);
        if (RuleColumns(lines.at(first + count - 1)) != columns)
            return Refused;
        QList<QStringList> names; // device, unit and gas lines
        for (int k = 1; k < count - 1; ++k) {
            const QString& line = lines.at(first + k);
            const std::optional<QStringList> cells = Cells(line, columns);
            if (!line.startsWith(layout.headerPrefixes.at(k)) || !cells)
                return Refused;
            names << *cells;
        }
        TDataLogBlock block;
        block.FirstLine = first;
        for (int c = 0; c < columns; ++c)
            block.Columns.append({names.at(0).at(c), names.at(1).at(c), names.at(2).at(c), {}, {}});
        content.Blocks.append(block);
        return count;
    }

    int Row(int index)
    {
        static const QRegularExpression timeColumn(QStringLiteral(R"(^ *(\d{4}-\d\d-\d\d) (\d\d:\d\d:\d\d) \| )"));
        const QString& line = lines.at(index);
        const int columns = content.Blocks.isEmpty() ? 0 : int(content.Blocks.last().Columns.size());
        // The file ended while its last line was being written.
        if (index == lastLine && RightTrimmed(line).size() < TableLayout().LineLength(columns) - 1)
            return CutOff;
        problem = QStringLiteral("line %1 is neither part of a header block nor a data row").arg(index + 1);
        const QRegularExpressionMatch time = timeColumn.match(line);
        if (!time.hasMatch() || time.capturedLength() != TableLayout().firstColumn)
            return Refused;
        // The writer's own format, whatever the locale.
        const QDate date = QDate::fromString(time.captured(1), QStringLiteral("yyyy-MM-dd"));
        const QTime clock = QTime::fromString(time.captured(2), QStringLiteral("HH:mm:ss"));
        if (!date.isValid() || !clock.isValid())
            return Refused;
        if (content.Blocks.isEmpty()) {
            problem = QStringLiteral("line %1 is a data row before the first header block").arg(index + 1);
            return Refused;
        }
        const std::optional<QStringList> cells = Cells(line, columns);
        if (!cells) {
            problem = QStringLiteral("line %1 does not have the %2 columns of its header block").arg(index + 1).arg(columns);
            return Refused;
        }
        TDataLogRow row;
        row.Time = LocalRowTime(date, clock, previousTime);
        for (const QString& cell : *cells) {
            double value = 0;
            if (cell == QStringLiteral("?")) {
                row.Values.append(std::nullopt);
            } else if (TryStrToFloatDot(cell, value)) {
                row.Values.append(value);
            } else {
                problem = QStringLiteral("line %1 holds \"%2\" where a number or \"?\" belongs").arg(index + 1).arg(cell);
                return Refused;
            }
        }
        previousTime = row.Time;
        content.Blocks.last().Rows.append(row);
        return 1;
    }

    const QStringList& lines;
    TDataLogContent& content;
    int lastLine = -1;
    QString problem;
    QDateTime previousTime;
};

// Text files hold no control characters but tabs and line breaks.
bool LooksBinary(const QString& text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar ch) {
        return (ch.unicode() < 0x20 && ch != u'\t' && ch != u'\r' && ch != u'\n') || ch.unicode() == 0x7F;
    });
}

} // namespace

int TDataLogContent::RowCount() const
{
    int rows = 0;
    for (const TDataLogBlock& block : Blocks)
        rows += int(block.Rows.size());
    return rows;
}

bool ParseDataLogLines(const QStringList& lines, TDataLogContent& content, QString& error)
{
    content = {};
    Parser parser(lines, content);
    if (parser.Run(error))
        return true;
    content = {};
    return false;
}

bool ReadDataLogFile(const QString& path, TDataLogContent& content, QString& error)
{
    const QString shownName = QDir::toNativeSeparators(path);
    const auto refuse = [&](const QString& reason) {
        error = QStringLiteral("Cannot open \"%1\" as a data log: %2.").arg(shownName, reason);
        content = {};
        return false;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(file.errorString());
    if (file.size() > MaxDataLogFileBytes)
        return refuse(QStringLiteral("it is larger than %1 MB").arg(MaxDataLogFileBytes / (1024 * 1024)));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return refuse(file.errorString());
    const QString text = DecodeTextFileBytes(bytes);
    if (LooksBinary(text))
        return refuse(QStringLiteral("it holds binary data, not text"));
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QString reason;
    if (!ParseDataLogLines(text.split(lineBreak), content, reason))
        return refuse(reason);
    return true;
}
