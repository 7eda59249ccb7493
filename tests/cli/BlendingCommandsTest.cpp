// calvaro-calc's blending commands: several files in their fractions, two files to a pH.

#include "CliTestSupport.h"
#include "EngineFacade.h"

namespace {

TWaterDataset WithFraction(TWaterDataset d, double fraction) {
    d.SetFraction(fraction);
    return d;
}

// A softer, more alkaline second water.
TWaterDataset SecondWater(double fraction = 0) {
    TWaterDataset d = ValidWater();
    d.SetPh(8.5);
    d.SetCalcium(40);
    d.SetAlkalinity(60);
    d.SetFraction(fraction);
    return d;
}

using CalcBlending = CliFilesTest;

TEST_F(CalcBlending, BlendGivesOneOutputForAllFilesWithTheFacadesFigures) {
    TWaterDataset warm = SecondWater(75);
    warm.SetTemperature(30);
    const std::string a = Save("a.clv", WithFraction(ValidWater(), 25)), b = Save("b.clv", warm);
    const TRunOutput run = RunInProcess({"blend", a, b});
    ASSERT_EQ(run.ExitCode, kExitSuccess) << run.Out;
    const auto lines = run.Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(KeysOf(lines[0]), (std::vector<std::string>{"inputs", "result", "indices"}));
    EXPECT_EQ(lines[0]["inputs"], (std::vector<std::string>{a, b}));
    const auto wa = LoadDatasetFromFile(a), wb = LoadDatasetFromFile(b);
    const TResultPtr expected = RunBlendMultiple({wa.get(), wb.get()});
    ExpectResult(lines[0]["result"], *expected);
    EXPECT_EQ(lines[0]["result"]["TF"].get<double>(), 0.25 * 20 + 0.75 * 30);
}

struct TFractionRow {
    const char* Name;
    std::vector<double> Fractions;
    bool Accepted;
};

const TFractionRow kFractionRows[] = {
    {"HalfAndHalf", {50, 50}, true},    {"ThirdsAddingUpExactly", {33.3, 33.3, 33.4}, true},
    {"HundredAndZero", {100, 0}, true}, {"ShortByAHundredth", {50, 49.99}, false},
    {"Over", {60, 50}, false},          {"TwentyFives", std::vector<double>(20, 5), true},
};

class CalcBlendFractions : public CliFilesTest, public ::testing::WithParamInterface<TFractionRow> {};

TEST_P(CalcBlendFractions, MustAddUpToExactlyHundred) {
    const TFractionRow& row = GetParam();
    std::vector<std::string> arguments = {"blend"};
    for (std::size_t i = 0; i < row.Fractions.size(); ++i) {
        std::string name = std::to_string(i);
        name.append(".clv");
        arguments.push_back(Save(name, WithFraction(i % 2 ? SecondWater() : ValidWater(), row.Fractions[i])));
    }
    const TRunOutput run = RunInProcess(arguments);
    const auto line = run.Lines().at(0);
    if (row.Accepted) {
        EXPECT_EQ(run.ExitCode, kExitSuccess) << run.Out;
        EXPECT_TRUE(line.contains("result"));
    } else {
        EXPECT_EQ(run.ExitCode, kExitInputFailed);
        EXPECT_EQ(line["error"], "The sum of the water fractions is not 100%.");
        EXPECT_EQ(line["inputs"].size(), row.Fractions.size());
    }
}

INSTANTIATE_TEST_SUITE_P(Blends, CalcBlendFractions, ::testing::ValuesIn(kFractionRows),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(CalcBlending, AnInvalidOrUnreadableWaterIsNamedInTheRefusal) {
    TWaterDataset invalid = WithFraction(ValidWater(), 50);
    invalid.SetTemperature(95);
    const std::string a = Save("a.clv", WithFraction(ValidWater(), 50)), bad = Save("bad.clv", invalid);
    const std::string empty = WriteText("empty.clv", "");
    const TRunOutput run = RunInProcess({"blend", a, bad});
    EXPECT_EQ(run.ExitCode, kExitInputFailed);
    EXPECT_EQ(run.Lines().at(0)["error"],
              bad + ": Invalid data set: Temperature (IT) 95 is outside the range 1 to 90.");
    const TRunOutput unreadable = RunInProcess({"blend-ph", "--ph", "8", empty, a});
    EXPECT_EQ(unreadable.Lines().at(0)["error"], empty + ": Couldn't load file " + empty);
    // A fraction above 100 makes the data set itself invalid, as in the editor.
    const TRunOutput over = RunInProcess({"blend", a, Save("over.clv", WithFraction(ValidWater(), 150))});
    EXPECT_NE(over.Lines().at(0)["error"].get<std::string>().find(
                  "Fraction (FRAC) 150 is outside the range 0 to 100."),
              std::string::npos);
}

TEST_F(CalcBlending, BlendToPhGivesBothPercentagesAndTheBlend) {
    const std::string a = Save("a.clv", ValidWater()), b = Save("b.clv", SecondWater());
    const TRunOutput run = RunInProcess({"blend-ph", "--ph", "8", a, b});
    ASSERT_EQ(run.ExitCode, kExitSuccess) << run.Out;
    const auto line = run.Lines().at(0);
    EXPECT_EQ(KeysOf(line),
              (std::vector<std::string>{"inputs", "result", "PercentWaterA", "PercentWaterB", "indices"}));
    double percentA = 0, percentB = 0;
    const TResultPtr expected =
        RunBlendToPh(*LoadDatasetFromFile(a), *LoadDatasetFromFile(b), percentA, percentB, 8);
    ExpectResult(line["result"], *expected);
    EXPECT_EQ(line["PercentWaterA"].get<double>(), percentA);
    EXPECT_EQ(line["PercentWaterB"].get<double>(), percentB);
    EXPECT_EQ(line["result"]["PHF"].get<double>(), 8);

    const auto rows = CsvRows(RunInProcess({"blend-ph", "--ph", "8", "--format", "csv", a, b}).Out);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].front(), "inputs");
    // The percentages, then the blend's indices, then the error column.
    const std::size_t percents = rows[0].size() - 3 - kIndexKeys.size();
    EXPECT_EQ(rows[0][percents], "PercentWaterA");
    EXPECT_EQ(rows[0][percents + 1], "PercentWaterB");
}

