// EngineFacade: the blending operations. Each water is loaded as a blend component into the blend
// tables instead of as the one water of a calculation.

#include "EngineFacade.h"

#include "BlendingTasks.h"
#include "EngineState.h"
#include "FacadeInternals.h"

#include <memory>
#include <string>

namespace {

// The tables hold 20 components; a blend needs at least one water to report.
void RequireBlendableCount(std::size_t count) {
    if (count < 1 || count > static_cast<std::size_t>(kMaxBlendComponents))
        throw TEngineError("A blend takes 1 to " + std::to_string(kMaxBlendComponents) + " waters; " +
                           std::to_string(count) + " were given.");
}

void LoadComponent(int N, const TWaterDataset* water) {
    if (water == nullptr) throw TEngineError("Water " + std::to_string(N) + " of the blend has no data set.");
    Facade.Inputs.BINDEX = N;
    LoadBlendComponent(*water);
}

} // namespace

TResultPtr RunBlendMultiple(const std::vector<const TWaterDataset*>& waters) {
    RequireBlendableCount(waters.size());
    auto result = std::make_unique<TCalculationResult>();
    ResetEngine();
    const int count = static_cast<int>(waters.size());
    for (int i = 1; i <= count; ++i)
        LoadComponent(i, waters[i - 1]);
    DriveBlendMultiple(count);
    FillResult(*result);
    return result;
}

TResultPtr RunBlendToPh(const TWaterDataset& water1, const TWaterDataset& water2, double& percentWater1,
                        double& percentWater2, double targetPh) {
    auto result = std::make_unique<TCalculationResult>();
    ResetEngine();
    LoadComponent(1, &water1);
    LoadComponent(2, &water2);
    Facade.Inputs.TargetPh = targetPh;
    double percent1 = 0, percent2 = 0;
    DriveBlendToPh(targetPh, percent1, percent2);
    RequireFiniteOutputs({percent1, percent2});
    FillResult(*result);
    percentWater1 = percent1;
    percentWater2 = percent2;
    return result;
}
