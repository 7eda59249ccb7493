// The .clv data set file: the single-line writer, the reader with its refusals, the encodings,
// saving through a temporary file, and the in-memory copy.
#include "CalvaroUtils.h"
#include "ModelTestWaters.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <clocale>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::string kExampleLine =
    R"({"type":"CalvaroModel.TWaterDataset","id":1,"fields":{"FCreateDate":41556,"FRAC":0,"IPH":7.5,"IT":20,)"
    R"("INA":50,"IMG":30,"ICA":100,"ISO4":40,"ICL":60,"WATCHAR":1,"ITDS":0,"ICONDU":45.5,"IMHU":0,)"
    R"("CARBSYSORDER":0,"IALK":120,"IHACI":0,"ITOTC":0,"IPCO2":0}})";

// The water of kExampleLine.
TWaterDataset ExampleWater() {
    TWaterDataset d = ValidWater();
    d.SetCreateDate(41556);
    return d;
}

std::string WithFields(const std::string& fields) {
    return R"({"type":"CalvaroModel.TWaterDataset","id":1,"fields":{)" + fields + "}}";
}

// A fresh folder per test, removed afterwards.
class DatasetFiles : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "calvaro-model-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        FFolder = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(FFolder, ignored);
    }
    std::string PathOf(const std::string& name) const { return (FFolder / name).string(); }
    void WriteBytes(const std::string& path, const std::string& bytes) const {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string ReadBytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::vector<std::string> FolderEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(FFolder))
            names.push_back(entry.path().filename().string());
        return names;
    }

    fs::path FFolder;
};

// ---------------------------------------------------------------------------------------------
// Writing

TEST(DatasetJson, ExampleWaterIsWrittenAsTheExampleLine) {
    EXPECT_EQ(DatasetToJson(ExampleWater()), kExampleLine);
}

TEST(DatasetJson, ExampleLineRoundTripsByteForByte) {
    const auto dataset = DatasetFromJson(kExampleLine);
    ASSERT_NE(dataset, nullptr);
    EXPECT_EQ(*dataset, ExampleWater());
    EXPECT_EQ(DatasetToJson(*dataset), kExampleLine);
}

TEST(DatasetJson, NewDataSetWritesAllEighteenFieldsWithTodayAndZeros) {
    const TWaterDataset dataset;
    const std::string today = FormatFileNumber(TodayAsDayCount());
    EXPECT_EQ(DatasetToJson(dataset),
              R"({"type":"CalvaroModel.TWaterDataset","id":1,"fields":{"FCreateDate":)" + today +
                  R"(,"FRAC":0,"IPH":0,"IT":0,"INA":0,"IMG":0,"ICA":0,"ISO4":0,"ICL":0,"WATCHAR":1,"ITDS":0,)"
                  R"("ICONDU":0,"IMHU":0,"CARBSYSORDER":0,"IALK":0,"IHACI":0,"ITOTC":0,"IPCO2":0}})");
}

TEST(DatasetJson, NegativeIndicesAndSmallRealsUseTheFileForms) {
    TWaterDataset dataset = ExampleWater();
    dataset.SetCarbonCharacterIndex(-3);
    dataset.SetPressureCO2(0.00005);
    dataset.SetAcidity(-950);
    const std::string json = DatasetToJson(dataset);
    EXPECT_NE(json.find(R"("CARBSYSORDER":-3,)"), std::string::npos) << json;
    EXPECT_NE(json.find(R"("IPCO2":5E-5})"), std::string::npos) << json;
    EXPECT_NE(json.find(R"("IHACI":-950,)"), std::string::npos) << json;
}

