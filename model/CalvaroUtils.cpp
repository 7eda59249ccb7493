#include "CalvaroUtils.h"
#include "TextDecoding.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <limits>
#include <map>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

// A .clv file is the JSON form of one object: {"type":<unit.class>,"id":1,"fields":{<field>:<value>,...}}.
// Reading goes in two steps: a SAX pass collects the few things the format needs (the top-level
// keys and the pairs of "fields", each value with its own text), then the collected document is
// interpreted. Keeping the number's text is what lets a refusal quote the value as the file has it.

namespace {

constexpr std::string_view kUnitName = "CalvaroModel";
constexpr std::string_view kDatasetClass = "TWaterDataset";
constexpr std::string_view kResultClass = "TCalculationResult";

// ---------------------------------------------------------------------------------------------
// Number form

struct TDecimal {
    bool Negative = false;
    std::string Digits; // significant digits, no trailing zeros, first digit non-zero
    int Exponent = 0;   // value = 0.Digits times 10^Exponent
};

// The decimal digits of a finite, non-zero value in to_chars' scientific form with `precision`
// digits after the point. to_chars is used because it ignores the C locale, which the desktop
// program sets from the user's settings.
TDecimal ScientificDigits(double value, int precision) {
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::scientific, precision);
    const std::string_view text(buffer.data(), static_cast<std::size_t>(result.ptr - buffer.data()));
    // text is "[-]d.ddd...e[+-]XX"
    TDecimal decimal;
    std::size_t pos = 0;
    if (text[pos] == '-') {
        decimal.Negative = true;
        ++pos;
    }
    const std::size_t ePos = text.find('e');
    for (std::size_t i = pos; i < ePos; ++i)
        if (text[i] != '.') decimal.Digits += text[i];
    int exponent10 = 0;
    std::string_view exponentText = text.substr(ePos + 1);
    if (!exponentText.empty() && exponentText.front() == '+') exponentText.remove_prefix(1);
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent10);
    decimal.Exponent = exponent10 + 1;
    return decimal;
}

void DropTrailingZeros(TDecimal& decimal) {
    while (decimal.Digits.size() > 1 && decimal.Digits.back() == '0')
        decimal.Digits.pop_back();
}

// Whether the decimal, read back, is a finite double.
bool FitsADouble(const TDecimal& decimal) {
    const std::string text = "0." + decimal.Digits + "e" + std::to_string(decimal.Exponent);
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && std::isfinite(value);
}

// The 15-significant-digit decimal of a finite, non-zero value: the nearest one, except that the
// few values closest to the largest double (1.7976931348623157e308 rounds to 1.79769313486232e308,
// beyond it) are rounded toward zero instead, so that every value written can be read again.
TDecimal RoundTo15Digits(double value) {
    TDecimal decimal = ScientificDigits(value, 14);
    if (!FitsADouble(decimal)) {
        decimal = ScientificDigits(value, 20); // enough digits to cut, not round, at the 15th
        decimal.Digits.resize(15);
    }
    DropTrailingZeros(decimal);
    return decimal;
}

std::string FixedNotation(const TDecimal& d) {
    std::string text = d.Negative ? "-" : "";
    const int count = static_cast<int>(d.Digits.size());
    if (d.Exponent <= 0) {
        text += "0.";
        text.append(static_cast<std::size_t>(-d.Exponent), '0');
        text += d.Digits;
    } else if (d.Exponent >= count) {
        text += d.Digits;
        text.append(static_cast<std::size_t>(d.Exponent - count), '0');
    } else {
        text += d.Digits.substr(0, static_cast<std::size_t>(d.Exponent));
        text += '.';
        text += d.Digits.substr(static_cast<std::size_t>(d.Exponent));
    }
    return text;
}

std::string ScientificNotation(const TDecimal& d) {
    std::string text = d.Negative ? "-" : "";
    text += d.Digits.front();
    if (d.Digits.size() > 1) {
        text += '.';
        text += d.Digits.substr(1);
    }
    text += 'E';
    text += std::to_string(d.Exponent - 1);
    return text;
}

// ---------------------------------------------------------------------------------------------
// Writing

