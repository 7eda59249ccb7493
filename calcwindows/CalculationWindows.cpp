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
    // Each calculation window adds its RegisterCalculationForm(index, factory) line here.
    RegisterCalculationForm(2, FormFactory<TStabilizationCalcForm>());
    RegisterCalculationForm(4, FormFactory<TAirEquibCalcForm>());
    RegisterCalculationForm(5, FormFactory<TTempChangeCalcForm>());
    RegisterCalculationForm(6, FormFactory<TConcentrationChangeCalcForm>());
    RegisterCalculationForm(7, FormFactory<TPhAdjustmentCalcForm>());
    RegisterCalculationForm(8, FormFactory<TUndergroundWaterCalcForm>());
    RegisterCalculationForm(9, FormFactory<TCaCarbDeficiencyCalcForm>());
    RegisterCalculationForm(11, FormFactory<TSofteningCaCalc>());
    RegisterCalculationForm(12, FormFactory<TSofteningMgCalc>());
    RegisterCalculationForm(13, FormFactory<TSofteningCaMgCalc>());
    RegisterCalculationForm(14, FormFactory<TDosingCurveCalcForm>());
    RegisterCalculationForm(31, FormFactory<TBlendToPhCalcForm>());
    RegisterCalculationForm(32, FormFactory<TBlendMultipleCalcForm>());
}
