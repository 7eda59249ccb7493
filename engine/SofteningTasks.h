#pragma once
// Softening tasks: lime and soda ash precipitate calcium carbonate, lime also magnesium hydroxide.
// Every treated water is taken to be in equilibrium with calcite.
//
// Notation (mmol/l): h hydrogen-ion activity, hc = h / FM, oh hydroxide, c3 carbonate including
// its pairs, b = c3*h/K2 bicarbonate, a = b*h/K1 dissolved CO2. Alk = 2*c3 + b + oh - hc and
// Acy = 2*a + b + hc - oh. The free carbonate ion is c3 / FCO3; the calcium in equilibrium with it
// is CAFREE = KACT[10] / (c3 / FCO3), total calcium CaT = CAFREE * FCA.
//
// Lime and soda ash both leave Alk - 2*Ca (- 2*Mg where magnesium hydroxide precipitates)
// unchanged: this invariant ties the treated water to the untreated one.
//
// The tasks write the treated water ALKF..CLF in engine units and PHF..CPPF in report units, and
// return their dosages in mg/l as CaCO3; the drivers (SofteningDrivers.h) name and convert them.

#include "SofteningLimits.h"

// The calcite-saturated water at a fixed pH (activity h, hydroxide oh, mmol/l) whose
// Alk - 2*CaT equals m (mmol/l), with magnesium Mg for the constants.
struct TSaturatedWater {
    double CaT = 0; // total calcium, mmol/l
    double Alk = 0; // alkalinity, mmol/l
    double Acy = 0; // acidity, mmol/l
};
// Two passes of a search over c3 from 1.0, each followed by a constants refresh for the
// saturated calcium (MHUF is not touched); the result is that of the second search.
TSaturatedWater SaturateCaCO3AtPh(double m, double h, double oh, double Mg);

// CAMIN from the lowest reachable calcium (mmol/l): in mg/l as Ca, one added, truncated towards
// zero, so a whole number above it (12.0 mg/l as Ca gives 13).
double CaminOfLowestCalcium(double lowestCalcium);

// The lowest calcium lime can reach for the loaded water: the point where bicarbonate equals
// hydroxide, or, when magnesium hydroxide starts to precipitate before it, the calcite-saturated
// water at the magnesium hydroxide pH. Sets MHUF to the ionic strength at that point and returns
// the limits with it (MUMIN). Does not mark them as stored (the facade does).
TSofteningLimits SofteningCaLimits();

// Calcium softening with lime to `desiredCalcium` (mg/l as CaCO3) with the limits of this water.
// Returns the lime dosage in mg/l as CaCO3. Refuses a target below the lowest reachable calcium
// and a target for which the alkalinity balance has no solution (negative discriminant).
double SoftenCaLime(double desiredCalcium, const TSofteningLimits& limits);

// The pH at which a water with carbonate c3 (mmol/l) has acidity Y (mmol/l): a search over h
// from 10. Leaves HACT in mol/l and HCONC in mmol/l.
double PhFromAcidityAndCarbonate(double Y, double c3);

// Calcium softening with soda ash to `desiredCalcium` (mg/l as CaCO3); the acidity is unchanged.
// Returns the soda-ash dosage in mg/l as CaCO3.
double SoftenCaSodaAsh(double desiredCalcium);

// Magnesium softening with lime to `desiredMagnesium` (mg/l as CaCO3). Returns the lime dosage in
// mg/l as CaCO3. Zero free magnesium is a division by zero.
double SoftenMg(double desiredMagnesium);

// Combined softening to a calcium and a magnesium (mg/l as CaCO3), lime and soda ash together.
struct TLimeAndSodaAsh {
    double Lime = 0;    // mg/l as CaCO3
    double SodaAsh = 0; // mg/l as CaCO3; negative when the target calcium lies above saturation
};
TLimeAndSodaAsh SoftenCaMg(double desiredCalcium, double desiredMagnesium);
