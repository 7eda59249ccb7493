#pragma once
// VARTASK: the variation tasks. A water brought into equilibrium with a CO2 partial pressure (air,
// or underground with calcite as well), heated or cooled, or concentrated by evaporation. Each
// writes the treated water ALKF..CPPF (ALKF..CLF in engine units unless stated).

// Equilibrium with CO2 at `pressureCO2` atm; alkalinity and the ions stay. `co2Amount` is the CO2
// taken up (positive) or given off (negative), mg/l CO2.
void EquilibrateWithAir(double pressureCO2, double& co2Amount);

// Equilibrium with CO2 at `pressureCO2` atm and with calcite; `caco3Precipitated` in mg/l as
// CaCO3 (negative when calcite dissolves). Ends with ToReportUnits. Uses HACT and HCONC as its
// search variables: afterwards HACT holds h (mmol/l) and HCONC h / 1000.
void UndergroundEquilibrium(double pressureCO2, double& caco3Precipitated);

// The same water at `newTemperature` degrees Celsius; leaves the constants at that temperature.
void ChangeTemperature(double newTemperature);

// The water after evaporation of `evaporationPercent` of its volume.
void ConcentrateByEvaporation(double evaporationPercent);
