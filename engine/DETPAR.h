#pragma once
// DETPAR: the calcium carbonate precipitation potential and the pH searches.

// The CaCO3 a water deposits (positive) or dissolves (negative) before it is saturated with
// calcite, in mg/l as CaCO3. Alkalinity, calcium and acidity in engine units; the pH argument is
// not used. Also returns the equilibrium alkalinity and total calcium (engine units) and pH.
// Reads FM, KW, K1, K2, FCO3, FCA, KACT[10]; writes nothing in the engine state.
void PrecipitationPotential(double pH, double alkalinity, double calcium, double acidity, double& potential,
                            double& equilibriumAlkalinity, double& equilibriumCalcium, double& equilibriumPh);
// The potential alone.
double PrecipitationPotential(double pH, double alkalinity, double calcium, double acidity);

// The pH of a water of this acidity whose alkalinity is `targetAlkalinity` (engine units), by a
// scan over pH in steps of 1, 0.1 and 0.01 from pH 1. The scan returns the pH one grid point past
// the crossing, 0.01 to 0.02 above the exact pH. Leaves HACT in mol/l and HCONC in mmol/l.
double PhFromAlkalinityAndAcidity(double targetAlkalinity, double acidity);

// The pH of a water of alkalinity `targetAlkalinity` (engine units) in equilibrium with CO2 at
// `pressureCO2` atm, by the step search over h from 10. Leaves HACT in mol/l and HCONC in mmol/l.
double PhFromAlkalinityAndPco2(double targetAlkalinity, double pressureCO2);
