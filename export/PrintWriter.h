#pragma once
// The print form of the row writer: the same rows as the CSV export, drawn on one page of the
// printer in "Courier" 11 pt on a fixed grid. The grid counts in units of a 600-dpi page (a column
// 1300 units = 55 mm wide, a row 120 units = 5.1 mm high) and is scaled to the printer's own
// resolution, so the page looks the same on a 300-, 600- or 1200-dpi printer and the 11-pt lines
// (about 4.6 mm high) never overprint one another.

#include "ExportUtil.h"

#include <memory>
#include <string>
#include <vector>

class QPainter;
class QPrinter;

class TPrintWriter : public TCsvWriter {
public:
    // Column and row steps in grid units (dots of a 600-dpi page), and the font.
    static constexpr int kGridDotsPerInch = 600;
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
    // Item i (from 0) with its top-left corner at x = 40 + 1300 i, y = FLineCounter (grid units
    // from the top-left corner of the printable area); then the next row 120 units lower. No
    // clipping, no wrapping, no page break: rows below the page are lost.
    void AddRow(const std::vector<std::string>& items) override;
    // Ends the print job, which sends the page to the printer.
    void Close() override;

    int LineCounter() const { return FLineCounter; }

protected:
    QPrinter* FPrinter;
    int FLineCounter = 0; // in grid units
    std::unique_ptr<QPainter> FPainter;

private:
    // One item with the top-left corner of its text at grid point (x, y).
    void DrawItem(int x, int y, const std::string& item);
};

// A table too wide and too long for one page of the grid above: each column as wide as its widest
// text (the first at most a third of the page, any other at most half of it; a longer cell is
// cut with "…"), the columns grouped into bands as wide as the page (the first column, which names
// the row, repeated in every band), the rows of a band on as many pages as they need, every page beginning
// with the header rows. Courier 8 pt, so that a table of some twenty columns takes two bands on a
// landscape page; it is laid out in the printer's own dots from the font's measures, not on the
// grid, and FLineCounter counts dots here.
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
