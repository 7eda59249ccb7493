// EngineFacade: forward dosing and dose-response curves.

#include "EngineFacade.h"

#include "EngineState.h"
#include "FacadeInternals.h"
#include "FloatingPointFaults.h"
#include "ForwardDosing.h"

#include <cmath>
#include <string>

TResultPtr RunForwardDosing(const TWaterDataset& dataset, int chemicalIndex, double amount) {
    auto result = std::make_unique<TCalculationResult>();
    ResetEngine();
    LoadDataset(dataset);
    Facade.Inputs.ChemicalIndex = chemicalIndex;
    DriveForwardDosing(chemicalIndex, amount);
    FillResult(*result);
    return result;
}

TDosingChemicalTexts DosingChemicalTexts(int chemicalIndex) {
    const TDosageChemical& chemical = *ForwardChemical(chemicalIndex).Chemical;
    return {chemical.UnitsText, chemical.TypeText};
}

std::vector<TDosingCurvePoint> RunDosingCurve(const TWaterDataset& dataset, int chemicalIndex,
                                              double largestDose, int points) {
    ForwardChemical(chemicalIndex); // refuses an unknown chemical before any work
    if (points < 2)
        throw TEngineError("A dosing curve needs at least 2 points; " + std::to_string(points) +
                           " were asked.");
    if (!std::isfinite(largestDose)) throw TEngineError("The largest dose must be a number.");
    ResetEngine();
    LoadDataset(dataset);
    Facade.Inputs.ChemicalIndex = chemicalIndex;
    RaiseFloatingPointFaults(); // a water that faults as it loads fails the whole curve
    // Every point starts from the loaded water: a dose changes only the treated water and the
    // hydrogen scratch, but restoring the whole state keeps each point independent of the last.
    const TEngineState loaded = Engine;

    std::vector<TDosingCurvePoint> curve(static_cast<std::size_t>(points));
    for (int i = 0; i < points; ++i) {
        TDosingCurvePoint& point = curve[static_cast<std::size_t>(i)];
        point.Dose = i == points - 1 ? largestDose : largestDose * i / (points - 1);
        Engine = loaded;
        ClearFloatingPointFaults();
        try {
            DriveForwardDosing(chemicalIndex, point.Dose);
            auto result = std::make_unique<TCalculationResult>();
            FillResult(*result);
            // While the point is the last result, with the constants its potential came from.
            point.Indices = WaterIndicesOfResult(*result);
            point.Result = std::move(result);
        } catch (const TEngineError& e) {
            point.Error = e.what();
        }
    }
    Engine = loaded;
    return curve;
}