TEST(DatasetJson, NonFiniteRealIsRefusedNamingTheField) {
    for (const double bad : {std::nan(""), std::numeric_limits<double>::infinity()}) {
        TWaterDataset dataset = ExampleWater();
        dataset.SetPh(bad);
        try {
            DatasetToJson(dataset);
            ADD_FAILURE() << "a non-finite pH was written";
        } catch (const TDatasetFormatError& e) {
            EXPECT_EQ(std::string(e.what()), "The data set cannot be written: Ph (IPH) holds " +
                                                 FormatFileNumber(bad) +
                                                 ", and a data set file holds only finite numbers");
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Reading accepted texts

TEST(DatasetJson, EmptyFieldsGiveANewDataSet) {
    const auto dataset = DatasetFromJson(WithFields(""));
    ASSERT_NE(dataset, nullptr);
    EXPECT_EQ(*dataset, TWaterDataset());
}

TEST(DatasetJson, LowerCaseKeysInAnotherOrderWithWhitespaceAndALineEnd) {
    const std::string text = " \t\r\n{ \"fields\" : {\"ialk\":120, \"icondu\":45.5,\"icl\":60,\"iSo4\":40,"
                             "\"ica\":100,\"img\":30,\"ina\":50,\"it\":20,\"iph\":7.5,\"fcreatedate\":41556},"
                             "\"id\":1, \"type\":\"CalvaroModel.TWaterDataset\"}\r\n";
    const auto dataset = DatasetFromJson(text);
    ASSERT_NE(dataset, nullptr);
    EXPECT_EQ(*dataset, ExampleWater());
}

TEST(DatasetJson, RepeatedKeysAreAppliedInOrder) {
    const auto dataset = DatasetFromJson(WithFields(R"("IPH":7,"iph":8.25,"WATCHAR":0,"watchar":2)"));
    EXPECT_EQ(dataset->Ph(), 8.25);
    EXPECT_EQ(dataset->WaterCharacterIndex(), 2);
}

TEST(DatasetJson, NumbersGivenAsStringsAreRead) {
    const auto dataset = DatasetFromJson(
        WithFields(R"("IPH":"7.25","IT":"+20","IHACI":"-950","IPCO2":"5E-5","ICA":"1e2","INA":".5",)"
                   R"("ICL":"60.","WATCHAR":"2","CARBSYSORDER":"+3","IALK":120.0,"IMG":1E1)"));
    EXPECT_EQ(dataset->Ph(), 7.25);
    EXPECT_EQ(dataset->Temperature(), 20);
    EXPECT_EQ(dataset->Acidity(), -950);
    EXPECT_EQ(dataset->PressureCO2(), 0.00005);
    EXPECT_EQ(dataset->Calcium(), 100);
    EXPECT_EQ(dataset->Sodium(), 0.5);
    EXPECT_EQ(dataset->Chloride(), 60);
    EXPECT_EQ(dataset->WaterCharacterIndex(), 2);
    EXPECT_EQ(dataset->CarbonCharacterIndex(), 3);
    EXPECT_EQ(dataset->Alkalinity(), 120);
    EXPECT_EQ(dataset->Magnesium(), 10);
}

TEST(DatasetJson, IntegerFieldsTakeTheWholeThirtyTwoBitRange) {
    const auto dataset = DatasetFromJson(WithFields(R"("WATCHAR":-2147483648,"CARBSYSORDER":2147483647)"));
    EXPECT_EQ(dataset->WaterCharacterIndex(), std::numeric_limits<int>::min());
    EXPECT_EQ(dataset->CarbonCharacterIndex(), std::numeric_limits<int>::max());
}

TEST(DatasetJson, OtherTopLevelKeysAndAnyIdAreIgnored) {
    const auto dataset = DatasetFromJson(
        R"({"comment":[1,{"a":null}],"id":{"x":[true]},"type":"CalvaroModel.TWaterDataset","fields":{"IPH":7}})");
    EXPECT_EQ(dataset->Ph(), 7);
}

TEST(DatasetJson, TheLastTopLevelFieldsObjectCounts) {
    const auto dataset = DatasetFromJson(
        R"({"type":"CalvaroModel.TWaterDataset","id":1,"fields":{"IPH":7},"fields":{"IT":9}})");
    EXPECT_EQ(dataset->Ph(), 0);
    EXPECT_EQ(dataset->Temperature(), 9);
}

TEST(DatasetJson, DeepNestingInAnIgnoredValueIsHarmless) {
    const std::string deep = std::string(100000, '[') + std::string(100000, ']');
    const auto dataset =
        DatasetFromJson(R"({"id":)" + deep + R"(,"type":"CalvaroModel.TWaterDataset","fields":{"IPH":7}})");
    EXPECT_EQ(dataset->Ph(), 7);
}

// ---------------------------------------------------------------------------------------------
// Reading refused texts: every message

struct TRefusalRow {
    const char* Name;
    std::string Text;
    std::string Message;
};

const std::string kNotAnObject = "The input value is not a valid Object";
const std::string kEllipsis = "\xE2\x80\xA6"; // U+2026 in UTF-8

std::string Repeated(const std::string& piece, int times, const std::string& before,
                     const std::string& after) {
    std::string text = before;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text + after;
}
const std::string kResult = R"({"type":"CalvaroModel.TCalculationResult","id":1,"fields":{)";

const TRefusalRow kRefusalRows[] = {
    {"SingleSpace", " ", kNotAnObject},
    {"Array", "[]", kNotAnObject},
    {"Number", "42", kNotAnObject},
    {"String", R"("CalvaroModel.TWaterDataset")", kNotAnObject},
    {"Null", "null", kNotAnObject},
    {"UnclosedObject", R"({"id":1)", kNotAnObject},
    {"TrailingComma", R"({"id":1,})", kNotAnObject},
    {"TwoValues", WithFields("") + " {}", kNotAnObject},
    {"TrailingGarbage", WithFields("") + "x", kNotAnObject},
    {"SingleQuotes", R"({'id':1})", kNotAnObject},
    {"LeadingZero", WithFields(R"("IPH":07)"), kNotAnObject},
    {"PlusSignedNumber", WithFields(R"("IPH":+7)"), kNotAnObject},
    {"Comment", "/* x */" + WithFields(""), kNotAnObject},
    {"NulAfterTheValue", WithFields("") + std::string(1, '\0'), kNotAnObject},
    {"ByteOrderMarkInDecodedText", "\xEF\xBB\xBF" + WithFields(""), kNotAnObject},
    {"SyntaxErrorAfterABadField", WithFields(R"("IPH":"x")") + ",", kNotAnObject},
    {"NoId", R"({"type":"CalvaroModel.TWaterDataset","fields":{}})", "The data set file has no \"id\" key"},
    {"IdInUpperCase", R"({"ID":1,"type":"CalvaroModel.TWaterDataset","fields":{}})",
     "The data set file has no \"id\" key"},
    {"NoType", R"({"id":1,"fields":{}})", "The data set file names no class: the \"type\" key is missing"},
    {"TypeNotAString", R"({"id":1,"type":5,"fields":{}})",
     "The \"type\" value of the data set file must be a class name such as \"CalvaroModel.TWaterDataset\", "
     "but is '5'"},
    {"TypeNull", R"({"id":1,"type":null,"fields":{}})",
     "The \"type\" value of the data set file must be a class name such as \"CalvaroModel.TWaterDataset\", "
     "but is null"},
    {"UnknownType", R"({"type":"CalvaroModel.TFoo","id":1,"fields":{}})",
     "Internal: Cannot instantiate type CalvaroModel.TFoo"},
    {"TypeInOtherCase", R"({"type":"calvaromodel.twaterdataset","id":1,"fields":{}})",
     "Internal: Cannot instantiate type calvaromodel.twaterdataset"},
    {"BareClassName", R"({"type":"TWaterDataset","id":1,"fields":{}})",
     "Internal: Cannot instantiate type TWaterDataset"},
    {"CalculationResult", kResult + R"("ALKF":1,"watchar":2}})", "Invalid class typecast"},
    {"CalculationResultWithDataSetField", kResult + R"("IPH":7}})",
     "Internal: Field IPH cannot be found in type TCalculationResult"},
    {"NoFields", R"({"type":"CalvaroModel.TWaterDataset","id":1})",
     "The data set file has no \"fields\" object with the values of the data set"},
    {"FieldsArray", R"({"type":"CalvaroModel.TWaterDataset","id":1,"fields":[]})",
     "The \"fields\" value of the data set file must be an object, but is an array"},
    {"FieldsString", R"({"type":"CalvaroModel.TWaterDataset","id":1,"fields":"IPH"})",
     "The \"fields\" value of the data set file must be an object, but is 'IPH'"},
    {"UnknownField", WithFields(R"("XYZ":1)"), "Internal: Field XYZ cannot be found in type TWaterDataset"},
    {"PropertyNameIsNoFieldName", WithFields(R"("Ph":7)"),
     "Internal: Field Ph cannot be found in type TWaterDataset"},
    {"FirstBadPairDecides", WithFields(R"("IPH":7,"XYZ":1,"IT":"x")"),
     "Internal: Field XYZ cannot be found in type TWaterDataset"},
    {"RealWithComma", WithFields(R"("IPH":"7,5")"), "'7,5' is not a valid floating point value"},
    {"RealLetters", WithFields(R"("IPH":"abc")"), "'abc' is not a valid floating point value"},
    {"RealEmptyString", WithFields(R"("IPH":"")"), "'' is not a valid floating point value"},
    {"RealWithBlanks", WithFields(R"("IPH":" 7.5")"), "' 7.5' is not a valid floating point value"},
    {"RealNaNText", WithFields(R"("IPH":"NaN")"), "'NaN' is not a valid floating point value"},
    {"RealInfText", WithFields(R"("IPH":"inf")"), "'inf' is not a valid floating point value"},
    {"RealOverflowingNumber", WithFields(R"("IPH":1e999)"), "'1e999' is not a valid floating point value"},
    {"RealOverflowingString", WithFields(R"("FCreateDate":"-1E400")"),
     "'-1E400' is not a valid floating point value"},
    {"RealHexString", WithFields(R"("IPH":"0x10")"), "'0x10' is not a valid floating point value"},
    {"IntegerWithFraction", WithFields(R"("WATCHAR":1.5)"), "'1.5' is not a valid integer value"},
    {"IntegerWithPointZero", WithFields(R"("WATCHAR":1.0)"), "'1.0' is not a valid integer value"},
    {"IntegerWithExponent", WithFields(R"("CARBSYSORDER":1E2)"), "'1E2' is not a valid integer value"},
    {"IntegerLetters", WithFields(R"("WATCHAR":"x")"), "'x' is not a valid integer value"},
    {"IntegerAboveThirtyTwoBits", WithFields(R"("WATCHAR":2147483648)"),
     "'2147483648' is not a valid integer value"},
    {"IntegerBelowThirtyTwoBits", WithFields(R"("WATCHAR":-2147483649)"),
     "'-2147483649' is not a valid integer value"},
    {"IntegerBeyondSixtyFourBits", WithFields(R"("WATCHAR":123456789012345678901234)"),
     "'123456789012345678901234' is not a valid integer value"},
    {"IntegerStringAboveRange", WithFields(R"("WATCHAR":"3000000000")"),
     "'3000000000' is not a valid integer value"},
    {"IntegerStringDoubleSign", WithFields(R"("WATCHAR":"+-1")"), "'+-1' is not a valid integer value"},
    {"True", WithFields(R"("IPH":true)"), "The value of field IPH must be a number, but the file holds true"},
    {"False", WithFields(R"("watchar":false)"),
     "The value of field watchar must be a number, but the file holds false"},
    {"NullValue", WithFields(R"("IT":null)"),
     "The value of field IT must be a number, but the file holds null"},
    {"ObjectValue", WithFields(R"("IT":{"v":1})"),
     "The value of field IT must be a number, but the file holds an object"},
    {"ArrayValue", WithFields(R"("IT":[20])"),
     "The value of field IT must be a number, but the file holds an array"},
    // A refusal quotes at most 40 characters of what the file holds, then "…": before, a number
    // of a hundred million digits gave a message of a hundred megabytes.
    {"MillionDigitRealStringQuotesFortyDigits", WithFields(R"("IPH":")" + std::string(1000000, '9') + "\""),
     "'" + std::string(40, '9') + kEllipsis + "' is not a valid floating point value"},
    {"FourThousandDigitRealBeyondTheDoubles", WithFields(R"("IPH":)" + std::string(4000, '9')),
     "'" + std::string(40, '9') + kEllipsis + "' is not a valid floating point value"},
    {"FortyOneCharacterRealString", WithFields(R"("IPH":")" + std::string(41, 'x') + "\""),
     "'" + std::string(40, 'x') + kEllipsis + "' is not a valid floating point value"},
    {"FortyCharacterRealStringIsQuotedWhole", WithFields(R"("IPH":")" + std::string(40, 'x') + "\""),
     "'" + std::string(40, 'x') + "' is not a valid floating point value"},
    {"LongIntegerString", WithFields(R"("WATCHAR":")" + std::string(100, '7') + "\""),
     "'" + std::string(40, '7') + kEllipsis + "' is not a valid integer value"},
    {"LongFieldKey", WithFields("\"" + std::string(60, 'K') + "\":1"),
     "Internal: Field " + std::string(40, 'K') + kEllipsis + " cannot be found in type TWaterDataset"},
    {"LongKeyOfAValueThatIsNoNumber", WithFields("\"" + std::string(60, 'K') + "\":true"),
     "Internal: Field " + std::string(40, 'K') + kEllipsis + " cannot be found in type TWaterDataset"},
    {"QuoteCountsCharactersNotBytes", WithFields(Repeated("\xC3\xA9", 45, "\"", "\":1")),
     "Internal: Field " + Repeated("\xC3\xA9", 40, "", kEllipsis) + " cannot be found in type TWaterDataset"},
    {"LongTypeName", R"({"id":1,"fields":{},"type":")" + std::string(50, 'T') + "\"}",
     "Internal: Cannot instantiate type " + std::string(40, 'T') + kEllipsis},
    {"LongFieldsString",
     R"({"type":"CalvaroModel.TWaterDataset","id":1,"fields":")" + std::string(45, 'f') + "\"}",
     "The \"fields\" value of the data set file must be an object, but is '" + std::string(40, 'f') +
         kEllipsis + "'"},
};

