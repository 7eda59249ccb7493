// blend and blend-ph: waters blended in the fractions of their files, or two waters to a pH.

#include "CalculationRanges.h"
#include "CommandSupport.h"
#include "CommandTable.h"
#include "EngineFacade.h"

#include <string>
#include <vector>

namespace {

const std::string kPh = "--ph";

void RunBlend(TCommandCall& call, TRecordWriter& writer) {
    const std::vector<const TWaterDataset*> waters = call.Waters();
    std::vector<double> fractions;
    for (const TWaterDataset* water : waters)
        fractions.push_back(water->Fraction());
    if (!CalculationRanges::BlendFractionsComplete(fractions))
        throw TRefusal(CalculationRanges::kBlendFractionsMessage);
    const TResultPtr result = RunBlendMultiple(waters);
    WriteResult(call, writer, *result);
}

void RunBlendPh(TCommandCall& call, TRecordWriter& writer) {
    const std::vector<const TWaterDataset*> waters = call.Waters();
    const double targetPh = call.Options.Number(kPh);
    RequireInRange(kPh, targetPh, CalculationRanges::BlendTargetPh);
    double percentA = 0, percentB = 0;
    const TResultPtr result = RunBlendToPh(*waters[0], *waters[1], percentA, percentB, targetPh);
    WriteResult(call, writer, *result);
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
    blendPh.Options = {NumberOption(kPh)};
    blendPh.Description = "the fractions of two waters whose blend has the pH X";
    blendPh.PerFile = false;
    blendPh.MinFiles = 2;
    blendPh.MaxFiles = 2;
    blendPh.Run = RunBlendPh;
    table.Add(std::move(blendPh));
}
