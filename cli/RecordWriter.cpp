#include "RecordWriter.h"

#include <array>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>

namespace {

// Output is handed to the stream in pieces of about this size.
constexpr std::size_t kFlushSize = 1 << 20;

void AppendInteger(std::string& text, std::int64_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    text.append(digits, end);
}

// The bytes a JSON string cannot hold as they stand.
constexpr auto kEscapeTable = [] {
    std::array<bool, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[static_cast<std::size_t>(c)] = c == '"' || c == '\\' || c < 0x20 || c >= 0x80;
    return table;
}();

// Whether any of the eight bytes of w is one a JSON string cannot hold as it stands: below 0x20,
// 0x80 and above, '"' or '\\'. Each test is exact for "some byte is": x - 0x01.. & ~x & 0x80..
// is nonzero exactly when a byte of x is 0, and x - 0x20.. & ~x & 0x80.. when one is below 0x20.
constexpr bool HasByteToEscape(std::uint64_t w) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL, kHighs = 0x8080808080808080ULL;
    const auto hasZero = [](std::uint64_t x) { return (x - kOnes) & ~x & kHighs; };
    const std::uint64_t control = (w - 0x20 * kOnes) & ~w & kHighs;
    return ((w & kHighs) | control | hasZero(w ^ ('"' * kOnes)) | hasZero(w ^ ('\\' * kOnes))) != 0;
}
static_assert(!HasByteToEscape(0x4142434445464748ULL) && HasByteToEscape(0x4142434445462248ULL) &&
              HasByteToEscape(0x41424344455C4748ULL) && HasByteToEscape(0x1F42434445464748ULL) &&
              HasByteToEscape(0x41424344454647C3ULL) && !HasByteToEscape(0x2020202020207E7EULL));

