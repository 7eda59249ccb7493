// calvaro-calc's treatment commands: each calls its facade operation with the options given and
// prints the result and the outputs the window shows, and refuses option values outside the
// window's range.

#include "CliTestSupport.h"
#include "EngineFacade.h"

namespace {

class CalcTreatments : public CliFilesTest {
protected:
    void SetUp() override {
        CliFilesTest::SetUp();
        FPath = Save("water.clv", ValidWater());
    }
    // The single output line of a successful run.
    nlohmann::ordered_json RunOk(std::vector<std::string> arguments) const {
        arguments.push_back(FPath);
        const TRunOutput run = RunInProcess(arguments);
        EXPECT_EQ(run.ExitCode, kExitSuccess) << run.Out << run.Err;
        const auto lines = run.Lines();
        EXPECT_EQ(lines.size(), 1u);
        return lines.empty() ? nlohmann::ordered_json{} : lines.front();
    }
    std::string FPath;
};

struct TChemicalName {
    const char* Name;
    int Index;
};
const TChemicalName kPhChemicals[] = {{"co2", 0},
                                      {"lime", 1},
                                      {"soda-ash", 2},
                                      {"caustic-soda", 3},
                                      {"hydrochloric-acid", 4},
                                      {"bicarbonate-of-soda", 5}};

TEST_F(CalcTreatments, PhAdjustmentByNameOrIndexGivesTheFacadesFiguresAndNotes) {
    for (const auto& [name, index] : kPhChemicals) {
        SCOPED_TRACE(name);
        double dosage = 0;
        std::string units, type, note1, note2;
        const TResultPtr expected =
            RunPhAdjustment(ValidWater(), index, 8.2, dosage, units, type, note1, note2);
        for (const std::string& chemical : {std::string(name), std::to_string(index)}) {
            const auto line = RunOk({"ph-adjustment", "--chemical", chemical, "--ph", "8.2"});
            EXPECT_EQ(KeysOf(line),
                      (std::vector<std::string>{"input", "result", "DosageRequired", "DosageUnits",
                                                "DosageType", "Note1", "Note2", "indices"}));
            ExpectResult(line["result"], *expected);
            EXPECT_EQ(line["DosageRequired"].get<double>(), dosage);
            EXPECT_EQ(line["DosageUnits"], units);
            EXPECT_EQ(line["DosageType"], type);
            EXPECT_EQ(line["Note1"], note1);
            EXPECT_EQ(line["Note2"], note2);
        }
    }
}

TEST_F(CalcTreatments, ANegativeDosageCarriesTheNotesUntrimmed) {
    const auto line = RunOk({"ph-adjustment", "--chemical", "hydrochloric-acid", "--ph", "8.5"});
    EXPECT_LT(line["DosageRequired"].get<double>(), 0);
    EXPECT_EQ(line["Note1"], "NOTE: Negative dosage required.               ");
    EXPECT_EQ(line["Note2"], "      This chemical cannot be used for dosage.");
    const auto positive = RunOk({"ph-adjustment", "--chemical", "co2", "--ph", "7"});
    EXPECT_EQ(positive["Note1"], "");
    EXPECT_EQ(positive["Note2"], "");
}

TEST_F(CalcTreatments, StabilisationGivesTheFacadesFigures) {
    double dosage = 0;
    std::string units, type, note1, note2;
    const TResultPtr expected = RunStabilisation(ValidWater(), 3, 4.5, dosage, units, type, note1, note2);
    const auto line = RunOk({"stabilisation", "--chemical", "caustic-soda", "--potential", "4.5"});
    ExpectResult(line["result"], *expected);
    EXPECT_EQ(line["DosageRequired"].get<double>(), dosage);
    EXPECT_EQ(line["DosageType"], "Caustic soda");
    EXPECT_EQ(line["Note1"], note1);
}

TEST_F(CalcTreatments, DeficientGivesTheLimeDosage) {
    double dosage = 0;
    std::string units, type;
    const TResultPtr expected = RunCaCarbonateDeficiency(ValidWater(), type, units, dosage, 130);
    const auto line = RunOk({"deficient", "--calcium", "130"});
    EXPECT_EQ(KeysOf(line), (std::vector<std::string>{"input", "result", "DosageRequired", "DosageUnits",
                                                      "DosageType", "indices"}));
    ExpectResult(line["result"], *expected);
    EXPECT_EQ(line["DosageRequired"].get<double>(), dosage);
    EXPECT_EQ(line["DosageUnits"], "mg/l as Ca(OH)2");
    EXPECT_EQ(line["DosageType"], "Lime");
}

TEST_F(CalcTreatments, AirGivesTheCo2AmountAndItsText) {
    double amount = 0;
    std::string text;
    const TResultPtr expected = RunAirEquilibrium(ValidWater(), amount, text, 0.00035);
    const auto line = RunOk({"air", "--pco2", "0.00035"});
    EXPECT_EQ(KeysOf(line),
              (std::vector<std::string>{"input", "result", "DelC02", "EquilString", "indices"}));
    ExpectResult(line["result"], *expected);
    EXPECT_EQ(line["DelC02"].get<double>(), amount);
    EXPECT_EQ(line["EquilString"], "CO2 expelled");
}

TEST_F(CalcTreatments, UndergroundGivesThePrecipitatedCalcite) {
    double precipitated = 0;
    const TResultPtr expected = RunUndergroundWater(ValidWater(), precipitated, 0.05);
    const auto line = RunOk({"underground", "--pco2=0.05"});
    EXPECT_EQ(KeysOf(line), (std::vector<std::string>{"input", "result", "CaCO3Precipitation", "indices"}));
    ExpectResult(line["result"], *expected);
    EXPECT_EQ(line["CaCO3Precipitation"].get<double>(), precipitated);
}

TEST_F(CalcTreatments, TemperatureAndConcentrationGiveTheResultAlone) {
    const auto hot = RunOk({"temperature", "--to", "60"});
    EXPECT_EQ(KeysOf(hot), (std::vector<std::string>{"input", "result", "indices"}));
    ExpectResult(hot["result"], *RunTemperatureChange(ValidWater(), 60));
    const auto half = RunOk({"concentration", "--evaporation", "50"});
    ExpectResult(half["result"], *RunConcentrationChange(ValidWater(), 50));
}

struct TRangeRow {
    const char* Name;
    std::vector<std::string> Options; // without the value of the last option
    const char* Accepted;             // at the edge of the range
    const char* Refused;
    const char* Message;
};

const TRangeRow kRangeRows[] = {
    {"PhBelow1",
     {"ph-adjustment", "--chemical", "lime", "--ph"},
     "1",
     "0.999",
     "--ph 0.999 is outside the range 1 to 14."},
    {"PhAbove14",
     {"ph-adjustment", "--chemical", "caustic-soda", "--ph"},
     "14",
     "14.5",
     "--ph 14.5 is outside the range 1 to 14."},
    {"PotentialBelowMinus9",
     {"stabilisation", "--chemical", "lime", "--potential"},
     "-9",
     "-9.01",
     "--potential -9.01 is outside the range -9 to 15."},
    {"PotentialAbove15",
     {"stabilisation", "--chemical", "lime", "--potential"},
     "15",
     "15.5",
     "--potential 15.5 is outside the range -9 to 15."},
    {"CalciumBelow30",
     {"deficient", "--calcium"},
     "30",
     "29.9",
     "--calcium 29.9 is outside the range 30 to 200."},
    {"CalciumAbove200",
     {"deficient", "--calcium"},
     "200",
     "201",
     "--calcium 201 is outside the range 30 to 200."},
    {"AirPressureBelow",
     {"air", "--pco2"},
     "0.00005",
     "0.00004",
     "--pco2 0.00004 is outside the range 0.00005 to 1."},
    {"UndergroundPressureAbove",
     {"underground", "--pco2"},
     "1",
     "1.5",
     "--pco2 1.5 is outside the range 0.00005 to 1."},
    {"TemperatureBelow5", {"temperature", "--to"}, "5", "4", "--to 4 is outside the range 5 to 90."},
    {"TemperatureAbove90", {"temperature", "--to"}, "90", "91", "--to 91 is outside the range 5 to 90."},
    {"EvaporationBelow0",
     {"concentration", "--evaporation"},
     "0",
     "-1",
     "--evaporation -1 is outside the range 0 to 95."},
    {"EvaporationAbove95",
     {"concentration", "--evaporation"},
     "95",
     "100",
     "--evaporation 100 is outside the range 0 to 95."},
    {"ChemicalIndex6",
     {"ph-adjustment", "--ph", "8", "--chemical"},
     "5",
     "6",
     "--chemical 6 is outside the range 0 to 5."},
    {"StabilisingChemicalIndex5",
     {"stabilisation", "--potential", "2", "--chemical"},
     "4",
     "5",
     "--chemical 5 is outside the range 0 to 4."},
};

class CalcRanges : public CliFilesTest, public ::testing::WithParamInterface<TRangeRow> {};

TEST_P(CalcRanges, AcceptTheWindowsEdgeAndRefuseBeyondIt) {
    const TRangeRow& row = GetParam();
    const std::string path = Save("water.clv", ValidWater());
    std::vector<std::string> accepted = row.Options, refused = row.Options;
    accepted.push_back(row.Accepted);
    refused.push_back(row.Refused);
    accepted.push_back(path);
    refused.push_back(path);
    refused.push_back(path); // every input is refused, each with its own output

    const TRunOutput ok = RunInProcess(accepted);
    EXPECT_EQ(ok.ExitCode, kExitSuccess) << ok.Out;
    const TRunOutput no = RunInProcess(refused);
    EXPECT_EQ(no.ExitCode, kExitInputFailed);
    const auto lines = no.Lines();
    ASSERT_EQ(lines.size(), 2u);
    for (const auto& line : lines) {
        EXPECT_EQ(KeysOf(line), (std::vector<std::string>{"input", "error"}));
        EXPECT_EQ(line["error"], row.Message);
    }
}

INSTANTIATE_TEST_SUITE_P(Options, CalcRanges, ::testing::ValuesIn(kRangeRows),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(CalcTreatments, EveryOptionOutOfRangeIsNamed) {
    const TRunOutput run = RunInProcess({"ph-adjustment", "--chemical", "9", "--ph", "0", FPath});
    EXPECT_EQ(run.ExitCode, kExitInputFailed);
    EXPECT_EQ(run.Lines().at(0)["error"],
              "--chemical 9 is outside the range 0 to 5. --ph 0 is outside the range 1 to 14.");
}

TEST_F(CalcTreatments, AnInvalidDataSetIsRefusedBeforeTheCalculation) {
    TWaterDataset invalid = ValidWater();
    invalid.SetFraction(150);
    const TRunOutput run = RunInProcess({"temperature", "--to", "30", Save("bad.clv", invalid)});
    EXPECT_EQ(run.ExitCode, kExitInputFailed);
    EXPECT_EQ(run.Lines().at(0)["error"],
              "Invalid data set: Fraction (FRAC) 150 is outside the range 0 to 100.");
}

TEST_F(CalcTreatments, ACalculationErrorIsReportedForItsInput) {
    TWaterDataset soft = ValidWater();
    soft.SetCalcium(12);
    const TRunOutput run = RunInProcess(
        {"stabilisation", "--chemical", "co2", "--potential", "12", Save("soft.clv", soft), FPath});
    EXPECT_EQ(run.ExitCode, kExitInputFailed);
    const auto lines = run.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0]["error"],
              "The desired precipitation potential must be below the water's calcium (12.00 mg/l as CaCO3).");
    EXPECT_TRUE(lines[1].contains("result"));
}

