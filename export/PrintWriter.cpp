#include "PrintWriter.h"

#include <QFont>
#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QPointF>
#include <QPrinter>
#include <QString>

#include <algorithm>
#include <utility>

TPrintWriter::TPrintWriter(std::string description, QPrinter* printer)
    : TCsvWriter(std::move(description)), FPrinter(printer) {
    TPrintWriter::Initialize();
}

TPrintWriter::~TPrintWriter() {
    // A writer released without Close still finishes its job, so the printer is not left busy.
    if (FPainter && FPainter->isActive()) FPainter->end();
}

void TPrintWriter::Initialize() {
    FLineCounter = 0;
    if (!FPrinter) throw TExportError("Cannot start the print job: no printer was chosen");
    FPainter = std::make_unique<QPainter>();
    if (!FPainter->begin(FPrinter))
        throw TExportError("Cannot start the print job on the printer \"" +
                           FPrinter->printerName().toStdString() + "\"" +
                           (FPrinter->outputFileName().isEmpty()
                                ? std::string()
                                : " (output file \"" + FPrinter->outputFileName().toStdString() + "\")"));
    FPainter->setFont(QFont(QString::fromLatin1(kFontFamily), kFontPointSize));
}

void TPrintWriter::AddRow(const std::vector<std::string>& items) {
    for (std::size_t i = 0; i < items.size(); ++i)
        DrawItem(kLeftMargin + kColumnStep * static_cast<int>(i), FLineCounter, items[i]);
    FLineCounter += kRowStep;
}

void TPrintWriter::DrawItem(int x, int y, const std::string& item) {
    // Grid units to the printer's dots. The font is not scaled with the grid: Qt already sets its
    // 11 points in the printer's own resolution.
    const QPaintDevice* device = FPainter->device();
    const double toDeviceX = static_cast<double>(device->logicalDpiX()) / kGridDotsPerInch;
    const double toDeviceY = static_cast<double>(device->logicalDpiY()) / kGridDotsPerInch;
    // QPainter places text by its baseline; the ascent above it puts the top of the line at y.
    const double ascent = FPainter->fontMetrics().ascent();
    FPainter->drawText(QPointF(x * toDeviceX, y * toDeviceY + ascent), QString::fromStdString(item));
}

void TPrintWriter::Close() {
    if (FPainter && FPainter->isActive() && !FPainter->end())
        throw TExportError("The print job could not be finished on the printer \"" +
                           FPrinter->printerName().toStdString() + "\"");
}

TTablePrintWriter::TTablePrintWriter(std::string description, QPrinter* printer)
    : TPrintWriter(std::move(description), printer) {}

void TTablePrintWriter::PrintTable(const std::vector<std::vector<std::string>>& header,
                                   const std::vector<std::vector<std::string>>& rows) {
    FPainter->setFont(QFont(QString::fromLatin1(kFontFamily), kTableFontPointSize));
    const QFontMetrics metrics = FPainter->fontMetrics();
    const int gap = metrics.horizontalAdvance(QStringLiteral("  "));
    const int lineStep = metrics.lineSpacing();
    const int pageWidth = FPrinter->width();
    const int pageHeight = FPrinter->height();

    // Column widths: the widest text of each column, header included.
    std::vector<int> widths;
    const auto measure = [&](const std::vector<std::string>& row) {
        if (widths.size() < row.size()) widths.resize(row.size(), 0);
        for (std::size_t i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths[i], metrics.horizontalAdvance(QString::fromStdString(row[i])));
    };
    for (const auto& row : header)
        measure(row);
    for (const auto& row : rows)
        measure(row);
    if (widths.empty()) return;
    // No column wider than the page leaves it: the first column (which names the row and is
    // repeated in every band) takes at most a third of the page, any other at most half of it, so
    // that a long note leaves room for the figures beside it. A longer cell is cut there with "…";
    // the export keeps it whole.
    const int printable = pageWidth - 2 * kLeftMargin;
    widths[0] =
        std::min(widths[0], std::max(printable / 3, metrics.horizontalAdvance(QStringLiteral("MMMM"))));
    const int widest = std::max(std::min(printable - widths[0] - gap, printable / 2),
                                metrics.horizontalAdvance(QStringLiteral("MMMM")));
    for (std::size_t i = 1; i < widths.size(); ++i)
        widths[i] = std::min(widths[i], widest);

    // Bands of columns that fit the page, each led by the first column.
    std::vector<std::vector<std::size_t>> bands;
    std::size_t next = 1;
    do {
        std::vector<std::size_t> band{0};
        int used = kLeftMargin + widths[0] + gap;
        while (next < widths.size() && (band.size() == 1 || used + widths[next] <= pageWidth - kLeftMargin)) {
            used += widths[next] + gap;
            band.push_back(next++);
        }
        bands.push_back(std::move(band));
    } while (next < widths.size());
    FBandCount = static_cast<int>(bands.size());

    const auto drawRow = [&](const std::vector<std::size_t>& band, const std::vector<std::string>& row) {
        int x = kLeftMargin;
        for (const std::size_t column : band) {
            if (column < row.size()) {
                const QString text = QString::fromStdString(row[column]);
                FPainter->drawText(QPointF(x, FLineCounter + metrics.ascent()),
                                   metrics.horizontalAdvance(text) > widths[column]
                                       ? metrics.elidedText(text, Qt::ElideRight, widths[column])
                                       : text);
            }
            x += widths[column] + gap;
        }
        FLineCounter += lineStep;
    };
    const auto startPage = [&](const std::vector<std::size_t>& band) {
        if (FPageCount > 0 && !FPrinter->newPage())
            throw TExportError("The printer \"" + FPrinter->printerName().toStdString() +
                               "\" could not begin a new page");
        ++FPageCount;
        FLineCounter = 0;
        for (const auto& row : header)
            drawRow(band, row);
        FPainter->drawLine(kLeftMargin, FLineCounter, pageWidth - kLeftMargin, FLineCounter);
        FLineCounter += lineStep / 3;
    };
    for (const auto& band : bands) {
        startPage(band);
        for (const auto& row : rows) {
            if (FLineCounter + lineStep > pageHeight) startPage(band);
            drawRow(band, row);
        }
    }
}
