#include "segments/SegmentProgram.h"

#include "base/Errors.h"
#include "base/Prompts.h"
#include "base/TextHelpers.h"

#include <QMap>
#include <QVarLengthArray>

namespace {

const QString CrLf = QStringLiteral("\r\n");

// Walks the lines of a program text. CR LF, a lone CR or a lone LF ends a
// line; a break after the last line adds no line, so "" has none.
class LineCursor {
public:
    explicit LineCursor(QStringView text) : text(text) {}

    bool Next(QStringView& line)
    {
        if (pos >= text.size())
            return false;
        qsizetype end = pos;
        while (end < text.size() && text.at(end) != u'\r' && text.at(end) != u'\n')
            ++end;
        line = text.sliced(pos, end - pos);
        pos = end;
        if (pos < text.size()) {
            const bool crLf = text.at(pos) == u'\r' && pos + 1 < text.size() && text.at(pos + 1) == u'\n';
            pos += crLf ? 2 : 1;
        }
        return true;
    }

private:
    QStringView text;
    qsizetype pos = 0;
};

bool IsBlank(QChar ch)
{
    return ch.unicode() <= 32;
}

// Elements of a line separated by runs of blanks and control characters;
// leading and trailing ones are ignored.
using Elements = QVarLengthArray<QStringView, 6>;

Elements LooseElements(QStringView line)
{
    Elements elements;
    qsizetype i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlank(line.at(i)))
            ++i;
        const qsizetype start = i;
        while (i < line.size() && !IsBlank(line.at(i)))
            ++i;
        if (i > start)
            elements.append(line.sliced(start, i - start));
    }
    return elements;
}

// One line read as a point, without any message: false when the line has
// fewer than three elements or a number does not read.
bool ParseSegment(QStringView line, int index, TSegment& segment)
{
    const Elements elements = LooseElements(line);
    if (elements.size() < 3)
        return false;
    TSegment parsed;
    if (!TryStrToFloatDot(elements[0].toString(), parsed.Time)
        || !TryStrToFloatDot(elements[1].toString(), parsed.Setpoint))
        return false;
    parsed.aType = elements[2].toString();
    parsed.Index = index;
    if (elements.size() == 4)
        parsed.Note = elements[3].toString();
    segment = parsed;
    return true;
}

TSegment FailedSegment(const QString& type)
{
    TSegment segment;
    segment.Time = -1;
    segment.Setpoint = -1;
    segment.aType = type;
    segment.Index = -1;
    return segment;
}

void ReportUnreadableSegment()
{
    ShowMessage(QStringLiteral("Failed to read segment"));
}

bool IsAllowedCharacter(QChar ch)
{
    const char16_t c = ch.unicode();
    return c == ' ' || c == '%' || c == '*' || c == '/' || c == '@' || c == '_' || c == '.' || c == '\r'
        || c == '\n' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The character at `i` for a message: a surrogate pair stays whole.
QString CharacterAt(const QString& text, qsizetype i)
{
    if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
        return text.mid(i, 2);
    return QString(text.at(i));
}

// The first problem of one line, or an empty text.
QString LineProblem(QStringView line)
{
    const QStringList elements = TrimControl(line.toString().toUpper()).split(u' ');
    if (elements.size() != 3 && elements.size() != 4)
        return QStringLiteral("Invalid element count");
    if (elements.at(2) != QLatin1String("STEP") && elements.at(2) != QLatin1String("RAMP"))
        return QStringLiteral("Invalid S/R");
    double time = 0;
    if (!TryStrToFloatDot(elements.at(0), time))
        return QStringLiteral("Invalid time format");
    double setpoint = 0;
    if (!TryStrToFloatDot(elements.at(1), setpoint))
        return QStringLiteral("Invalid setpoint format");
    if (time < 0)
        return QStringLiteral("Time out of bounds: ") + FloatToStr(time);
    if (setpoint < 0 || setpoint > 100)
        return QStringLiteral("Setpoint out of bounds:") + FloatToStr(setpoint);
    return QString();
}

} // namespace

QStringList ProgramLines(const QString& text)
{
    QStringList result;
    LineCursor lines(text);
    QStringView line;
    while (lines.Next(line))
        result.append(line.toString());
    return result;
}

bool ValidateSegmentProgram(const QString& program)
{
    for (qsizetype i = 0; i < program.size(); ++i) {
        if (!IsAllowedCharacter(program.at(i))) {
            ShowMessage(QStringLiteral("Invalid character: ") + CharacterAt(program, i));
            return false;
        }
    }
    LineCursor lines(program);
    QStringView line;
    while (lines.Next(line)) {
        const QString problem = LineProblem(line);
        if (!problem.isEmpty()) {
            ShowMessage(problem);
            return false;
        }
    }
    return true;
}

int SegmentCount(const QString& program)
{
    int count = 0;
    LineCursor lines(program);
    QStringView line;
    while (lines.Next(line))
        ++count;
    return count;
}

