#pragma once
// The chemistry engine's one module-level state: the water most recently loaded, its equilibrium
// constants and activity corrections, the treated water of the last task, the hydrogen scratch and
// the blend tables.
//
// Why one global: the engine is procedural. Its routines read and write the same named quantities
// (ALK, KACT[10], FCO3 ...) exactly as the chemistry is written, and a calculation is a chain of
// such routines over one water. Keeping that water in one place lets each routine stay a short
// formula instead of threading a dozen values through every call. The price is that the engine is
// not re-entrant: it is used from one thread, one calculation at a time (calculation windows are
// modal, the command line runs its inputs in sequence). Each facade operation loads its water before
// it reads anything, so nothing of an earlier calculation is read by accident; tests call
// ResetEngineState() in their fixtures for a clean start.
//
// Units: engine units are mmol/l; alkalinity and acidity in mmol/l of charge (meq/l). An
// equilibrium constant with n more concentration factors above than below carries 1000^n against
// its mol/l value.

#include <array>

// Slots of KTHERM / KACT. The slot numbers are fixed: tasks address the tables by them.
enum TConstantSlot : int {
    kSlotK1 = 0,             // H2CO3* = H+ + HCO3-
    kSlotK2 = 1,             // HCO3- = H+ + CO3--
    kSlotKw = 2,             // ion product of water
    kSlotHSO4 = 4,           // HSO4- = H+ + SO4--
    kSlotCalcite = 10,       // CaCO3 solubility product
    kSlotMgOH2 = 12,         // Mg(OH)2 solubility product, Mg++ (OH-)^2
    kSlotCaSO4 = 19,         // CaSO4 ion pair, dissociation
    kSlotCaCO3 = 20,         // CaCO3 ion pair, dissociation
    kSlotCaHCO3 = 21,        // CaHCO3+ ion pair, dissociation
    kSlotMgSO4 = 23,         // MgSO4 ion pair, dissociation
    kSlotMgCO3 = 24,         // MgCO3 ion pair, dissociation
    kSlotMgHCO3 = 25,        // MgHCO3+ ion pair, dissociation
    kSlotNaSO4 = 27,         // NaSO4- ion pair, dissociation
    kSlotNaCO3 = 28,         // NaCO3- ion pair, dissociation
    kSlotNaBicarbonate = 29, // sodium term of the bicarbonate ion-pair factor
    kSlotHenry = 39,         // Henry's law constant of CO2
};

inline constexpr int kConstantSlots = 40;
using TConstantTable = std::array<double, kConstantSlots>;

// Blend components are numbered 1..20; the tables are sized 21 so that entry N is component N
// (entry 0 is never used).
inline constexpr int kMaxBlendComponents = 20;
using TBlendTable = std::array<double, kMaxBlendComponents + 1>;

struct TEngineState {
    // Water state: the water most recently loaded (engine units).
    double ALK = 0; // alkalinity, H2CO3* reference, mmol/l of charge
    double ACI = 0; // acidity, CO3-- reference, mmol/l of charge
    double CA = 0;  // total calcium, mmol/l
    double MG = 0;  // total magnesium, mmol/l
    double NA = 0;  // total sodium, mmol/l
    double SO4 = 0; // total sulphate, mmol/l
    double CL = 0;  // chloride, mmol/l
    double PH = 0;  // pH
    double T = 0;   // temperature, degrees Celsius
    double MU = 0;  // ionic strength, mol/l basis

    // Equilibrium state of the last constants computation.
    double KW = 0;      // apparent ion product of water for use with h: oh = KW / h, (mmol/l)^2
    double KH = 0;      // Henry's law constant of CO2: a = KH * pCO2, mmol/l per atm
    double CAFREE = 0;  // calcium not paired with sulphate, mmol/l
    double MGFREE = 0;  // magnesium not paired with sulphate, mmol/l
    double NAFREE = 0;  // sodium not paired with sulphate, mmol/l
    double SO4FREE = 0; // free sulphate ion, mmol/l
    double K1 = 0;      // apparent first carbonic acid constant h*b/a (pairs included), mmol/l
    double K2 = 0;      // apparent second carbonic acid constant h*c3/b (pairs included), mmol/l
    double FM = 0;      // activity coefficient of the hydrogen ion
    double FCA = 0;     // total over free calcium, 1 + SO4FREE / KACT[19]
    double FMG = 0;     // total over free magnesium, 1 + SO4FREE / KACT[23]
    double FCO3 = 0;    // total (free and paired) over free carbonate ion

    TConstantTable KTHERM{}; // equilibrium constants at the water's temperature, engine units
    TConstantTable KACT{};   // the same divided by the activity coefficients that apply

    // Treated water of the last task. A task writes ALKF..CLF in engine units and the driver turns
    // them into report units (ToReportUnits); PHF..CPPF are always in report units.
    double ALKF = 0; // alkalinity (mmol/l, then mg/l as CaCO3)
    double ACIF = 0; // acidity, CO3-- reference (mmol/l, then mg/l as CaCO3)
    double CAF = 0;  // calcium (mmol/l, then mg/l as CaCO3)
    double MGF = 0;  // magnesium (mmol/l, then mg/l as CaCO3)
    double NAF = 0;  // sodium (mmol/l, then mg Na/l)
    double SO4F = 0; // sulphate (mmol/l, then mg SO4/l)
    double CLF = 0;  // chloride (mmol/l, then mg Cl/l)
    double PHF = 0;  // pH
    double TF = 0;   // temperature, degrees Celsius
    double MHUF = 0; // ionic strength
    double TDSF = 0; // TDS, mg/l
    double CONF = 0; // conductivity, mS/m
    double CPPF = 0; // CaCO3 precipitation potential, mg/l as CaCO3

    // Hydrogen scratch: h and hc of the last pH or trial activity a carbonate routine worked with.
    // HACT is in mmol/l, except after a pH search, which leaves it in mol/l. HCONC in mmol/l.
    double HACT = 0;
    double HCONC = 0;

    // Blend tables, entry N for component N (1..20), engine units.
    TBlendTable BPH{};   // pH
    TBlendTable BALK{};  // alkalinity, mmol/l
    TBlendTable BFRAC{}; // the data set's FRAC, percent
    TBlendTable BCA{};   // calcium, mmol/l
    TBlendTable BMG{};   // magnesium, mmol/l
    TBlendTable BNA{};   // sodium, mmol/l
    TBlendTable BSO4{};  // sulphate, mmol/l
    TBlendTable BCL{};   // chloride, mmol/l
    TBlendTable BT{};    // temperature, degrees Celsius
    TBlendTable BMU{};   // ionic strength after loading
    TBlendTable BACI{};  // acidity, mmol/l (written by the blending tasks)
};

// The engine's state. Single-threaded use only (see above).
inline TEngineState Engine;

// Back to the program-start state: every value zero.
inline void ResetEngineState() {
    Engine = TEngineState{};
}
