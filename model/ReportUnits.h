#pragma once
// The report units and the engine's units, defined once. The engine computes in mmol/l (alkalinity
// and acidity in mmol/l of charge); the data set, the results and every window report mg/l as
// CaCO3 for alkalinity, acidity, total carbonate species, calcium, magnesium and precipitation
// potential, and mg/l of the ion for sodium, sulphate and chloride. A report value divided by its
// divisor gives the engine value. TDS and conductivity stand for the ionic strength.
//
// The engine converts with these (CONSDEC); the calculation ranges and the tests use the same
// figures from here.

namespace Units {
// Report-to-engine divisors (report value / divisor = engine value).
inline constexpr double kAlkalinity = 50;     // mg/l as CaCO3 per mmol/l of charge
inline constexpr double kAcidity = 50;        // mg/l as CaCO3 per mmol/l of charge
inline constexpr double kTotalCarbonate = 50; // mg/l as CaCO3 per mmol/l
inline constexpr double kCalcium = 100;       // mg/l as CaCO3 per mmol/l
inline constexpr double kMagnesium = 100;     // mg/l as CaCO3 per mmol/l
inline constexpr double kSodium = 23;         // mg Na per mmol
inline constexpr double kSulphate = 96;       // mg SO4 per mmol
inline constexpr double kChloride = 35.453;   // mg Cl per mmol
inline constexpr double kPotential = 100;     // mg/l as CaCO3 per mmol/l of CaCO3

// A dosage in mmol/l of CaCO3 or in mmol/l of charge, to mg/l as CaCO3.
inline constexpr double kCaCO3 = 100;      // mg CaCO3 per mmol
inline constexpr double kCaCO3Charge = 50; // mg CaCO3 per mmol of charge (its equivalent weight)
inline constexpr double kCalciumAsCa = 40; // mg Ca per mmol: calcium in mg/l as Ca

// The ionic strength a TDS or a conductivity stands for.
inline constexpr double kTdsToIonicStrength = 2.5e-5;          // per mg/l
inline constexpr double kConductivityToIonicStrength = 1.6e-4; // per mS/m
} // namespace Units
