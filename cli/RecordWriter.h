#pragma once
// The outputs of calvaro-calc, one record per output, in JSON lines or CSV.
//
// A command writes the fields of its record through TRecordWriter in the order they are to
// appear; nested objects ("result", "dataset") are flattened to their field names in CSV. All text
// goes into one buffer that is written out in large pieces, so batches of thousands of files cost
// no per-line output calls. Texts are written as UTF-8: bytes that are no UTF-8 character (a file
// name from a Latin-1 folder) become U+FFFD, so the output is always valid JSON.

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
    virtual void Integer(std::string_view key, int value) = 0;
    virtual void Text(std::string_view key, std::string_view value) = 0;
    virtual void Texts(std::string_view key, const std::vector<std::string>& values) = 0;
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

std::unique_ptr<TRecordWriter> MakeRecordWriter(TOutputFormat format, std::ostream& out);

// A real with 17 significant digits, so that it reads back to the same double; a zero is 0,
// never -0.
void AppendReal(std::string& text, double value);
// The shortest text that reads back to the same double, for messages (0, never -0).
std::string ShortReal(double value);