class DatasetRefusal : public ::testing::TestWithParam<TRefusalRow> {};

TEST_P(DatasetRefusal, LoadFailsWithItsMessage) {
    const auto& row = GetParam();
    try {
        const auto dataset = DatasetFromJson(row.Text);
        ADD_FAILURE() << "loaded " << DatasetToJson(*dataset);
    } catch (const TDatasetFormatError& e) {
        EXPECT_EQ(std::string(e.what()), row.Message);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, DatasetRefusal, ::testing::ValuesIn(kRefusalRows),
                         [](const auto& info) { return std::string(info.param.Name); });

// Every text one edit away from the example line either loads or is refused with a format error:
// nothing the reader is given may crash it or escape as another kind of error.
TEST(DatasetJson, DamagedExampleLinesLoadOrAreRefused) {
    std::string replacements = "\"{}[]:,0-.eE\\ \x80\xFF";
    replacements += '\0';
    int loaded = 0, refused = 0;
    for (std::size_t i = 0; i < kExampleLine.size(); ++i) {
        std::vector<std::string> variants{kExampleLine.substr(0, i) + kExampleLine.substr(i + 1)};
        for (const char c : replacements) {
            std::string changed = kExampleLine;
            changed[i] = c;
            variants.push_back(changed);
        }
        for (const auto& text : variants) {
            try {
                if (DatasetFromJson(text)) ++loaded;
            } catch (const TDatasetFormatError&) {
                ++refused;
            }
        }
    }
    EXPECT_GT(loaded, 0);
    EXPECT_GT(refused, 0);
    EXPECT_EQ(loaded + refused, static_cast<int>(kExampleLine.size() * (replacements.size() + 1)));
}

// A plain file (simple keys, numbers in "fields") is read by a fast reader of its own; any other
// text by the full one. The two must agree: a text reads to the same values, bit for bit (so -0
// and 0 differ), or is refused with the same message, whichever reader takes it. The full reader
// is made to take the text by an ignored nested value put in front of its first key.
std::string ReadingOutcome(const std::string& text) {
    try {
        const auto dataset = DatasetFromJson(text);
        std::ostringstream values;
        for (const auto& property : DatasetProperties()) {
            const double value = property.Get(*dataset);
            std::uint64_t bits = 0;
            std::memcpy(&bits, &value, sizeof bits);
            values << property.FieldName << '=' << std::hex << bits << ' ';
        }
        return values.str();
    } catch (const TDatasetFormatError& e) {
        return std::string("refused: ") + e.what();
    }
}

// The text with "note":[0] as its first pair, or "" when it does not open with an object and a key.
std::string ThroughTheFullReader(const std::string& text) {
    const auto brace = text.find_first_not_of(" \t\r\n");
    if (brace == std::string::npos || text[brace] != '{') return "";
    const auto key = text.find_first_not_of(" \t\r\n", brace + 1);
    if (key == std::string::npos || text[key] != '"') return "";
    return text.substr(0, brace + 1) + R"("note":[0],)" + text.substr(brace + 1);
}

const std::string kPlainTexts[] = {
    kExampleLine,
    " \t" + kExampleLine + "\r\n",
    R"({ "id" : "x" , "fields" : { "iph" : 7.25 , "IpH" : -0 } , "type" : "CalvaroModel.TWaterDataset" })",
    WithFields(R"("IPH":-0,"IT":-0.0,"INA":0e0,"IMG":-0E-0,"ICA":1E+2,"ISO4":0.1e1,"ICL":12.50)"),
    WithFields(R"("WATCHAR":-0,"CARBSYSORDER":2147483647)"),
    WithFields(R"("WATCHAR":-2147483648,"CARBSYSORDER":-2147483649)"),
    WithFields(R"("WATCHAR":2147483648)"),
    WithFields(R"("WATCHAR":1e0)"),
    WithFields(R"("CARBSYSORDER":3.0)"),
    WithFields(R"("IPH":999999999999999999,"IT":-999999999999999999)"),
    WithFields(R"("IPH":9223372036854775807,"IT":-9223372036854775808,"INA":9223372036854775808)"),
    WithFields(R"("IPH":18446744073709551615,"IT":18446744073709551616,"INA":-9223372036854775809)"),
    WithFields(R"("IPH":123456789012345678901234567890)"),
    WithFields(R"("IPH":1.7976931348623157e308,"IT":4.9e-324,"INA":2e-324,"IMG":2.5e-324)"),
    WithFields(R"("IPH":1.8e308)"),
    WithFields(R"("IPH":-1e999)"),
    WithFields(R"("IPH":1e-400)"),
    WithFields(R"("IPH":0.1000000000000000055511151231257827021181583404541015625)"),
    WithFields(R"("IPH":7.123456789012345678901234567890e0)"),
    WithFields(R"("IPH":07)"),
    WithFields(R"("IPH":7.)"),
    WithFields(R"("IPH":.5)"),
    WithFields(R"("IPH":1e)"),
    WithFields(R"("IPH":--1)"),
    WithFields(R"("IPH":1.5.5)"),
    WithFields(R"("IPH":7,)"),
    WithFields(R"("IPH" 7)"),
    WithFields(R"("XYZ":1)"),
    WithFields(R"("IPH":"7")"),
    WithFields(R"("IP\u0048":7)"),
    R"({"type":"CalvaroModel.TWaterDataset","ID":1,"fields":{}})",
    R"({"type":"CalvaroModel.TWaterDataset","id":1})",
    R"({"type":"CalvaroModel.TWaterDataset","id":1,"fields":{"IPH":7},"fields":{"IT":9}})",
    R"({"type":"CalvaroModel.TFoo","type":"CalvaroModel.TWaterDataset","id":1,"fields":{}})",
    R"({"type":"CalvaroModel.TCalculationResult","id":1,"fields":{"ALKF":1}})",
    R"({"type":"CalvaroModel.TWaterDataset ","id":1,"fields":{}})",
    R"({"type":"Calvaro)"
    "\x7F"
    R"(","id":1,"fields":{}})",
    R"({"type":"Calvaro)"
    "\t"
    R"(","id":1,"fields":{}})",
    R"({"type":"CalvaroModel.TWaterDataset","id":1,"fields":{"IPH":7}})"
    "\x0B",
    R"({"type":"CalvaroModel.TWaterDataset","id":1,"fields":{"IPH":7}} {})",
    R"({"type":"CalvaroModel.TWaterDataset","id":1,"fields":{"IPH":7}})" + std::string(1, '\0'),
};

