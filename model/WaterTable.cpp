#include "WaterTable.h"

#include "CalvaroUtils.h"
#include "TextDecoding.h"
#include "Validation.h"

#include <csv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <exception>
#include <fstream>
#include <istream>
#include <iterator>
#include <new>
#include <system_error>

// How a row becomes a water. libcsv splits the bytes into cells and rows; its callbacks only copy
// the cells into a buffer of raw rows (one chunk of input at a time), and Next turns one raw row
// into a TWaterTableRow outside the parser, so that nothing of ours unwinds through C code and a
// caller's callback may throw. Reading a cell goes in three passes over the columns in header
// order: each cell by itself (number, date, selector, required value), then the choice of the
// two measures, then the input ranges of what the choice makes count. The first fault refuses
// the row.

namespace {

constexpr std::size_t kChunkSize = 64 * 1024;

// ---------------------------------------------------------------------------------------------
// The names of the data set's fields in a header

// The names a column may carry for each field: the key of a .clv file, the caption or selector
// text of the data set window, and the property name where it differs from both.
struct TFieldNames {
    std::string_view Field;
    std::string_view Caption;
    std::string_view Property;
};

constexpr std::array<TFieldNames, 18> kFieldNames{{
    {"FCreateDate", "Date", "CreateDate"},
    {"FRAC", "Fraction of water", "Fraction"},
    {"IPH", "pH", ""},
    {"IT", "Temperature", ""},
    {"INA", "Total sodium", "Sodium"},
    {"IMG", "Total magnesium", "Magnesium"},
    {"ICA", "Total calcium", "Calcium"},
    {"ISO4", "Total sulphate", "Sulphate"},
    {"ICL", "Total chloride", "Chloride"},
    {"WATCHAR", "Water characterisation", "WaterCharacterIndex"},
    {"ITDS", "TDS", ""},
    {"ICONDU", "Conductivity", ""},
    {"IMHU", "Ionic strength", "IonicStrength"},
    {"CARBSYSORDER", "Carbonate system characterisation", "CarbonCharacterIndex"},
    {"IALK", "Total alkalinity", "Alkalinity"},
    {"IHACI", "HC03 acidity", "Acidity"},
    {"ITOTC", "Total carbonate species", "CarbonateSpecies"},
    {"IPCO2", "Partial pressures C02", "PressureCO2"},
}};

constexpr std::size_t kFieldCount = kFieldNames.size();

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The form in which names are compared: ASCII letters in lower case, the digit zero read as the
// letter O (the window's captions write "HC03" and "C02", a lab types "HCO3" and "CO2"), blanks
// around removed and runs of blanks inside made one space.
void AppendFolded(std::string_view text, std::string& out) {
    bool blank = false;
    for (const char c : Trim(text)) {
        if (IsBlank(c)) {
            blank = true;
            continue;
        }
        if (blank) out += ' ';
        blank = false;
        char folded = c;
        if (folded >= 'A' && folded <= 'Z') folded = static_cast<char>(folded - 'A' + 'a');
        if (folded == '0') folded = 'o';
        out += folded;
    }
}

std::string Folded(std::string_view text) {
    std::string out;
    AppendFolded(text, out);
    return out;
}

enum class TColumnKind { Ignored, Carried, Real, Date, WaterSelector, CarbonSelector };

// Everything about the fields that does not depend on a table, built once.
struct TSchema {
    std::array<std::vector<std::string>, kFieldCount> Names; // folded
    std::array<TColumnKind, kFieldCount> Kind{};
    std::array<bool, kFieldCount> Required{};
    std::array<const DatasetAttribute*, kFieldCount> Attribute{};
    std::array<std::size_t, 3> WaterMeasures{};  // at the positions of WATCHAR
    std::array<std::size_t, 4> CarbonMeasures{}; // at the positions of CARBSYSORDER
    std::size_t WaterSelector = 0;
    std::size_t CarbonSelector = 0;
    // Checked[w][c][p]: the editor's validation checks property p when the selectors stand at w, c.
    std::array<std::array<std::array<bool, kFieldCount>, 4>, 3> Checked{};
};

std::size_t IndexOfField(std::string_view field) {
    const auto& properties = DatasetProperties();
    for (std::size_t i = 0; i < properties.size(); ++i)
        if (properties[i].FieldName == field) return i;
    throw std::logic_error("No data set field " + std::string(field));
}

std::size_t IndexOfProperty(std::string_view name) {
    const auto& properties = DatasetProperties();
    for (std::size_t i = 0; i < properties.size(); ++i)
        if (properties[i].Name == name) return i;
    throw std::logic_error("No data set property " + std::string(name));
}

TSchema BuildSchema() {
    TSchema schema;
    const TWaterDataset probe;
    for (const auto& names : kFieldNames) {
        const std::size_t i = IndexOfField(names.Field);
        // The messages take the captions from kFieldNames by property position.
        if (i != static_cast<std::size_t>(&names - kFieldNames.data()))
            throw std::logic_error("The names of field " + std::string(names.Field) + " are out of order");
        const TDatasetProperty& property = DatasetProperties()[i];
        for (const auto name : {names.Field, names.Caption, names.Property})
            if (!name.empty()) schema.Names[i].push_back(Folded(name));
        schema.Kind[i] =
            property.Kind == TDatasetProperty::TKind::Date ? TColumnKind::Date : TColumnKind::Real;
        schema.Attribute[i] = FindDatasetAttribute(property.Name, probe);
    }
    schema.WaterSelector = IndexOfField("WATCHAR");
    schema.CarbonSelector = IndexOfField("CARBSYSORDER");
    schema.Kind[schema.WaterSelector] = TColumnKind::WaterSelector;
    schema.Kind[schema.CarbonSelector] = TColumnKind::CarbonSelector;
    schema.WaterMeasures = {IndexOfField("ITDS"), IndexOfField("ICONDU"), IndexOfField("IMHU")};
    schema.CarbonMeasures = {IndexOfField("IALK"), IndexOfField("IHACI"), IndexOfField("ITOTC"),
                             IndexOfField("IPCO2")};
    for (const auto field : {"IPH", "IT", "INA", "IMG", "ICA", "ISO4", "ICL"})
        schema.Required[IndexOfField(field)] = true;
    for (int w = 0; w < 3; ++w)
        for (int c = 0; c < 4; ++c)
            for (const auto name : CheckedDatasetProperties(w, c))
                schema.Checked[static_cast<std::size_t>(w)][static_cast<std::size_t>(c)]
                              [IndexOfProperty(name)] = true;
    return schema;
}

const TSchema& Schema() {
    static const TSchema schema = BuildSchema();
    return schema;
}

// The field a folded header text names, or kFieldCount.
std::size_t FieldOfName(std::string_view folded) {
    const TSchema& schema = Schema();
    for (std::size_t i = 0; i < kFieldCount; ++i)
        for (const auto& name : schema.Names[i])
            if (name == folded) return i;
    return kFieldCount;
}

std::string DisplayName(std::size_t field) {
    return std::string(kFieldNames[field].Caption) + " (" + std::string(kFieldNames[field].Field) + ")";
}

// ---------------------------------------------------------------------------------------------
// Cells

// A decimal number as the data set files write it (ParseRealText), where the table allows it with
// a decimal comma in place of the point.
bool ParseNumber(std::string_view text, bool decimalComma, double& value) {
    std::array<char, 64> buffer;
    if (decimalComma) {
        const std::size_t comma = text.find(',');
        if (comma != std::string_view::npos) {
            if (text.size() > buffer.size()) return false;
            std::memcpy(buffer.data(), text.data(), text.size());
            buffer[comma] = '.';
            text = std::string_view(buffer.data(), text.size());
        }
    }
    const std::optional<double> real = ParseRealText(text);
    if (!real) return false;
    value = *real;
    return true;
}

bool ParseDigits(std::string_view text, int& value) {
    if (text.empty()) return false;
    value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

// YYYY-MM-DD, optionally followed by "T" or a space and HH:MM or HH:MM:SS, as the day count of the
// data set (days since 30 December 1899, the time of day as the fraction).
bool ParseIsoDate(std::string_view text, double& dayCount) {
    int year = 0, month = 0, day = 0;
    if (text.size() < 10 || text[4] != '-' || text[7] != '-' || !ParseDigits(text.substr(0, 4), year) ||
        !ParseDigits(text.substr(5, 2), month) || !ParseDigits(text.substr(8, 2), day))
        return false;
    const std::chrono::year_month_day date{std::chrono::year{year},
                                           std::chrono::month{static_cast<unsigned>(month)},
                                           std::chrono::day{static_cast<unsigned>(day)}};
    if (!date.ok()) return false;
    constexpr int kDaysFrom1899To1970 = 25569;
    dayCount =
        static_cast<double>(std::chrono::sys_days{date}.time_since_epoch().count() + kDaysFrom1899To1970);
    std::string_view time = text.substr(10);
    if (time.empty()) return true;
    if (time.front() != 'T' && time.front() != ' ') return false;
    time.remove_prefix(1);
    int hours = 0, minutes = 0, seconds = 0;
    if (time.size() != 5 && time.size() != 8) return false;
    if (time[2] != ':' || !ParseDigits(time.substr(0, 2), hours) || !ParseDigits(time.substr(3, 2), minutes))
        return false;
    if (time.size() == 8 && (time[5] != ':' || !ParseDigits(time.substr(6, 2), seconds))) return false;
    if (hours > 23 || minutes > 59 || seconds > 59) return false;
    dayCount += (hours * 3600 + minutes * 60 + seconds) / 86400.0;
    return true;
}

bool IsAscii(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// Well-formed UTF-8: no stray continuation bytes, no overlong forms, no surrogates, nothing
// beyond U+10FFFF.
bool IsUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            return false;
        }
        if (i + length > text.size()) return false;
        const auto second = static_cast<unsigned char>(text[i + 1]);
        if (second < low || second > high) return false;
        for (std::size_t k = 2; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if (next < 0x80 || next > 0xBF) return false;
        }
        i += length;
    }
    return true;
}

