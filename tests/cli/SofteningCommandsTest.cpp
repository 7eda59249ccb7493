// calvaro-calc's softening commands: the facade's figures, the windows' bounds (which follow the
// water), refusals and usage errors.

#include "CalculationRanges.h"
#include "CliTestSupport.h"
#include "EngineFacade.h"
#include "RecordWriter.h"

namespace {

struct TLimits {
    double CAMIN = 0, ALKMIN = 0, ACIMIN = 0, HMIN = 0, LIMEINV = 0;
};
TLimits LimitsOf(const TWaterDataset& dataset) {
    TLimits l;
    GetSofteningCaLimits(dataset, l.CAMIN, l.ALKMIN, l.ACIMIN, l.HMIN, l.LIMEINV);
    return l;
}

using CalcSoftening = CliFilesTest;

TEST_F(CalcSoftening, LimitsGiveTheFiveValuesOfTheFacade) {
    const std::string a = Save("a.clv", ValidWater());
    const TRunOutput run = RunInProcess({"softening-limits", a});
    ASSERT_EQ(run.ExitCode, kExitSuccess) << run.Err;
    const auto line = run.Lines().at(0);
    EXPECT_EQ(KeysOf(line),
              (std::vector<std::string>{"input", "CAMIN", "ALKMIN", "ACIMIN", "HMIN", "LIMEINV"}));
    const TLimits l = LimitsOf(*LoadDatasetFromFile(a));
    EXPECT_EQ(line["input"], a);
    EXPECT_EQ(line["CAMIN"].get<double>(), l.CAMIN);
    EXPECT_EQ(line["ALKMIN"].get<double>(), l.ALKMIN);
    EXPECT_EQ(line["ACIMIN"].get<double>(), l.ACIMIN);
    EXPECT_EQ(line["HMIN"].get<double>(), l.HMIN);
    EXPECT_EQ(line["LIMEINV"].get<double>(), l.LIMEINV);
}

TEST_F(CalcSoftening, LimeAndSodaAshGiveTheResultAndTheDosageWithItsTexts) {
    const std::string a = Save("a.clv", ValidWater());
    const auto dataset = LoadDatasetFromFile(a);
    struct TRow {
        const char* Method;
        double Calcium;
    };
    for (const TRow row : {TRow{"lime", 60}, TRow{"soda-ash", 60}}) {
        SCOPED_TRACE(row.Method);
        const TRunOutput run = RunInProcess(
            {"softening-ca", "--method", row.Method, "--calcium", std::to_string(row.Calcium), a});
        ASSERT_EQ(run.ExitCode, kExitSuccess) << run.Out;
        const auto line = run.Lines().at(0);
        EXPECT_EQ(KeysOf(line), (std::vector<std::string>{"input", "result", "DosageRequired", "DosageUnits",
                                                          "DosageType", "indices"}));
        double dosage = 0;
        std::string units, type;
        TResultPtr expected;
        if (std::string(row.Method) == "lime") {
            LimitsOf(*dataset);
            expected = RunSofteningCaLime(*dataset, dosage, units, type, row.Calcium);
        } else {
            expected = RunSofteningCaSodaAsh(*dataset, dosage, units, type, row.Calcium);
        }
        ExpectResult(line["result"], *expected);
        EXPECT_EQ(line["DosageRequired"].get<double>(), dosage);
        EXPECT_EQ(line["DosageUnits"], units);
        EXPECT_EQ(line["DosageType"], type);
    }
    const auto lime = RunInProcess({"softening-ca", "--method", "lime", "--calcium", "60", a}).Lines().at(0);
    EXPECT_EQ(lime["DosageUnits"], "mg/l as Ca(OH)2");
    EXPECT_EQ(lime["DosageType"], "Lime");
    const auto ash = RunInProcess({"softening-ca", "--method=soda-ash", "--calcium=60", a}).Lines().at(0);
    EXPECT_EQ(ash["DosageUnits"], "mg/l as Na2CO3");
    EXPECT_EQ(ash["DosageType"], "Soda ash");
}

// The bounds of the calcium window for ValidWater (calcium 100, magnesium 30 mg/l as CaCO3),
// whose lowest lime calcium is CAMIN 3 mg/l as Ca, shown as 7.5 mg/l as CaCO3.
struct TBoundRow {
    const char* Name;
    std::vector<std::string> Options;
    bool Accepted;
    const char* Refusal;
};

const TBoundRow kBoundRows[] = {
    {"LimeAtTheShownMinimum", {"softening-ca", "--method", "lime", "--calcium", "7.5"}, true, ""},
    {"LimeBelowTheShownMinimum",
     {"softening-ca", "--method", "lime", "--calcium", "7.49"},
     false,
     "--calcium 7.49 is outside the range 7.5 to 100. The range runs from the lowest calcium lime can reach "
     "in "
     "this water (CAMIN 3 mg/l as Ca) to its own calcium (ICA), in mg/l as CaCO3."},
    {"LimeAtTheWatersCalcium", {"softening-ca", "--method", "lime", "--calcium", "100"}, true, ""},
    {"LimeAboveTheWatersCalcium",
     {"softening-ca", "--method", "lime", "--calcium", "100.1"},
     false,
     "--calcium 100.1 is outside the range 7.5 to 100."},
    {"SodaAshBelowTheLimeMinimum", {"softening-ca", "--method", "soda-ash", "--calcium", "2"}, true, ""},
    {"SodaAshBelowTwo",
     {"softening-ca", "--method", "soda-ash", "--calcium", "1.99"},
     false,
     "--calcium 1.99 is outside the range 2 to 100. The range runs from 2 to the water's own calcium (ICA), "
     "in "
     "mg/l as CaCO3."},
    {"MagnesiumAtOne", {"softening-mg", "--magnesium", "1"}, true, ""},
    {"MagnesiumAtTheWatersMagnesium", {"softening-mg", "--magnesium", "30"}, true, ""},
    {"MagnesiumAboveTheWaters",
     {"softening-mg", "--magnesium", "30.5"},
     false,
     "--magnesium 30.5 is outside the range 1 to 30. The range runs from 1 to the water's own magnesium "
     "(IMG), "
     "in mg/l as CaCO3."},
    {"CombinedAtTheBounds", {"softening-camg", "--calcium", "2", "--magnesium", "30"}, true, ""},
    {"CombinedBothOut",
     {"softening-camg", "--calcium", "1", "--magnesium", "0.5"},
     false,
     "--calcium 1 is outside the range 2 to 100. The range runs from 2 to the water's own calcium (ICA), in "
     "mg/l "
     "as CaCO3. --magnesium 0.5 is outside the range 1 to 30. The range runs from 1 to the water's own "
     "magnesium (IMG), in mg/l as CaCO3."},
    {"CombinedMagnesiumOut",
     {"softening-camg", "--calcium", "50", "--magnesium", "31"},
     false,
     "--magnesium 31 is outside the range 1 to 30. The range runs from 1 to the water's own magnesium (IMG), "
     "in "
     "mg/l as CaCO3."},
};

class CalcSofteningBounds : public CliFilesTest, public ::testing::WithParamInterface<TBoundRow> {};

TEST_P(CalcSofteningBounds, FollowTheWaterAsTheWindowsDo) {
    const TBoundRow& row = GetParam();
    std::vector<std::string> arguments = row.Options;
    arguments.push_back(Save("a.clv", ValidWater()));
    const TRunOutput run = RunInProcess(arguments);
    const auto line = run.Lines().at(0);
    if (row.Accepted) {
        EXPECT_EQ(run.ExitCode, kExitSuccess) << run.Out;
        EXPECT_TRUE(line.contains("result")) << run.Out;
    } else {
        EXPECT_EQ(run.ExitCode, kExitInputFailed);
        EXPECT_EQ(KeysOf(line), (std::vector<std::string>{"input", "error"}));
        EXPECT_EQ(line["error"].get<std::string>().rfind(row.Refusal, 0), 0u) << line["error"];
    }
}

INSTANTIATE_TEST_SUITE_P(Inputs, CalcSofteningBounds, ::testing::ValuesIn(kBoundRows),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(CalcSoftening, TheLimeBoundIsTheMinimumOfEachWater) {
    // The same target is refused for a hard water whose lime minimum lies above it.
    TWaterDataset hard = ValidWater();
    hard.SetCalcium(300);
    const std::string soft = Save("soft.clv", ValidWater()), hardPath = Save("hard.clv", hard);
    const double minimum = CalculationRanges::MinimumLimeCalcium(LimitsOf(hard).CAMIN);
    ASSERT_GT(minimum, 20);
    const TRunOutput run =
        RunInProcess({"softening-ca", "--method", "lime", "--calcium", "20", soft, hardPath});
    EXPECT_EQ(run.ExitCode, kExitInputFailed);
    const auto lines = run.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(lines[0].contains("result"));
    EXPECT_NE(
        lines[1]["error"].get<std::string>().find("outside the range " + ShortReal(minimum) + " to 300."),
        std::string::npos)
        << lines[1]["error"];
}

TEST_F(CalcSoftening, CombinedGivesBothDosagesAndANegativeSodaAshAsComputed) {
    const std::string a = Save("a.clv", ValidWater());
    const TRunOutput run = RunInProcess({"softening-camg", "--calcium", "99", "--magnesium", "15", a});
    ASSERT_EQ(run.ExitCode, kExitSuccess) << run.Out;
    const auto line = run.Lines().at(0);
    EXPECT_EQ(KeysOf(line), (std::vector<std::string>{"input", "result", "LimeDosageRequired",
                                                      "AshDosageRequired", "indices"}));
    double lime = 0, ash = 0;
    const TResultPtr expected = RunSofteningCaMg(*LoadDatasetFromFile(a), lime, ash, 99, 15);
    ExpectResult(line["result"], *expected);
    EXPECT_EQ(line["LimeDosageRequired"].get<double>(), lime);
    EXPECT_EQ(line["AshDosageRequired"].get<double>(), ash);
    EXPECT_LT(ash, 0);
}

TEST_F(CalcSoftening, MagnesiumGivesTheLimeDosage) {
    const std::string a = Save("a.clv", ValidWater());
    const auto line = RunInProcess({"softening-mg", "--magnesium", "15", a}).Lines().at(0);
    double dosage = 0;
    std::string units, type;
    const TResultPtr expected = RunSofteningMg(*LoadDatasetFromFile(a), dosage, units, type, 15);
    ExpectResult(line["result"], *expected);
    EXPECT_EQ(line["DosageRequired"].get<double>(), dosage);
    EXPECT_EQ(line["DosageUnits"], "mg/l as Ca(OH)2");
    EXPECT_EQ(line["DosageType"], "Lime");
}

TEST_F(CalcSoftening, CsvFlattensTheResultBesideTheDosage) {
    TWaterDataset invalid = ValidWater();
    invalid.SetCalcium(5001);
    const std::string a = Save("a.clv", ValidWater()), bad = Save("bad.clv", invalid);
    const TRunOutput run = RunInProcess({"softening-mg", "--magnesium", "15", "--format", "csv", a, bad});
    EXPECT_EQ(run.ExitCode, kExitInputFailed);
    const auto rows = CsvRows(run.Out);
    ASSERT_EQ(rows.size(), 3u);
    std::vector<std::string> header = {"input"};
    header.insert(header.end(), kResultKeys.begin(), kResultKeys.end());
    header.insert(header.end(), {"DosageRequired", "DosageUnits", "DosageType"});
    header.insert(header.end(), kIndexKeys.begin(), kIndexKeys.end());
    header.push_back("error");
    EXPECT_EQ(rows[0], header);
    EXPECT_EQ(ParseDouble(rows[1][4]), 15); // MGF
    EXPECT_EQ(rows[1][17], "mg/l as Ca(OH)2");
    EXPECT_EQ(rows[1].back(), "");
    EXPECT_NE(rows[2].back().find("Calcium (ICA) 5001 is outside the range 0 to 5000."), std::string::npos)
        << rows[2].back();
}

TEST_F(CalcSoftening, ZeroFreeMagnesiumIsTheInputsErrorOnly) {
    // A water without magnesium accepts no magnesium target (1 to 0); combined softening of it
    // would divide by zero free magnesium, and the bounds refuse it first.
    TWaterDataset noMagnesium = ValidWater();
    noMagnesium.SetMagnesium(0);
    const TRunOutput run = RunInProcess({"softening-camg", "--calcium", "50", "--magnesium", "1",
                                         Save("none.clv", noMagnesium), Save("a.clv", ValidWater())});
    EXPECT_EQ(run.ExitCode, kExitInputFailed);
    const auto lines = run.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0]["error"].get<std::string>().rfind("--magnesium 1 is outside the range 1 to 0.", 0),
              0u);
    EXPECT_TRUE(lines[1].contains("LimeDosageRequired"));
}