std::string JsonString(std::string_view text) {
    // The type name and the field names are plain identifiers; only the quote would need escaping.
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string QualifiedName(std::string_view className) {
    std::string name(kUnitName);
    name += '.';
    name += className;
    return name;
}

// ---------------------------------------------------------------------------------------------
// Reading: the collected document

enum class TValueKind { Integer, Unsigned, Float, String, Boolean, Null, Object, Array };

struct TJsonValue {
    TValueKind Kind = TValueKind::Null;
    std::string Text; // the number's own text, the string's content, or "true"/"false"
    std::int64_t Integer = 0;
    std::uint64_t Unsigned = 0;
};

struct TFieldPair {
    std::string Key;
    TJsonValue Value;
};

struct TDocument {
    bool TopIsObject = false;
    bool HasId = false;
    std::optional<TJsonValue> Type;
    std::optional<TJsonValue> Fields; // kind of the "fields" value; its pairs are below
    std::vector<TFieldPair> FieldPairs;
};

// Collects the document while nlohmann's parser checks the grammar. Nested values deeper than the
// pairs of "fields" are skipped; a repeated top-level key replaces the earlier one.
// The parser's own number type is long double, so that a literal beyond the range of a double
// (1e999) still reaches the collector with its text and is refused by the field's conversion,
// which quotes it, rather than by the parser.
using TJson =
    nlohmann::basic_json<std::map, std::vector, std::string, bool, std::int64_t, std::uint64_t, long double>;

class TDocumentCollector final : public nlohmann::json_sax<TJson> {
public:
    // The parser, made after the collector, reads the C locale's decimal point at the same moment.
    explicit TDocumentCollector(TDocument& document)
        : FDocument(document), FDecimalPoint(LocaleDecimalPoint()) {}

    bool null() override { return Value({TValueKind::Null, "null", 0, 0}); }
    bool boolean(bool val) override { return Value({TValueKind::Boolean, val ? "true" : "false", 0, 0}); }
    bool number_integer(number_integer_t val) override {
        return Value({TValueKind::Integer, std::to_string(val), val, 0});
    }
    bool number_unsigned(number_unsigned_t val) override {
        return Value({TValueKind::Unsigned, std::to_string(val), 0, val});
    }
    // nlohmann puts the C locale's decimal point into the number's text in place of the file's
    // "." (so that strtold reads it); the desktop program runs in the user's locale, where that
    // may be ",". The file's own text comes back here.
    bool number_float(number_float_t, const string_t& text) override {
        TJsonValue value{TValueKind::Float, text, 0, 0};
        if (FDecimalPoint != '.') std::replace(value.Text.begin(), value.Text.end(), FDecimalPoint, '.');
        return Value(std::move(value));
    }
    bool string(string_t& val) override { return Value({TValueKind::String, val, 0, 0}); }
    bool binary(binary_t&) override { return false; } // never produced by the JSON grammar
    bool start_object(std::size_t) override {
        Value({TValueKind::Object, {}, 0, 0});
        if (FDepth == 1 && FTopKey == "fields") FInFields = true;
        ++FDepth;
        return true;
    }
    bool key(string_t& val) override {
        if (FDepth == 1) FTopKey = val;
        if (FDepth == 2 && FInFields) FFieldKey = val;
        return true;
    }
    bool end_object() override { return Close(); }
    bool start_array(std::size_t) override {
        Value({TValueKind::Array, {}, 0, 0});
        ++FDepth;
        return true;
    }
    bool end_array() override { return Close(); }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
        return false;
    }

private:
    bool Value(TJsonValue value) {
        if (FDepth == 0) {
            FDocument.TopIsObject = value.Kind == TValueKind::Object;
        } else if (FDepth == 1) {
            if (FTopKey == "id") FDocument.HasId = true;
            if (FTopKey == "type") FDocument.Type = value;
            if (FTopKey == "fields") {
                FDocument.Fields = value;
                FDocument.FieldPairs.clear();
            }
        } else if (FDepth == 2 && FInFields) {
            FDocument.FieldPairs.push_back({FFieldKey, std::move(value)});
        }
        return true;
    }
    bool Close() {
        --FDepth;
        if (FDepth <= 1) FInFields = false;
        return true;
    }

    static char LocaleDecimalPoint() {
        const std::lconv* conventions = std::localeconv();
        return conventions->decimal_point == nullptr ? '.' : *conventions->decimal_point; // as nlohmann
    }

    TDocument& FDocument;
    char FDecimalPoint;
    int FDepth = 0;
    bool FInFields = false;
    std::string FTopKey;
    std::string FFieldKey;
};

bool StartsWithUtf8Bom(const std::string& text) {
    return text.rfind("\xEF\xBB\xBF", 0) == 0;
}

// False for anything but exactly one JSON value, whitespace around it allowed.
bool CollectDocument(const std::string& text, TDocument& document) {
    // nlohmann skips a leading UTF-8 byte-order mark and ends the input at a NUL byte; in decoded
    // text the one is a stray character and the other would hide whatever follows it.
    if (StartsWithUtf8Bom(text) || text.find('\0') != std::string::npos) return false;
    TDocumentCollector collector(document);
    try {
        return TJson::sax_parse(text, &collector);
    } catch (const TJson::exception&) {
        return false;
    }
}

// ---------------------------------------------------------------------------------------------
// Reading: number texts

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A decimal number with "." as the only separator: [+-] digits [. digits] [(e|E) [+-] digits],
// at least one digit before the exponent. No blanks, no group separators, no INF or NAN.
bool IsRealText(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i]))
        ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i]))
            ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        std::size_t exponentDigits = 0;
        while (i < text.size() && IsDigit(text[i]))
            ++i, ++exponentDigits;
        if (exponentDigits == 0) return false;
    }
    return i == text.size();
}

std::optional<double> ParseReal(std::string_view text) {
    if (!IsRealText(text)) return std::nullopt;
    if (text.front() == '+') text.remove_prefix(1);
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    // Out of the range of a double (1e999) is refused: the file could not hold it again.
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<std::int32_t> ParseInteger(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') return std::nullopt;
    }
    if (text.empty()) return std::nullopt;
    std::int32_t value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

// A text as a refusal quotes it: at most 40 characters (UTF-8 code points), then "…", so a
// value of a hundred million digits gives a message of one line, not of a hundred megabytes.
constexpr std::size_t kMaxQuotedCharacters = 40;

std::string Excerpt(std::string_view text) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool startsACharacter = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (!startsACharacter) continue;
        if (characters == kMaxQuotedCharacters) return std::string(text.substr(0, i)) + "\xE2\x80\xA6";
        ++characters;
    }
    return std::string(text);
}

