#pragma once
// The facade's own state and the steps its operations share, for the engine's facade files.
// Not for code outside engine/: windows and the command line include EngineFacade.h only; the
// engine's tests and the benchmarks reach this header through the calvaro_engine_internal target.
// The engine's tasks and drivers do not include it either: what they need of the facade's state
// (the softening limits) lives in SofteningLimits.h.
//
// Call pattern of a run operation:
//   auto result = std::make_unique<TCalculationResult>();
//   ResetEngine();                 // also forgets earlier floating-point faults
//   LoadDataset(dataset);          // DefineWater: constants, ionic strength, ion pairs, ALK, ACI
//   Facade.Inputs.X = value;       // the calculation's inputs
//   Drive...(...);                 // MENDRIV: task, dosage texts and factor, ToReportUnits, notes
//   RequireFiniteOutputs({dosage}); // the out values beside the result
//   FillResult(*result);           // raises pending faults, refuses non-finite values, copies
//   return result;

#include "CalvaroModel.h"
#include "EngineError.h"
#include "SofteningLimits.h"

#include <initializer_list>

// Copy of the last loaded data set (report units), written by LoadDataset.
struct TLoadedDataset {
    double FRAC = 0; // percent share in a blend
    double IPH = 0;
    double IT = 0;
    double INA = 0;
    double IMG = 0;
    double ICA = 0;
    double ISO4 = 0;
    double ICL = 0;
    int WATCHAR = 0;
    double ITDS = 0;
    double ICONDU = 0;
    double IMHU = 0;
    int CARBSYSORDER = 0;
    double IALK = 0;
    double IHACI = 0; // HCO3-referenced acidity
    double ITOTC = 0;
    double IPCO2 = 0;
};

// The last treated water FillResult handed out, with the constants in force when its potential
// was computed, so that its scaling indices come from the same constants (a blend's are those at
// its last water's temperature, not at the mean temperature it reports).
struct TLastResult {
    bool Kept = false;
    TCalculationResult Water;
    double KW = 0, K1 = 0, K2 = 0, FM = 0, FCA = 0, FCO3 = 0; // engine units, as in TEngineState
    double Calcite = 0;                                       // KACT[10], (mmol/l)^2
};

// Inputs of the current calculation; ResetEngine sets them back to these values.
struct TCalculationInputs {
    int ChemicalIndex = 0;         // chemical or method index
    double TargetPh = 0;           // pH adjustment, blend to pH
    double DesiredPotential = 0;   // stabilisation, mg/l as CaCO3
    double NewTemperature = 0;     // temperature change, degrees Celsius
    double Evaporation = 0;        // concentration change, percent
    double PressureCO2 = 0;        // air and underground water, atm
    double DesiredCalcium = 0;     // deficient water and softening, mg/l as CaCO3
    double DesiredMagnesium = 0;   // softening, mg/l as CaCO3
    double DesiredAlkalinity = 0;  // deficient water, carbonate-deficient branch, mg/l as CaCO3
    int CarbonateDeficient = 0;    // deficient water: 0 calcium-deficient, 1 carbonate-deficient
    int BINDEX = 1;                // the blend component the next LoadBlendComponent fills, 1..20
    int BlendComponentsLoaded = 0; // the number of blend components loaded
};

// Softening limits of the last GetSofteningCaLimits; ResetEngine leaves them alone.
struct TStoredSofteningLimits : TSofteningLimits {
    // Set by GetSofteningCaLimits once the limits are computed, with the water they belong to;
    // a lime run for another water is refused instead of using limits that are not its own.
    bool Stored = false;
    TLoadedDataset Water;
};

struct TFacadeState {
    TLoadedDataset Loaded;
    TCalculationInputs Inputs;
    TLastResult LastResult;
    TStoredSofteningLimits Limits;
};

// The facade's state; single-threaded like the engine's.
inline TFacadeState Facade;

// Program-start state of the facade, limits included (test fixtures).
inline void ResetFacadeState() {
    Facade = TFacadeState{};
}

// Clears the calculation inputs and sets the blend component number to 1; keeps the softening
// limits and the engine state. Every facade operation starts here, so it also forgets
// floating-point faults left by anything before the operation.
void ResetEngine();

// Copies the data set's values into the facade's copy and runs DefineWater with them; refuses a
// water that cannot exist (RequirePossibleLoadedWater).
void LoadDataset(const TWaterDataset& dataset);

// Copies the treated water (ALKF..CPPF) and the loaded WATCHAR and CARBSYSORDER into `result`,
// after raising any floating-point fault of the operation, refusing non-finite values and refusing
// a water that cannot exist (RequirePossibleTreatedWater; `asComputed` for a negative dosage).
void FillResult(TCalculationResult& result, bool asComputed = false);

// Loads the data set as blend component BINDEX (1..20) and stores its PH, ALK, FRAC, CA, MG, NA,
// SO4, CL, T and MU under that entry of the blend tables. Refuses a BINDEX outside the tables.
void LoadBlendComponent(const TWaterDataset& dataset);

// The scaling indices of the water just loaded (engine units, its constants in force), its
// potential given; the characterisation's and WaterIndicesOfDataset's common step.
struct TWaterIndices;
TWaterIndices IndicesOfLoadedWater(double potential);

// Raises any pending floating-point fault and refuses non-finite values among an operation's out
// values (dosages, percentages, limits).
void RequireFiniteOutputs(std::initializer_list<double> values);
