#pragma once
// Forward dosing: a given amount of one of the pH-adjustment chemicals added to the loaded water.
//
// The pH adjustment tasks (DOSTASK) answer the inverse question: from a target pH the chemical's
// invariant gives the treated alkalinity and acidity in closed form, and the dosage follows. Going
// forward the amount is known, so the alkalinity and acidity follow at once from the chemical's
// composition change per mmol/l; the pH is then the one unknown, and it has no closed form: it
// comes from the pH scan of PhFromAlkalinityAndAcidity (DETPAR), which lies 0.01 to 0.02 above
// the exact pH. Dosing the amount the inverse task returns for a target pH therefore gives that
// pH within the scan's resolution.
//
// Everything else is the pH adjustment's: the constants of the loaded water are kept (no constants
// refresh), the ionic strength is not recomputed for the dosed ions, and the treated water's
// precipitation potential is that of PrecipitationPotential. Nothing precipitates.

#include "MENDRIV.h"

// What one mmol/l of a chemical does to the water: the change of alkalinity and acidity (mmol/l
// of charge) and of the ion it brings (mmol/l), and its equivalents per mmol. The dosage in mg/l
// of the chemical is equivalents times the chemical's equivalent weight (TDosageChemical::Factor)
// per mmol/l.
struct TDosingChange {
    double Alkalinity;
    double Acidity;
    double Calcium;
    double Sodium;
    double Chloride;
    double Equivalents;
};

// A pH-adjustment chemical as forward dosing uses it.
struct TForwardChemical {
    const TDosageChemical* Chemical; // texts and equivalent weight, shared with the drivers
    TDosingChange Change;
};

inline constexpr int kForwardChemicals = 6;

// Chemical 0 CO2, 1 lime, 2 soda ash, 3 caustic soda, 4 hydrochloric acid, 5 bicarbonate of soda
// (the order of pH adjustment). Refuses any other index.
const TForwardChemical& ForwardChemical(int chemicalIndex);

// mmol/l of the chemical in `amount` mg/l of it (as CO2, as Ca(OH)2, ...).
double MmolOfDose(const TForwardChemical& chemical, double amount);

// Doses D mmol/l of the chemical into the loaded water: writes ALKF..CPPF (ALKF..CLF in engine
// units). Refuses a dosed water that cannot exist (negative total carbonate, pH outside 0 to 14);
// `amount` and the units text only name the dose in that message.
void DoseChemical(const TForwardChemical& chemical, double D, double amount);

// The driver: DoseChemical with `amount` mg/l of chemical `chemicalIndex`, then ToReportUnits.
void DriveForwardDosing(int chemicalIndex, double amount);