std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    quoted += RefusalExcerpt(text);
    quoted += '"';
    return quoted;
}

std::string JoinQuoted(const std::vector<std::string>& names, std::string_view last) {
    std::string joined;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) joined += i + 1 == names.size() ? last : std::string_view(", ");
        joined += Quoted(names[i]);
    }
    return joined;
}

std::string Joined(const std::vector<std::string>& texts) {
    std::string joined;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (i > 0) joined += ", ";
        joined += texts[i];
    }
    return joined;
}

// The separator of the table: of comma, semicolon and tab, the one the header line holds most
// often outside quotes (on a tie tab, then semicolon); comma when it holds none.
char DetectSeparator(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == '\r' || text[i] == '\n'))
        ++i;
    int commas = 0, semicolons = 0, tabs = 0;
    bool quoted = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '\r' || c == '\n') break;
        commas += c == ',';
        semicolons += c == ';';
        tabs += c == '\t';
    }
    if (tabs > 0 && tabs >= semicolons && tabs >= commas) return '\t';
    if (semicolons > 0 && semicolons >= commas) return ';';
    return ',';
}

// Blanks around an unquoted cell are not part of it; a tab may be the separator, so only spaces.
int IsCellSpace(unsigned char c) {
    return c == ' ';
}

enum class TFault { None, Quote, UnclosedQuote };

