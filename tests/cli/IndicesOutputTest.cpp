// The "indices" object that closes every record with a water: the facade's very doubles under
// their keys, null where an index is not defined; in CSV the same keys as columns, empty where not
// defined; for a dose curve per point.

#include "CliTestSupport.h"
#include "EngineFacade.h"
#include "SampleWaters.h"

#include <optional>

namespace {

void ExpectIndices(const nlohmann::ordered_json& printed, const TWaterIndices& expected) {
    ASSERT_EQ(KeysOf(printed), kIndexKeys);
    const std::optional<double> values[] = {expected.SaturationIndex,  expected.SaturationPh,
                                            expected.LangelierIndex,   expected.RyznarIndex,
                                            expected.LarsonSkoldIndex, expected.AggressiveIndex};
    for (std::size_t i = 0; i < kIndexKeys.size(); ++i) {
        SCOPED_TRACE(kIndexKeys[i]);
        if (values[i])
            EXPECT_EQ(printed[kIndexKeys[i]].get<double>(), *values[i]);
        else
            EXPECT_TRUE(printed[kIndexKeys[i]].is_null()) << printed[kIndexKeys[i]];
    }
}

using CalcIndices = CliFilesTest;

TEST_F(CalcIndices, CharacteriseGivesTheWatersIndicesAndNullWhereNotDefined) {
    struct TRow {
        const char* Name;
        TWaterDataset Water;
        bool Undefined; // some index is not defined for this water
    };
    TWaterDataset noCalcium = ValidWater();
    noCalcium.SetCalcium(0);
    const TRow rows[] = {{"drinking", ValidWater(), false}, {"calcium-free", noCalcium, true}};
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        const TRunOutput run =
            RunInProcess({"characterise", Save(std::string(row.Name) + ".clv", row.Water)});
        ASSERT_EQ(run.ExitCode, kExitSuccess) << run.Out;
        const auto record = run.Lines().at(0);
        EXPECT_EQ(KeysOf(record).back(), "indices");
        const TWaterIndices expected = WaterIndicesOfDataset(row.Water);
        ExpectIndices(record["indices"], expected);
        EXPECT_EQ(!expected.SaturationIndex || !expected.AggressiveIndex, row.Undefined);

        // CSV: the same keys as the last columns before the error, empty where not defined.
        const auto csv =
            CsvRows(RunInProcess({"characterise", "--format", "csv", Save("c.clv", row.Water)}).Out);
        ASSERT_EQ(csv.size(), 2u);
        const auto& header = csv[0];
        ASSERT_GT(header.size(), kIndexKeys.size() + 1);
        const std::size_t first = header.size() - 1 - kIndexKeys.size();
        EXPECT_EQ(
            std::vector<std::string>(header.begin() + static_cast<std::ptrdiff_t>(first), header.end() - 1),
            kIndexKeys);
        EXPECT_EQ(csv[1][first], expected.SaturationIndex ? record["indices"]["SaturationIndex"].dump() : "");
    }
}

TEST_F(CalcIndices, ARunOperationGivesTheTreatedWatersIndices) {
    const TWaterDataset water = ValidWater();
    const TRunOutput run = RunInProcess({"temperature", "--to", "60", Save("w.clv", water)});
    ASSERT_EQ(run.ExitCode, kExitSuccess);
    const auto record = run.Lines().at(0);
    const TResultPtr treated = RunTemperatureChange(water, 60);
    ExpectIndices(record["indices"], WaterIndicesOfResult(*treated));
    // Not the untreated water's.
    EXPECT_NE(record["indices"]["SaturationIndex"].get<double>(),
              *WaterIndicesOfDataset(water).SaturationIndex);
}

TEST_F(CalcIndices, EachPointOfADoseCurveHasItsIndicesAndAGapNone) {
    const std::string path = Save("dilute.clv", DiluteWater());
    const auto lines = RunInProcess({"dose-curve", "--chemical", "hydrochloric-acid", "--to", "80000",
                                     "--points", "41", path})
                           .Lines();
    ASSERT_EQ(lines.size(), 41u);
    EXPECT_EQ(KeysOf(lines.front()["indices"]), kIndexKeys);
    EXPECT_NE(lines[0]["indices"], lines[1]["indices"]);
    EXPECT_FALSE(lines.back().contains("indices"));
}

// A brackish water is beyond the dilute model: its constants depend on the ions, so the indices of
// a point computed after the whole curve (at that point's own ions, not with the constants it was
// dosed with) differed from a single dose by up to 0.015 in SI for lime. Each point must give what a
// single `dose` of that amount gives.
TEST_F(CalcIndices, ADoseCurvePointHasTheIndicesOfASingleDose) {
    const TWaterDataset brackish = BrackishWater().Dataset();
    const std::string path = Save("brackish.clv", brackish);
    const auto lines =
        RunInProcess({"dose-curve", "--chemical", "lime", "--to", "60", "--points", "11", path}).Lines();
    ASSERT_EQ(lines.size(), 11u);
    for (const auto& line : lines) {
        const double dose = line["dose"].get<double>();
        SCOPED_TRACE("dose " + std::to_string(dose));
        ASSERT_TRUE(line.contains("indices")) << line;
        const TResultPtr single = RunForwardDosing(brackish, 1, dose);
        ExpectIndices(line["indices"], WaterIndicesOfResult(*single));
    }
}

} // namespace