int FirstDecreasingTimeLine(const QString& program)
{
    // One pass: reading each line by its number would take time growing with
    // the square of the program's length.
    TSegment previous;
    LineCursor lines(program);
    QStringView text;
    for (int line = 0; lines.Next(text); ++line) {
        TSegment segment;
        if (!ParseSegment(text, line, segment)) {
            ReportUnreadableSegment();
            segment = FailedSegment(QStringLiteral("Invalid"));
        }
        if (line > 0 && segment.Time < previous.Time)
            return line + 1;
        previous = segment;
    }
    return 0;
}

void ReadSegment(int line, const QString& program, TSegment& segment)
{
    LineCursor lines(program);
    QStringView text;
    bool found = line >= 0;
    for (int i = 0; found && i <= line; ++i)
        found = lines.Next(text);
    if (!found) {
        segment = FailedSegment(QStringLiteral("ID not found"));
        return;
    }
    if (!ParseSegment(text, line, segment)) {
        ReportUnreadableSegment();
        segment = FailedSegment(QStringLiteral("Invalid"));
    }
}

TSegment SetpointAtTime(const QString& program, double minutes)
{
    // One pass: the previous point, then the first point at or after the time.
    // An unreadable line ends the program there, so it can never act as a point.
    TSegment previous;
    previous.aType = QStringLiteral("Step");
    previous.Index = -2;
    TSegment next;
    bool haveNext = false;
    LineCursor lines(program);
    QStringView line;
    for (int i = 0; lines.Next(line); ++i) {
        TSegment segment;
        if (!ParseSegment(line, i, segment)) {
            ReportUnreadableSegment();
            break;
        }
        if (segment.Time >= minutes) {
            next = segment;
            haveNext = true;
            break;
        }
        previous = segment;
    }

    if (!haveNext) {
        previous.Time = minutes;
        previous.Note = QStringLiteral("Past last programmed point, keeping last setpoint.");
        return previous;
    }
    // A time before the implied start (a clock set back) holds the start
    // instead of extrapolating a ramp below 0 %.
    const bool ramp = next.aType.compare(QLatin1String("Ramp"), Qt::CaseInsensitive) == 0;
    if (ramp && next.Time > previous.Time && minutes >= previous.Time) {
        // The fraction first: a ramp over a huge time would overflow the product.
        const double fraction = (minutes - previous.Time) / (next.Time - previous.Time);
        const double setpoint = previous.Setpoint + fraction * (next.Setpoint - previous.Setpoint);
        next.Time = minutes;
        next.Setpoint = setpoint;
        return next;
    }
    return previous;
}

double ProgramEndTime(const QString& program)
{
    if (!ValidateSegmentProgram(program) || TrimControl(program).isEmpty())
        return 0;
    TSegment last;
    ReadSegment(SegmentCount(program) - 1, program, last);
    return last.Time;
}

void InsertSegmentLine(QString& program, const QString& line)
{
    QMap<double, QString> points;
    const auto add = [&points](QStringView text) {
        const QStringList elements = TrimControl(text.toString()).split(u' ');
        if (elements.size() != 3 && elements.size() != 4)
            return;
        QString value = elements.at(1) + u' ' + elements.at(2);
        if (elements.size() == 4)
            value += u' ' + elements.at(3);
        points.insert(StrToFloatDot(elements.at(0)), value);
    };
    LineCursor lines(program);
    QStringView text;
    while (lines.Next(text))
        add(text);
    add(line);

    QString merged;
    for (auto it = points.cbegin(); it != points.cend(); ++it)
        merged += FormatFloatDecimals(it.key(), 0, 6) + u' ' + it.value() + CrLf;
    program = merged;
}

QString SegmentRowsToText(const QList<TSegmentRow>& rows)
{
    QString text;
    for (const TSegmentRow& row : rows) {
        // A row cut short by a failed read keeps its place with empty cells.
        text += row.value(0) + u' ' + row.value(1) + u' ' + row.value(2);
        if (row.size() == 4)
            text += u' ' + SanitizeNote(row.at(3));
        text += CrLf;
    }
    return TrimControl(text);
}

void TextToSegmentRows(const QString& program, QList<TSegmentRow>& rows)
{
    rows.clear();
    LineCursor lines(program);
    QStringView line;
    while (lines.Next(line)) {
        const Elements elements = LooseElements(line);
        TSegmentRow row;
        for (qsizetype i = 0; i < elements.size() && i < 3; ++i)
            row.append(elements[i].toString());
        if (elements.size() == 4)
            row.append(elements[3].toString().replace(u'_', u' '));
        if (elements.size() < 3) {
            // The list row exists before its cells are read: it keeps at least its time cell.
            if (row.isEmpty())
                row.append(QString());
            rows.append(row);
            ShowMessage(QStringLiteral("Failed to read segment program"));
            return;
        }
        rows.append(row);
    }
}