struct TFieldRef {
    std::size_t Offset;
    std::size_t Length;
};

struct TRawRow {
    std::size_t FirstField;
    std::size_t FieldCount;
    std::int64_t Line;
    TFault Fault;
};

struct TColumn {
    TColumnKind Kind = TColumnKind::Ignored;
    std::size_t Field = kFieldCount; // the data set field, for the kinds that fill one
    std::size_t Carried = 0;         // position among the carried columns
};

} // namespace

// ---------------------------------------------------------------------------------------------

struct TWaterTableReader::TImpl {
    // The input: a stream, or bytes in memory (the caller's, or the decoded text of a UTF-16 file).
    std::istream* In = nullptr;
    std::string_view Memory;
    std::size_t MemoryPos = 0;
    std::string Decoded;
    std::string Buffer;
    bool EndOfInput = false;
    bool Finished = false;
    bool Utf8 = false; // the table said it is UTF-8 (byte-order mark); otherwise each cell is judged

    csv_parser Parser{};
    bool ParserReady = false;
    char Separator = ',';
    bool DecimalComma = false;

    // The raw rows of the chunks read so far and not yet taken; the row being parsed begins at
    // RowFirstField.
    std::string Text;
    std::vector<TFieldRef> Fields;
    std::vector<TRawRow> Rows;
    std::size_t NextRow = 0;
    std::size_t RowFirstField = 0;
    std::exception_ptr CallbackError;

    // Lines: the line the parser has reached and the one the current row began on. A CR LF pair
    // is one line end; libcsv reports the LF as a row of its own, which is not a row.
    std::int64_t LineNo = 1;
    std::int64_t RowStartLine = 1;
    bool LastWasCR = false;
    bool SkipToLineEnd = false; // after a quote out of place, the rest of its line is skipped

    // The header.
    std::vector<TWaterTableColumn> PublicColumns;
    std::vector<TColumn> Columns;
    std::vector<std::string> CarriedNames;
    std::array<std::size_t, kFieldCount> ColumnOf{}; // column of each field, or SIZE_MAX
    TWaterDataset Template;                          // a new data set: the values of absent fields

    // The row being converted.
    const TSchema& Names = Schema(); // the fields, looked up once
    std::int64_t RowCount = 0;
    std::array<double, kFieldCount> Values{};
    std::array<bool, kFieldCount> Filled{};
    std::string Scratch;

    TImpl() = default;
    TImpl(const TImpl&) = delete;
    TImpl& operator=(const TImpl&) = delete;
    ~TImpl() {
        if (ParserReady) csv_free(&Parser);
    }