std::string KindDescription(TValueKind kind, const std::string& text) {
    switch (kind) {
    case TValueKind::Boolean:
        return text;
    case TValueKind::Null:
        return "null";
    case TValueKind::Object:
        return "an object";
    case TValueKind::Array:
        return "an array";
    default:
        return "'" + Excerpt(text) + "'";
    }
}

[[noreturn]] void RefuseNonNumber(const std::string& key, const TJsonValue& value) {
    throw TDatasetFormatError("The value of field " + Excerpt(key) +
                              " must be a number, but the file holds " +
                              KindDescription(value.Kind, value.Text));
}

double RealFieldValue(const std::string& key, const TJsonValue& value) {
    switch (value.Kind) {
    case TValueKind::Integer:
        return static_cast<double>(value.Integer);
    case TValueKind::Unsigned:
        return static_cast<double>(value.Unsigned);
    case TValueKind::Float:
    case TValueKind::String:
        if (const auto real = ParseReal(value.Text)) return *real;
        throw TDatasetFormatError("'" + Excerpt(value.Text) + "' is not a valid floating point value");
    default:
        RefuseNonNumber(key, value);
    }
}

std::int32_t IntegerFieldValue(const std::string& key, const TJsonValue& value) {
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    switch (value.Kind) {
    case TValueKind::Integer:
        if (value.Integer >= kMin && value.Integer <= kMax) return static_cast<std::int32_t>(value.Integer);
        break;
    case TValueKind::Unsigned:
        if (value.Unsigned <= static_cast<std::uint64_t>(kMax))
            return static_cast<std::int32_t>(value.Unsigned);
        break;
    case TValueKind::Float:
    case TValueKind::String:
        if (const auto integer = ParseInteger(value.Text)) return *integer;
        break;
    default:
        RefuseNonNumber(key, value);
    }
    throw TDatasetFormatError("'" + Excerpt(value.Text) + "' is not a valid integer value");
}

// ---------------------------------------------------------------------------------------------
// Reading: the classes a file may name, and their fields

template <class T> struct TFieldSlot {
    std::string_view Name;
    bool IsInteger;
    void (*Set)(T&, double);
};

const std::vector<TFieldSlot<TWaterDataset>>& DatasetFieldSlots() {
    static const std::vector<TFieldSlot<TWaterDataset>> slots = [] {
        std::vector<TFieldSlot<TWaterDataset>> list;
        for (const auto& property : DatasetProperties())
            list.push_back(
                {property.FieldName, property.Kind == TDatasetProperty::TKind::Integer, property.Set});
        return list;
    }();
    return slots;
}

#define RESULT_REAL(Field)                                                                                   \
    TFieldSlot<TCalculationResult> {                                                                         \
#Field, false, [](TCalculationResult & r, double v) { r.Field = v; }                                 \
    }
#define RESULT_INT(Field)                                                                                    \
    TFieldSlot<TCalculationResult> {                                                                         \
#Field, true, [](TCalculationResult & r, double v) { r.Field = static_cast<int>(v); }                \
    }

const std::array<TFieldSlot<TCalculationResult>, 15>& ResultFieldSlots() {
    static const std::array<TFieldSlot<TCalculationResult>, 15> slots{{
        RESULT_REAL(ALKF),
        RESULT_REAL(ACIF),
        RESULT_REAL(CAF),
        RESULT_REAL(MGF),
        RESULT_REAL(NAF),
        RESULT_REAL(SO4F),
        RESULT_REAL(CLF),
        RESULT_REAL(PHF),
        RESULT_REAL(TF),
        RESULT_REAL(MHUF),
        RESULT_REAL(TDSF),
        RESULT_REAL(CONF),
        RESULT_REAL(CPPF),
        RESULT_INT(CARBSYSORDER),
        RESULT_INT(WATCHAR),
    }};
    return slots;
}

#undef RESULT_REAL
#undef RESULT_INT

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

template <class T, class Slots>
void ApplyFields(T& object, const Slots& slots, const TDocument& document, std::string_view className) {
    if (!document.Fields)
        throw TDatasetFormatError(
            "The data set file has no \"fields\" object with the values of the data set");
    if (document.Fields->Kind != TValueKind::Object)
        throw TDatasetFormatError("The \"fields\" value of the data set file must be an object, but is " +
                                  KindDescription(document.Fields->Kind, document.Fields->Text));
    // In file order, so a key given twice ends with its later value.
    for (const auto& pair : document.FieldPairs) {
        const TFieldSlot<T>* slot = nullptr;
        for (const auto& candidate : slots)
            if (EqualsIgnoringAsciiCase(candidate.Name, pair.Key)) {
                slot = &candidate;
                break;
            }
        if (!slot)
            throw TDatasetFormatError("Internal: Field " + Excerpt(pair.Key) + " cannot be found in type " +
                                      std::string(className));
        const double value = slot->IsInteger ? static_cast<double>(IntegerFieldValue(pair.Key, pair.Value))
                                             : RealFieldValue(pair.Key, pair.Value);
        slot->Set(object, value);
    }
}

