#include "RecordWriter.h"

#include <cerrno>
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
    // Control characters, the two JSON specials, and every byte of a multi-byte sequence (which
    // must be checked for valid UTF-8).
    const auto u = static_cast<unsigned char>(c);
    return c == '"' || c == '\\' || u < 0x20 || u >= 0x80;
}

// The length of the well-formed UTF-8 sequence at the start of `text`, or 0 when its first bytes
// are no character (a stray continuation byte, an overlong form, a surrogate, beyond U+10FFFF or
// cut short). `bad` is then the length of its maximal ill-formed subpart, which becomes one
// U+FFFD, as Unicode recommends.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t& bad) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // the second byte's range
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;  // no overlong forms
        if (lead == 0xED) high = 0x9F; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;  // no overlong forms
        if (lead == 0xF4) high = 0x8F; // nothing beyond U+10FFFF
    } else {
        bad = 1;
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char lo = i == 1 ? low : 0x80, hi = i == 1 ? high : 0xBF;
        if (i >= text.size() || byte(i) < lo || byte(i) > hi) {
            bad = i;
            return 0;
        }
    }
    return length;
}

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD"; // U+FFFD

// Appends `text` with every byte sequence that is not UTF-8 replaced by U+FFFD (a file name is
// bytes, and may come from a Latin-1 folder); calls `ascii` for each ASCII byte.
template <class Ascii> void AppendUtf8(std::string& out, std::string_view text, Ascii ascii) {
    for (std::size_t i = 0; i < text.size();) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ascii(out, text[i]);
            ++i;
            continue;
        }
        std::size_t bad = 0;
        if (const std::size_t length = Utf8SequenceLength(text.substr(i), bad)) {
            out.append(text.data() + i, length);
            i += length;
        } else {
            out += kReplacementCharacter;
            i += bad;
        }
    }
}

void AppendJsonCharacter(std::string& text, char c) {
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

void AppendJsonString(std::string& text, std::string_view value) {
    text += '"';
    // Keys, numbers' neighbours and most paths are plain ASCII: copy them whole.
    std::size_t plain = 0;
    while (plain < value.size() && !NeedsEscape(value[plain]))
        ++plain;
    text.append(value.data(), plain);
    if (plain < value.size()) AppendUtf8(text, value.substr(plain), AppendJsonCharacter);
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
        WriteOut(FOut, FText);
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
        WriteOut(FOut, text);
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
    // Quoted when it holds a separator, a quote, a line end, or spaces at either end; bytes that
    // are not UTF-8 become U+FFFD, as in JSON.
    static std::string Quoted(std::string_view text) {
        std::string valid;
        AppendUtf8(valid, text, [](std::string& out, char c) { out += c; });
        const std::string_view value = valid;
        const bool needsQuotes = value.find_first_of(",\"\r\n") != std::string_view::npos ||
                                 (!value.empty() && (value.front() == ' ' || value.back() == ' '));
        if (!needsQuotes) return valid;
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
        // A zero prints as 0, whatever its sign (a difference of equal values can be -0).
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
    if (value == 0) return "0"; // never "-0"
    const bool fixed = magnitude >= 1e-6 && magnitude < 1e15;
    const auto end = fixed
                         ? std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed).ptr
                         : std::to_chars(digits, digits + sizeof digits, value).ptr;
    return std::string(digits, end);
}

void TRecordWriter::WriteOut(std::ostream& out, std::string_view text) {
    if (FWriteError != 0) return; // what follows a lost piece is not written either
    errno = 0;
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    if (!out) FWriteError = errno != 0 ? errno : EIO;
}

std::unique_ptr<TRecordWriter> MakeRecordWriter(TOutputFormat format, std::ostream& out) {
    if (format == TOutputFormat::Csv) return std::make_unique<TCsvWriter>(out);
    return std::make_unique<TJsonWriter>(out);
}