    void Start();
    std::string_view ReadChunk();
    void ResetParser();
    void Feed(std::string_view chunk);
    void Finish();
    void Compact();
    bool TakeRawRow(TRawRow& raw);
    void EndRow(TFault fault);
    void ReadHeader();
    void Convert(const TRawRow& raw, TWaterTableRow& row);
    bool ReadCell(const TColumn& column, std::string_view cell, TWaterTableRow& row);
    bool Choose(const TRawRow& raw, std::size_t selector, const std::size_t* measures, std::size_t count,
                std::string_view what, int& chosen, TWaterTableRow& row);
    int SelectorChoice(TColumnKind kind, std::string_view text);

    std::string_view Cell(const TRawRow& raw, std::size_t column) const {
        if (column >= raw.FieldCount) return {};
        const TFieldRef& f = Fields[raw.FirstField + column];
        return {Text.data() + f.Offset, f.Length};
    }
    void DecodeInto(std::string_view cell, std::string& out) const {
        if (Utf8 || IsAscii(cell) || IsUtf8(cell))
            out.assign(cell.data(), cell.size());
        else
            out = Latin1TextToUtf8(cell);
    }
    std::string Decode(std::string_view cell) const {
        std::string out;
        DecodeInto(cell, out);
        return out;
    }
    const std::string& NameOf(std::size_t column) const { return PublicColumns[column].Name; }
    void Refuse(TWaterTableRow& row, std::string column, std::string value, std::string message) const {
        row.ErrorColumn = std::move(column);
        row.ErrorValue = std::move(value);
        row.Error = std::move(message);
    }

    static void OnField(void* data, std::size_t length, void* self) noexcept;
    static void OnRowEnd(int terminator, void* self) noexcept;
};

void TWaterTableReader::TImpl::OnField(void* data, std::size_t length, void* self) noexcept {
    auto& impl = *static_cast<TImpl*>(self);
    if (impl.CallbackError) return;
    try {
        impl.Fields.push_back({impl.Text.size(), length});
        if (length == 0) return;
        const char* text = static_cast<const char*>(data);
        impl.Text.append(text, length);
        // A quoted cell may hold line ends; they count as lines of the file.
        for (std::size_t i = 0; i < length; ++i) {
            if (text[i] == '\n')
                ++impl.LineNo;
            else if (text[i] == '\r' && (i + 1 == length || text[i + 1] != '\n'))
                ++impl.LineNo;
        }
    } catch (...) {
        impl.CallbackError = std::current_exception();
    }
}

void TWaterTableReader::TImpl::OnRowEnd(int terminator, void* self) noexcept {
    auto& impl = *static_cast<TImpl*>(self);
    if (impl.CallbackError) return;
    try {
        const bool empty = impl.Fields.size() == impl.RowFirstField;
        if (terminator == '\n' && impl.LastWasCR && empty) {
            impl.LastWasCR = false;
            return;
        }
        impl.EndRow(TFault::None);
        if (terminator == '\r' || terminator == '\n') ++impl.LineNo;
        impl.LastWasCR = terminator == '\r';
        impl.RowStartLine = impl.LineNo;
    } catch (...) {
        impl.CallbackError = std::current_exception();
    }
}

// Keeps the row just parsed, unless every cell of it is empty.
void TWaterTableReader::TImpl::EndRow(TFault fault) {
    const std::size_t count = Fields.size() - RowFirstField;
    bool blank = fault == TFault::None;
    for (std::size_t i = RowFirstField; blank && i < Fields.size(); ++i)
        if (!Trim({Text.data() + Fields[i].Offset, Fields[i].Length}).empty()) blank = false;
    if (blank) {
        if (count > 0) Text.resize(Fields[RowFirstField].Offset);
        Fields.resize(RowFirstField);
        return;
    }
    Rows.push_back({RowFirstField, count, RowStartLine, fault});
    RowFirstField = Fields.size();
}

std::string_view TWaterTableReader::TImpl::ReadChunk() {
    if (In) {
        Buffer.resize(kChunkSize);
        In->read(Buffer.data(), static_cast<std::streamsize>(Buffer.size()));
        const auto count = static_cast<std::size_t>(In->gcount());
        if (In->bad()) throw TWaterTableError("The table cannot be read: the input failed");
        if (count == 0) EndOfInput = true;
        return {Buffer.data(), count};
    }
    const std::size_t count = std::min(kChunkSize, Memory.size() - MemoryPos);
    const std::string_view chunk = Memory.substr(MemoryPos, count);
    MemoryPos += count;
    if (count == 0) EndOfInput = true;
    return chunk;
}