// ---------------------------------------------------------------------------------------------
// Reading: the common path
//
// The files the program writes, and nearly every file a person edits by hand, are one object of
// plain keys with numbers in "fields". Such a text is read here in one pass over its characters,
// with no allocation and no copy of a key or a number. Whatever this reader is not sure of (an
// escape, a character outside ASCII, a nested value, a number given as a string, a key it does
// not know, a value the full reader would refuse, a repeated "type" or "fields") makes it give
// up, and the text is read again by the full reader above, which alone decides every refusal and
// its message. So a text this reader accepts is one that the full reader reads to the same values.

bool IsJsonBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

class TPlainDatasetReader {
public:
    explicit TPlainDatasetReader(std::string_view text) : FAt(text.data()), FEnd(text.data() + text.size()) {}

    // True when the text was a plain data set and `dataset` has its values; otherwise `dataset`
    // may hold some of them and the text is to be read by the full reader.
    bool Read(TWaterDataset& dataset) {
        bool hasId = false, hasType = false, hasFields = false;
        std::string_view type;
        if (!Take('{')) return false;
        if (!Take('}')) {
            do {
                std::string_view key;
                if (!PlainString(key) || !Take(':')) return false;
                if (key == "fields") {
                    if (hasFields || !Fields(dataset)) return false;
                    hasFields = true;
                } else if (key == "type") {
                    if (hasType || !PlainString(type)) return false;
                    hasType = true;
                } else {
                    std::string_view ignored;
                    bool integral = false;
                    if (!PlainString(ignored) && !Number(ignored, integral)) return false;
                    hasId = hasId || key == "id";
                }
            } while (Take(','));
            if (!Take('}')) return false;
        }
        SkipBlanks();
        return FAt == FEnd && hasId && hasFields && hasType && type == "CalvaroModel.TWaterDataset";
    }

private:
    void SkipBlanks() {
        while (FAt != FEnd && IsJsonBlank(*FAt))
            ++FAt;
    }

    bool Take(char c) {
        SkipBlanks();
        if (FAt == FEnd || *FAt != c) return false;
        ++FAt;
        return true;
    }

    // A string of printable ASCII characters without an escape; its content.
    bool PlainString(std::string_view& content) {
        if (!Take('"')) return false;
        const char* start = FAt;
        for (; FAt != FEnd; ++FAt) {
            const auto c = static_cast<unsigned char>(*FAt);
            if (c == '"') {
                content = std::string_view(start, static_cast<std::size_t>(FAt - start));
                ++FAt;
                return true;
            }
            if (c == '\\' || c < 0x20 || c >= 0x80) return false;
        }
        return false;
    }

    bool Digits() {
        if (FAt == FEnd || !IsDigit(*FAt)) return false;
        while (FAt != FEnd && IsDigit(*FAt))
            ++FAt;
        return true;
    }

    // A JSON number: its text, and whether it has neither fraction nor exponent.
    bool Number(std::string_view& text, bool& integral) {
        SkipBlanks();
        const char* start = FAt;
        if (FAt != FEnd && *FAt == '-') ++FAt;
        if (FAt != FEnd && *FAt == '0')
            ++FAt; // a leading zero stands alone; "07" ends the number after it, and the text is refused
        else if (!Digits())
            return false;
        integral = true;
        if (FAt != FEnd && *FAt == '.') {
            ++FAt;
            integral = false;
            if (!Digits()) return false;
        }
        if (FAt != FEnd && (*FAt == 'e' || *FAt == 'E')) {
            ++FAt;
            integral = false;
            if (FAt != FEnd && (*FAt == '+' || *FAt == '-')) ++FAt;
            if (!Digits()) return false;
        }
        text = std::string_view(start, static_cast<std::size_t>(FAt - start));
        return true;
    }

    // The field's value as the full reader takes it: a number without fraction or exponent is a
    // 64-bit integer (up to 18 digits always fit), converted to the real, or checked against the
    // 32-bit range of an integer field; any other number is a real, read by from_chars as
    // ParseReal does and refused when it is beyond the doubles.
    static bool FieldValue(const TFieldSlot<TWaterDataset>& slot, std::string_view text, bool integral,
                           double& value) {
        const char* end = text.data() + text.size();
        if (integral) {
            if (text.size() - (text.front() == '-' ? 1 : 0) > 18) return false;
            std::int64_t integer = 0;
            std::from_chars(text.data(), end, integer);
            if (slot.IsInteger && (integer < std::numeric_limits<std::int32_t>::min() ||
                                   integer > std::numeric_limits<std::int32_t>::max()))
                return false;
            value = static_cast<double>(integer);
            return true;
        }
        if (slot.IsInteger) return false;
        if (ShortDecimal(text, value)) return true;
        const auto result = std::from_chars(text.data(), end, value);
        return result.ec == std::errc() && result.ptr == end && std::isfinite(value);
    }

