// EngineFacade: the shared steps of every facade operation, the characterisation, and the run
// operations of pH adjustment, stabilisation, deficient water, air and underground equilibrium,
// temperature and concentration change (softening and blending have files of their own).

#include "EngineFacade.h"

#include "CONSDEC.h"
#include "DETPAR.h"
#include "EngineState.h"
#include "FacadeChecks.h"
#include "FacadeInternals.h"
#include "FloatingPointFaults.h"
#include "MENDRIV.h"
#include "VARTASK.h"
#include "WATCHEM.h"

#include <string>

void ResetEngine() {
    ClearFloatingPointFaults();
    Facade.Inputs = TCalculationInputs{}; // blend component number 1
}

void LoadDataset(const TWaterDataset& d) {
    auto& F = Facade.Loaded;
    F.FRAC = d.Fraction();
    F.IPH = d.Ph();
    F.IT = d.Temperature();
    F.INA = d.Sodium();
    F.IMG = d.Magnesium();
    F.ICA = d.Calcium();
    F.ISO4 = d.Sulphate();
    F.ICL = d.Chloride();
    F.WATCHAR = d.WaterCharacterIndex();
    F.ITDS = d.TDS();
    F.ICONDU = d.Conductivity();
    F.IMHU = d.IonicStrength();
    F.CARBSYSORDER = d.CarbonCharacterIndex();
    F.IALK = d.Alkalinity();
    F.IHACI = d.Acidity();
    F.ITOTC = d.CarbonateSpecies();
    F.IPCO2 = d.PressureCO2();
    DefineWater(F.WATCHAR, F.CARBSYSORDER, F.IPH, F.IT, F.INA, F.IMG, F.ICA, F.ICL, F.ISO4, F.ITDS, F.ICONDU,
                F.IMHU, F.IALK, F.IHACI, F.ITOTC, F.IPCO2);
    RequirePossibleLoadedWater();
}

void RequireFiniteOutputs(std::initializer_list<double> values) {
    RaiseFloatingPointFaults();
    for (double v : values)
        RequireFinite(v);
}

void FillResult(TCalculationResult& result, bool asComputed) {
    const auto& E = Engine;
    RequireFiniteOutputs(
        {E.ALKF, E.ACIF, E.CAF, E.MGF, E.NAF, E.SO4F, E.CLF, E.PHF, E.TF, E.MHUF, E.TDSF, E.CONF, E.CPPF});
    RequirePossibleTreatedWater(asComputed);
    result.ALKF = E.ALKF;
    result.ACIF = E.ACIF;
    result.CAF = E.CAF;
    result.MGF = E.MGF;
    result.NAF = E.NAF;
    result.SO4F = E.SO4F;
    result.CLF = E.CLF;
    result.PHF = E.PHF;
    result.TF = E.TF;
    result.MHUF = E.MHUF;
    result.TDSF = E.TDSF;
    result.CONF = E.CONF;
    result.CPPF = E.CPPF;
    result.WATCHAR = Facade.Loaded.WATCHAR;
    result.CARBSYSORDER = Facade.Loaded.CARBSYSORDER;
    Facade.LastResult = {true, result, E.KW, E.K1, E.K2, E.FM, E.FCA, E.FCO3, E.KACT[kSlotCalcite]};
}

void LoadBlendComponent(const TWaterDataset& dataset) {
    const int N = Facade.Inputs.BINDEX;
    if (N < 1 || N > kMaxBlendComponents)
        throw TEngineError("A blend takes at most " + std::to_string(kMaxBlendComponents) +
                           " waters; water " + std::to_string(N) + " cannot be loaded.");
    Facade.Inputs.BlendComponentsLoaded = N;
    try {
        LoadDataset(dataset);
    } catch (const TImpossibleWater& e) {
        throw TImpossibleWater("Water " + std::to_string(N) + ": " + e.what());
    }
    auto& E = Engine;
    E.BPH[N] = E.PH;
    E.BALK[N] = E.ALK;
    E.BFRAC[N] = Facade.Loaded.FRAC;
    E.BCA[N] = E.CA;
    E.BMG[N] = E.MG;
    E.BNA[N] = E.NA;
    E.BSO4[N] = E.SO4;
    E.BCL[N] = E.CL;
    E.BT[N] = E.T;
    E.BMU[N] = E.MU;
}

