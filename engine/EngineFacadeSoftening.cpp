// EngineFacade: the softening operations and the query of the lowest calcium lime can reach.

#include "EngineFacade.h"

#include "EngineState.h"
#include "FacadeChecks.h"
#include "FacadeInternals.h"
#include "SofteningDrivers.h"
#include "SofteningTasks.h"

#include <memory>
#include <string>

namespace {

// The values that reach the engine, compared exactly: the limits are only valid for the water they
// were computed for.
bool SameWater(const TLoadedDataset& a, const TLoadedDataset& b) {
    return a.IPH == b.IPH && a.IT == b.IT && a.INA == b.INA && a.IMG == b.IMG && a.ICA == b.ICA &&
           a.ISO4 == b.ISO4 && a.ICL == b.ICL && a.WATCHAR == b.WATCHAR && a.ITDS == b.ITDS &&
           a.ICONDU == b.ICONDU && a.IMHU == b.IMHU && a.CARBSYSORDER == b.CARBSYSORDER && a.IALK == b.IALK &&
           a.IHACI == b.IHACI && a.ITOTC == b.ITOTC && a.IPCO2 == b.IPCO2;
}

// Lime softening works from the limits of GetSofteningCaLimits; limits of another water would give
// another water's dosage.
const TSofteningLimits& LimitsOfLoadedWater() {
    const TStoredSofteningLimits& limits = Facade.Limits;
    if (!limits.Stored || !SameWater(limits.Water, Facade.Loaded))
        throw TEngineError("The lowest calcium lime can reach has not been computed for this water; "
                           "compute the softening limits of this water before softening it with lime.");
    return limits;
}

} // namespace

void GetSofteningCaLimits(const TWaterDataset& dataset, double& CAMIN, double& ALKMIN, double& ACIMIN,
                          double& HMIN, double& LIMEINV) {
    ResetEngine();
    LoadDataset(dataset);
    Facade.Limits.Stored = false; // until the new ones are complete
    const TSofteningLimits limits = SofteningCaLimits();
    RequireFiniteOutputs(
        {limits.CAMIN, limits.ALKMIN, limits.ACIMIN, limits.HMIN, limits.LIMEINV, limits.MUMIN, Engine.MHUF});
    Facade.Limits = TStoredSofteningLimits{limits, true, Facade.Loaded};
    CAMIN = limits.CAMIN;
    ALKMIN = limits.ALKMIN;
    ACIMIN = limits.ACIMIN;
    HMIN = limits.HMIN;
    LIMEINV = limits.LIMEINV;
}

TResultPtr RunSofteningCaLime(const TWaterDataset& dataset, double& dosage, std::string& dosageUnits,
                              std::string& dosageType, double desiredCalcium) {
    auto result = std::make_unique<TCalculationResult>();
    ResetEngine();
    LoadDataset(dataset);
    Facade.Inputs.DesiredCalcium = desiredCalcium;
    const TSofteningLimits& limits = LimitsOfLoadedWater();
    double lime = 0;
    std::string units = dosageUnits, type = dosageType;
    DriveSofteningCaLime(desiredCalcium, limits, lime, units, type);
    RequireDosages({{"a lime dosage", lime}});
    FillResult(*result);
    dosage = lime;
    dosageUnits = units;
    dosageType = type;
    return result;
}

TResultPtr RunSofteningCaSodaAsh(const TWaterDataset& dataset, double& dosage, std::string& dosageUnits,
                                 std::string& dosageType, double desiredCalcium) {
    auto result = std::make_unique<TCalculationResult>();
    ResetEngine();
    LoadDataset(dataset);
    Facade.Inputs.DesiredCalcium = desiredCalcium;
    double ash = 0;
    std::string units = dosageUnits, type = dosageType;
    DriveSofteningCaSodaAsh(desiredCalcium, ash, units, type);
    RequireDosages({{"a soda-ash dosage", ash}});
    FillResult(*result);
    dosage = ash;
    dosageUnits = units;
    dosageType = type;
    return result;
}

TResultPtr RunSofteningMg(const TWaterDataset& dataset, double& dosage, std::string& dosageUnits,
                          std::string& dosageType, double desiredMagnesium) {
    auto result = std::make_unique<TCalculationResult>();
    ResetEngine();
    LoadDataset(dataset);
    Facade.Inputs.DesiredMagnesium = desiredMagnesium;
    double lime = 0;
    std::string units = dosageUnits, type = dosageType;
    DriveSofteningMg(desiredMagnesium, lime, units, type);
    RequireDosages({{"a lime dosage", lime}});
    FillResult(*result);
    dosage = lime;
    dosageUnits = units;
    dosageType = type;
    return result;
}

TResultPtr RunSofteningCaMg(const TWaterDataset& dataset, double& limeDosage, double& ashDosage,
                            double desiredCalcium, double desiredMagnesium) {
    auto result = std::make_unique<TCalculationResult>();
    ResetEngine();
    LoadDataset(dataset);
    Facade.Inputs.DesiredCalcium = desiredCalcium;
    Facade.Inputs.DesiredMagnesium = desiredMagnesium;
    double lime = 0, ash = 0;
    DriveSofteningCaMg(desiredCalcium, desiredMagnesium, lime, ash);
    RequireDosages({{"a lime dosage", lime}, {"a soda-ash dosage", ash}});
    FillResult(*result);
    limeDosage = lime;
    ashDosage = ash;
    return result;
}
