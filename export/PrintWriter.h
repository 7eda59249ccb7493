#pragma once
// The print form of the row writer: the same rows as the CSV export, drawn on one page of the
// printer in "Courier" 11 pt on a fixed grid of the printer's own device units (dots). The grid
// does not follow the resolution, so at 600 dpi a column is 55 mm wide and at 300 dpi twice that.

#include "ExportUtil.h"

#include <memory>
#include <string>
#include <vector>

class QPainter;
class QPrinter;

class TPrintWriter : public TCsvWriter {
public:
    // Column and row steps in device units, and the font.
    static constexpr int kLeftMargin = 40;
    static constexpr int kColumnStep = 1300;
    static constexpr int kRowStep = 120;
    static constexpr const char* kFontFamily = "Courier";
    static constexpr int kFontPointSize = 11;

    // Stores both and starts the print job; the printer stays the caller's and must outlive the
    // writer. Throws TExportError when the job cannot be started.
    TPrintWriter(std::string description, QPrinter* printer);
    ~TPrintWriter() override;

    // FLineCounter to 0, a print job begun on the printer, the font "Courier" 11 pt.
    void Initialize() override;
    // Item i (from 0) with its top-left corner at x = 40 + 1300 i, y = FLineCounter; then the next
    // row 120 units lower. No clipping, no wrapping, no page break: rows below the page are lost.
    void AddRow(const std::vector<std::string>& items) override;
    // Ends the print job, which sends the page to the printer.
    void Close() override;

    int LineCounter() const { return FLineCounter; }

protected:
    // One item with the top-left corner of its text at (x, y).
    void DrawItem(int x, int y, const std::string& item);

    QPrinter* FPrinter;
    int FLineCounter = 0;
    std::unique_ptr<QPainter> FPainter;
};

// A table too wide and too long for one page of the grid above: each column as wide as its widest
// text, the columns grouped into bands as wide as the page (the first column, which names the row,
// repeated in every band), the rows of a band on as many pages as they need, every page beginning
// with the header rows. Courier 8 pt, so that a table of some twenty columns takes two bands on a
// landscape page; the steps follow the printer's resolution.
class TTablePrintWriter : public TPrintWriter {
public:
    static constexpr int kTableFontPointSize = 8;

    TTablePrintWriter(std::string description, QPrinter* printer);

    // Prints the whole table; `header` holds the rows repeated at the top of every page.
    void PrintTable(const std::vector<std::vector<std::string>>& header,
                    const std::vector<std::vector<std::string>>& rows);
    int PageCount() const { return FPageCount; }
    int BandCount() const { return FBandCount; }

private:
    int FPageCount = 0;
    int FBandCount = 0;
};