// True when every byte of `text` is written as it stands (most keys and cells); eight bytes at a
// time, since every key of every record passes here.
bool IsPlainJson(std::string_view text) {
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t w = 0;
        std::memcpy(&w, text.data() + i, 8);
        if (HasByteToEscape(w)) return false;
    }
    bool escape = false;
    for (; i < text.size(); ++i)
        escape |= kEscapeTable[static_cast<unsigned char>(text[i])];
    return !escape;
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
    if (IsPlainJson(value)) {
        const std::size_t start = text.size();
        text.resize(start + value.size() + 2);
        char* p = text.data() + start;
        *p++ = '"';
        std::memcpy(p, value.data(), value.size());
        p[value.size()] = '"';
        return;
    }
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
        // The key and the digits formatted in place, in one growth of the text.
        const std::size_t start = FText.size();
        if (IsPlainJson(key)) {
            FText.resize(start + 1 + key.size() + 3 + kRealWidth);
            char* p = WritePlainKey(FText.data() + start, key);
            p += FormatReal(p, value);
            FText.resize(static_cast<std::size_t>(p - FText.data()));
        } else {
            Key(key);
            const std::size_t digits = FText.size();
            FText.resize(digits + kRealWidth);
            FText.resize(digits + FormatReal(FText.data() + digits, value));
        }
    }
    void Integer(std::string_view key, std::int64_t value) override {
        Key(key);
        AppendInteger(FText, value);
    }
    void Text(std::string_view key, std::string_view value) override {
        Key(key);
        AppendJsonString(FText, value);
    }
    void ErrorText(std::string_view key, std::string_view message) override { Text(key, message); }
    void Null(std::string_view key) override {
        Key(key);
        FText += "null";
    }
    void Integers(std::string_view key, const std::vector<std::int64_t>& values) override {
        Key(key);
        FText += '[';
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (i > 0) FText += ',';
            AppendInteger(FText, values[i]);
        }
        FText += ']';
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
    // [,]"key": at p, for a key without a byte to escape; returns its end.
    char* WritePlainKey(char* p, std::string_view key) {
        if (!FFirst) *p++ = ',';
        FFirst = false;
        *p++ = '"';
        std::memcpy(p, key.data(), key.size());
        p += key.size();
        *p++ = '"';
        *p++ = ':';
        return p;
    }
    void Key(std::string_view key) {
        if (IsPlainJson(key)) { // written in one piece: [,]"key":
            const std::size_t start = FText.size();
            FText.resize(start + (FFirst ? 0 : 1) + key.size() + 3);
            WritePlainKey(FText.data() + start, key);
        } else {
            if (!FFirst) FText += ',';
            AppendJsonString(FText, key);
            FText += ':';
            FFirst = false;
        }
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

// Appends a CSV cell: quoted when it holds a separator, a quote, a line end, or spaces at either
// end; bytes that are not UTF-8 become U+FFFD, as in JSON.
void AppendCsvCell(std::string& out, std::string_view value) {
    bool plain = value.empty() || (value.front() != ' ' && value.back() != ' ');
    for (std::size_t i = 0; i < value.size() && plain; ++i) {
        const char c = value[i];
        plain = c != ',' && c != '"' && c != '\r' && c != '\n' && static_cast<unsigned char>(c) < 0x80;
    }
    if (plain) { // the common case: copied whole
        out.append(value.data(), value.size());
        return;
    }
    std::string valid;
    AppendUtf8(valid, value, [](std::string& text, char c) { text += c; });
    const bool needsQuotes = valid.find_first_of(",\"\r\n") != std::string::npos ||
                             (!valid.empty() && (valid.front() == ' ' || valid.back() == ' '));
    if (!needsQuotes) {
        out += valid;
        return;
    }
    out += '"';
    for (const char c : valid) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

// CSV: a header of the flattened keys of the first record that is not an error, then the error
// keys; then one row per record. Records are held only until that first record shows the columns
// (a failed input may come first); from then on each row is written as it ends. A row whose keys
// are the header's, in order, is written as it stands; any other (an error, a record with other
// keys) is laid out by its keys, a key that appears twice taking the columns of that name in turn.
class TCsvWriter final : public TRecordWriter {
public:
    TCsvWriter(std::ostream& out, const std::vector<std::string>& errorKeys)
        : FOut(out), FErrorKeys(errorKeys) {
        FText.reserve(kFlushSize + 4096);
    }

    void BeginRecord() override {
        FCount = 0;
        FIsError = false;
    }
    void Real(std::string_view key, double value) override { AppendReal(NextCell(key), value); }
    void Integer(std::string_view key, std::int64_t value) override { AppendInteger(NextCell(key), value); }
    void Text(std::string_view key, std::string_view value) override { AppendCsvCell(NextCell(key), value); }
    void Texts(std::string_view key, const std::vector<std::string>& values) override {
        std::string joined;
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (i > 0) joined += ';';
            joined += values[i];
        }
        Text(key, joined);
    }
    void Integers(std::string_view key, const std::vector<std::int64_t>& values) override {
        std::string& cell = NextCell(key);
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (i > 0) cell += ';';
            AppendInteger(cell, values[i]);
        }
    }
    void Null(std::string_view key) override { NextCell(key); }
    void ErrorText(std::string_view key, std::string_view message) override {
        FIsError = true;
        Text(key, message);
    }
    void BeginObject(std::string_view) override {}
    void EndObject() override {}
    void EndRecord() override {
        if (FColumns.empty()) {
            if (FIsError) {
                FHeld.emplace_back(FCells.begin(), FCells.begin() + static_cast<std::ptrdiff_t>(FCount));
                return;
            }
            for (std::size_t i = 0; i < FCount; ++i)
                FColumns.push_back(FCells[i].first);
            WriteHeaderAndHeld();
        }
        WriteRow(FCells, FCount);
        if (FText.size() >= kFlushSize) Flush();
    }
    void AbortRecord() override { FCount = 0; }

    void Finish() override {
        if (FColumns.empty() && !FHeld.empty()) {
            // Only errors: the columns of the first, its error keys last.
            for (const auto& [key, cell] : FHeld.front())
                if (!IsErrorKey(key)) FColumns.push_back(key);
            WriteHeaderAndHeld();
        }
        Flush();
    }

private:
    using TCell = std::pair<std::string, std::string>; // key, cell as written

    bool IsErrorKey(const std::string& key) const {
        for (const auto& errorKey : FErrorKeys)
            if (key == errorKey) return true;
        return false;
    }
    // The next cell's text, empty; the cells' storage is kept from record to record.
    std::string& NextCell(std::string_view key) {
        if (FCount == FCells.size()) FCells.emplace_back();
        TCell& cell = FCells[FCount++];
        cell.first.assign(key.data(), key.size());
        cell.second.clear();
        return cell.second;
    }
    void WriteHeaderAndHeld() {
        FMainColumns = FColumns.size();
        for (const auto& key : FErrorKeys)
            FColumns.push_back(key);
        for (std::size_t i = 0; i < FColumns.size(); ++i) {
            if (i > 0) FText += ',';
            AppendCsvCell(FText, FColumns[i]);
        }
        FText += '\n';
        for (const auto& row : FHeld)
            WriteRow(row, row.size());
        FHeld.clear();
    }
    void WriteRow(const std::vector<TCell>& cells, std::size_t count) {
        bool asHeader = !FIsError && count == FMainColumns;
        for (std::size_t i = 0; i < count && asHeader; ++i)
            asHeader = cells[i].first == FColumns[i];
        if (asHeader) {
            for (std::size_t i = 0; i < count; ++i) {
                if (i > 0) FText += ',';
                FText += cells[i].second;
            }
            FText.append(FErrorKeys.size(), ',');
        } else {
            FUsed.assign(count, false);
            for (std::size_t i = 0; i < FColumns.size(); ++i) {
                if (i > 0) FText += ',';
                for (std::size_t j = 0; j < count; ++j)
                    if (!FUsed[j] && cells[j].first == FColumns[i]) {
                        FText += cells[j].second;
                        FUsed[j] = true;
                        break;
                    }
            }
        }
        FText += '\n';
    }
    void Flush() {
        if (!FText.empty()) WriteOut(FOut, FText);
        FText.clear();
    }

    std::ostream& FOut;
    const std::vector<std::string> FErrorKeys;
    std::vector<std::string> FColumns; // the header; empty until it is known
    std::size_t FMainColumns = 0;      // the columns before the error keys
    std::vector<TCell> FCells;         // the record under way: FCount cells in use
    std::size_t FCount = 0;
    bool FIsError = false;
    std::vector<std::vector<TCell>> FHeld; // errors before the header was known
    std::vector<bool> FUsed;
    std::string FText;
};

} // namespace