struct TUsageRow {
    const char* Name;
    std::vector<std::string> Arguments;
    const char* MessagePart;
};

const TUsageRow kSofteningUsageRows[] = {
    {"UnknownMethod",
     {"softening-ca", "--method", "caustic", "--calcium", "50", "a.clv"},
     "--method expects one of lime, soda-ash, not \"caustic\"."},
    {"MethodByNumber",
     {"softening-ca", "--method", "0", "--calcium", "50", "a.clv"},
     "--method expects one of"},
    {"MissingCalcium", {"softening-ca", "--method", "lime", "a.clv"}, "softening-ca needs --calcium X."},
    {"MissingMagnesium",
     {"softening-camg", "--calcium", "50", "a.clv"},
     "softening-camg needs --magnesium Y."},
    {"CommaDecimal", {"softening-mg", "--magnesium", "1,5", "a.clv"}, "--magnesium expects a number"},
    {"LimitsTakeNoOption", {"softening-limits", "--calcium", "5", "a.clv"}, "Unknown option \"--calcium\""},
    {"NoFile", {"softening-mg", "--magnesium", "5"}, "softening-mg needs at least one file."},
};

class CalcSofteningUsage : public ::testing::TestWithParam<TUsageRow> {};

TEST_P(CalcSofteningUsage, ExitsWithTwoAndTheUsage) {
    const TRunOutput run = RunInProcess(GetParam().Arguments);
    EXPECT_EQ(run.ExitCode, kExitUsage);
    EXPECT_EQ(run.Out, "");
    EXPECT_NE(run.Err.find(GetParam().MessagePart), std::string::npos) << run.Err;
    EXPECT_NE(run.Err.find("softening-camg --calcium X --magnesium Y"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Arguments, CalcSofteningUsage, ::testing::ValuesIn(kSofteningUsageRows),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
