#pragma once
// The row writers behind every Export and Print command. A results window writes its rows once to
// a writer; whether they land in a comma-separated file or on paper depends only on which writer it
// is handed (TCsvWriter here, TPrintWriter in PrintWriter.h).
//
//   TCsvWriter writer("", path);          // the file is created or emptied at once
//   writer.AddRow({"Sodium", "50.00", "mgNa/l"});
//   writer.Close();

#include <stdexcept>
#include <string>
#include <vector>

// A file that cannot be created or appended to; the message is the file system's, with the path.
class TExportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TCsvWriter {
public:
    // Stores both and creates the file at filePath, or empties an existing one (zero bytes).
    TCsvWriter(std::string description, std::string filePath);
    virtual ~TCsvWriter() = default;
    TCsvWriter(const TCsvWriter&) = delete;
    TCsvWriter& operator=(const TCsvWriter&) = delete;

    // Creates the file, or empties it, without a byte-order mark.
    virtual void Initialize();
    // Appends the items joined by "," and a CR LF; the file is opened, extended and closed for
    // every row, so each row is on disk when the call returns. Items holding a comma, a double
    // quote, CR or LF are quoted (in double quotes, inner quotes doubled); others are written as
    // given. Items are UTF-8; the first row with a non-ASCII byte turns the file into UTF-8 with a
    // byte-order mark before the rows already written.
    virtual void AddRow(const std::vector<std::string>& items);
    // Nothing to release: every row has been closed already.
    virtual void Close();

    const std::string& Description() const { return FDescription; }
    const std::string& FilePath() const { return FFilePath; }

protected:
    // For writers that have no file; stores the description only and creates nothing.
    explicit TCsvWriter(std::string description);

    std::string FDescription;
    std::string FFilePath;

private:
    bool FUtf8 = false; // the byte-order mark is in the file
};

// One CSV field as written: quoted only when it holds a comma, a double quote, CR or LF.
std::string CsvItem(const std::string& item);

// The text of one row without its line end.
std::string CsvRow(const std::vector<std::string>& items);