namespace {
void Characterise(TWaterDataset& dataset, double& precipitationPotential, double& tds, double& conductivity,
                  double& ionicStrength, double& co3Acidity, TWaterIndices* indices) {
    auto& E = Engine;
    ResetEngine();
    LoadDataset(dataset);
    const double potential = PrecipitationPotential(E.PH, E.ALK, E.CA, E.ACI);
    // The indices from the same load, while the water state is in engine units.
    TWaterIndices waterIndices;
    if (indices) waterIndices = IndicesOfLoadedWater(potential);
    // The data set's acidity is the HCO3-referenced one, (ACI - ALK) / 2; writing the CO3-referenced
    // ACI into it would make a water entered by its acidity describe another water.
    const double hco3Acidity = (E.ACI - E.ALK) / 2 * Units::kAcidity;

    // The water state in report units until the next LoadDataset.
    E.ALK = E.ALK * Units::kAlkalinity;
    E.ACI = E.ACI * Units::kAcidity;
    E.CA = E.CA * Units::kCalcium;
    E.MG = E.MG * Units::kMagnesium;
    E.NA = E.NA * Units::kSodium;
    E.SO4 = E.SO4 * Units::kSulphate;
    E.CL = E.CL * Units::kChloride;

    const double tdsOut = TdsFromIonicStrength(E.MU);
    const double conductivityOut = ConductivityFromIonicStrength(E.MU);
    RequireFiniteOutputs(
        {potential, tdsOut, conductivityOut, E.MU, hco3Acidity, E.ALK, E.ACI, E.CA, E.MG, E.NA, E.SO4, E.CL});

    precipitationPotential = potential;
    tds = tdsOut;
    conductivity = conductivityOut;
    ionicStrength = E.MU;
    co3Acidity = E.ACI;
    dataset.SetAlkalinity(E.ALK);
    dataset.SetAcidity(hco3Acidity);
    dataset.SetCalcium(E.CA);
    dataset.SetMagnesium(E.MG);
    dataset.SetSodium(E.NA);
    dataset.SetChloride(E.CL);
    dataset.SetSulphate(E.SO4);
    if (indices) *indices = waterIndices;
}
} // namespace

void CharacteriseWater(TWaterDataset& dataset, double& precipitationPotential, double& tds,
                       double& conductivity, double& ionicStrength, double& co3Acidity) {
    Characterise(dataset, precipitationPotential, tds, conductivity, ionicStrength, co3Acidity, nullptr);
}

void CharacteriseWater(TWaterDataset& dataset, double& precipitationPotential, double& tds,
                       double& conductivity, double& ionicStrength, double& co3Acidity,
                       TWaterIndices& indices) {
    Characterise(dataset, precipitationPotential, tds, conductivity, ionicStrength, co3Acidity, &indices);
}

double PressureCO2OfResult(const TCalculationResult& water) {
    auto& E = Engine;
    ClearFloatingPointFaults();
    // A water without carbonate species has no CO2 pressure to give; below zero it is no water.
    const double totalCarbonate = (water.ALKF + water.ACIF) / 2; // mg/l as CaCO3
    if (totalCarbonate < 0)
        throw TEngineError("This treated water has no CO2 pressure: its total carbonate species is " +
                           OperatorNumber(totalCarbonate) + " mg/l as CaCO3, below zero.");
    // The constants of the treated water itself: its temperature, ions and ionic strength through
    // the same refresh a task runs after it changes a water.
    ComputeConstants(water.TF, E.KTHERM);
    double mu = water.MHUF;
    RefreshConstants(water.CAF / Units::kCalcium, water.MGF / Units::kMagnesium, water.NAF / Units::kSodium,
                     water.SO4F / Units::kSulphate, water.CLF / Units::kChloride, mu, water.TF);
    // Dissolved CO2 from the alkalinity at the water's pH, so that a data set given by this
    // pressure (and the same pH) characterises back to the result's alkalinity:
    // alkalinity = (2 K2/h + 1) * K1 * a / h + oh - hc.
    const double alkalinity = water.ALKF / Units::kAlkalinity;
    const double h = HydrogenActivity(water.PHF);
    const double hc = h / E.FM;
    const double oh = E.KW / h;
    const double a = (alkalinity - oh + hc) / (2 * E.K2 / h + 1) * h / E.K1;
    const double pressure = a / E.KH;
    RequireFiniteOutputs({pressure});
    return pressure;
}