namespace {

// 128-bit integers (a GCC and Clang extension) hold a double's significand times 5^32 exactly.
__extension__ using TUint128 = unsigned __int128;

constexpr int kLargestPowerOfFive = 32;
constexpr auto kPowersOfFive = [] {
    std::array<TUint128, kLargestPowerOfFive + 1> powers{};
    TUint128 power = 1;
    for (auto& p : powers) {
        p = power;
        power *= 5;
    }
    return powers;
}();

// "00" "01" ... "99".
constexpr auto kDigitPairs = [] {
    std::array<char, 200> pairs{};
    for (int i = 0; i < 100; ++i) {
        pairs[static_cast<std::size_t>(2 * i)] = static_cast<char>('0' + i / 10);
        pairs[static_cast<std::size_t>(2 * i + 1)] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

constexpr std::uint64_t kSeventeenDigits = 100000000000000000ULL; // 1e17
constexpr std::uint64_t kSixteenDigits = 10000000000000000ULL;    // 1e16

// %.17g without the general conversion, exactly: a double is m * 2^e, so m * 2^e * 10^k is
// (m * 5^k) * 2^(e + k), an integer product shifted; the bits shifted out round it to the nearest,
// and an exact tie (rare) is left to std::to_chars, as are magnitudes outside 1e-16 to 1e17
// (returns 0 for those). The 17 digits are laid out as %.17g lays them out: fixed for decimal
// exponents -4 to 16, otherwise d.ddde+XX, trailing zeros dropped.
std::size_t FormatSeventeenDigits(char* out, double value) {
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    if (biased == 0 || biased == 0x7FF) return 0; // zero, subnormal, infinite, NaN
    const std::uint64_t significand = (bits & ((std::uint64_t(1) << 52) - 1)) | (std::uint64_t(1) << 52);
    const int binaryExponent = biased - 1023; // of the leading bit
    // The decimal exponent of the leading digit, or one less: log10(2) as 1233/4096, the shift
    // rounding down also below zero.
    int exponent = (binaryExponent * 1233) >> 12;
    std::uint64_t digits = 0;
    for (int attempt = 0;; ++attempt) {
        const int k = 16 - exponent; // digits = value * 10^k in [1e16, 1e17)
        if (k < 0 || k > kLargestPowerOfFive || attempt > 2) return 0;
        const TUint128 product = TUint128(significand) * kPowersOfFive[static_cast<std::size_t>(k)];
        const int shift = binaryExponent - 52 + k;
        TUint128 scaled = 0;
        if (shift >= 0) {
            if (shift > 64) return 0;
            scaled = product << shift;
        } else {
            const int right = -shift;
            if (right >= 127) return 0;
            scaled = product >> right;
            const TUint128 remainder = product & ((TUint128(1) << right) - 1);
            const TUint128 half = TUint128(1) << (right - 1);
            if (remainder == half) return 0; // an exact tie
            if (remainder > half) ++scaled;
        }
        if (scaled < kSixteenDigits) {
            --exponent;
            continue;
        }
        if (scaled > kSeventeenDigits) {
            ++exponent;
            continue;
        }
        if (scaled == kSeventeenDigits) { // rounded up to the next power of ten
            ++exponent;
            digits = kSixteenDigits;
        } else {
            digits = static_cast<std::uint64_t>(scaled);
        }
        break;
    }
    {
        // Two digits at a time, in 32-bit halves: the last 8 digits, then the first 9.
        char significand[17];
        auto low = static_cast<std::uint32_t>(digits % 100000000);
        auto high = static_cast<std::uint32_t>(digits / 100000000);
        for (int i = 16; i > 8; i -= 2) {
            std::memcpy(significand + i - 1, &kDigitPairs[2 * (low % 100)], 2);
            low /= 100;
        }
        for (int i = 8; i > 0; i -= 2) {
            std::memcpy(significand + i - 1, &kDigitPairs[2 * (high % 100)], 2);
            high /= 100;
        }
        significand[0] = static_cast<char>('0' + high);
        int used = 17; // without trailing zeros
        while (used > 1 && significand[used - 1] == '0')
            --used;

        char* p = out;
        if (value < 0) *p++ = '-';
        if (exponent >= -4 && exponent < 17) {
            if (exponent < 0) {
                *p++ = '0';
                *p++ = '.';
                for (int i = exponent + 1; i < 0; ++i)
                    *p++ = '0';
                std::memcpy(p, significand, static_cast<std::size_t>(used));
                p += used;
            } else {
                const int integerDigits = exponent + 1;
                std::memcpy(p, significand, static_cast<std::size_t>(integerDigits));
                p += integerDigits;
                if (used > integerDigits) {
                    *p++ = '.';
                    std::memcpy(p, significand + integerDigits,
                                static_cast<std::size_t>(used - integerDigits));
                    p += used - integerDigits;
                }
            }
        } else {
            *p++ = significand[0];
            if (used > 1) {
                *p++ = '.';
                std::memcpy(p, significand + 1, static_cast<std::size_t>(used - 1));
                p += used - 1;
            }
            *p++ = 'e';
            *p++ = exponent < 0 ? '-' : '+';
            const int e = std::abs(exponent);
            if (e >= 100) *p++ = static_cast<char>('0' + e / 100);
            *p++ = static_cast<char>('0' + e / 10 % 10);
            *p++ = static_cast<char>('0' + e % 10);
        }
        return static_cast<std::size_t>(p - out);
    }
}

} // namespace

std::size_t FormatReal(char* digits, double value) {
    // Whole numbers (most data set fields) print as %.17g prints them, without the cost of the
    // general conversion.
    if (std::fabs(value) < 1e15 && value == std::trunc(value)) {
        // A zero prints as 0, whatever its sign (a difference of equal values can be -0).
        return static_cast<std::size_t>(
            std::to_chars(digits, digits + kRealWidth, static_cast<long long>(value)).ptr - digits);
    }
    if (const std::size_t length = FormatSeventeenDigits(digits, value)) return length;
    return FormatRealByConversion(digits, value);
}

std::size_t FormatRealByConversion(char* digits, double value) {
    return static_cast<std::size_t>(
        std::to_chars(digits, digits + kRealWidth, value, std::chars_format::general, 17).ptr - digits);
}

void AppendReal(std::string& text, double value) {
    char digits[kRealWidth];
    text.append(digits, FormatReal(digits, value));
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

std::unique_ptr<TRecordWriter> MakeRecordWriter(TOutputFormat format, std::ostream& out,
                                                const std::vector<std::string>& errorKeys) {
    if (format == TOutputFormat::Csv) return std::make_unique<TCsvWriter>(out, errorKeys);
    return std::make_unique<TJsonWriter>(out);
}
