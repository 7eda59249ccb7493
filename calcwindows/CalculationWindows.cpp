#include "CalculationWindows.h"

#include "AirEquilibriumCalc.h"
#include "BlendMultipleWatersCalc.h"
#include "BlendToPhCalc.h"
#include "CaCarbDeficiencyCalc.h"
#include "CalculationRegistry.h"
#include "ConcentrationChangeCalc.h"
#include "DosingCurveCalc.h"
#include "PhAdjustmentCalc.h"
#include "SofteningCaCalculation.h"
#include "SofteningCaMgCalculation.h"
#include "SofteningMgCalculation.h"
#include "StabilizationCalc.h"
#include "TemperatureChangeCalc.h"
#include "UndergroundWaterCalc.h"

namespace {

// The window of a calculation, owned by `owner`, computing on `dataset`.
template <typename TForm> TCalcFormFactory FormFactory() {
    return [](QWidget* owner, TWaterDataset* dataset) -> QDialog* {
        auto* form = new TForm(owner);
        form->SetDataset(dataset);
        return form;
    };
}

} // namespace

void RegisterCalculationWindows() {
    // One window for every index of the calculation table (CalculationRegistry.h).
    using namespace CalculationIndex;
    RegisterCalculationForm(kStabilisation, FormFactory<TStabilizationCalcForm>());
    RegisterCalculationForm(kAirEquilibrium, FormFactory<TAirEquibCalcForm>());
    RegisterCalculationForm(kTemperatureChange, FormFactory<TTempChangeCalcForm>());
    RegisterCalculationForm(kConcentrationChange, FormFactory<TConcentrationChangeCalcForm>());
    RegisterCalculationForm(kPhAdjustment, FormFactory<TPhAdjustmentCalcForm>());
    RegisterCalculationForm(kUndergroundWater, FormFactory<TUndergroundWaterCalcForm>());
    RegisterCalculationForm(kDeficientWater, FormFactory<TCaCarbDeficiencyCalcForm>());
    RegisterCalculationForm(kSofteningCa, FormFactory<TSofteningCaCalc>());
    RegisterCalculationForm(kSofteningMg, FormFactory<TSofteningMgCalc>());
    RegisterCalculationForm(kSofteningCaMg, FormFactory<TSofteningCaMgCalc>());
    RegisterCalculationForm(kDosingCurve, FormFactory<TDosingCurveCalcForm>());
    RegisterCalculationForm(kBlendToPh, FormFactory<TBlendToPhCalcForm>());
    RegisterCalculationForm(kBlendMultiple, FormFactory<TBlendMultipleCalcForm>());
}
