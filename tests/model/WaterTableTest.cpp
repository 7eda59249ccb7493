// Lab tables of waters: the header in both name styles, the separators and the decimal comma,
// quoting, the encodings, the choice of the two measures, the refusals of a row with their line,
// column and value, the refusals of a whole table, the carried columns, and the streaming reader.
#include "WaterTable.h"

#include "CalvaroUtils.h"
#include "ModelTestWaters.h"
#include "Validation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::string kKeys = "IPH,IT,INA,IMG,ICA,ISO4,ICL,ICONDU,IALK";
const std::string kValues = "7.5,20,50,30,100,40,60,45.5,120";

// The water every table below describes unless a case says otherwise (ValidWater: conductivity
// and alkalinity selected); the date is compared separately.
TWaterDataset ExpectedWater(const TWaterDataset& read) {
    TWaterDataset d = ValidWater();
    d.SetCreateDate(read.CreateDate());
    return d;
}

std::string Utf16Le(const std::string& ascii) {
    std::string bytes = "\xFF\xFE";
    for (const char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

std::vector<TWaterTableRow> Read(const std::string& text) {
    return ReadWaterTableText(text);
}

// ---------------------------------------------------------------------------------------------
// Tables that all give the expected water

struct TStyleCase {
    const char* Name;
    std::string Text;
    char Separator;
};

const TStyleCase kStyleCases[] = {
    {"FileKeysComma", kKeys + "\n" + kValues + "\n", ','},
    {"CaptionsSemicolonDecimalComma",
     "pH;Temperature;Total sodium;Total magnesium;Total calcium;Total sulphate;Total chloride;Conductivity;"
     "Total alkalinity\r\n7,5;20;50;30;100;40;60;45,5;120\r\n",
     ';'},
    {"CaptionsTabDecimalComma",
     "pH\tTemperature\tTotal sodium\tTotal magnesium\tTotal calcium\tTotal sulphate\tTotal chloride\t"
     "Conductivity\tTotal alkalinity\n7,5\t20\t50\t30\t100\t40\t60\t45,5\t120\n",
     '\t'},
    {"TabWithDecimalPointAndBlanks",
     "IPH\tIT\tINA\tIMG\tICA\tISO4\tICL\tICONDU\tIALK\n 7.5 \t20\t50\t30\t100\t40\t60\t45.5\t120", '\t'},
    {"SemicolonWithDecimalPoint",
     "IPH;IT;INA;IMG;ICA;ISO4;ICL;ICONDU;IALK\n7.5;20;50;30;100;40;60;45.5;120\n", ';'},
    {"LetterCaseAndSpacesInNames",
     "  ph , TEMPERATURE,total  Sodium,iMG ,Ica,iso4,Total Chloride,conductivity,  IALK  \n" + kValues, ','},
    {"PropertyNames",
     "Ph,Temperature,Sodium,Magnesium,Calcium,Sulphate,Chloride,Conductivity,Alkalinity\n" + kValues, ','},
    {"QuotedNamesAndCells",
     "\"pH\",\"Temperature\",\"Total sodium\",\"Total magnesium\",\"Total calcium\",\"Total sulphate\","
     "\"Total chloride\",\"Conductivity\",\"Total alkalinity\"\n\"7.5\",\"20\", \"50\" "
     ",30,100,40,60,\"45.5\",120\n",
     ','},
    {"QuotedCellsWithDecimalComma",
     "IPH;IT;INA;IMG;ICA;ISO4;ICL;ICONDU;IALK\n\"7,5\";20;50;30;100;40;60;\"45,5\";120\n", ';'},
    {"Utf8ByteOrderMark", "\xEF\xBB\xBF" + kKeys + "\n" + kValues + "\n", ','},
    {"Utf16LittleEndian", Utf16Le(kKeys + "\r\n" + kValues + "\r\n"), ','},
    {"SelectorsAsNumbersWithOtherMeasuresFilled",
     "IPH,IT,INA,IMG,ICA,ISO4,ICL,WATCHAR,ITDS,ICONDU,CARBSYSORDER,IALK\n7.5,20,50,30,100,40,60,1,,45.5,0,"
     "120\n",
     ','},
    {"SelectorsAsTexts",
     "pH;Temperature;Total sodium;Total magnesium;Total calcium;Total sulphate;Total chloride;"
     "Water characterisation;Conductivity;Carbonate system characterisation;Total alkalinity;HC03 acidity\n"
     "7,5;20;50;30;100;40;60;conductivity;45,5;Total Alkalinity;120;\n",
     ';'},
    {"SignsExponentAndTrailingEmptyCells",
     "IPH,IT,INA,IMG,ICA,ISO4,ICL,ICONDU,IALK,,\n+7.5,2e1,50.,30,1E2,40,60,45.50,120,,\n", ','},
};

class TableStyles : public ::testing::TestWithParam<TStyleCase> {};

TEST_P(TableStyles, GiveTheWaterOfTheTable) {
    const TStyleCase& c = GetParam();
    SCOPED_TRACE(c.Text);
    TWaterTableReader reader(c.Text);
    EXPECT_EQ(reader.Separator(), c.Separator);
    EXPECT_EQ(reader.DecimalComma(), c.Separator != ',');
    TWaterTableRow row;
    ASSERT_TRUE(reader.Next(row));
    ASSERT_TRUE(row.IsWater()) << row.Error;
    EXPECT_EQ(*row.Dataset, ExpectedWater(*row.Dataset));
    EXPECT_EQ(row.Line, 2);
    EXPECT_EQ(row.Row, 1);
    EXPECT_TRUE(row.Carried.empty());
    EXPECT_FALSE(reader.Next(row));
}

INSTANTIATE_TEST_SUITE_P(WaterTable, TableStyles, ::testing::ValuesIn(kStyleCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(WaterTable, OtherMeasuresAreKeptBesideTheChosenOne) {
    // The data set holds every value the row gives, as the editor keeps the fields the selectors
    // do not choose; only the chosen ones are checked (a TDS of 2 is below its minimum of 4).
    const auto rows = Read("IPH,IT,INA,IMG,ICA,ISO4,ICL,WATCHAR,ITDS,ICONDU,CARBSYSORDER,IALK,IPCO2\n"
                           "7.5,20,50,30,100,40,60,1,2,45.5,0,120,0.5\n");
    ASSERT_EQ(rows.size(), 1u);
    ASSERT_TRUE(rows[0].IsWater()) << rows[0].Error;
    EXPECT_EQ(rows[0].Dataset->TDS(), 2);
    EXPECT_EQ(rows[0].Dataset->Conductivity(), 45.5);
    EXPECT_EQ(rows[0].Dataset->PressureCO2(), 0.5);
    EXPECT_EQ(rows[0].Dataset->WaterCharacterIndex(), 1);
}

// ---------------------------------------------------------------------------------------------
// The measure of each kind: named in either style, found by the one filled cell

struct TMeasureCase {
    const char* Name;
    const char* Column;
    const char* Value;
    bool Water; // dissolved solids, else carbonate system
    int Index;
    double Expected;
};

const TMeasureCase kMeasureCases[] = {
    {"TdsKey", "ITDS", "300", true, 0, 300},
    {"TdsCaption", "TDS", "300", true, 0, 300},
    {"ConductivityKey", "ICONDU", "45.5", true, 1, 45.5},
    {"IonicStrengthKey", "IMHU", "0.0075", true, 2, 0.0075},
    {"IonicStrengthCaption", "Ionic strength", "0.0075", true, 2, 0.0075},
    {"AlkalinityCaption", "Total alkalinity", "120", false, 0, 120},
    {"AcidityKey", "IHACI", "-20", false, 1, -20},
    {"AcidityCaptionWithDigitZero", "HC03 acidity", "-20", false, 1, -20},
    {"AcidityCaptionWithLetterO", "HCO3 acidity", "-20", false, 1, -20},
    {"CarbonateSpeciesKey", "ITOTC", "150", false, 2, 150},
    {"CarbonateSpeciesCaption", "Total carbonate species", "150", false, 2, 150},
    {"PressureKey", "IPCO2", "0.001", false, 3, 0.001},
    {"PressureCaptionWithDigitZero", "Partial pressures C02", "0.001", false, 3, 0.001},
    {"PressureCaptionWithLetterO", "partial pressures co2", "0.001", false, 3, 0.001},
};

class TableMeasures : public ::testing::TestWithParam<TMeasureCase> {};

TEST_P(TableMeasures, TheOneFilledMeasureIsChosen) {
    const TMeasureCase& c = GetParam();
    // The other kind's measure is given by a column of its own; a second, empty column of the
    // same kind shows that an empty cell does not count as a measure.
    const std::string other = c.Water ? "IALK" : "ICONDU";
    const std::string otherValue = c.Water ? "120" : "45.5";
    const std::string emptySameKind =
        c.Water ? (c.Index == 1 ? "ITDS" : "ICONDU") : (c.Index == 0 ? "ITOTC" : "IALK");
    const std::string text = "IPH,IT,INA,IMG,ICA,ISO4,ICL," + other + "," + c.Column + "," + emptySameKind +
                             "\n7.5,20,50,30,100,40,60," + otherValue + "," + c.Value + ",\n";
    SCOPED_TRACE(text);
    const auto rows = Read(text);
    ASSERT_EQ(rows.size(), 1u);
    ASSERT_TRUE(rows[0].IsWater()) << rows[0].Error;
    const TWaterDataset& d = *rows[0].Dataset;
    if (c.Water) {
        EXPECT_EQ(d.WaterCharacterIndex(), c.Index);
        const double values[] = {d.TDS(), d.Conductivity(), d.IonicStrength()};
        EXPECT_EQ(values[c.Index], c.Expected);
        EXPECT_EQ(d.CarbonCharacterIndex(), 0);
    } else {
        EXPECT_EQ(d.CarbonCharacterIndex(), c.Index);
        const double values[] = {d.Alkalinity(), d.Acidity(), d.CarbonateSpecies(), d.PressureCO2()};
        EXPECT_EQ(values[c.Index], c.Expected);
        EXPECT_EQ(d.WaterCharacterIndex(), 1);
    }
    EXPECT_TRUE(DatasetRangeFaults(d).empty());
}

INSTANTIATE_TEST_SUITE_P(WaterTable, TableMeasures, ::testing::ValuesIn(kMeasureCases),
                         [](const auto& info) { return std::string(info.param.Name); });

struct TSelectorCase {
    const char* Name;
    const char* WaterCell;
    const char* CarbonCell;
    int Water;
    int Carbon;
};

// Every measure of both kinds is filled, so only the selector cells decide.
const TSelectorCase kSelectorCases[] = {
    {"Numbers", "0", "3", 0, 3},
    {"NumbersWithDecimalComma", "2,0", "1", 2, 1},
    {"SelectorTexts", "Ionic strength", "Total carbonate species", 2, 2},
    {"SelectorTextsWithLetterO", "TDS", "HCO3 acidity", 0, 1},
    {"SelectorTextsWithDigitZero", "conductivity", "Partial pressures C02", 1, 3},
    {"FileKeys", "ITDS", "IALK", 0, 0},
};

class TableSelectors : public ::testing::TestWithParam<TSelectorCase> {};

TEST_P(TableSelectors, ChooseAmongFilledMeasures) {
    const TSelectorCase& c = GetParam();
    const std::string text = "IPH;IT;INA;IMG;ICA;ISO4;ICL;Water characterisation;ITDS;ICONDU;IMHU;"
                             "Carbonate system characterisation;IALK;IHACI;ITOTC;IPCO2\n"
                             "7,5;20;50;30;100;40;60;" +
                             std::string(c.WaterCell) + ";300;45,5;0,0075;" + c.CarbonCell +
                             ";120;-20;150;0,001\n";
    SCOPED_TRACE(text);
    const auto rows = Read(text);
    ASSERT_EQ(rows.size(), 1u);
    ASSERT_TRUE(rows[0].IsWater()) << rows[0].Error;
    EXPECT_EQ(rows[0].Dataset->WaterCharacterIndex(), c.Water);
    EXPECT_EQ(rows[0].Dataset->CarbonCharacterIndex(), c.Carbon);
}

INSTANTIATE_TEST_SUITE_P(WaterTable, TableSelectors, ::testing::ValuesIn(kSelectorCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// ---------------------------------------------------------------------------------------------
// Refused rows: the line, the column, the value and the reason

struct TRefusalCase {
    const char* Name;
    std::string Text;
    std::int64_t Line;
    std::string Column;
    std::string Value;
    std::string Reason; // a part of the message
};

const std::string kSelectorHeader =
    "IPH,IT,INA,IMG,ICA,ISO4,ICL,WATCHAR,ITDS,ICONDU,CARBSYSORDER,IALK,IHACI\n";

const TRefusalCase kRefusalCases[] = {
    {"UnreadableNumber", kKeys + "\n7.5x,20,50,30,100,40,60,45.5,120\n", 2, "IPH", "7.5x",
     "'7.5x' in column \"IPH\" is not a number"},
    {"NumberWithUnit",
     "pH;Temperature;Total sodium;Total magnesium;Total calcium;Total sulphate;Total chloride;"
     "Conductivity;Total alkalinity\n7,5;20 C;50;30;100;40;60;45,5;120\n",
     2, "Temperature", "20 C", "is not a number"},
    {"GroupSeparator", "IPH;IT;INA;IMG;ICA;ISO4;ICL;ICONDU;IALK\n7,5;20;1.234,5;30;100;40;60;45,5;120\n", 2,
     "INA", "1.234,5", "is not a number"},
    {"DecimalCommaInCommaTableSplitsTheCell", kKeys + "\n7,5,20,50,30,100,40,60,45.5,120\n", 2, "", "120",
     "The row has 10 cells, but the header names only 9 columns"},
    {"NotFinite", kKeys + "\n7.5,20,inf,30,100,40,60,45.5,120\n", 2, "INA", "inf", "is not a number"},
    {"Overflow", kKeys + "\n7.5,20,50,1e999,100,40,60,45.5,120\n", 2, "IMG", "1e999", "is not a number"},
    {"NanText", kKeys + "\n7.5,20,nan,30,100,40,60,45.5,120\n", 2, "INA", "nan", "is not a number"},
    {"HexadecimalNumber", kKeys + "\n7.5,20,0x32,30,100,40,60,45.5,120\n", 2, "INA", "0x32",
     "is not a number"},
    {"TwoSigns", kKeys + "\n7.5,20,+-50,30,100,40,60,45.5,120\n", 2, "INA", "+-50", "is not a number"},
    {"PhAboveRange", kKeys + "\n14.5,20,50,30,100,40,60,45.5,120\n", 2, "IPH", "14.5",
     "'14.5' in column \"IPH\" is out of range. Enter a pH between 1 and 14."},
    {"SelectedConductivityBelowRange", kKeys + "\n7.5,20,50,30,100,40,60,0.62,120\n", 2, "ICONDU", "0.62",
     "Enter the Conductivity between 0.63 and 2232 mS/m."},
    {"PressureBelowRangeWithDecimalComma",
     "IPH;IT;INA;IMG;ICA;ISO4;ICL;ICONDU;Partial pressures CO2\n7,5;20;50;30;100;40;60;45,5;0,00004\n", 2,
     "Partial pressures CO2", "0,00004", "Enter the partial pressure for CO2 between 0.00005 and 1.0 atm."},
    {"FractionAboveRange", kKeys + ",Fraction of water\n" + kValues + ",150\n", 2, "Fraction of water", "150",
     "between 0 and 100%"},
    {"EmptyRequiredCell", kKeys + "\n7.5,20,50,30,,40,60,45.5,120\n", 2, "ICA", "",
     "Column \"ICA\" has no value"},
    {"RowEndsBeforeRequiredCell", "IPH,IT,INA,IMG,ICA,ISO4,ICONDU,IALK,ICL\n7.5,20,50,30,100,40,45.5,120\n",
     2, "ICL", "", "Column \"ICL\" has no value"},
    {"NoMeasureOfDissolvedSolids",
     "IPH,IT,INA,IMG,ICA,ISO4,ICL,TDS,Conductivity,IALK\n7.5,20,50,30,100,40,60,,,120\n", 2,
     "TDS, Conductivity", "",
     "The row gives no measure of the dissolved solids: \"TDS\" and \"Conductivity\" are empty"},
    {"TwoMeasuresOfCarbonateSystem",
     "IPH,IT,INA,IMG,ICA,ISO4,ICL,ICONDU,IALK,HCO3 acidity,ITOTC\n7.5,20,50,30,100,40,60,45.5,120,-20,\n", 2,
     "IALK, HCO3 acidity", "120, -20",
     "The row gives more than one measure of the carbonate system (\"IALK\" and \"HCO3 acidity\")"},
    {"SelectorChoosesEmptyMeasure", kSelectorHeader + "7.5,20,50,30,100,40,60,0,,45.5,0,120,\n", 2, "WATCHAR",
     "0", "'0' in column \"WATCHAR\" chooses TDS, but the row has no value for it"},
    {"SelectorChoosesMeasureWithoutColumn", kSelectorHeader + "7.5,20,50,30,100,40,60,1,,45.5,3,120,\n", 2,
     "CARBSYSORDER", "3", "chooses Partial pressures C02, but the row has no value for it"},
    {"SelectorNumberOutOfChoices", kSelectorHeader + "7.5,20,50,30,100,40,60,3,,45.5,0,120,\n", 2, "WATCHAR",
     "3", "'3' in column \"WATCHAR\" is not a choice of the water characterisation"},
    {"SelectorUnknownText", kSelectorHeader + "7.5,20,50,30,100,40,60,1,,45.5,Turbidity,120,\n", 2,
     "CARBSYSORDER", "Turbidity", "is not a choice of the carbonate system characterisation"},
    {"SelectedMeasureOutOfRangeWhileOtherIsFine",
     kSelectorHeader + "7.5,20,50,30,100,40,60,0,2,45.5,1,120,-20\n", 2, "ITDS", "2",
     "Enter TDS between 4 and 15000 mg/l."},
    {"ImpossibleDate", kKeys + ",Date\n" + kValues + ",2023-02-30\n", 2, "Date", "2023-02-30",
     "is not a date: write it as YYYY-MM-DD or as a day count"},
    {"QuoteInsideUnquotedCell", kKeys + ",Notes\n" + kValues + ",12\" pipe\n", 2, "Notes", "",
     "A quote is out of place in column \"Notes\""},
    {"TextAfterClosingQuote", kKeys + "\n7.5,\"20\"x,50,30,100,40,60,45.5,120\n", 2, "IT", "",
     "A quote is out of place in column \"IT\""},
    {"UnclosedQuoteAtEnd", kKeys + ",Notes\n" + kValues + ",\"open\n", 2, "Notes", "",
     "A quoted cell in column \"Notes\" is not closed before the end of the table"},
    {"UnreadableCellComesBeforeRangeFaults", kKeys + "\n7.5,0,50,30,100,40,60,45.5,abc\n", 2, "IALK", "abc",
     "is not a number"},
    {"LineAfterBlankLinesAndCrLf",
     kKeys + "\r\n" + kValues + "\r\n\r\n,,,\r\n" + "7.5,20,50,30,100,40,60,45.5,0\r\n", 5, "IALK", "0",
     "Enter H2CO3 alkalinity between 1 and 3000"},
    {"LineAfterQuotedCellOverThreeLinesWithEachLineEnd",
     kKeys + ",Notes\n" + kValues + ",\"taken at\r\nthe second\rwell\"\n7.5,20,50,30,100,40,60,45.5,0,\n", 5,
     "IALK", "0", "out of range"},
    {"LineWithLoneCarriageReturns", kKeys + "\r" + kValues + "\r" + "7.5,20,50,30,100,40,60,45.5,0\r", 3,
     "IALK", "0", "out of range"},
    // The message quotes 40 characters of a long cell and "…"; the cell itself stays whole in the
    // record. Before, a cell of a million digits made a message of a megabyte.
    {"LongValueQuotedAsAnExcerpt", kKeys + "\n7.5,20,50,30,100,40,60,45.5," + std::string(1000, '9') + "x\n",
     2, "IALK", std::string(1000, '9') + "x",
     "'" + std::string(40, '9') + "\xE2\x80\xA6' in column \"IALK\" is not a number"},
    {"LatinOneValueQuotedAsUtf8", kKeys + "\n7.5,20\xB0,50,30,100,40,60,45.5,120\n", 2, "IT", "20\xC2\xB0",
     "'20\xC2\xB0' in column \"IT\" is not a number"},
};

class TableRefusals : public ::testing::TestWithParam<TRefusalCase> {};

TEST_P(TableRefusals, NameTheLineColumnAndValue) {
    const TRefusalCase& c = GetParam();
    SCOPED_TRACE(c.Text);
    const auto rows = Read(c.Text);
    ASSERT_FALSE(rows.empty());
    const TWaterTableRow& refused = rows.back();
    EXPECT_FALSE(refused.IsWater());
    EXPECT_EQ(refused.Line, c.Line);
    EXPECT_EQ(refused.ErrorColumn, c.Column);
    EXPECT_EQ(refused.ErrorValue, c.Value);
    EXPECT_NE(refused.Error.find(c.Reason), std::string::npos) << refused.Error;
    for (std::size_t i = 0; i + 1 < rows.size(); ++i)
        EXPECT_TRUE(rows[i].IsWater()) << "row " << rows[i].Row << ": " << rows[i].Error;
}

INSTANTIATE_TEST_SUITE_P(WaterTable, TableRefusals, ::testing::ValuesIn(kRefusalCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// The bounds of the ranges as a table reads them, against the validation of the stored values.
struct TBoundCase {
    const char* Name;
    const char* Column;
    const char* Value;
    bool Accepted;
};

const TBoundCase kBoundCases[] = {
    {"PhAtMinimum", "IPH", "1", true},
    {"PhAtMaximum", "IPH", "14", true},
    {"PhBelowMinimum", "IPH", "0.999", false},
    {"TemperatureZero", "IT", "0", false},
    {"SodiumZero", "INA", "0", true},
    {"ChlorideAboveMaximum", "ICL", "5000.01", false},
    {"ConductivityAtMinimum", "ICONDU", "0.63", true},
    {"AlkalinityAtMaximum", "IALK", "3000", true},
    {"NegativeSign", "ISO4", "-1", false},
};

class TableBounds : public ::testing::TestWithParam<TBoundCase> {};

TEST_P(TableBounds, AgreeWithTheValidationOfStoredValues) {
    const TBoundCase& c = GetParam();
    std::string header = kKeys, values = kValues;
    // Replace the one column's value in the row.
    std::vector<std::string> names, cells;
    std::stringstream hs(header), vs(values);
    for (std::string s; std::getline(hs, s, ',');)
        names.push_back(s);
    for (std::string s; std::getline(vs, s, ',');)
        cells.push_back(s);
    std::string row;
    for (std::size_t i = 0; i < names.size(); ++i)
        row += (i ? "," : "") + (names[i] == c.Column ? std::string(c.Value) : cells[i]);
    const auto rows = Read(header + "\n" + row + "\n");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].IsWater(), c.Accepted) << rows[0].Error;
    if (rows[0].IsWater()) {
        EXPECT_TRUE(DatasetRangeFaults(*rows[0].Dataset).empty());
    } else {
        EXPECT_EQ(rows[0].ErrorColumn, c.Column);
    }
}

INSTANTIATE_TEST_SUITE_P(WaterTable, TableBounds, ::testing::ValuesIn(kBoundCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(WaterTable, RefusedRowsLeaveTheOthersReadAndNumbered) {
    const auto rows = Read(kKeys + ",Sample\n" + kValues + ",A\n\n" + "7.5,20,50,30,100,40,60,45.5,x,B\n" +
                           ",,,,,,,,,\n" + kValues + ",C\n");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_TRUE(rows[0].IsWater());
    EXPECT_FALSE(rows[1].IsWater());
    EXPECT_TRUE(rows[2].IsWater());
    // Blank rows are skipped and not counted as rows, but their lines are counted.
    EXPECT_EQ(std::vector<std::int64_t>({rows[0].Row, rows[1].Row, rows[2].Row}),
              std::vector<std::int64_t>({1, 2, 3}));
    EXPECT_EQ(std::vector<std::int64_t>({rows[0].Line, rows[1].Line, rows[2].Line}),
              std::vector<std::int64_t>({2, 4, 6}));
    // The refused row keeps its carried cells.
    ASSERT_EQ(rows[1].Carried.size(), 1u);
    EXPECT_EQ(rows[1].Carried[0], std::make_pair(std::string("Sample"), std::string("B")));
}

// ---------------------------------------------------------------------------------------------
// Carried columns and encodings

TEST(WaterTable, CarriedColumnsKeepHeaderOrderAndTheirCells) {
    const std::string text =
        "Sample ID;pH;Place;Temperature;Total sodium;Total magnesium;Total calcium;"
        "Total sulphate;Total chloride;Conductivity;Total alkalinity;Notes\n"
        "W-001;7,5;\"Well 3; north\";20;50;30;100;40;60;45,5;120;\"said \"\"clear\"\"\"\n"
        "W-002;7,5;Z\xFCrich;20;50;30;100;40;60;45,5;120\n";
    TWaterTableReader reader(text);
    EXPECT_EQ(reader.CarriedColumnNames(), (std::vector<std::string>{"Sample ID", "Place", "Notes"}));
    ASSERT_EQ(reader.Columns().size(), 12u);
    EXPECT_EQ(reader.Columns()[0].Property, nullptr);
    ASSERT_NE(reader.Columns()[1].Property, nullptr);
    EXPECT_EQ(reader.Columns()[1].Property->FieldName, "IPH");
    EXPECT_EQ(reader.Columns()[1].Name, "pH");

    TWaterTableRow row;
    ASSERT_TRUE(reader.Next(row));
    ASSERT_TRUE(row.IsWater()) << row.Error;
    const std::vector<std::pair<std::string, std::string>> first{
        {"Sample ID", "W-001"}, {"Place", "Well 3; north"}, {"Notes", "said \"clear\""}};
    EXPECT_EQ(row.Carried, first);
    // Latin-1 bytes become UTF-8; a row that ends early gives its missing carried cells empty.
    ASSERT_TRUE(reader.Next(row));
    ASSERT_TRUE(row.IsWater()) << row.Error;
    const std::vector<std::pair<std::string, std::string>> second{
        {"Sample ID", "W-002"}, {"Place", "Z\xC3\xBCrich"}, {"Notes", ""}};
    EXPECT_EQ(row.Carried, second);
    EXPECT_FALSE(reader.Next(row));
}

TEST(WaterTable, Utf8WithOrWithoutByteOrderMarkStaysAsItIs) {
    for (const std::string bom : {"", "\xEF\xBB\xBF"}) {
        SCOPED_TRACE(bom.empty() ? "without BOM" : "with BOM");
        const auto rows = Read(bom + "Ort," + kKeys + "\nZ\xC3\xBCrich," + kValues + "\n");
        ASSERT_EQ(rows.size(), 1u);
        ASSERT_EQ(rows[0].Carried.size(), 1u);
        EXPECT_EQ(rows[0].Carried[0].first, "Ort");
        EXPECT_EQ(rows[0].Carried[0].second, "Z\xC3\xBCrich");
    }
    // A Latin-1 header name is decoded like a cell.
    const auto rows = Read("Pr\xFC"
                           "fer," +
                           kKeys + "\nK," + kValues + "\n");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].Carried[0].first, "Pr\xC3\xBC"
                                        "fer");
}

// ---------------------------------------------------------------------------------------------
// Dates

struct TDateCase {
    const char* Name;
    const char* Separator;
    const char* Header;
    const char* Cell;
    double Days;
};

const TDateCase kDateCases[] = {
    {"IsoDate", ",", "Date", "2013-10-09", 41556},
    {"IsoDateWithTime", ",", "FCreateDate", "2013-10-09T18:00", 41556.75},
    {"IsoDateWithSpaceAndSeconds", ",", "Date", "2013-10-09 06:00:00", 41556.25},
    {"DayCount", ",", "FCreateDate", "41556", 41556},
    {"DayCountWithDecimalComma", ";", "Date", "41556,5", 41556.5},
    {"FirstDayOfTheCount", ",", "date", "1899-12-30", 0},
    {"LeapDay", ",", "Date", "2024-02-29", 45351},
};

class TableDates : public ::testing::TestWithParam<TDateCase> {};

TEST_P(TableDates, GiveTheDayCount) {
    const TDateCase& c = GetParam();
    std::string header = kKeys + "," + c.Header, values = kValues + "," + c.Cell;
    if (std::string(c.Separator) == ";") {
        header = "IPH;IT;INA;IMG;ICA;ISO4;ICL;ICONDU;IALK;" + std::string(c.Header);
        values = "7,5;20;50;30;100;40;60;45,5;120;" + std::string(c.Cell);
    }
    const auto rows = Read(header + "\n" + values + "\n");
    ASSERT_EQ(rows.size(), 1u);
    ASSERT_TRUE(rows[0].IsWater()) << rows[0].Error;
    EXPECT_DOUBLE_EQ(rows[0].Dataset->CreateDate(), c.Days);
}

INSTANTIATE_TEST_SUITE_P(WaterTable, TableDates, ::testing::ValuesIn(kDateCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(WaterTable, WithoutDateTheWaterIsOfToday) {
    const auto rows = Read(kKeys + ",Date\n" + kValues + ",\n");
    ASSERT_EQ(rows.size(), 1u);
    ASSERT_TRUE(rows[0].IsWater()) << rows[0].Error;
    EXPECT_EQ(rows[0].Dataset->CreateDate(), TodayAsDayCount());
}

// ---------------------------------------------------------------------------------------------
// Tables that cannot be read at all

struct TTableFaultCase {
    const char* Name;
    std::string Text;
    std::string Reason; // a part of the message
};

const TTableFaultCase kTableFaultCases[] = {
    {"Empty", "", "The table is empty"},
    {"OnlyBlankLines", "\r\n\n,,\n", "The table is empty"},
    {"NoKnownColumn", "Sample,Place\nA,B\n",
     "names no field of a water data set (it reads \"Sample\", \"Place\")"},
    {"FieldNamedTwice", "IPH,IT,INA,IMG,ICA,ISO4,ICL,ICONDU,IALK,pH\n",
     "The columns \"IPH\" and \"pH\" both give pH (IPH)"},
    {"CaptionAndKeyOfAcidity", "IPH,IT,INA,IMG,ICA,ISO4,ICL,ICONDU,IHACI,HCO3 acidity\n",
     "both give HC03 acidity (IHACI)"},
    {"RequiredColumnsMissing", "IPH,IT,INA,IMG,ICA,ICONDU,IALK\n",
     "The table has no column for Total sulphate (ISO4), Total chloride (ICL)"},
    {"NoCarbonateMeasure", "IPH,IT,INA,IMG,ICA,ISO4,ICL,ICONDU,CARBSYSORDER\n",
     "no column for a measure of the carbonate system: Total alkalinity (IALK), HC03 acidity (IHACI), Total "
     "carbonate species (ITOTC) or Partial pressures C02 (IPCO2)"},
    {"MalformedHeader", "IPH,\"IT\"x,INA\n", "The header of the table, on line 1, has a quote out of place"},
};

class TableFaults : public ::testing::TestWithParam<TTableFaultCase> {};

TEST_P(TableFaults, RefuseTheWholeTable) {
    const TTableFaultCase& c = GetParam();
    try {
        Read(c.Text);
        ADD_FAILURE() << "read the table";
    } catch (const TWaterTableError& e) {
        EXPECT_NE(std::string(e.what()).find(c.Reason), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(WaterTable, TableFaults, ::testing::ValuesIn(kTableFaultCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(WaterTable, MissingFileIsAFileError) {
    EXPECT_THROW(ReadWaterTableFile("/nonexistent/calvaro/table.csv"), TFileError);
}

// ---------------------------------------------------------------------------------------------
// Streaming

// A table larger than the reader's chunks, with quoted cells over two lines, refused rows, CR LF
// line ends and blank lines, whose line numbers are known as it is written.
struct TGeneratedTable {
    std::string Text;
    std::vector<std::int64_t> Lines;
    std::vector<bool> Refused;
};

TGeneratedTable GenerateTable(int rows) {
    TGeneratedTable table;
    table.Text = "Sample;IPH;IT;INA;IMG;ICA;ISO4;ICL;ICONDU;IALK;Notes\r\n";
    std::int64_t line = 2;
    for (int i = 0; i < rows; ++i) {
        const bool refused = i % 97 == 5;
        const bool twoLines = i % 13 == 0;
        const bool blankAfter = i % 31 == 0;
        table.Lines.push_back(line);
        table.Refused.push_back(refused);
        table.Text += "S" + std::to_string(i) + ";7," + std::to_string(i % 10) + ";" +
                      (refused ? "95" : "20") + ";50;30;100;40;60;45,5;120;" +
                      (twoLines ? "\"first\r\nsecond\"" : "plain") + "\r\n";
        line += twoLines ? 2 : 1;
        if (blankAfter) {
            table.Text += "\r\n";
            ++line;
        }
    }
    return table;
}

TEST(WaterTable, StreamingReadsChunkedInputLikeTheWholeText) {
    const TGeneratedTable table = GenerateTable(20000);
    ASSERT_GT(table.Text.size(), 4 * 64 * 1024u);
    std::istringstream in(table.Text);
    std::size_t count = 0;
    ReadWaterTable(in, [&](const TWaterTableRow& row) {
        ASSERT_LT(count, table.Lines.size());
        EXPECT_EQ(row.Row, static_cast<std::int64_t>(count + 1));
        EXPECT_EQ(row.Line, table.Lines[count]) << "row " << row.Row;
        EXPECT_EQ(row.IsWater(), !table.Refused[count]) << "row " << row.Row << ": " << row.Error;
        ASSERT_EQ(row.Carried.size(), 2u);
        EXPECT_EQ(row.Carried[0].second, "S" + std::to_string(count));
        EXPECT_EQ(row.Carried[1].second, count % 13 == 0 ? "first\r\nsecond" : "plain");
        if (row.IsWater()) {
            EXPECT_DOUBLE_EQ(row.Dataset->Ph(), 7 + (count % 10) / 10.0);
        }
        ++count;
    });
    EXPECT_EQ(count, table.Lines.size());

    // The same rows through the other entry points.
    std::istringstream again(table.Text);
    const auto fromStream = ReadWaterTable(again);
    const auto fromText = ReadWaterTableText(table.Text);
    ASSERT_EQ(fromStream.size(), table.Lines.size());
    ASSERT_EQ(fromText.size(), table.Lines.size());
    for (std::size_t i = 0; i < fromText.size(); ++i) {
        EXPECT_EQ(fromStream[i].Line, fromText[i].Line);
        EXPECT_EQ(fromStream[i].Dataset, fromText[i].Dataset);
        EXPECT_EQ(fromStream[i].Error, fromText[i].Error);
    }
}

TEST(WaterTable, QuoteOutOfPlaceSkipsOnlyTheRestOfItsLine) {
    const auto rows = Read(kKeys + ",Notes\n" + kValues + ",a\"b,\"c\n" + kValues + ",fine\n");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_FALSE(rows[0].IsWater());
    ASSERT_TRUE(rows[1].IsWater()) << rows[1].Error;
    EXPECT_EQ(rows[1].Line, 3);
    EXPECT_EQ(rows[1].Carried[0].second, "fine");
}

} // namespace
