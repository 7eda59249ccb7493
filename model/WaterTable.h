#pragma once
// Lab tables of waters: one water per row of a CSV file, as a laboratory's spreadsheet or
// information system exports it.
//
//   bytes -> encoding (UTF-8 with or without BOM, UTF-16 by BOM, else Latin-1 per cell)
//         -> libcsv (separator found in the header line: comma, semicolon or tab; quoted fields)
//         -> header: each column named by a data set key (IPH, ICONDU, ...) or by the editor's
//            caption or selector text ("pH", "Conductivity", ...); other columns are carried
//         -> rows: numbers (a decimal comma beside a semicolon or tab), dates (ISO or day count),
//            the measure of the dissolved solids and of the carbonate system, the input ranges
//         -> TWaterTableRow: a data set, or the reason the row was refused.
//
// The reader streams: it holds one chunk of the input at a time, however long the table. It knows
// nothing of the engine: a water that is readable and within every input range but chemically
// impossible is the facade's to refuse.

#include "CalvaroModel.h"

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The table as a whole cannot be read: no header row, a header that names no data set field or
// lacks a required one, a field named by two columns, a malformed header, a failing stream.
class TWaterTableError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One data row of a table.
struct TWaterTableRow {
    // The line of the file on which the row starts, 1 for the first line (normally the header).
    std::int64_t Line = 0;
    // The row's number among the data rows, from 1; blank rows are skipped and not counted.
    std::int64_t Row = 0;
    // The water, when the row was read; empty when it was refused.
    std::optional<TWaterDataset> Dataset;
    // The columns that are no data set field, in header order: (column name, the cell as the file
    // holds it), both as UTF-8. Filled for refused rows too.
    std::vector<std::pair<std::string, std::string>> Carried;
    // Why the row was refused, as a sentence that quotes the column and the value; empty for a water.
    std::string Error;
    // The column at fault as the header names it (several joined by ", "); empty when the fault is
    // of the row as a whole.
    std::string ErrorColumn;
    // The cell as the file holds it (several joined by ", ").
    std::string ErrorValue;

    bool IsWater() const { return Dataset.has_value(); }
};

// A column of the header.
struct TWaterTableColumn {
    std::string Name;                 // the header's text without the spaces around it, UTF-8
    const TDatasetProperty* Property; // the data set property it fills; nullptr for a carried column
                                      // and for a column without a name (which is ignored)
};

// Reads a table row by row. The constructor reads the header and throws TWaterTableError when the
// table cannot be read at all; Next gives the rows in file order.
class TWaterTableReader {
public:
    // The table from a stream (a file opened in binary mode, or standard input).
    explicit TWaterTableReader(std::istream& in);
    // The table from the bytes of a file in memory; they must outlive the reader.
    explicit TWaterTableReader(std::string_view bytes);
    ~TWaterTableReader();
    TWaterTableReader(const TWaterTableReader&) = delete;
    TWaterTableReader& operator=(const TWaterTableReader&) = delete;

    char Separator() const;    // ',', ';' or '\t'
    bool DecimalComma() const; // true when a number may be written with a decimal comma
    const std::vector<TWaterTableColumn>& Columns() const;
    std::vector<std::string> CarriedColumnNames() const; // in header order

    // Overwrites `row` with the next row and returns true, or returns false at the end of the
    // table. Reusing one row object keeps its strings' storage, so a long table is read without
    // an allocation per row. Throws TWaterTableError when the stream fails.
    bool Next(TWaterTableRow& row);

private:
    struct TImpl;
    std::unique_ptr<TImpl> F;
};

// Streams every row of the table to `onRow`, in file order; the row object is reused between calls.
void ReadWaterTable(std::istream& in, const std::function<void(const TWaterTableRow&)>& onRow);

// Every row of the table at once.
std::vector<TWaterTableRow> ReadWaterTable(std::istream& in);
std::vector<TWaterTableRow> ReadWaterTableText(std::string_view bytes);
// Throws TFileError (CalvaroUtils.h) when the file cannot be opened or read.
std::vector<TWaterTableRow> ReadWaterTableFile(const std::string& path);