TEST(DatasetJson, PlainTextsReadAsTheFullReaderReadsThem) {
    for (const auto& text : kPlainTexts) {
        SCOPED_TRACE(text);
        const std::string full = ThroughTheFullReader(text);
        ASSERT_FALSE(full.empty());
        EXPECT_EQ(ReadingOutcome(text), ReadingOutcome(full));
    }
}

// Reals of every shape the reader may take a short way: 1 to 18 digits, the point anywhere or
// nowhere, exponents near and beyond the range of exact powers of ten, signs and zeros.
TEST(DatasetJson, RealsOfEveryShapeReadAsTheFullReaderReadsThem) {
    std::mt19937 random(7);
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    for (int i = 0; i < 20000; ++i) {
        std::string digits;
        const int count = pick(1, 18);
        for (int d = 0; d < count; ++d)
            digits += static_cast<char>('0' + (pick(0, 3) == 0 ? 0 : pick(0, 9)));
        if (digits.size() > 1 && digits.front() == '0') digits.front() = static_cast<char>('1' + pick(0, 8));
        std::string number = pick(0, 3) == 0 ? "-" : "";
        const int point = pick(0, count);
        if (point == 0)
            number += "0." + digits;
        else if (point < count)
            number += digits.substr(0, static_cast<std::size_t>(point)) + "." +
                      digits.substr(static_cast<std::size_t>(point));
        else
            number += digits;
        if (pick(0, 1) == 0 || point == count)
            number += std::string(pick(0, 1) ? "e" : "E") +
                      (pick(0, 2) == 0 ? "-"
                       : pick(0, 1)    ? "+"
                                       : "") +
                      std::to_string(pick(0, 30));
        SCOPED_TRACE(number);
        const std::string text = WithFields("\"IPH\":" + number);
        ASSERT_EQ(ReadingOutcome(text), ReadingOutcome(ThroughTheFullReader(text)));
    }
}

