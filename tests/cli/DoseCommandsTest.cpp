// calvaro-calc dose and dose-curve: a given dose of a pH-adjustment chemical, and the curve of
// doses from 0 to a largest dose, one record per point with gaps where no water exists.

#include "CliTestSupport.h"
#include "EngineFacade.h"
#include "RecordWriter.h"
#include "SampleWaters.h"

namespace {

const char* const kChemicals[] = {
    "co2", "lime", "soda-ash", "caustic-soda", "hydrochloric-acid", "bicarbonate-of-soda"};

std::string Number(double value) {
    std::string text;
    AppendReal(text, value);
    return text;
}

class CalcDose : public CliFilesTest {};

TEST_F(CalcDose, NoDoseIsTheWaterItself) {
    const TWaterDataset water = ValidWater();
    const std::string path = Save("water.clv", water);
    for (int chemical = 0; chemical < 6; ++chemical) {
        SCOPED_TRACE(kChemicals[chemical]);
        const TRunOutput run =
            RunInProcess({"dose", "--chemical", kChemicals[chemical], "--amount", "0", path});
        ASSERT_EQ(run.ExitCode, kExitSuccess) << run.Out;
        const auto record = run.Lines().at(0);
        ExpectResult(record["result"], *RunForwardDosing(water, chemical, 0));
        EXPECT_NEAR(record["result"]["PHF"].get<double>(), water.Ph(), 0.02);
        EXPECT_EQ(record["result"]["CAF"].get<double>(), water.Calcium());
        EXPECT_EQ(record["Dosage"], 0);
        const TDosingChemicalTexts texts = DosingChemicalTexts(chemical);
        EXPECT_EQ(record["DosageUnits"], texts.Units);
        EXPECT_EQ(record["DosageType"], texts.Type);
    }
}

// The dose pH adjustment finds for a target, given to dose, brings the water to that target.
TEST_F(CalcDose, ThePhAdjustmentDoseForATargetGivesThatPh) {
    struct TRow {
        int Chemical;
        double TargetPh;
    };
    const TRow rows[] = {{0, 6.8}, {1, 8.3}, {2, 8.0}, {3, 8.5}, {4, 7.0}, {5, 7.7}};
    const TWaterDataset water = ValidWater();
    const std::string path = Save("water.clv", water);
    for (const TRow& row : rows) {
        SCOPED_TRACE(kChemicals[row.Chemical]);
        double dosage = 0;
        std::string units, type, note1, note2;
        RunPhAdjustment(water, row.Chemical, row.TargetPh, dosage, units, type, note1, note2);
        ASSERT_GT(dosage, 0);
        const TRunOutput run = RunInProcess(
            {"dose", "--chemical", std::to_string(row.Chemical), "--amount", Number(dosage), path});
        ASSERT_EQ(run.ExitCode, kExitSuccess) << run.Out;
        EXPECT_NEAR(run.Lines().at(0)["result"]["PHF"].get<double>(), row.TargetPh, 0.02);
        EXPECT_EQ(run.Lines().at(0)["DosageUnits"], units);
    }
}

TEST_F(CalcDose, CurveHasItsPointsEvenlyFromNoDoseToTheLargest) {
    const TWaterDataset water = ValidWater();
    const std::string path = Save("water.clv", water);
    struct TRow {
        std::vector<std::string> Points; // the --points option, or none for the default
        std::size_t Count;
    };
    const TRow rows[] = {{{}, 201}, {{"--points", "11"}, 11}, {{"--points", "2001"}, 2001}};
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Count);
        std::vector<std::string> arguments = {"dose-curve", "--chemical", "lime", "--to", "40", path};
        arguments.insert(arguments.end(), row.Points.begin(), row.Points.end());
        const TRunOutput run = RunInProcess(arguments);
        ASSERT_EQ(run.ExitCode, kExitSuccess) << run.Err;
        const auto lines = run.Lines();
        ASSERT_EQ(lines.size(), row.Count);
        const auto curve = RunDosingCurve(water, 1, 40, static_cast<int>(row.Count));
        for (std::size_t i = 0; i < lines.size(); i += 10) {
            EXPECT_EQ(lines[i]["input"], path);
            EXPECT_EQ(lines[i]["dose"].get<double>(), curve[i].Dose);
            ExpectResult(lines[i]["result"], *curve[i].Result);
        }
        EXPECT_EQ(lines.front()["dose"], 0);
        EXPECT_EQ(lines.back()["dose"], 40);
    }
}

TEST_F(CalcDose, ADoseWithoutAPossibleWaterIsAGapAndTheCurveGoesOn) {
    const std::string path = Save("dilute.clv", DiluteWater());
    const TRunOutput run = RunInProcess(
        {"dose-curve", "--chemical", "hydrochloric-acid", "--to", "80000", "--points", "41", path});
    EXPECT_EQ(run.ExitCode, kExitSuccess);
    const auto lines = run.Lines();
    ASSERT_EQ(lines.size(), 41u);
    EXPECT_TRUE(lines.front().contains("result"));
    EXPECT_FALSE(lines.front().contains("error"));
    const auto& gap = lines.back();
    EXPECT_EQ(gap["dose"], 80000);
    EXPECT_FALSE(gap.contains("result"));
    EXPECT_NE(gap["error"].get<std::string>().find("outside 0 to 14"), std::string::npos) << gap;

    // In CSV the gap's message is in the error column, its water's columns empty.
    const auto rows = CsvRows(RunInProcess({"dose-curve", "--format", "csv", "--chemical", "4", "--to",
                                            "80000", "--points", "41", path})
                                  .Out);
    ASSERT_EQ(rows.size(), 42u);
    EXPECT_EQ(rows[0].back(), "error");
    EXPECT_EQ(rows[0][3], "ALKF");
    EXPECT_NE(rows[1][3], "");
    EXPECT_EQ(rows[41][3], "");
    EXPECT_EQ(rows[41].back(), gap["error"]);
}

TEST_F(CalcDose, OptionsOutsideTheirRangesAreRefused) {
    const std::string path = Save("water.clv", ValidWater());
    struct TRow {
        std::vector<std::string> Arguments;
        const char* Error;
    };
    const TRow rows[] = {
        {{"dose", "--chemical", "lime", "--amount", "-1"}, "--amount -1 is outside the range 0 to 100000."},
        {{"dose", "--chemical", "6", "--amount", "1"}, "--chemical 6 is outside the range 0 to 5."},
        {{"dose-curve", "--chemical", "lime", "--to", "0"}, "--to 0 is outside the range 0.1 to 100000."},
        {{"dose-curve", "--chemical", "lime", "--to", "50", "--points", "10"},
         "--points 10 is outside the range 11 to 2001."},
        {{"dose-curve", "--chemical", "lime", "--to", "50", "--points", "2002"},
         "--points 2002 is outside the range 11 to 2001."},
        {{"dose-curve", "--chemical", "lime", "--to", "50", "--points", "11.5"},
         "--points 11.5 is not a whole number."},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Error);
        std::vector<std::string> arguments = row.Arguments;
        arguments.push_back(path);
        const TRunOutput run = RunInProcess(arguments);
        EXPECT_EQ(run.ExitCode, kExitInputFailed);
        ASSERT_EQ(run.Lines().size(), 1u);
        EXPECT_EQ(run.Lines()[0]["error"], row.Error);
    }
}

} // namespace