TResultPtr RunPhAdjustment(const TWaterDataset& dataset, int chemicalIndex, double targetPh, double& dosage,
                           std::string& dosageUnits, std::string& dosageType, std::string& note1,
                           std::string& note2) {
    auto result = std::make_unique<TCalculationResult>();
    ResetEngine();
    LoadDataset(dataset);
    Facade.Inputs.ChemicalIndex = chemicalIndex;
    Facade.Inputs.TargetPh = targetPh;
    DrivePhAdjustment(chemicalIndex, targetPh, dosage, dosageUnits, dosageType, note1, note2);
    RequireDosages({{"a dosage", dosage}});
    FillResult(*result, dosage < 0);
    return result;
}

TResultPtr RunStabilisation(const TWaterDataset& dataset, int chemicalIndex, double desiredPotential,
                            double& dosage, std::string& dosageUnits, std::string& dosageType,
                            std::string& note1, std::string& note2) {
    auto result = std::make_unique<TCalculationResult>();
    ResetEngine();
    LoadDataset(dataset);
    Facade.Inputs.ChemicalIndex = chemicalIndex;
    Facade.Inputs.DesiredPotential = desiredPotential;
    DriveStabilisation(chemicalIndex, desiredPotential, dosage, dosageUnits, dosageType, note1, note2);
    RequireDosages({{"a dosage", dosage}});
    FillResult(*result, dosage < 0);
    return result;
}

TResultPtr RunCaCarbonateDeficiency(const TWaterDataset& dataset, std::string& dosageType,
                                    std::string& dosageUnits, double& dosage, double desiredCalcium) {
    auto result = std::make_unique<TCalculationResult>();
    ResetEngine();
    LoadDataset(dataset);
    auto& in = Facade.Inputs;
    const auto& E = Engine;
    in.CarbonateDeficient = E.ALK - 2 * E.CA > 0 ? 0 : 1;
    in.DesiredCalcium = desiredCalcium;
    // The one figure the operator gives is the desired calcium. For a carbonate-deficient water the
    // desired alkalinity is the one the same lime gives: lime raises calcium by L and alkalinity by
    // 2 L (mg/l as CaCO3: alkalinity + (desired calcium - calcium)). Without it the branch would
    // read an alkalinity of 0 and report a negative dosage.
    in.DesiredAlkalinity = (E.ALK + 2 * (desiredCalcium / Units::kCalcium - E.CA)) * Units::kAlkalinity;
    CaCarbonateDeficiency(in.CarbonateDeficient, in.DesiredAlkalinity, in.DesiredCalcium, dosageType,
                          dosageUnits, dosage);
    RequireDosages({{"a lime dosage", dosage}});
    FillResult(*result);
    return result;
}

TResultPtr RunAirEquilibrium(const TWaterDataset& dataset, double& co2Amount, std::string& equilibriumText,
                             double pressureCO2) {
    auto result = std::make_unique<TCalculationResult>();
    ResetEngine();
    LoadDataset(dataset);
    Facade.Inputs.PressureCO2 = pressureCO2;
    DriveAirEquilibrium(pressureCO2, co2Amount, equilibriumText);
    RequireDosages({{"a CO2 amount", co2Amount}});
    FillResult(*result);
    return result;
}

TResultPtr RunUndergroundWater(const TWaterDataset& dataset, double& caco3Precipitated, double pressureCO2) {
    auto result = std::make_unique<TCalculationResult>();
    ResetEngine();
    LoadDataset(dataset);
    Facade.Inputs.PressureCO2 = pressureCO2;
    UndergroundEquilibrium(pressureCO2, caco3Precipitated);
    RequireDosages({{"an amount of CaCO3 precipitated", caco3Precipitated}});
    FillResult(*result);
    return result;
}

TResultPtr RunTemperatureChange(const TWaterDataset& dataset, double newTemperature) {
    auto result = std::make_unique<TCalculationResult>();
    ResetEngine();
    LoadDataset(dataset);
    Facade.Inputs.NewTemperature = newTemperature;
    DriveTemperatureChange(newTemperature);
    FillResult(*result);
    return result;
}

TResultPtr RunConcentrationChange(const TWaterDataset& dataset, double evaporationPercent) {
    auto result = std::make_unique<TCalculationResult>();
    ResetEngine();
    LoadDataset(dataset);
    Facade.Inputs.Evaporation = evaporationPercent;
    DriveConcentrationChange(evaporationPercent);
    FillResult(*result);
    return result;
}
