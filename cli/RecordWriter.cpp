#include "RecordWriter.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <utility>

namespace {

// Output is handed to the stream in pieces of about this size.
constexpr std::size_t kFlushSize = 1 << 20;

void AppendInteger(std::string& text, int value) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    text.append(digits, end);
}

bool NeedsEscape(char c) {
    return c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20;
}

void AppendJsonString(std::string& text, std::string_view value) {
    text += '"';
    // Keys, numbers' neighbours and most paths need no escape: copy them whole.
    std::size_t plain = 0;
    while (plain < value.size() && !NeedsEscape(value[plain]))
        ++plain;
    text.append(value.data(), plain);
    for (const char c : value.substr(plain)) {
        switch (c) {
        case '"':
            text += "\\\"";
            break;
        case '\\':
            text += "\\\\";
            break;
        case '\n':
            text += "\\n";
            break;
        case '\r':
            text += "\\r";
            break;
        case '\t':
            text += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
                text += escape;
            } else {
                text += c;
            }
        }
    }
    text += '"';
}

// JSON lines: one object per record, keys in writing order.
class TJsonWriter final : public TRecordWriter {
public:
    explicit TJsonWriter(std::ostream& out) : FOut(out) { FText.reserve(kFlushSize + 4096); }

    void BeginRecord() override {
        FRecordStart = FText.size();
        FText += '{';
        FFirst = true;
    }
    void Real(std::string_view key, double value) override {
        Key(key);
        AppendReal(FText, value);
    }
    void Integer(std::string_view key, int value) override {
        Key(key);
        AppendInteger(FText, value);
    }
    void Text(std::string_view key, std::string_view value) override {
        Key(key);
        AppendJsonString(FText, value);
    }
    void Texts(std::string_view key, const std::vector<std::string>& values) override {
        Key(key);
        FText += '[';
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (i > 0) FText += ',';
            AppendJsonString(FText, values[i]);
        }
        FText += ']';
    }
    void BeginObject(std::string_view key) override {
        Key(key);
        FText += '{';
        FFirst = true;
    }
    void EndObject() override {
        FText += '}';
        FFirst = false;
    }
    void EndRecord() override {
        FText += "}\n";
        if (FText.size() >= kFlushSize) Flush();
    }
    void AbortRecord() override { FText.resize(FRecordStart); }
    void Finish() override { Flush(); }

private:
    void Key(std::string_view key) {
        if (!FFirst) FText += ',';
        FFirst = false;
        AppendJsonString(FText, key);
        FText += ':';
    }
    void Flush() {
        FOut.write(FText.data(), static_cast<std::streamsize>(FText.size()));
        FOut.flush();
        FText.clear();
        FRecordStart = 0;
    }

    std::ostream& FOut;
    std::string FText;
    std::size_t FRecordStart = 0;
    bool FFirst = true;
};

// CSV: a header of the flattened keys of the first complete record (and "error"), then one row
// per record. Rows are held until the end, because a failed input may come before the first
// record that shows the columns.
class TCsvWriter final : public TRecordWriter {
public:
    explicit TCsvWriter(std::ostream& out) : FOut(out) {}

    void BeginRecord() override { FCells.clear(); }
    void Real(std::string_view key, double value) override {
        std::string cell;
        AppendReal(cell, value);
        Cell(key, std::move(cell));
    }
    void Integer(std::string_view key, int value) override {
        std::string cell;
        AppendInteger(cell, value);
        Cell(key, std::move(cell));
    }
    void Text(std::string_view key, std::string_view value) override { Cell(key, Quoted(value)); }
    void Texts(std::string_view key, const std::vector<std::string>& values) override {
        std::string joined;
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (i > 0) joined += ';';
            joined += values[i];
        }
        Cell(key, Quoted(joined));
    }
    void BeginObject(std::string_view) override {}
    void EndObject() override {}
    void EndRecord() override { FRows.push_back(std::move(FCells)); }
    void AbortRecord() override { FCells.clear(); }

    void Finish() override {
        // The columns: those of the first record that is not an error, then "error".
        std::vector<std::string> columns;
        for (const auto& row : FRows)
            if (!IsError(row)) {
                for (const auto& [key, cell] : row)
                    columns.push_back(key);
                break;
            }
        if (columns.empty() && !FRows.empty()) columns.push_back(FRows.front().front().first);
        columns.push_back(kErrorKey);

        std::string text;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (i > 0) text += ',';
            text += Quoted(columns[i]);
        }
        text += '\n';
        for (const auto& row : FRows) {
            for (std::size_t i = 0; i < columns.size(); ++i) {
                if (i > 0) text += ',';
                for (const auto& [key, cell] : row)
                    if (key == columns[i]) {
                        text += cell;
                        break;
                    }
            }
            text += '\n';
        }
        FOut.write(text.data(), static_cast<std::streamsize>(text.size()));
        FOut.flush();
        FRows.clear();
    }

private:
    static constexpr const char* kErrorKey = "error";
    using TRow = std::vector<std::pair<std::string, std::string>>;

    static bool IsError(const TRow& row) {
        for (const auto& [key, cell] : row)
            if (key == kErrorKey) return true;
        return false;
    }
    // Quoted when it holds a separator, a quote, a line end, or spaces at either end.
    static std::string Quoted(std::string_view value) {
        const bool needsQuotes = value.find_first_of(",\"\r\n") != std::string_view::npos ||
                                 (!value.empty() && (value.front() == ' ' || value.back() == ' '));
        if (!needsQuotes) return std::string(value);
        std::string quoted = "\"";
        for (const char c : value) {
            if (c == '"') quoted += '"';
            quoted += c;
        }
        quoted += '"';
        return quoted;
    }
    void Cell(std::string_view key, std::string cell) {
        FCells.emplace_back(std::string(key), std::move(cell));
    }

    std::ostream& FOut;
    TRow FCells;
    std::vector<TRow> FRows;
};

} // namespace

void AppendReal(std::string& text, double value) {
    char digits[32];
    // Whole numbers (most data set fields) print as %.17g prints them, without the cost of the
    // general conversion.
    if (std::fabs(value) < 1e15 && value == std::trunc(value)) {
        if (value == 0 && std::signbit(value)) {
            text += "-0";
            return;
        }
        const auto end = std::to_chars(digits, digits + sizeof digits, static_cast<long long>(value)).ptr;
        text.append(digits, end);
        return;
    }
    const auto end = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::general, 17).ptr;
    text.append(digits, end);
}

std::string ShortReal(double value) {
    // Fixed notation where an operator reads it best (a pressure bound is 0.00005, not 5e-05);
    // the shortest general form for very large or very small values.
    char digits[400];
    const double magnitude = std::fabs(value);
    const bool fixed = value == 0 || (magnitude >= 1e-6 && magnitude < 1e15);
    const auto end = fixed
                         ? std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed).ptr
                         : std::to_chars(digits, digits + sizeof digits, value).ptr;
    return std::string(digits, end);
}

std::unique_ptr<TRecordWriter> MakeRecordWriter(TOutputFormat format, std::ostream& out) {
    if (format == TOutputFormat::Csv) return std::make_unique<TCsvWriter>(out);
    return std::make_unique<TJsonWriter>(out);
}
