#pragma once
// The Export and Print commands of a results window: the window writes its rows once to the writer
// it is handed, a TCsvWriter for a file or a TPrintWriter for the printer.

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;
class TCsvWriter;

using TWriteRows = std::function<void(TCsvWriter&)>;

// One row of on-screen texts, handed to the writer as UTF-8.
void AddResultRow(TCsvWriter& writer, const QStringList& items);

// Asks for the export file ("Please select where you would like to export the results to.",
// CSV files, ".csv" appended); after a cancel nothing happens. The file is emptied at once and
// replaced without a question. Errors of the file system travel to the caller.
void ExportResults(QWidget* parent, const TWriteRows& writeRows);

// Asks for printer and copies; after a cancel nothing happens. One page titled "Calvaro V".
void PrintResults(QWidget* parent, const QString& caption, const TWriteRows& writeRows);