// Every text one edit away from the example line, through both readers.
TEST(DatasetJson, DamagedExampleLinesReadAsTheFullReaderReadsThem) {
    std::string replacements = "\"{}[]:,0-+.eE\\ \t\x7F\x80\xFF";
    replacements += '\0';
    int compared = 0;
    for (std::size_t i = 0; i < kExampleLine.size(); ++i) {
        std::vector<std::string> variants{kExampleLine.substr(0, i) + kExampleLine.substr(i + 1)};
        for (const char c : replacements) {
            std::string changed = kExampleLine;
            changed[i] = c;
            variants.push_back(changed);
            variants.push_back(kExampleLine.substr(0, i) + c + kExampleLine.substr(i));
        }
        for (const auto& text : variants) {
            const std::string full = ThroughTheFullReader(text);
            if (full.empty()) continue;
            SCOPED_TRACE(text);
            EXPECT_EQ(ReadingOutcome(text), ReadingOutcome(full));
            ++compared;
        }
    }
    EXPECT_GT(compared, static_cast<int>(kExampleLine.size() * replacements.size()));
}

// ---------------------------------------------------------------------------------------------
// Files

TEST_F(DatasetFiles, SavedExampleIsTheExampleLineAndLoadsBackEqual) {
    const std::string path = PathOf("example.clv");
    SaveDatasetToFile(ExampleWater(), path);
    EXPECT_EQ(ReadBytes(path), kExampleLine) << "one line, no line end, no byte-order mark";
    const auto loaded = LoadDatasetFromFile(path);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(*loaded, ExampleWater());
}

TEST_F(DatasetFiles, SavingReplacesTheWholeContentAndLeavesNoTemporaryFile) {
    const std::string path = PathOf("water.clv");
    WriteBytes(path, std::string(5000, 'x'));
    SaveDatasetToFile(ExampleWater(), path);
    EXPECT_EQ(ReadBytes(path), kExampleLine);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"water.clv"});
}

TEST_F(DatasetFiles, SavingThroughALinkWritesTheFileItNames) {
    const std::string target = PathOf("target.clv");
    const std::string link = PathOf("link.clv");
    WriteBytes(target, "old");
    fs::create_symlink(target, link);
    SaveDatasetToFile(ExampleWater(), link);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadBytes(target), kExampleLine);
}

TEST_F(DatasetFiles, NonFiniteValueWritesNothingAndKeepsTheOldFile) {
    const std::string path = PathOf("water.clv");
    WriteBytes(path, kExampleLine);
    TWaterDataset dataset = ExampleWater();
    dataset.SetPressureCO2(-std::numeric_limits<double>::infinity());
    EXPECT_THROW(SaveDatasetToFile(dataset, path), TDatasetFormatError);
    EXPECT_EQ(ReadBytes(path), kExampleLine);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"water.clv"});
}

// Before saving went through a temporary file, a save that failed part-way had already emptied
// the old file: the operator lost the data set on disk as well.
TEST_F(DatasetFiles, SaveFailingPartWayKeepsTheOldFile) {
    const std::string path = PathOf("water.clv");
    const std::string old = WithFields(R"("IPH":8.1)");
    WriteBytes(path, old);

    // A file-size limit below the data set's length makes the write fail in the middle.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit limited = saved;
    limited.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    std::string message;
    try {
        SaveDatasetToFile(ExampleWater(), path);
    } catch (const TFileError& e) {
        message = e.what();
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);

    EXPECT_EQ(message, "Cannot write file \"" + path + "\": " + std::strerror(EFBIG));
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"water.clv"});
}

TEST_F(DatasetFiles, SavingIntoAMissingFolderOrOntoAFolderRaisesTheSystemMessage) {
    const std::string missing = PathOf("no-such-folder/water.clv");
    try {
        SaveDatasetToFile(ExampleWater(), missing);
        ADD_FAILURE() << "saved into a missing folder";
    } catch (const TFileError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + missing + "\": " + std::strerror(ENOENT));
    }
    try {
        SaveDatasetToFile(ExampleWater(), FFolder.string());
        ADD_FAILURE() << "saved over a folder";
    } catch (const TFileError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot create file \"" + FFolder.string() + "\": " + std::strerror(EISDIR));
    }
    EXPECT_THROW(SaveDatasetToFile(ExampleWater(), ""), TFileError);
    EXPECT_TRUE(FolderEntries().empty());
}

TEST_F(DatasetFiles, LoadingAMissingFileOrAFolderRaisesTheSystemMessage) {
    const std::string missing = PathOf("missing.clv");
    try {
        LoadDatasetFromFile(missing);
        ADD_FAILURE() << "loaded a missing file";
    } catch (const TFileError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + missing + "\": " + std::strerror(ENOENT));
    }
    try {
        LoadDatasetFromFile(FFolder.string());
        ADD_FAILURE() << "loaded a folder";
    } catch (const TFileError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot open file \"" + FFolder.string() + "\": it is a folder, not a data set file");
    }
}

// AddressSanitizer reserves terabytes of address space for its shadow memory, so a cap on the
// address space would make every later mapping fail; under it the time limit alone guards.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

// Runs `body` in a child process with a time limit and a memory limit, so that a loader that
// blocks on a FIFO or reads /dev/zero without end fails the test instead of hanging it or eating
// the machine's memory. The child's exit status, or 128 + the signal that ended it.
int RunInChild(const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(10);
        if (!kAddressSanitizer) {
            rlimit memory{512u << 20, 512u << 20};
            ::setrlimit(RLIMIT_AS, &memory);
        }
        int status = 99;
        try {
            status = body();
        } catch (...) {
            status = 98;
        }
        ::_exit(status);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// A data set file is a regular file of at most 1 MiB; anything else is refused before it is read.
// Before, /dev/zero was read until memory ran out and a FIFO without a writer blocked for ever.
TEST_F(DatasetFiles, LoaderRefusesWhatIsNoRegularFileWithoutReadingIt) {
    const std::string fifo = PathOf("pipe.clv");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string socket = PathOf("socket.clv");
    {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, socket.c_str(), sizeof(address.sun_path) - 1);
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
        ::close(fd);
    }
    const std::string link = PathOf("zero.clv");
    fs::create_symlink("/dev/zero", link);
    struct TCase {
        std::string Path;
        std::string Kind;
    };
    const TCase cases[] = {
        {fifo, "a named pipe (FIFO)"}, {"/dev/zero", "a character device"},
        {link, "a character device"},  {"/dev/null", "a character device"},
        {socket, "a socket"},          {FFolder.string(), "a folder"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Path);
        const std::string expected =
            "Cannot open file \"" + c.Path + "\": it is " + c.Kind + ", not a data set file";
        const int status = RunInChild([&] {
            try {
                LoadDatasetFromFile(c.Path);
            } catch (const TFileError& e) {
                if (std::string(e.what()) == expected) return 0;
                std::fprintf(stderr, "message: %s\n", e.what());
                return 1;
            }
            return 2;
        });
        EXPECT_EQ(status, 0) << "1: another message, 2: loaded, 128 + 14: still blocked after 10 s, "
                                "128 + 6 or 98: out of memory";
    }
}

