#include "PrintWriter.h"

#include <QFont>
#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QPointF>
#include <QPrinter>
#include <QString>

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
