// blend and blend-ph: waters blended in the fractions of their files, or two waters to a pH.

#include "CalculationRanges.h"
#include "CommandSupport.h"
#include "CommandTable.h"
#include "EngineFacade.h"

#include <memory>
#include <string>
#include <vector>

namespace {

const std::string kPh = "--ph";

// Every file of a blend, each checked as its editor would check it; a refusal or a loader error
// names the file it comes from.
std::vector<std::unique_ptr<TWaterDataset>> LoadBlendWaters(const std::vector<std::string>& paths) {
    std::vector<std::unique_ptr<TWaterDataset>> waters;
    for (const std::string& path : paths) {
        try {
            waters.push_back(LoadCheckedDataset(path));
        } catch (const std::exception& e) {
            throw TRefusal(path + ": " + e.what());
        }
    }
    return waters;
}

void RunBlend(const TCommandCall& call, TRecordWriter& writer) {
    const auto waters = LoadBlendWaters(call.Paths);
    std::vector<double> fractions;
    std::vector<const TWaterDataset*> list;
    for (const auto& water : waters) {
        fractions.push_back(water->Fraction());
        list.push_back(water.get());
    }
    if (!CalculationRanges::BlendFractionsComplete(fractions))
        throw TRefusal(CalculationRanges::kBlendFractionsMessage);
    const TResultPtr result = RunBlendMultiple(list);
    WriteResult(writer, *result);
}

void RunBlendPh(const TCommandCall& call, TRecordWriter& writer) {
    const auto waters = LoadBlendWaters(call.Paths);
    const double targetPh = call.Options.Number(kPh);
    RequireInRange(kPh, targetPh, CalculationRanges::BlendTargetPh);
    double percentA = 0, percentB = 0;
    const TResultPtr result = RunBlendToPh(*waters[0], *waters[1], percentA, percentB, targetPh);
    WriteResult(writer, *result);
    writer.Real("PercentWaterA", percentA);
    writer.Real("PercentWaterB", percentB);
}

} // namespace

void RegisterBlendingCommands(TCommandTable& table) {
    TCommand blend;
    blend.Name = "blend";
    blend.Description = "2 to 20 waters blended in their fractions (FRAC, summing to 100)";
    blend.PerFile = false;
    blend.MinFiles = CalculationRanges::kMinimumBlendWaters;
    blend.MaxFiles = CalculationRanges::kMaximumBlendWaters;
    blend.Run = RunBlend;
    table.Add(std::move(blend));

    TCommand blendPh;
    blendPh.Name = "blend-ph";
    blendPh.Options = {{kPh, "X", {}, true}};
    blendPh.Description = "the fractions of two waters whose blend has the pH X";
    blendPh.PerFile = false;
    blendPh.MinFiles = 2;
    blendPh.MaxFiles = 2;
    blendPh.Run = RunBlendPh;
    table.Add(std::move(blendPh));
}