TEST_F(CalcBlending, BlendToPhTakesTargetsFromOneToFourteen) {
    const std::string a = Save("a.clv", ValidWater()), b = Save("b.clv", ValidWater());
    for (const char* target : {"1", "14"}) {
        SCOPED_TRACE(target);
        const TRunOutput run = RunInProcess({"blend-ph", "--ph", target, a, b});
        EXPECT_EQ(run.ExitCode, kExitSuccess) << run.Out;
        EXPECT_EQ(run.Lines().at(0)["PercentWaterA"], 50) << "identical waters blend half and half";
    }
    for (const char* target : {"0.99", "14.01"}) {
        SCOPED_TRACE(target);
        const TRunOutput run = RunInProcess({"blend-ph", "--ph", target, a, b});
        EXPECT_EQ(run.ExitCode, kExitInputFailed);
        EXPECT_EQ(run.Lines().at(0)["error"],
                  "--ph " + std::string(target) + " is outside the range 1 to 14.");
    }
}

TEST_F(CalcBlending, WrongNumbersOfFilesAreUsageErrors) {
    const std::string a = Save("a.clv", WithFraction(ValidWater(), 100));
    const std::vector<std::string> twentyOne(21, a);
    std::vector<std::string> blend21 = {"blend"};
    blend21.insert(blend21.end(), twentyOne.begin(), twentyOne.end());
    struct TRow {
        std::vector<std::string> Arguments;
        const char* Message;
    };
    const TRow rows[] = {
        {{"blend", a}, "blend needs 2 to 20 files, not 1."},
        {blend21, "blend needs 2 to 20 files, not 21."},
        {{"blend-ph", "--ph", "8", a}, "blend-ph needs exactly 2 files, not 1."},
        {{"blend-ph", "--ph", "8", a, a, a}, "blend-ph needs exactly 2 files, not 3."},
        {{"blend-ph", a, a}, "blend-ph needs --ph X."},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Message);
        const TRunOutput run = RunInProcess(row.Arguments);
        EXPECT_EQ(run.ExitCode, kExitUsage);
        EXPECT_EQ(run.Out, "");
        EXPECT_NE(run.Err.find(row.Message), std::string::npos) << run.Err;
    }
}

} // namespace
