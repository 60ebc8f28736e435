#pragma once

#include <QString>

class QCustomPlot;
struct TDataLogContent;

// The chart as a picture at its size on screen: PDF for a ".pdf" name, PNG
// for a ".png" one; any other name is refused with the reason in `error`.
bool SaveChartPicture(QCustomPlot& chart, const QString& fileName, QString& error);

// The File menu's exports, shared by the main window and the window of a
// reopened log: ask for a file (proposing `proposedFile`), write it, show a
// failure in a message box. True with the file in `fileName` when written.
bool ExportDataTableAsCsv(const TDataLogContent& content, const QString& proposedFile, QString& fileName);
bool SaveChartAs(QCustomPlot& chart, const QString& proposedFile, QString& fileName);
