#pragma once
// The .clv data set file (one JSON object on one line) and the in-memory copy made through it.

#include "CalvaroModel.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

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

// Writes the data set to `path`, creating the file or replacing its whole content. A symbolic
// link is followed, so the file it names gets the content and the link stays; the old file's
// owner (where the process may give it) and permissions are kept. The content reaches the folder
// only complete and on disk (see ReplaceFileContent), so a failed or killed save, or a power cut,
// leaves the old or the new file. Throws TFileError when the file cannot be written, with the file
// system's message; a real that is not finite is refused with TDatasetFormatError before anything
// is written. Returns nothing: every failure is one of these errors.
void SaveDatasetToFile(const TWaterDataset& dataset, const std::string& path);

// The largest data set file that is read: a data set is a few hundred bytes.
inline constexpr std::size_t kMaxDatasetFileBytes = 1024 * 1024;

// Reads a data set file (BOM-detected UTF-8, UTF-16 LE or BE; otherwise 8-bit text). Returns
// nullptr for an empty file; throws TFileError or TDatasetFormatError. Anything that is not a
// regular file (a folder, a FIFO, a device) and any file over kMaxDatasetFileBytes is refused
// with TFileError before a byte of it is read. A refusal quotes at most 40 characters of a value.
std::unique_ptr<TWaterDataset> LoadDatasetFromFile(const std::string& path);

// LoadDatasetFromFile in its two steps, for a caller that reads files on one thread and reads
// the data sets from them on another. ReadDatasetFileBytes gives the file's bytes, with every
// refusal that comes before its text (not a regular file, too large, the file system's errors);
// the view points into `buffer`, which a caller keeps from file to file so that a batch of files
// is read without allocating. DatasetFromFileBytes reads the data set from those bytes, with the
// same results and errors as LoadDatasetFromFile.
std::string_view ReadDatasetFileBytes(const std::string& path, std::vector<char>& buffer);
std::unique_ptr<TWaterDataset> DatasetFromFileBytes(std::string_view bytes);

// How ReplaceFileContent holds the new content until it replaces the old.
enum class TTemporaryFile {
    // An unnamed temporary (O_TMPFILE) linked in at the end, where the file system has them, so
    // that even a killed process leaves nothing in the folder; otherwise as Named.
    UnnamedWhereSupported,
    // A temporary named kTemporaryFilePrefix + "<host>-<process>-<n>.tmp" in the same folder,
    // removed on every failure; one that a killed process left is removed by the next save into
    // that folder.
    Named,
};

inline constexpr const char* kTemporaryFilePrefix = ".calvaro-save-";

// Replaces the whole content of the file at `path` (after its links) with `bytes`: the content is
// written to a temporary in the same folder, synced, renamed over the old file, and the folder is
// synced, so that at every moment the path holds the old or the new content. Throws TFileError.
void ReplaceFileContent(const std::string& path, std::string_view bytes,
                        TTemporaryFile temporary = TTemporaryFile::UnnamedWhereSupported);

// A copy made through the JSON form: reals reduced to 15 significant digits, as save then load.
std::unique_ptr<TWaterDataset> CloneDataset(const TWaterDataset& dataset);

// The number form of the file: 15 significant digits, fixed notation for decimal exponents
// -3..15, otherwise scientific with "E" (0.00005 -> "5E-5", 1e15 -> "1E15"). Independent of the
// C locale. The digits are the nearest, except where the nearest would lie beyond the largest
// double (1.7976931348623157e308): there they are cut toward zero (1.79769313486231E308), so
// every number written reads back. A value that is not finite gives "NAN", "INF" or "-INF" (never written to
// a file).
std::string FormatFileNumber(double value);

// A real number written with "." as the only decimal separator: [+-] digits [. digits]
// [(e|E) [+-] digits], at least one digit before the exponent; no blanks, no group separators, no
// INF or NAN. Empty for any other text and for a number beyond the range of a double. The data
// set files and the lab tables read their numbers with it.
std::optional<double> ParseRealText(std::string_view text);

// A text as a refusal quotes it: at most 40 characters (UTF-8 code points), then "…". The data set
// files and the lab tables quote their values with it.
std::string RefusalExcerpt(std::string_view text);