void TWaterTableReader::TImpl::ResetParser() {
    if (ParserReady) csv_free(&Parser);
    ParserReady = false;
    // Strict: a quote inside an unquoted cell, or text after a closing quote, is a fault of the
    // row rather than text silently joined to the cells after it. Every line end is reported, so
    // that lines can be counted.
    if (csv_init(&Parser, CSV_STRICT | CSV_STRICT_FINI | CSV_REPALL_NL) != 0) throw std::bad_alloc();
    ParserReady = true;
    csv_set_delim(&Parser, static_cast<unsigned char>(Separator));
    csv_set_space_func(&Parser, IsCellSpace);
}

void TWaterTableReader::TImpl::Feed(std::string_view chunk) {
    while (!chunk.empty()) {
        if (SkipToLineEnd) {
            const std::size_t end = chunk.find_first_of("\r\n");
            if (end == std::string_view::npos) return;
            const bool cr = chunk[end] == '\r';
            if (!(chunk[end] == '\n' && LastWasCR && end == 0)) ++LineNo;
            LastWasCR = cr;
            RowStartLine = LineNo;
            SkipToLineEnd = false;
            chunk.remove_prefix(end + 1);
            ResetParser();
            continue;
        }
        const std::size_t done = csv_parse(&Parser, chunk.data(), chunk.size(), OnField, OnRowEnd, this);
        if (CallbackError) std::rethrow_exception(CallbackError);
        if (done == chunk.size()) return;
        if (csv_error(&Parser) != CSV_EPARSE) throw std::bad_alloc();
        // A quote out of place ends the row as a refused one; the parser starts again on the next line.
        EndRow(TFault::Quote);
        LastWasCR = false;
        SkipToLineEnd = true;
        chunk.remove_prefix(done);
    }
}

void TWaterTableReader::TImpl::Finish() {
    Finished = true;
    if (SkipToLineEnd) return; // the faulty row is already kept
    const int status = csv_fini(&Parser, OnField, OnRowEnd, this);
    if (CallbackError) std::rethrow_exception(CallbackError);
    if (status != 0) EndRow(TFault::UnclosedQuote);
}

// Drops the rows already taken, keeping the cells of the row being parsed.
void TWaterTableReader::TImpl::Compact() {
    const std::size_t keepFrom = RowFirstField < Fields.size() ? Fields[RowFirstField].Offset : Text.size();
    Text.erase(0, keepFrom);
    Fields.erase(Fields.begin(), Fields.begin() + static_cast<std::ptrdiff_t>(RowFirstField));
    for (auto& field : Fields)
        field.Offset -= keepFrom;
    RowFirstField = 0;
    Rows.clear();
    NextRow = 0;
}

bool TWaterTableReader::TImpl::TakeRawRow(TRawRow& raw) {
    while (NextRow == Rows.size()) {
        if (Finished) return false;
        Compact();
        if (EndOfInput)
            Finish();
        else
            Feed(ReadChunk());
    }
    raw = Rows[NextRow++];
    return true;
}

void TWaterTableReader::TImpl::Start() {
    std::string_view first = ReadChunk();
    const bool utf16 = first.substr(0, 2) == "\xFF\xFE" || first.substr(0, 2) == "\xFE\xFF";
    if (utf16) {
        // A table saved as "Unicode text": decoded whole, then read like UTF-8 from memory.
        std::string bytes(first);
        if (In)
            bytes.append(std::istreambuf_iterator<char>(*In), std::istreambuf_iterator<char>());
        else
            bytes.append(Memory.substr(MemoryPos));
        if (In && In->bad()) throw TWaterTableError("The table cannot be read: the input failed");
        Decoded = DecodeTextFileBytes(bytes);
        In = nullptr;
        Memory = Decoded;
        MemoryPos = 0;
        EndOfInput = false;
        Utf8 = true;
        first = ReadChunk();
    } else if (first.substr(0, 3) == "\xEF\xBB\xBF") {
        Utf8 = true;
        first.remove_prefix(3);
    }
    Separator = DetectSeparator(first);
    DecimalComma = Separator != ',';
    ResetParser();
    Feed(first);
    ReadHeader();
}