    // A decimal of at most 15 significant digits times a power of ten from -22 to 22 (what the
    // writer and the laboratories write): both are exact doubles, so one multiplication or
    // division rounds to the nearest double, the value from_chars gives. False for anything else.
    static bool ShortDecimal(std::string_view text, double& value) {
        static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                             1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                             1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
        std::size_t i = 0;
        const bool negative = text[i] == '-';
        if (negative) ++i;
        std::uint64_t mantissa = 0;
        int digits = 0, exponent = 0;
        bool fraction = false;
        for (; i < text.size(); ++i) {
            const char c = text[i];
            if (c == '.') {
                fraction = true;
                continue;
            }
            if (!IsDigit(c)) break;
            if (fraction) --exponent;
            if (mantissa == 0 && c == '0') continue; // a leading zero is no significant digit
            if (++digits > 15) return false;
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
        }
        if (i < text.size()) { // the exponent: the number's grammar is already checked
            ++i;
            const bool down = text[i] == '-';
            if (text[i] == '-' || text[i] == '+') ++i;
            if (text.size() - i > 3) return false;
            int power = 0;
            for (; i < text.size(); ++i)
                power = power * 10 + (text[i] - '0');
            exponent += down ? -power : power;
        }
        if (exponent < -22 || exponent > 22) return false;
        const double magnitude = exponent < 0 ? static_cast<double>(mantissa) / kPowers[-exponent]
                                              : static_cast<double>(mantissa) * kPowers[exponent];
        value = negative ? -magnitude : magnitude;
        return true;
    }

    // The pairs of "fields", applied in file order. The writer's order is tried first, so each
    // key of a written file is found with one comparison.
    bool Fields(TWaterDataset& dataset) {
        const auto& slots = DatasetFieldSlots();
        std::size_t expected = 0;
        if (!Take('{')) return false;
        if (Take('}')) return true;
        do {
            std::string_view key, text;
            bool integral = false;
            if (!PlainString(key) || !Take(':')) return false;
            const TFieldSlot<TWaterDataset>* slot = nullptr;
            if (expected < slots.size() &&
                (slots[expected].Name == key || EqualsIgnoringAsciiCase(slots[expected].Name, key))) {
                slot = &slots[expected];
            } else {
                for (const auto& candidate : slots)
                    if (EqualsIgnoringAsciiCase(candidate.Name, key)) {
                        slot = &candidate;
                        break;
                    }
                if (!slot) return false;
            }
            expected = static_cast<std::size_t>(slot - slots.data()) + 1;
            double value = 0;
            if (!Number(text, integral) || !FieldValue(*slot, text, integral, value)) return false;
            slot->Set(dataset, value);
        } while (Take(','));
        return Take('}');
    }

    const char* FAt;
    const char* FEnd;
};

// ---------------------------------------------------------------------------------------------
// Decoding the bytes of a file

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Broken sequences (a lone surrogate, an odd last byte) become U+FFFD, which no JSON value
// accepts outside a string, so a damaged file is refused instead of read short.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    constexpr char32_t kReplacement = 0xFFFD;
    std::string out;
    const std::size_t units = bytes.size() / 2;
    auto unitAt = [&](std::size_t i) {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        return static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    };
    for (std::size_t i = 0; i < units; ++i) {
        const char16_t unit = unitAt(i);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units) {
            const char16_t low = unitAt(i + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        AppendUtf8(out, unit >= 0xD800 && unit <= 0xDFFF ? kReplacement : unit);
    }
    if (bytes.size() % 2 != 0) AppendUtf8(out, kReplacement);
    return out;
}

// Without a byte-order mark the bytes are 8-bit text; Latin-1 maps each byte to its own code point.
std::string Latin1ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes)
        AppendUtf8(out, static_cast<unsigned char>(c));
    return out;
}

std::string DecodeFileText(std::string_view view) {
    if (view.substr(0, 3) == "\xEF\xBB\xBF") return std::string(view.substr(3));
    if (view.substr(0, 2) == "\xFF\xFE") return Utf16ToUtf8(view.substr(2), false);
    if (view.substr(0, 2) == "\xFE\xFF") return Utf16ToUtf8(view.substr(2), true);
    return Latin1ToUtf8(view);
}

// ---------------------------------------------------------------------------------------------
// The file system

[[noreturn]] void ThrowFileError(const std::string& action, const std::string& path, int error) {
    throw TFileError(action + " \"" + path + "\": " + std::strerror(error));
}

// What a path names when it is no regular file, as an operator would call it.
std::string FileKindName(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a named pipe (FIFO)";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISSOCK(mode)) return "a socket";
    return "no regular file";
}

[[noreturn]] void RefuseNonRegularFile(const std::string& action, const std::string& path, mode_t mode) {
    throw TFileError(action + " \"" + path + "\": it is " + FileKindName(mode) + ", not a data set file");
}

[[noreturn]] void RefuseOversizedFile(const std::string& path, std::uintmax_t size) {
    throw TFileError("Cannot open file \"" + path + "\": it is " + std::to_string(size) +
                     " bytes long, and a data set file is at most 1 MiB (" +
                     std::to_string(kMaxDatasetFileBytes) + " bytes)");
}

class TFileDescriptor {
public:
    explicit TFileDescriptor(int fd = -1) : FFd(fd) {}
    ~TFileDescriptor() {
        if (FFd >= 0) ::close(FFd);
    }
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;
    int Get() const { return FFd; }
    int Release() { return std::exchange(FFd, -1); }
    void Reset(int fd) {
        if (FFd >= 0) ::close(FFd);
        FFd = fd;
    }

private:
    int FFd;
};