TEST_F(DatasetFiles, LoaderRefusesAFileOverOneMebibyteAndReadsOneOfExactlyThatSize) {
    // The example line padded with blanks, which the reader skips, to the limit and one byte past it.
    const std::string path = PathOf("padded.clv");
    WriteBytes(path, kExampleLine + std::string(kMaxDatasetFileBytes - kExampleLine.size(), ' '));
    const auto loaded = LoadDatasetFromFile(path);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(*loaded, ExampleWater());

    WriteBytes(path, kExampleLine + std::string(kMaxDatasetFileBytes + 1 - kExampleLine.size(), ' '));
    try {
        LoadDatasetFromFile(path);
        ADD_FAILURE() << "loaded a file of 1 MiB and a byte";
    } catch (const TFileError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot open file \"" + path +
                      "\": it is 1048577 bytes long, and a data set file is at most 1 MiB "
                      "(1048576 bytes)");
    }
}

TEST_F(DatasetFiles, EmptyFileOrOnlyAByteOrderMarkGivesNoDataSet) {
    for (const std::string& bytes :
         {std::string(), std::string("\xEF\xBB\xBF"), std::string("\xFF\xFE"), std::string("\xFE\xFF")}) {
        const std::string path = PathOf("empty.clv");
        WriteBytes(path, bytes);
        EXPECT_EQ(LoadDatasetFromFile(path), nullptr) << bytes.size() << " bytes";
    }
}

TEST_F(DatasetFiles, SingleSpaceIsNotAnObject) {
    const std::string path = PathOf("space.clv");
    WriteBytes(path, " ");
    try {
        LoadDatasetFromFile(path);
        ADD_FAILURE() << "loaded a single space";
    } catch (const TDatasetFormatError& e) {
        EXPECT_EQ(std::string(e.what()), kNotAnObject);
    }
}

std::string Utf16(const std::string& ascii, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char c : ascii) {
        if (bigEndian) bytes += '\0';
        bytes += c;
        if (!bigEndian) bytes += '\0';
    }
    return bytes;
}

TEST_F(DatasetFiles, ByteOrderMarksSelectTheEncoding) {
    struct TEncoding {
        const char* Name;
        std::string Bytes;
    };
    const TEncoding encodings[] = {
        {"Utf8WithBom", "\xEF\xBB\xBF" + kExampleLine},
        {"Utf16LittleEndian", Utf16(kExampleLine + "\r\n", false)},
        {"Utf16BigEndian", Utf16(kExampleLine, true)},
        {"EightBitWithoutBom", kExampleLine + "\n"},
    };
    for (const auto& encoding : encodings) {
        SCOPED_TRACE(encoding.Name);
        const std::string path = PathOf("encoded.clv");
        WriteBytes(path, encoding.Bytes);
        const auto loaded = LoadDatasetFromFile(path);
        ASSERT_NE(loaded, nullptr);
        EXPECT_EQ(*loaded, ExampleWater());
    }
}

TEST_F(DatasetFiles, EightBitTextIsReadAsLatin1) {
    const std::string path = PathOf("latin1.clv");
    WriteBytes(path, WithFields("\"IPH\xE9\":7"));
    try {
        LoadDatasetFromFile(path);
        ADD_FAILURE() << "loaded an unknown field";
    } catch (const TDatasetFormatError& e) {
        EXPECT_EQ(std::string(e.what()), "Internal: Field IPH\xC3\xA9 cannot be found in type TWaterDataset");
    }
}

TEST_F(DatasetFiles, Utf16SurrogatePairsDecodeAndBrokenUnitsAreRefused) {
    // U+1F4A7 (a droplet) as the surrogate pair D83D DCA7, once in an ignored value and once as a
    // field key, whose refusal shows the decoded character.
    const auto withDroplet = [](std::string utf16) {
        for (std::size_t x; (x = utf16.find(std::string("x\0", 2))) != std::string::npos;)
            utf16.replace(x, 2, std::string("\x3D\xD8\xA7\xDC", 4));
        return utf16;
    };
    const std::string path = PathOf("utf16.clv");
    WriteBytes(path,
               withDroplet(Utf16(
                   R"({"note":"x","id":1,"type":"CalvaroModel.TWaterDataset","fields":{"IPH":7}})", false)));
    EXPECT_EQ(LoadDatasetFromFile(path)->Ph(), 7);
    WriteBytes(path, withDroplet(Utf16(WithFields(R"("x":7)"), false)));
    try {
        LoadDatasetFromFile(path);
        ADD_FAILURE() << "loaded an unknown field";
    } catch (const TDatasetFormatError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Internal: Field \xF0\x9F\x92\xA7 cannot be found in type TWaterDataset");
    }

    // A lone high surrogate outside a string, and an odd trailing byte, leave no valid object.
    WriteBytes(path, Utf16(WithFields(""), false) + std::string("\x3D\xD8", 2));
    EXPECT_THROW(LoadDatasetFromFile(path), TDatasetFormatError);
    WriteBytes(path, Utf16(WithFields(""), true) + "}");
    EXPECT_THROW(LoadDatasetFromFile(path), TDatasetFormatError);
}