void TWaterTableReader::TImpl::ReadHeader() {
    TRawRow header{};
    if (!TakeRawRow(header)) throw TWaterTableError("The table is empty: it has no header row");
    if (header.Fault != TFault::None)
        throw TWaterTableError("The header of the table, on line " + std::to_string(header.Line) +
                               ", has a quote out of place or not closed");

    const TSchema& schema = Schema();
    ColumnOf.fill(SIZE_MAX);
    std::vector<std::string> unknown;
    for (std::size_t i = 0; i < header.FieldCount; ++i) {
        TWaterTableColumn column{Decode(Trim(Cell(header, i))), nullptr};
        TColumn kind;
        const std::string folded = Folded(column.Name);
        const std::size_t field = folded.empty() ? kFieldCount : FieldOfName(folded);
        if (folded.empty()) {
            kind.Kind = TColumnKind::Ignored;
        } else if (field == kFieldCount) {
            kind.Kind = TColumnKind::Carried;
            kind.Carried = CarriedNames.size();
            CarriedNames.push_back(column.Name);
            unknown.push_back(column.Name);
        } else {
            if (ColumnOf[field] != SIZE_MAX)
                throw TWaterTableError("The columns " + Quoted(PublicColumns[ColumnOf[field]].Name) +
                                       " and " + Quoted(column.Name) + " both give " + DisplayName(field));
            ColumnOf[field] = i;
            kind.Kind = schema.Kind[field];
            kind.Field = field;
            column.Property = &DatasetProperties()[field];
        }
        PublicColumns.push_back(std::move(column));
        Columns.push_back(kind);
    }

    if (std::none_of(Columns.begin(), Columns.end(), [](const TColumn& c) { return c.Field < kFieldCount; }))
        throw TWaterTableError(
            "The header of the table names no field of a water data set (it reads " +
            JoinQuoted(unknown, ", ") +
            "): name the columns by the keys of a data set file (IPH, IT, INA, IMG, ICA, ISO4, ICL, ITDS, "
            "ICONDU, IMHU, IALK, IHACI, ITOTC, IPCO2) or by the captions of the data set window (\"pH\", "
            "\"Temperature\", \"Total sodium\", ...)");

    // Fields are listed with commas; a missing kind of measure follows after a semicolon.
    std::string missing;
    for (std::size_t field = 0; field < kFieldCount; ++field)
        if (schema.Required[field] && ColumnOf[field] == SIZE_MAX)
            missing += (missing.empty() ? "" : ", ") + DisplayName(field);
    auto anyColumn = [&](const auto& measures) {
        return std::any_of(measures.begin(), measures.end(),
                           [&](std::size_t field) { return ColumnOf[field] != SIZE_MAX; });
    };
    auto alternatives = [](const auto& measures) {
        std::string text;
        for (std::size_t i = 0; i < measures.size(); ++i) {
            if (i > 0) text += i + 1 == measures.size() ? " or " : ", ";
            text += DisplayName(measures[i]);
        }
        return text;
    };
    if (!anyColumn(schema.WaterMeasures))
        missing += (missing.empty() ? "" : "; ") + std::string("a measure of the dissolved solids: ") +
                   alternatives(schema.WaterMeasures);
    if (!anyColumn(schema.CarbonMeasures))
        missing += (missing.empty() ? "" : "; ") + std::string("a measure of the carbonate system: ") +
                   alternatives(schema.CarbonMeasures);
    if (!missing.empty()) {
        throw TWaterTableError("The table has no column for " + missing);
    }
}

// The position a selector cell chooses (a number, or a selector text or name of the measure), or -1.
int TWaterTableReader::TImpl::SelectorChoice(TColumnKind kind, std::string_view text) {
    const TSchema& schema = Names;
    const bool water = kind == TColumnKind::WaterSelector;
    const std::size_t count = water ? schema.WaterMeasures.size() : schema.CarbonMeasures.size();
    const std::size_t* measures = water ? schema.WaterMeasures.data() : schema.CarbonMeasures.data();
    double number = 0;
    if (ParseNumber(text, DecimalComma, number)) {
        if (number >= 0 && number < static_cast<double>(count) && number == std::floor(number))
            return static_cast<int>(number);
        return -1;
    }
    Scratch.clear();
    AppendFolded(text, Scratch);
    for (std::size_t i = 0; i < count; ++i)
        for (const auto& name : schema.Names[measures[i]])
            if (name == Scratch) return static_cast<int>(i);
    return -1;
}

bool TWaterTableReader::TImpl::ReadCell(const TColumn& column, std::string_view cell, TWaterTableRow& row) {
    const TSchema& schema = Names;
    const std::size_t field = column.Field;
    const std::string_view text = Trim(cell);
    const std::string& name = NameOf(ColumnOf[field]);
    if (text.empty()) {
        if (!schema.Required[field]) return true;
        Refuse(row, name, Decode(cell), "Column " + Quoted(name) + " has no value");
        return false;
    }
    double value = 0;
    switch (column.Kind) {
    case TColumnKind::Real:
        if (ParseNumber(text, DecimalComma, value)) break;
        Refuse(row, name, Decode(cell),
               "'" + RefusalExcerpt(Decode(cell)) + "' in column " + Quoted(name) + " is not a number");
        return false;
    case TColumnKind::Date:
        if (ParseNumber(text, DecimalComma, value) || ParseIsoDate(text, value)) break;
        Refuse(row, name, Decode(cell),
               "'" + RefusalExcerpt(Decode(cell)) + "' in column " + Quoted(name) +
                   " is not a date: write it as YYYY-MM-DD or as a day count from 30 December 1899");
        return false;
    case TColumnKind::WaterSelector:
    case TColumnKind::CarbonSelector: {
        const int choice = SelectorChoice(column.Kind, text);
        if (choice >= 0) {
            value = choice;
            break;
        }
        const bool water = column.Kind == TColumnKind::WaterSelector;
        Refuse(
            row, name, Decode(cell),
            "'" + RefusalExcerpt(Decode(cell)) + "' in column " + Quoted(name) + " is not a choice of the " +
                (water
                     ? "water characterisation: 0 or \"TDS\", 1 or \"Conductivity\", 2 or \"Ionic strength\""
                     : "carbonate system characterisation: 0 or \"Total alkalinity\", 1 or \"HC03 "
                       "acidity\", 2 or \"Total carbonate species\", 3 or \"Partial pressures C02\""));
        return false;
    }
    default:
        return true;
    }
    Values[field] = value;
    Filled[field] = true;
    return true;
}

