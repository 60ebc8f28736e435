#include "engine/DataTableCsv.h"

#include "base/FileWriter.h"
#include "engine/DataLog.h"

#include <QLocale>
#include <QStringList>

namespace {

QString CsvField(const QString& text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\r') && !text.contains(u'\n'))
        return text;
    return u'"' + QString(text).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}

// "2026-10-16T09:00:03+02:00": the local time as the rows show it, with the
// offset that makes it a moment.
QString IsoLocalTime(const QDateTime& time)
{
    const int offsetMinutes = time.offsetFromUtc() / 60;
    const int size = qAbs(offsetMinutes);
    return time.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss"))
         + QStringLiteral("%1%2:%3")
               .arg(offsetMinutes < 0 ? QStringLiteral("-") : QStringLiteral("+"))
               .arg(size / 60, 2, 10, QLatin1Char('0'))
               .arg(size % 60, 2, 10, QLatin1Char('0'));
}

// The shortest text that reads back as the same number; always ".".
QString CsvNumber(double value)
{
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

} // namespace

QString DataLogColumnName(const TDataLogColumn& column)
{
    QString name = QStringLiteral("%1 (%2, %3)").arg(column.Device, column.Unit, column.Gas);
    for (const QString& part : {column.Port, column.Name}) {
        if (!part.isEmpty())
            name += u' ' + part;
    }
    return name;
}

QByteArray DataTableCsv(const TDataLogContent& content)
{
    QString text;
    const auto addLine = [&text](const QStringList& fields) { text += fields.join(u',') + QStringLiteral("\r\n"); };
    for (const TDataLogBlock& block : content.Blocks) {
        QStringList header{QStringLiteral("Time")};
        for (const TDataLogColumn& column : block.Columns)
            header << CsvField(DataLogColumnName(column));
        addLine(header);
        for (const TDataLogRow& row : block.Rows) {
            QStringList fields{IsoLocalTime(row.Time)};
            for (const std::optional<double>& value : row.Values)
                fields << (value ? CsvNumber(*value) : QString());
            addLine(fields);
        }
    }
    return text.toUtf8();
}

bool WriteDataTableCsv(const QString& path, const TDataLogContent& content, QString& error)
{
    FileWriter& writer = CurrentFileWriter();
    if (writer.WriteFile(path, DataTableCsv(content), error))
        return true;
    QString ignored;
    writer.RemoveFile(path, ignored);
    return false;
}

bool LiveDataTableContent(const TDataLog& log, TDataLogContent& content, QString& error)
{
    if (!ParseDataLogLines(log.DataTable(), content, error))
        return false;
    for (TDataLogBlock& block : content.Blocks) {
        const QList<TDataColumnDevice> devices = log.HeaderBlockDevices(block.FirstLine);
        if (devices.size() != block.Columns.size())
            continue;
        for (qsizetype i = 0; i < devices.size(); ++i) {
            block.Columns[i].Port = devices.at(i).Port;
            block.Columns[i].Name = devices.at(i).Name;
        }
    }
    return true;
}
