#pragma once
// The .clv data set file (one JSON object on one line) and the in-memory copy made through it.

#include "CalvaroModel.h"

#include <memory>
#include <stdexcept>
#include <string>

// A file that cannot be read or written; the message is the file system's.
class TFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file whose content is not a data set; the message says what is wrong.
class TDatasetFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The single-line JSON text of a data set. Throws TDatasetFormatError for a real that is not finite.
std::string DatasetToJson(const TWaterDataset& dataset);

// Reads a data set from JSON text (already decoded). Throws TDatasetFormatError.
std::unique_ptr<TWaterDataset> DatasetFromJson(const std::string& text);

// Writes the data set to `path` (replacing the file through a temporary in the same folder, so a
// failed save leaves the old file intact). Returns false only when no JSON text could be produced;
// throws TFileError when the file cannot be written. A real that is not finite is refused with
// TDatasetFormatError before anything is written.
bool SaveDatasetToFile(const TWaterDataset& dataset, const std::string& path);

// Reads a data set file (BOM-detected UTF-8, UTF-16 LE or BE; otherwise 8-bit text). Returns
// nullptr for an empty file; throws TFileError or TDatasetFormatError.
std::unique_ptr<TWaterDataset> LoadDatasetFromFile(const std::string& path);

// A copy made through the JSON form: reals reduced to 15 significant digits, as save then load.
std::unique_ptr<TWaterDataset> CloneDataset(const TWaterDataset& dataset);

// The number form of the file: 15 significant digits, fixed notation for decimal exponents
// -3..15, otherwise scientific with "E" (0.00005 -> "5E-5", 1e15 -> "1E15"). Independent of the
// C locale. A value that is not finite gives "NAN", "INF" or "-INF" (never written to a file).
std::string FormatFileNumber(double value);