// A data set file is a few hundred bytes; anything that is not a regular file of at most 1 MiB is
// refused before a byte of it is read (a device such as /dev/zero never ends, a FIFO blocks until
// a writer comes). The kind and size are checked on what was opened, so that a name replaced
// between a look and the opening cannot slip through. O_NONBLOCK: opening a FIFO does not wait
// for a writer. A path that cannot be opened is looked at before the refusal, so that a socket
// (which no open reaches) or a file too large to read is named as what it is.
//
// The bytes go into `buffer`, which a caller keeps from file to file, so that reading a batch of
// files allocates once; the view returned points into it.
std::string_view ReadWholeFile(const std::string& path, std::vector<char>& buffer) {
    struct stat info {};
    TFileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (file.Get() < 0) {
        const int error = errno;
        if (::stat(path.c_str(), &info) == 0) {
            if (!S_ISREG(info.st_mode)) RefuseNonRegularFile("Cannot open file", path, info.st_mode);
            if (static_cast<std::uintmax_t>(info.st_size) > kMaxDatasetFileBytes)
                RefuseOversizedFile(path, static_cast<std::uintmax_t>(info.st_size));
        }
        ThrowFileError("Cannot open file", path, error);
    }
    if (::fstat(file.Get(), &info) != 0) ThrowFileError("Cannot read file", path, errno);
    if (!S_ISREG(info.st_mode)) RefuseNonRegularFile("Cannot open file", path, info.st_mode);
    if (static_cast<std::uintmax_t>(info.st_size) > kMaxDatasetFileBytes)
        RefuseOversizedFile(path, static_cast<std::uintmax_t>(info.st_size));

    // One byte beyond the limit tells a file that grew while it was read. A file that gave all
    // the bytes its size promised is read to its end; one that gave none (the files of /proc
    // say 0 bytes and hold more) or fewer is read until the system says there is no more.
    const auto size = static_cast<std::size_t>(info.st_size);
    std::size_t capacity = size + 1;
    std::size_t used = 0;
    for (;;) {
        if (used == capacity) {
            if (capacity > kMaxDatasetFileBytes) RefuseOversizedFile(path, used);
            capacity = std::min<std::size_t>(2 * capacity + 4096, kMaxDatasetFileBytes + 1);
        }
        if (buffer.size() < capacity) buffer.resize(capacity);
        const ssize_t count = ::read(file.Get(), buffer.data() + used, capacity - used);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) ThrowFileError("Cannot read file", path, errno);
        if (count == 0) break;
        used += static_cast<std::size_t>(count);
        if (used == size) break;
    }
    return {buffer.data(), used};
}

// 0 or the errno of the first failing write.
int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t count = ::write(fd, bytes.data(), bytes.size());
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return errno;
        bytes.remove_prefix(static_cast<std::size_t>(count));
    }
    return 0;
}

// The file a path names once symbolic links are followed (each relative to its own folder). A
// dangling link gives the file it names, which saving then creates; the links stay as they are.
std::string FollowLinks(const std::string& path) {
    namespace fs = std::filesystem;
    std::string current = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
        std::string target(static_cast<std::size_t>(std::max<off_t>(info.st_size, 0)) + 256, '\0');
        const ssize_t length = ::readlink(current.c_str(), target.data(), target.size());
        if (length < 0) return current;
        target.resize(static_cast<std::size_t>(length));
        if (target.empty()) return current;
        current = target.front() == '/' ? target : (fs::path(current).parent_path() / target).string();
    }
    ThrowFileError("Cannot create file", path, ELOOP);
}

// The temporaries that saving makes when the file system has no unnamed ones, or for the moment
// between linking the new content in and renaming it over the old file:
// ".calvaro-save-<host>-<process>-<n>.tmp", so that they are plainly the program's and a later
// save can tell those of a process that died from those of one still saving.
std::string HostName() {
    std::array<char, 256> name{};
    if (::gethostname(name.data(), name.size() - 1) != 0) return "host";
    std::string host(name.data());
    for (char& c : host)
        if (c == '/' || c == '-') c = '_';
    return host.empty() ? "host" : host;
}

std::string TemporaryPrefix() {
    return kTemporaryFilePrefix + HostName() + "-";
}

std::string TemporaryName(int attempt) {
    return TemporaryPrefix() + std::to_string(::getpid()) + "-" + std::to_string(attempt) + ".tmp";
}