// The desktop program runs in the user's locale, and there the decimal point may be ",". Before,
// the full reader then refused every file with a fraction ("'7,5' is not a valid floating point
// value" for the file's 7.5), because the JSON parser puts the locale's point into the number's
// text. A German locale is compiled into a temporary folder for the test (localedef).
TEST_F(DatasetFiles, NumbersReadTheSameInALocaleWithADecimalComma) {
    const std::string command = "localedef -i de_DE -f UTF-8 " + PathOf("de_DE.UTF-8") + " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) GTEST_SKIP() << "no localedef or no de_DE locale source";
    ::setenv("LOCPATH", FFolder.c_str(), 1);
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "the de_DE locale did not load";
    ASSERT_EQ(*std::localeconv()->decimal_point, ',');
    const std::string plain = WithFields(R"("IPH":7.5,"IT":1.25e1,"INA":-0.5)");
    for (const std::string& text : {plain, ThroughTheFullReader(plain)}) {
        SCOPED_TRACE(text);
        const auto dataset = DatasetFromJson(text);
        EXPECT_EQ(dataset->Ph(), 7.5);
        EXPECT_EQ(dataset->Temperature(), 12.5);
        EXPECT_EQ(dataset->Sodium(), -0.5);
    }
    // A comma in the file is still no decimal separator, whatever the locale.
    try {
        DatasetFromJson(WithFields(R"("IPH":"7,5")"));
        ADD_FAILURE() << "read 7,5";
    } catch (const TDatasetFormatError& e) {
        EXPECT_EQ(std::string(e.what()), "'7,5' is not a valid floating point value");
    }
    std::setlocale(LC_NUMERIC, "C");
}

// ---------------------------------------------------------------------------------------------
// Reduction to 15 digits and the in-memory copy

TEST_F(DatasetFiles, MoreThanFifteenDigitsAreReducedOnSaveAndLoad) {
    TWaterDataset dataset = ExampleWater();
    dataset.SetPh(7.123456789012345678);
    dataset.SetPressureCO2(0.00005);
    const std::string path = PathOf("digits.clv");
    SaveDatasetToFile(dataset, path);
    const auto loaded = LoadDatasetFromFile(path);
    EXPECT_EQ(loaded->Ph(), 7.12345678901235);
    EXPECT_EQ(loaded->PressureCO2(), 0.00005);
    EXPECT_NE(ReadBytes(path).find("\"IPCO2\":5E-5}"), std::string::npos);
}

TEST(DatasetClone, CopyIsTheSaveAndLoadOfTheSource) {
    TWaterDataset source = ExampleWater();
    source.SetCreateDate(41556.75);
    source.SetFraction(100.0 / 3.0);
    source.SetAcidity(-2.0 / 3.0);
    source.SetWaterCharacterIndex(2);
    source.SetCarbonCharacterIndex(3);
    source.SetTDS(1e-7);
    const auto copy = CloneDataset(source);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy.get(), &source);
    EXPECT_EQ(copy->CreateDate(), 41556.75);
    EXPECT_EQ(copy->Fraction(), 33.3333333333333);
    EXPECT_EQ(copy->Acidity(), -0.666666666666667);
    EXPECT_EQ(copy->TDS(), 1e-7);
    EXPECT_EQ(copy->WaterCharacterIndex(), 2);
    EXPECT_EQ(copy->CarbonCharacterIndex(), 3);
    EXPECT_EQ(copy->Ph(), 7.5);
    EXPECT_EQ(*CloneDataset(*copy), *copy) << "a reduced copy copies exactly";
}

TEST(DatasetClone, NonFiniteValueCannotBeCopied) {
    TWaterDataset source = ExampleWater();
    source.SetTemperature(std::nan(""));
    EXPECT_THROW(CloneDataset(source), TDatasetFormatError);
}

// ---------------------------------------------------------------------------------------------
// The extremes of a double: a value that saves must load

// Before, the largest double was written as 1.79769313486232E308, beyond the largest double, and
// the file (and every calculation window's copy) was refused.
TEST_F(DatasetFiles, LargestAndSmallestDoublesRoundTripThroughTheFileAndTheCopy) {
    constexpr double kMax = std::numeric_limits<double>::max();
    constexpr double kMinNormal = std::numeric_limits<double>::min();
    constexpr double kMinSubnormal = std::numeric_limits<double>::denorm_min();
    const double values[] = {kMax,
                             -kMax,
                             std::nextafter(kMax, 0.0),
                             1.7976931348623151e308,
                             kMinNormal,
                             -kMinNormal,
                             kMinSubnormal,
                             -kMinSubnormal};
    for (const double value : values) {
        SCOPED_TRACE(FormatFileNumber(value));
        TWaterDataset dataset = ExampleWater();
        dataset.SetPh(value);
        dataset.SetCreateDate(value);
        dataset.SetPressureCO2(-value);
        const std::string path = PathOf("extreme.clv");
        SaveDatasetToFile(dataset, path);
        std::unique_ptr<TWaterDataset> loaded;
        ASSERT_NO_THROW(loaded = LoadDatasetFromFile(path)) << ReadBytes(path);
        ASSERT_NE(loaded, nullptr);
        // The value reduced to 15 digits: finite, of the same sign, within 15 digits of the source.
        EXPECT_TRUE(std::isfinite(loaded->Ph()));
        EXPECT_EQ(std::signbit(loaded->Ph()), std::signbit(value));
        EXPECT_LE(std::abs(loaded->Ph() - value), std::abs(value) * 1e-14);
        EXPECT_EQ(loaded->CreateDate(), loaded->Ph());
        EXPECT_EQ(loaded->PressureCO2(), -loaded->Ph());
        // A reduced value is written again as the same text, so saving it again changes nothing.
        EXPECT_EQ(FormatFileNumber(loaded->Ph()), FormatFileNumber(value));

        std::unique_ptr<TWaterDataset> copy;
        ASSERT_NO_THROW(copy = CloneDataset(dataset));
        EXPECT_EQ(*copy, *loaded) << "the copy is the save and load";
        EXPECT_EQ(*CloneDataset(*copy), *copy);
    }
}

// ---------------------------------------------------------------------------------------------
// Saving keeps what the operator had, with either kind of temporary file

class DatasetSaving : public DatasetFiles, public ::testing::WithParamInterface<TTemporaryFile> {
protected:
    void Save(const TWaterDataset& dataset, const std::string& path) const {
        ReplaceFileContent(path, DatasetToJson(dataset), GetParam());
    }
    // Names in the folder that are the program's temporaries.
    std::vector<std::string> Temporaries() const {
        std::vector<std::string> names;
        for (const auto& name : FolderEntries())
            if (name.rfind(kTemporaryFilePrefix, 0) == 0) names.push_back(name);
        return names;
    }
};

