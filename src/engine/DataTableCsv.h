#pragma once

#include "engine/DataLogFile.h"

#include <QByteArray>
#include <QString>

class TDataLog;

// A column's name: "type (unit, gas)", then the port and the device's name
// where they are known.
QString DataLogColumnName(const TDataLogColumn& column);

// The table as CSV for analysis tools: per header block a header row ("Time"
// and the column names) and then its rows; times in ISO 8601 local time with
// the UTC offset, numbers with "." whatever the locale, an empty cell where
// the table has no value. UTF-8, lines ended by CR LF.
QByteArray DataTableCsv(const TDataLogContent& content);
// Writes it through the installed file writer; a file left half-written is
// removed again.
bool WriteDataTableCsv(const QString& path, const TDataLogContent& content, QString& error);

// The live data table with the port and name of every column's device.
bool LiveDataTableContent(const TDataLog& log, TDataLogContent& content, QString& error);
