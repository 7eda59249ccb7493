// calvaro-calc in-process: the characterise command's JSON and CSV forms, refusals, loader
// errors, usage errors and exit codes.

#include "CliTestSupport.h"
#include "EngineFacade.h"

namespace {

const std::vector<std::string> kDatasetKeys = {
    "FCreateDate", "FRAC", "IPH",    "IT",   "INA",          "IMG",  "ICA",   "ISO4",  "ICL",
    "WATCHAR",     "ITDS", "ICONDU", "IMHU", "CARBSYSORDER", "IALK", "IHACI", "ITOTC", "IPCO2"};

struct TExpectedCharacterisation {
    TWaterDataset Dataset;
    double Potential = 0, TDS = 0, Conductivity = 0, IonicStrength = 0, CO3Acidity = 0;
};

TExpectedCharacterisation CharacteriseDirectly(TWaterDataset dataset) {
    TExpectedCharacterisation e;
    CharacteriseWater(dataset, e.Potential, e.TDS, e.Conductivity, e.IonicStrength, e.CO3Acidity);
    e.Dataset = dataset;
    return e;
}

using CalcCharacterise = CliFilesTest;

TEST_F(CalcCharacterise, WritesOneJsonLinePerFileWithTheFacadesExactFigures) {
    TWaterDataset brackish = ValidWater();
    brackish.SetSodium(2000), brackish.SetChloride(3000), brackish.SetSulphate(900), brackish.SetCalcium(500);
    const std::string a = Save("a.clv", ValidWater()), b = Save("b.clv", brackish);

    const TRunOutput run = RunInProcess({"characterise", a, b});
    ASSERT_EQ(run.ExitCode, kExitSuccess) << run.Err;
    EXPECT_EQ(run.Err, "");
    const auto lines = run.Lines();
    ASSERT_EQ(lines.size(), 2u);

    const std::vector<std::string> topKeys = {
        "input", "PrecipitationPotential", "TDS", "Conductivity", "IonicStrength", "dataset", "indices"};
    const std::pair<std::string, TWaterDataset> inputs[] = {{a, ValidWater()}, {b, brackish}};
    for (std::size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(inputs[i].first);
        const auto& line = lines[i];
        const TExpectedCharacterisation expected =
            CharacteriseDirectly(*LoadDatasetFromFile(inputs[i].first));
        EXPECT_EQ(KeysOf(line), topKeys);
        EXPECT_EQ(line["input"], inputs[i].first);
        // 17 significant digits read back to the very same doubles.
        EXPECT_EQ(line["PrecipitationPotential"].get<double>(), expected.Potential);
        EXPECT_EQ(line["TDS"].get<double>(), expected.TDS);
        EXPECT_EQ(line["Conductivity"].get<double>(), expected.Conductivity);
        EXPECT_EQ(line["IonicStrength"].get<double>(), expected.IonicStrength);
        EXPECT_EQ(KeysOf(line["dataset"]), kDatasetKeys);
        EXPECT_EQ(line["dataset"]["IHACI"].get<double>(), expected.Dataset.Acidity());
        EXPECT_EQ(line["dataset"]["IALK"].get<double>(), expected.Dataset.Alkalinity());
        EXPECT_EQ(line["dataset"]["FCreateDate"].get<double>(), 41556);
        EXPECT_TRUE(line["dataset"]["WATCHAR"].is_number_integer());
        EXPECT_EQ(line["dataset"]["CARBSYSORDER"], 0);
    }
}

TEST_F(CalcCharacterise, PrintsRealsWithSeventeenSignificantDigits) {
    const TRunOutput run = RunInProcess({"characterise", Save("a.clv", ValidWater())});
    ASSERT_EQ(run.ExitCode, kExitSuccess);
    // 291.2 is not a Double; its nearest Double needs all 17 digits.
    EXPECT_NE(run.Out.find("\"TDS\":291.20000000000005"), std::string::npos) << run.Out;
}

TEST_F(CalcCharacterise, CsvHasAHeaderOfTheFlattenedKeysAndOneRowPerFile) {
    const std::string a = Save("a.clv", ValidWater());
    TWaterDataset invalid = ValidWater();
    invalid.SetPh(0.5);
    const std::string bad = Save("bad.clv", invalid);

    const TRunOutput run = RunInProcess({"characterise", "--format", "csv", bad, a});
    EXPECT_EQ(run.ExitCode, kExitInputFailed);
    const auto rows = CsvRows(run.Out);
    ASSERT_EQ(rows.size(), 3u);
    std::vector<std::string> header = {"input", "PrecipitationPotential", "TDS", "Conductivity",
                                       "IonicStrength"};
    header.insert(header.end(), kDatasetKeys.begin(), kDatasetKeys.end());
    header.insert(header.end(), kIndexKeys.begin(), kIndexKeys.end());
    header.push_back("error");
    EXPECT_EQ(rows[0], header);
    for (const auto& row : rows)
        EXPECT_EQ(row.size(), header.size());

    EXPECT_EQ(rows[1][0], bad);
    EXPECT_NE(rows[1].back().find("IPH"), std::string::npos);
    EXPECT_EQ(rows[1][1], "");

    const TExpectedCharacterisation expected = CharacteriseDirectly(*LoadDatasetFromFile(a));
    EXPECT_EQ(rows[2][0], a);
    EXPECT_EQ(ParseDouble(rows[2][1]), expected.Potential);
    EXPECT_EQ(ParseDouble(rows[2][4]), expected.IonicStrength);
    EXPECT_EQ(ParseDouble(rows[2][5 + 15]), expected.Dataset.Acidity()); // IHACI
    EXPECT_EQ(rows[2].back(), "");
}

TEST_F(CalcCharacterise, RefusesAnInvalidDataSetNamingFieldValueAndRangeAndGoesOn) {
    TWaterDataset invalid = ValidWater();
    invalid.SetPh(0.999);
    invalid.SetWaterCharacterIndex(0); // TDS selected while it holds 0: below its minimum of 4
    const std::string bad = Save("bad.clv", invalid), good = Save("good.clv", ValidWater());

    const TRunOutput run = RunInProcess({"characterise", bad, good});
    EXPECT_EQ(run.ExitCode, kExitInputFailed);
    const auto lines = run.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(KeysOf(lines[0]), (std::vector<std::string>{"input", "error"}));
    const std::string error = lines[0]["error"];
    EXPECT_NE(error.find("Ph (IPH) 0.999 is outside the range 1 to 14."), std::string::npos) << error;
    EXPECT_NE(error.find("TDS (ITDS) 0 is outside the range 4 to 15000."), std::string::npos) << error;
    EXPECT_EQ(error.find("ICONDU"), std::string::npos) << "the unselected measure is not checked";
    EXPECT_TRUE(lines[1].contains("PrecipitationPotential"));
}

TEST_F(CalcCharacterise, ReportsTheLoadersOwnMessages) {
    const std::string empty = WriteText("empty.clv", "");
    const std::string space = WriteText("space.clv", " ");
    const std::string unknownField =
        WriteText("field.clv", R"({"type":"CalvaroModel.TWaterDataset","id":1,"fields":{"IXYZ":1}})");
    const std::string missing = PathOf("missing.clv");

    const TRunOutput run = RunInProcess({"characterise", empty, space, unknownField, missing});
    EXPECT_EQ(run.ExitCode, kExitInputFailed);
    const auto lines = run.Lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0]["error"], "Couldn't load file " + empty);
    EXPECT_EQ(lines[1]["error"], "The input value is not a valid Object");
    EXPECT_EQ(lines[2]["error"], "Internal: Field IXYZ cannot be found in type TWaterDataset");
    EXPECT_NE(lines[3]["error"].get<std::string>().find(missing), std::string::npos);
}