// Removes the temporaries that a process of this host left in the folder when it was killed
// during a save; those of a process that still runs are left alone.
void RemoveStaleTemporaries(int folder, const std::string& folderPath) {
    namespace fs = std::filesystem;
    const std::string prefix = TemporaryPrefix();
    std::error_code error;
    for (fs::directory_iterator it(folderPath, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(prefix, 0) != 0 || name.size() < 4 || name.substr(name.size() - 4) != ".tmp") continue;
        const std::string_view rest = std::string_view(name).substr(prefix.size());
        long pid = 0;
        const auto parsed = std::from_chars(rest.data(), rest.data() + rest.size(), pid);
        if (parsed.ec != std::errc() || parsed.ptr == rest.data() || *parsed.ptr != '-' || pid <= 0) continue;
        if (pid == ::getpid() || ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
        ::unlinkat(folder, name.c_str(), 0);
    }
}

// A named temporary in the folder that is removed again unless Keep is called.
class TNamedTemporary {
public:
    explicit TNamedTemporary(int folder) : FFolder(folder) {}
    ~TNamedTemporary() {
        if (!FName.empty()) ::unlinkat(FFolder, FName.c_str(), 0);
    }
    TNamedTemporary(const TNamedTemporary&) = delete;
    TNamedTemporary& operator=(const TNamedTemporary&) = delete;
    void Set(std::string name) { FName = std::move(name); }
    const std::string& Name() const { return FName; }
    void Keep() { FName.clear(); }

private:
    int FFolder;
    std::string FName;
};

// The new content goes into a file the folder does not show: an unnamed temporary (O_TMPFILE)
// where the file system has them. -1 when it has none.
int OpenUnnamedTemporary(int folder) {
#ifdef O_TMPFILE
    return ::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
#else
    (void)folder;
    return -1;
#endif
}

// Gives the unnamed temporary `fd` the name `name` in the folder; false (errno set) when it
// cannot be linked. Through /proc no privilege is needed; AT_EMPTY_PATH is the way without /proc.
bool LinkUnnamedTemporary(int fd, int folder, const std::string& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, self.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
    if (errno == EEXIST) return false;
    return ::linkat(fd, "", folder, name.c_str(), AT_EMPTY_PATH) == 0;
}

// The old file's owner, group and permissions on the new content. The owner first, since a change
// of owner clears the set-user-ID and set-group-ID bits. An owner the process may not give (it is
// not root and not the owner) is left as the process's own; the group is then still tried.
void KeepOwnerAndPermissions(int fd, const struct stat& old) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 && ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
        // neither could be kept; the permissions below still are
    }
    if (::fchmod(fd, old.st_mode & 07777) != 0) {
        // the mode of a new file (0666 less the umask) stays
    }
}

// Replaces the whole content of `target` (no link) in `folder` with `bytes`: written to a
// temporary file, synced, renamed over the old file, then the folder synced, so that a crash or
// a power cut at any moment leaves the old or the new content, never neither, and a failure
// part-way (disk full, file too large) leaves the old file as it was.
void ReplaceThroughTemporary(const std::string& path, const std::string& target, std::string_view bytes,
                             TTemporaryFile kind) {
    namespace fs = std::filesystem;
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) ThrowFileError("Cannot create file", path, EISDIR);
    // Renaming over a FIFO or a device would replace the special file itself.
    if (exists && !S_ISREG(old.st_mode)) RefuseNonRegularFile("Cannot create file", path, old.st_mode);
    // Renaming would replace a write-protected file that writing into it would not.
    if (exists && ::access(target.c_str(), W_OK) != 0) ThrowFileError("Cannot create file", path, errno);

    fs::path targetPath(target);
    const std::string name = targetPath.filename().string();
    std::string folderPath = targetPath.parent_path().string();
    if (folderPath.empty()) folderPath = ".";
    TFileDescriptor folder(::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    bool folderCanSync = folder.Get() >= 0;
    if (!folderCanSync && errno == EACCES) // a folder one may write into but not list
        folder.Reset(::open(folderPath.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() < 0) ThrowFileError("Cannot create file", path, errno);

    // Either way a killed process may have left a named temporary here (with an unnamed one only
    // in the moment between its link and the rename); it goes now.
    RemoveStaleTemporaries(folder.Get(), folderPath);
    TNamedTemporary named(folder.Get());
    TFileDescriptor file(kind == TTemporaryFile::UnnamedWhereSupported ? OpenUnnamedTemporary(folder.Get())
                                                                       : -1);
    const bool unnamed = file.Get() >= 0;
    if (!unnamed) {
        for (int attempt = 0; file.Get() < 0; ++attempt) {
            const std::string candidate = TemporaryName(attempt);
            file.Reset(
                ::openat(folder.Get(), candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
            if (file.Get() >= 0)
                named.Set(candidate);
            else if (errno != EEXIST || attempt >= 1000)
                ThrowFileError("Cannot create file", path, errno);
        }
    }

    if (exists) KeepOwnerAndPermissions(file.Get(), old);
    if (const int error = WriteAll(file.Get(), bytes)) ThrowFileError("Cannot write file", path, error);
    if (::fsync(file.Get()) != 0) ThrowFileError("Cannot write file", path, errno);

    if (unnamed) {
        // A new file is linked in under its own name at once. Over an old file there is no call
        // that links and replaces in one step, so the content gets a temporary name first.
        bool linked = !exists && LinkUnnamedTemporary(file.Get(), folder.Get(), name);
        for (int attempt = 0; !linked; ++attempt) {
            const std::string candidate = TemporaryName(attempt);
            if (LinkUnnamedTemporary(file.Get(), folder.Get(), candidate)) {
                named.Set(candidate);
                break;
            }
            if (errno != EEXIST || attempt >= 1000) {
                // A file system that makes unnamed temporaries but cannot link them: the named way.
                if (errno != EEXIST && kind == TTemporaryFile::UnnamedWhereSupported) {
                    ReplaceThroughTemporary(path, target, bytes, TTemporaryFile::Named);
                    return;
                }
                ThrowFileError("Cannot create file", path, errno);
            }
        }
    }
    if (::close(file.Release()) != 0) ThrowFileError("Cannot write file", path, errno);
    if (!named.Name().empty()) {
        if (::renameat(folder.Get(), named.Name().c_str(), folder.Get(), name.c_str()) != 0)
            ThrowFileError("Cannot create file", path, errno);
        named.Keep();
    }
    // The rename is in the folder's entries; until they are on disk a power cut may undo it.
    if (folderCanSync && ::fsync(folder.Get()) != 0 && errno != EINVAL)
        ThrowFileError("Cannot write file", path, errno);
}

} // namespace

std::string FormatFileNumber(double value) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0) return "0";
    const TDecimal decimal = RoundTo15Digits(value);
    if (decimal.Exponent >= -3 && decimal.Exponent <= 15) return FixedNotation(decimal);
    return ScientificNotation(decimal);
}