// The measure of one kind that counts: the one the selector column chooses, or else the only one
// the row fills.
bool TWaterTableReader::TImpl::Choose(const TRawRow& raw, std::size_t selector, const std::size_t* measures,
                                      std::size_t count, std::string_view what, int& chosen,
                                      TWaterTableRow& row) {
    if (Filled[selector]) {
        chosen = static_cast<int>(Values[selector]);
        const std::size_t measure = measures[chosen];
        if (ColumnOf[measure] != SIZE_MAX && Filled[measure]) return true;
        const std::string& name = NameOf(ColumnOf[selector]);
        const std::string value = Decode(Cell(raw, ColumnOf[selector]));
        Refuse(row, name, value,
               "'" + RefusalExcerpt(value) + "' in column " + Quoted(name) + " chooses " +
                   std::string(kFieldNames[measure].Caption) + ", but the row has no value for it");
        return false;
    }
    std::size_t filledCount = 0;
    for (std::size_t i = 0; i < count; ++i)
        if (ColumnOf[measures[i]] != SIZE_MAX && Filled[measures[i]]) {
            chosen = static_cast<int>(i);
            ++filledCount;
        }
    if (filledCount == 1) return true;
    std::vector<std::string> present, filled, values;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t column = ColumnOf[measures[i]];
        if (column == SIZE_MAX) continue;
        present.push_back(NameOf(column));
        if (!Filled[measures[i]]) continue;
        filled.push_back(NameOf(column));
        values.push_back(Decode(Trim(Cell(raw, column))));
    }
    const std::string selectorName = DisplayName(selector);
    if (filled.empty()) {
        Refuse(row, Joined(present), "",
               "The row gives no measure of " + std::string(what) + ": " + JoinQuoted(present, " and ") +
                   (present.size() == 1 ? " is empty" : " are empty"));
    } else {
        Refuse(row, Joined(filled), Joined(values),
               "The row gives more than one measure of " + std::string(what) + " (" +
                   JoinQuoted(filled, " and ") + "): leave one of them empty, or choose one in a column " +
                   selectorName);
    }
    return false;
}

