#include "ResultsOutput.h"

#include "Dialogs.h"
#include "ExportUtil.h"
#include "PrintWriter.h"

#include <QFile>
#include <QPrinter>

#include <string>
#include <vector>

void AddResultRow(TCsvWriter& writer, const QStringList& items) {
    std::vector<std::string> row;
    row.reserve(static_cast<std::size_t>(items.size()));
    for (const QString& item : items)
        row.push_back(item.toStdString());
    writer.AddRow(row);
}

void ExportResults(QWidget* parent, const TWriteRows& writeRows) {
    const QString path = Dialogs().AskSaveFileName(
        parent,
        TSaveDialogOptions{QStringLiteral("Please select where you would like to export the results to."),
                           QStringLiteral("CSV Files (*.csv)"), QStringLiteral("csv"), QString()});
    if (path.isEmpty()) return;
    TCsvWriter writer(std::string(), QFile::encodeName(path).toStdString());
    writeRows(writer);
    writer.Close();
}

void PrintResults(QWidget* parent, const QString& caption, const TWriteRows& writeRows) {
    // The printer's own resolution: the writer scales its 600-dpi grid to it, and text is drawn
    // at the printer's dots rather than the screen's.
    QPrinter printer(QPrinter::HighResolution);
    // The dialog puts the chosen printer and number of copies into `printer`.
    if (!Dialogs().AskPrint(parent, printer)) return;
    printer.setDocName(QStringLiteral("Calvaro V"));
    TPrintWriter writer(caption.toStdString(), &printer);
    writeRows(writer);
    writer.Close();
}