std::string DatasetToJson(const TWaterDataset& dataset) {
    std::string text = "{\"type\":" + JsonString(QualifiedName(kDatasetClass)) + ",\"id\":1,\"fields\":{";
    bool first = true;
    for (const auto& property : DatasetProperties()) {
        const double value = property.Get(dataset);
        if (!first) text += ',';
        first = false;
        text += JsonString(property.FieldName);
        text += ':';
        if (property.Kind == TDatasetProperty::TKind::Integer) {
            text += std::to_string(static_cast<int>(value));
            continue;
        }
        if (!std::isfinite(value))
            throw TDatasetFormatError("The data set cannot be written: " + std::string(property.Name) + " (" +
                                      std::string(property.FieldName) + ") holds " + FormatFileNumber(value) +
                                      ", and a data set file holds only finite numbers");
        text += FormatFileNumber(value);
    }
    text += "}}";
    return text;
}

namespace {

// The full reader: any JSON text, every refusal with its message.
std::unique_ptr<TWaterDataset> ReadDatasetDocument(const std::string& text) {
    TDocument document;
    if (!CollectDocument(text, document) || !document.TopIsObject)
        throw TDatasetFormatError("The input value is not a valid Object");
    if (!document.HasId) throw TDatasetFormatError("The data set file has no \"id\" key");
    if (!document.Type)
        throw TDatasetFormatError("The data set file names no class: the \"type\" key is missing");
    if (document.Type->Kind != TValueKind::String)
        throw TDatasetFormatError("The \"type\" value of the data set file must be a class name such as \"" +
                                  QualifiedName(kDatasetClass) + "\", but is " +
                                  KindDescription(document.Type->Kind, document.Type->Text));

    const std::string& type = document.Type->Text;
    if (type == QualifiedName(kDatasetClass)) {
        auto dataset = std::make_unique<TWaterDataset>();
        ApplyFields(*dataset, DatasetFieldSlots(), document, kDatasetClass);
        return dataset;
    }
    if (type == QualifiedName(kResultClass)) {
        // A calculation result is a class of the program, but it is not a data set.
        TCalculationResult result;
        ApplyFields(result, ResultFieldSlots(), document, kResultClass);
        throw TDatasetFormatError("Invalid class typecast");
    }
    throw TDatasetFormatError("Internal: Cannot instantiate type " + Excerpt(type));
}

} // namespace

std::unique_ptr<TWaterDataset> DatasetFromJson(const std::string& text) {
    auto plain = std::make_unique<TWaterDataset>();
    if (TPlainDatasetReader(text).Read(*plain)) return plain;
    return ReadDatasetDocument(text);
}

void ReplaceFileContent(const std::string& path, std::string_view bytes, TTemporaryFile temporary) {
    if (path.empty()) ThrowFileError("Cannot create file", path, ENOENT);
    // A link is followed, so the file it names gets the new content and the link stays.
    ReplaceThroughTemporary(path, FollowLinks(path), bytes, temporary);
}

void SaveDatasetToFile(const TWaterDataset& dataset, const std::string& path) {
    const std::string text = DatasetToJson(dataset); // refuses before anything touches the disk
    ReplaceFileContent(path, text);
}

std::unique_ptr<TWaterDataset> LoadDatasetFromFile(const std::string& path) {
    // Kept by each thread from file to file: a batch of files is read into one allocation. It
    // grows to the largest file read, at most kMaxDatasetFileBytes and a little.
    thread_local std::vector<char> buffer;
    return DatasetFromFileBytes(ReadWholeFile(path, buffer));
}

std::string_view ReadDatasetFileBytes(const std::string& path, std::vector<char>& buffer) {
    return ReadWholeFile(path, buffer);
}

std::unique_ptr<TWaterDataset> DatasetFromFileBytes(std::string_view bytes) {
    // A file in ASCII, with or without a UTF-8 byte-order mark, is its own text: the plain reader
    // takes it where it lies. 8-bit and UTF-16 text is decoded first.
    const bool utf16 = bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF";
    if (!utf16) {
        const std::string_view text = bytes.substr(0, 3) == "\xEF\xBB\xBF" ? bytes.substr(3) : bytes;
        if (text.empty()) return nullptr;
        auto dataset = std::make_unique<TWaterDataset>();
        if (TPlainDatasetReader(text).Read(*dataset)) return dataset;
    }
    const std::string text = DecodeFileText(bytes);
    if (text.empty()) return nullptr;
    return utf16 ? DatasetFromJson(text) : ReadDatasetDocument(text);
}

std::unique_ptr<TWaterDataset> CloneDataset(const TWaterDataset& dataset) {
    return DatasetFromJson(DatasetToJson(dataset));
}

std::string DecodeTextFileBytes(const std::string& bytes) {
    return DecodeFileText(bytes);
}

std::string Latin1TextToUtf8(std::string_view bytes) {
    return Latin1ToUtf8(bytes);
}

std::optional<double> ParseRealText(std::string_view text) {
    return ParseReal(text);
}

std::string RefusalExcerpt(std::string_view text) {
    return Excerpt(text);
}