struct TUsageRow {
    const char* Name;
    std::vector<std::string> Arguments;
    const char* MessagePart;
};

const TUsageRow kUsageRows[] = {
    {"MissingPh", {"ph-adjustment", "--chemical", "lime", "w.clv"}, "ph-adjustment needs --ph X."},
    {"UnknownChemicalName",
     {"ph-adjustment", "--chemical", "vinegar", "--ph", "7", "w.clv"},
     "--chemical expects one of co2, lime"},
    {"BicarbonateDoesNotStabilise",
     {"stabilisation", "--chemical", "bicarbonate-of-soda", "--potential", "1", "w.clv"},
     "not \"bicarbonate-of-soda\"."},
    {"LocaleComma", {"air", "--pco2", "0,001", "w.clv"}, "--pco2 expects a number written with \".\""},
    {"NotANumber", {"temperature", "--to", "nan", "w.clv"}, "--to expects a number"},
    {"MissingValue", {"concentration", "w.clv", "--evaporation"}, "Option --evaporation needs a value."},
    {"OptionOfAnotherCommand", {"air", "--to", "20", "w.clv"}, "Unknown option \"--to\" for air."},
};

class CalcTreatmentUsage : public ::testing::TestWithParam<TUsageRow> {};

TEST_P(CalcTreatmentUsage, IsAUsageError) {
    const TRunOutput run = RunInProcess(GetParam().Arguments);
    EXPECT_EQ(run.ExitCode, kExitUsage);
    EXPECT_EQ(run.Out, "");
    EXPECT_NE(run.Err.find(GetParam().MessagePart), std::string::npos) << run.Err;
}

INSTANTIATE_TEST_SUITE_P(Arguments, CalcTreatmentUsage, ::testing::ValuesIn(kUsageRows),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