TEST_P(DatasetSaving, ThroughLinksTheFileTheyNameGetsTheContentAndTheLinksStay) {
    fs::create_directory(FFolder / "data");
    const std::string target = PathOf("data/target.clv");
    WriteBytes(target, "old");
    fs::create_symlink("data/target.clv", FFolder / "relative.clv");   // relative to the link's folder
    fs::create_symlink(PathOf("relative.clv"), FFolder / "chain.clv"); // a link to a link
    Save(ExampleWater(), PathOf("chain.clv"));
    EXPECT_TRUE(fs::is_symlink(PathOf("chain.clv")));
    EXPECT_TRUE(fs::is_symlink(PathOf("relative.clv")));
    EXPECT_EQ(ReadBytes(target), kExampleLine);
    EXPECT_EQ(*LoadDatasetFromFile(PathOf("chain.clv")), ExampleWater());

    // A link to a file that does not exist yet creates that file.
    fs::create_symlink("data/new.clv", FFolder / "dangling.clv");
    Save(ExampleWater(), PathOf("dangling.clv"));
    EXPECT_TRUE(fs::is_symlink(PathOf("dangling.clv")));
    EXPECT_EQ(ReadBytes(PathOf("data/new.clv")), kExampleLine);
    EXPECT_TRUE(Temporaries().empty());
}

TEST_P(DatasetSaving, TheOldFilesPermissionsAndOwnerAreKept) {
    const std::string path = PathOf("water.clv");
    WriteBytes(path, "old");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(path.c_str(), 4321, 4322), 0);
    }
    Save(ExampleWater(), path);
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(info.st_uid, 4321u);
        EXPECT_EQ(info.st_gid, 4322u);
    }
    EXPECT_EQ(ReadBytes(path), kExampleLine);

    // A new file has the mode any new file gets: 0666 less the umask.
    const mode_t umask = ::umask(022);
    ::umask(umask);
    const std::string fresh = PathOf("fresh.clv");
    Save(ExampleWater(), fresh);
    ASSERT_EQ(::stat(fresh.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0666u & ~umask);
    EXPECT_EQ(info.st_uid, ::geteuid());
    EXPECT_TRUE(Temporaries().empty());
}

// A write that fails once the temporary exists (a file-size limit below the data set's length,
// SIGXFSZ ignored so that the write returns EFBIG): the error names the file, the old content stays,
// and the temporary is gone, over an old file and for a new one.
TEST_P(DatasetSaving, AWriteFailingPartWayRemovesTheTemporaryAndKeepsTheOldFile) {
    const std::string path = PathOf("water.clv");
    const std::string old = WithFields(R"("IPH":8.1)");
    WriteBytes(path, old);
    const std::string fresh = PathOf("fresh.clv");

    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit limited = saved;
    limited.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    std::vector<std::string> messages;
    for (const auto& target : {path, fresh}) {
        try {
            Save(ExampleWater(), target);
            messages.push_back("saved");
        } catch (const TFileError& e) {
            messages.push_back(e.what());
        }
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], "Cannot write file \"" + path + "\": " + std::strerror(EFBIG));
    EXPECT_EQ(messages[1], "Cannot write file \"" + fresh + "\": " + std::strerror(EFBIG));
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"water.clv"});
}

TEST_P(DatasetSaving, ASpecialFileIsNotReplaced) {
    const std::string fifo = PathOf("pipe.clv");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    try {
        Save(ExampleWater(), fifo);
        ADD_FAILURE() << "saved over a FIFO";
    } catch (const TFileError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot create file \"" + fifo + "\": it is a named pipe (FIFO), not a data set file");
    }
    struct stat info {};
    ASSERT_EQ(::lstat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"pipe.clv"});
}

// The saving process is killed by the kernel in the middle of writing the new content (a file
// size limit with SIGXFSZ left at its default action): the old file stays whole. An unnamed
// temporary leaves nothing behind; a named one that a killed process left is removed by the next
// save into the folder.
TEST_P(DatasetSaving, AProcessKilledInTheMiddleOfASaveLeavesTheOldFile) {
    const std::string path = PathOf("water.clv");
    const std::string old = WithFields(R"("IPH":8.1)");
    WriteBytes(path, old);
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_DFL);
        rlimit noCore{0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);
        rlimit size{64, 64};
        ::setrlimit(RLIMIT_FSIZE, &size);
        try {
            Save(ExampleWater(), path);
        } catch (...) {
        }
        ::_exit(0); // not killed: the test fails below
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << "status " << status;
    EXPECT_EQ(ReadBytes(path), old);

    if (GetParam() == TTemporaryFile::UnnamedWhereSupported) {
        EXPECT_EQ(FolderEntries(), std::vector<std::string>{"water.clv"});
    } else {
        const auto left = Temporaries();
        ASSERT_EQ(left.size(), 1u);
        EXPECT_NE(left.front().find("-" + std::to_string(child) + "-"), std::string::npos) << left.front();
    }
    Save(ExampleWater(), path);
    EXPECT_EQ(ReadBytes(path), kExampleLine);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"water.clv"});
}

// A child saves two waters in turn without end and is killed at random moments: the file always
// reads as one of the two. The only moment a temporary can be seen is between linking the new
// content in under a temporary name and renaming it over the old file; the next save removes it.
TEST_P(DatasetSaving, KilledAtRandomMomentsTheFileReadsAsTheOldOrTheNewWater) {
    const std::string path = PathOf("water.clv");
    TWaterDataset first = ExampleWater();
    TWaterDataset second = ExampleWater();
    second.SetPh(8.25);
    second.SetCalcium(1234.5);
    Save(first, path);
    std::srand(12345);
    int leftBehind = 0;
    for (int round = 0; round < 30; ++round) {
        SCOPED_TRACE(round);
        const pid_t child = ::fork();
        if (child == 0) {
            for (long i = 0;; ++i) {
                try {
                    Save(i % 2 == 0 ? second : first, path);
                } catch (...) {
                    ::_exit(3);
                }
            }
        }
        ::usleep(static_cast<useconds_t>(200 + std::rand() % 3000));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child stopped saving by itself: " << status;
        const auto loaded = LoadDatasetFromFile(path);
        ASSERT_NE(loaded, nullptr);
        EXPECT_TRUE(*loaded == first || *loaded == second) << ReadBytes(path);
        for (const auto& name : FolderEntries()) {
            if (name == "water.clv") continue;
            ++leftBehind;
            EXPECT_EQ(name.rfind(kTemporaryFilePrefix, 0), 0u) << name;
        }
        Save(first, path); // removes a temporary the killed child left
        EXPECT_EQ(FolderEntries(), std::vector<std::string>{"water.clv"});
    }
    RecordProperty("TemporariesSeenAfterAKill", leftBehind);
}

INSTANTIATE_TEST_SUITE_P(Temporaries, DatasetSaving,
                         ::testing::Values(TTemporaryFile::UnnamedWhereSupported, TTemporaryFile::Named),
                         [](const auto& info) {
                             return info.param == TTemporaryFile::Named ? std::string("Named")
                                                                        : std::string("Unnamed");
                         });

} // namespace