void TWaterTableReader::TImpl::Convert(const TRawRow& raw, TWaterTableRow& row) {
    const TSchema& schema = Names;
    row.Line = raw.Line;
    row.Row = ++RowCount;
    row.Error.clear();
    row.ErrorColumn.clear();
    row.ErrorValue.clear();
    row.Carried.resize(CarriedNames.size());
    for (std::size_t k = 0; k < CarriedNames.size(); ++k) {
        row.Carried[k].first = CarriedNames[k];
        row.Carried[k].second.clear();
    }
    Filled.fill(false);

    bool refused = false;
    if (raw.Fault != TFault::None) {
        const std::size_t column = raw.FieldCount; // the cell the parser was in
        const std::string name = column < PublicColumns.size() ? NameOf(column) : std::string();
        const std::string where = name.empty() ? std::string() : " in column " + Quoted(name);
        Refuse(row, name, "",
               raw.Fault == TFault::Quote
                   ? "A quote is out of place" + where +
                         ": a cell with a quote or a separator must be quoted whole, with its quotes doubled"
                   : "A quoted cell" + where + " is not closed before the end of the table");
        refused = true;
    }

    // Pass 1: every cell by itself, in header order.
    const std::size_t shared = std::min(raw.FieldCount, Columns.size());
    for (std::size_t i = 0; i < shared; ++i) {
        const TColumn& column = Columns[i];
        const std::string_view cell = Cell(raw, i);
        if (column.Kind == TColumnKind::Carried)
            DecodeInto(cell, row.Carried[column.Carried].second);
        else if (column.Kind != TColumnKind::Ignored && !refused)
            refused = !ReadCell(column, cell, row);
    }
    for (std::size_t i = shared; i < raw.FieldCount && !refused; ++i) {
        if (Trim(Cell(raw, i)).empty()) continue;
        Refuse(row, "", Decode(Cell(raw, i)),
               "The row has " + std::to_string(raw.FieldCount) + " cells, but the header names only " +
                   std::to_string(Columns.size()) + " columns");
        refused = true;
    }
    for (std::size_t i = 0; i < Columns.size() && !refused; ++i) {
        // A required column that the row ends before.
        const TColumn& column = Columns[i];
        if (i >= raw.FieldCount && column.Field < kFieldCount && schema.Required[column.Field]) {
            Refuse(row, NameOf(i), "", "Column " + Quoted(NameOf(i)) + " has no value");
            refused = true;
        }
    }

    // Pass 2: the measures that count.
    int water = 0, carbon = 0;
    if (!refused)
        refused = !Choose(raw, schema.WaterSelector, schema.WaterMeasures.data(), schema.WaterMeasures.size(),
                          "the dissolved solids", water, row);
    if (!refused)
        refused = !Choose(raw, schema.CarbonSelector, schema.CarbonMeasures.data(),
                          schema.CarbonMeasures.size(), "the carbonate system", carbon, row);

    // Pass 3: the ranges of the values the editor would check.
    const auto& checked = schema.Checked[static_cast<std::size_t>(water)][static_cast<std::size_t>(carbon)];
    for (std::size_t i = 0; i < Columns.size() && !refused; ++i) {
        const std::size_t field = Columns[i].Field;
        if (field == kFieldCount || !Filled[field] || !checked[field]) continue;
        const DatasetAttribute* attribute = schema.Attribute[field];
        if (!attribute || IsWithinRange(Values[field], attribute->MinValue(), attribute->MaxValue()))
            continue;
        const std::string value = Decode(Trim(Cell(raw, i)));
        Refuse(row, NameOf(i), value,
               "'" + RefusalExcerpt(value) + "' in column " + Quoted(NameOf(i)) + " is out of range. " +
                   attribute->Description());
        refused = true;
    }

    if (refused) {
        row.Dataset.reset();
        return;
    }
    row.Dataset = Template;
    TWaterDataset& dataset = *row.Dataset;
    const auto& properties = DatasetProperties();
    for (const TColumn& column : Columns)
        if (column.Kind == TColumnKind::Real || column.Kind == TColumnKind::Date)
            if (Filled[column.Field]) properties[column.Field].Set(dataset, Values[column.Field]);
    dataset.SetWaterCharacterIndex(water);
    dataset.SetCarbonCharacterIndex(carbon);
}

// ---------------------------------------------------------------------------------------------

TWaterTableReader::TWaterTableReader(std::istream& in) : F(std::make_unique<TImpl>()) {
    F->In = &in;
    F->Start();
}

TWaterTableReader::TWaterTableReader(std::string_view bytes) : F(std::make_unique<TImpl>()) {
    F->Memory = bytes;
    F->Start();
}

TWaterTableReader::~TWaterTableReader() = default;

char TWaterTableReader::Separator() const {
    return F->Separator;
}

bool TWaterTableReader::DecimalComma() const {
    return F->DecimalComma;
}

const std::vector<TWaterTableColumn>& TWaterTableReader::Columns() const {
    return F->PublicColumns;
}

std::vector<std::string> TWaterTableReader::CarriedColumnNames() const {
    return F->CarriedNames;
}

bool TWaterTableReader::Next(TWaterTableRow& row) {
    TRawRow raw{};
    if (!F->TakeRawRow(raw)) return false;
    F->Convert(raw, row);
    return true;
}

void ReadWaterTable(std::istream& in, const std::function<void(const TWaterTableRow&)>& onRow) {
    TWaterTableReader reader(in);
    TWaterTableRow row;
    while (reader.Next(row))
        onRow(row);
}

namespace {

std::vector<TWaterTableRow> AllRows(TWaterTableReader& reader) {
    std::vector<TWaterTableRow> rows;
    TWaterTableRow row;
    while (reader.Next(row))
        rows.push_back(row);
    return rows;
}

} // namespace

std::vector<TWaterTableRow> ReadWaterTable(std::istream& in) {
    TWaterTableReader reader(in);
    return AllRows(reader);
}

std::vector<TWaterTableRow> ReadWaterTableText(std::string_view bytes) {
    TWaterTableReader reader(bytes);
    return AllRows(reader);
}

std::vector<TWaterTableRow> ReadWaterTableFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw TFileError("Cannot open file \"" + path + "\": " + std::strerror(errno));
    TWaterTableReader reader(in);
    return AllRows(reader);
}