TEST_F(CalcCharacterise, ACalculationFaultIsThatInputsErrorOnly) {
    // A negative HCO3 acidity at pH 7.8 gives a brackish water with negative carbonate, which the
    // engine refuses.
    TWaterDataset impossible = ValidWater();
    impossible.SetPh(7.8), impossible.SetSodium(2000), impossible.SetMagnesium(600),
        impossible.SetCalcium(500);
    impossible.SetSulphate(900), impossible.SetChloride(3000), impossible.SetTemperature(25);
    impossible.SetCarbonCharacterIndex(1), impossible.SetAcidity(-12);
    const TRunOutput run =
        RunInProcess({"characterise", Save("impossible.clv", impossible), Save("good.clv", ValidWater())});
    EXPECT_EQ(run.ExitCode, kExitInputFailed);
    const auto lines = run.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0]["error"].get<std::string>().rfind("This water cannot exist: at pH 7.80", 0), 0u);
    EXPECT_FALSE(lines[1].contains("error"));
}

TEST_F(CalcCharacterise, EscapesAPathThatNeedsIt) {
    const std::string odd = Save("a \"quoted\", name.clv", ValidWater());
    const TRunOutput json = RunInProcess({"characterise", odd});
    ASSERT_EQ(json.ExitCode, kExitSuccess);
    EXPECT_EQ(json.Lines().at(0)["input"], odd);
    const TRunOutput csv = RunInProcess({"characterise", "--format=csv", odd});
    const auto rows = CsvRows(csv.Out);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1][0], odd);
}

struct TUsageRow {
    const char* Name;
    std::vector<std::string> Arguments;
    const char* MessagePart;
};

const TUsageRow kUsageRows[] = {
    {"NoArguments", {}, "No command given."},
    {"UnknownCommand", {"characterize", "a.clv"}, "Unknown command \"characterize\"."},
    {"UnknownOption", {"characterise", "--ph", "7", "a.clv"}, "Unknown option \"--ph\" for characterise."},
    {"MissingFormatValue", {"characterise", "a.clv", "--format"}, "Option --format needs a value."},
    {"UnknownFormat", {"characterise", "--format", "xml", "a.clv"}, "--format expects json or csv"},
    {"NoFile", {"characterise"}, "characterise needs at least one file."},
    {"NoFileAfterFormat", {"characterise", "--format", "csv"}, "characterise needs at least one file."},
};

class CalcUsageErrors : public ::testing::TestWithParam<TUsageRow> {};

TEST_P(CalcUsageErrors, ExitWithTwoAndTheUsageOnTheErrorStream) {
    const TRunOutput run = RunInProcess(GetParam().Arguments);
    EXPECT_EQ(run.ExitCode, kExitUsage);
    EXPECT_EQ(run.Out, "");
    EXPECT_NE(run.Err.find(GetParam().MessagePart), std::string::npos) << run.Err;
    EXPECT_NE(run.Err.find("usage: calvaro-calc COMMAND [OPTIONS] FILE.clv [FILE.clv ...]"),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Arguments, CalcUsageErrors, ::testing::ValuesIn(kUsageRows),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(CalcUsage, ListsEveryCommandWithItsOptions) {
    const std::string usage = CalcUsage();
    EXPECT_NE(usage.find("characterise"), std::string::npos);
    EXPECT_NE(usage.find("--format json|csv"), std::string::npos);
}

TEST_F(CalcCharacterise, ADoubleDashEndsTheOptions) {
    const std::string path = Save("--odd.clv", ValidWater());
    const TRunOutput run = RunInProcess({"characterise", "--", path});
    EXPECT_EQ(run.ExitCode, kExitSuccess) << run.Err;
}

} // namespace
