#pragma once
// The outputs of calvaro-calc, one record per output, in JSON lines or CSV.
//
// A command writes the fields of its record through TRecordWriter in the order they are to
// appear; nested objects ("result", "dataset") are flattened to their field names in CSV. All text
// goes into one buffer that is written out in large pieces, so batches of thousands of files cost
// no per-line output calls; a CSV row is written as soon as the columns are known, so a table of
// a million waters streams through without being held. Texts are written as UTF-8: bytes that are no UTF-8
// character (a file name from a Latin-1 folder) become U+FFFD, so the output is always valid JSON.

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

class TRecordWriter {
public:
    virtual ~TRecordWriter() = default;

    virtual void BeginRecord() = 0;
    virtual void Real(std::string_view key, double value) = 0;
    virtual void Integer(std::string_view key, std::int64_t value) = 0;
    virtual void Text(std::string_view key, std::string_view value) = 0;
    virtual void Texts(std::string_view key, const std::vector<std::string>& values) = 0;
    virtual void Integers(std::string_view key, const std::vector<std::int64_t>& values) = 0;
    // A value that is not defined: JSON null, an empty CSV cell.
    virtual void Null(std::string_view key) = 0;
    // A text that says why the record's input failed; the record is then an error record (in CSV
    // its error keys are the last columns, whatever the record's other keys).
    virtual void ErrorText(std::string_view key, std::string_view message) = 0;
    virtual void BeginObject(std::string_view key) = 0;
    virtual void EndObject() = 0;
    virtual void EndRecord() = 0;
    // Drops the record begun last, as if it had never been begun (a calculation that failed).
    virtual void AbortRecord() = 0;
    // Writes everything still held to the stream.
    virtual void Finish() = 0;

    // 0 while every write to the stream succeeded; otherwise the error number of the first that
    // failed (a full disk, a closed output), EIO when the stream gave none. Nothing is written
    // after a failed write.
    int WriteError() const { return FWriteError; }

protected:
    // Hands `text` to the stream and flushes it.
    void WriteOut(std::ostream& out, std::string_view text);

private:
    int FWriteError = 0;
};

enum class TOutputFormat { Json, Csv };

// The keys of error records that become the last columns of a CSV output ("error", and for the rows
// of a table also the column and the value at fault).
inline const std::vector<std::string> kDefaultErrorKeys = {"error"};

std::unique_ptr<TRecordWriter>
MakeRecordWriter(TOutputFormat format, std::ostream& out,
                 const std::vector<std::string>& errorKeys = kDefaultErrorKeys);

// A real with 17 significant digits, so that it reads back to the same double; a zero is 0,
// never -0.
void AppendReal(std::string& text, double value);
// The same into `digits`, which has room for kRealWidth characters; returns the length.
inline constexpr std::size_t kRealWidth = 32;
// Reals that are not whole numbers take a fast exact path; the few it cannot decide (near a tie)
// and the very large and small go through std::to_chars, as FormatRealByConversion always does.
std::size_t FormatReal(char* digits, double value);
std::size_t FormatRealByConversion(char* digits, double value);
// The shortest text that reads back to the same double, for messages (0, never -0).
std::string ShortReal(double value);
