#pragma once
// The facade's checks of the waters that enter and leave it, for the engine's facade files.
//
// Every field of a data set can lie inside its range while the combination describes no water: a
// pH of 12 leaves 5 mg/l as CaCO3 of alkalinity less than its own hydroxide carries, a pH of 14
// makes a CO2 pressure of 0.035 atm stand for 3.4e13 mg/l of alkalinity. The engine would compute
// with such a water and hand out numbers for it, so the facade refuses it as soon as it is loaded,
// with a message that names the pH and the carbonate value entered. What leaves the facade is held
// to the same measure: a treated water with a negative total carbonate species, a pH outside 0 to
// 14, or a concentration or dosage beyond kMaxConcentration is an error naming the quantity.

#include "EngineError.h"

#include <initializer_list>
#include <string>

// The largest concentration or dosage of any water, in mg/l (mg/l as CaCO3 for alkalinity,
// acidity, calcium, magnesium, total carbonate species and precipitation potential): 1,000,000
// mg/l is a kilogram of solute in a litre, the mass of the litre of water itself. The data set's
// inputs stay at or below 15,000 mg/l (TDS) and 5,000 mg/l (each ion), and the strongest treatment
// (95 % evaporated) concentrates them twenty-fold; a figure beyond this bound is a calculation that
// ran away, not a water.
inline constexpr double kMaxConcentration = 1e6;

// The refusal of a loaded water that cannot exist; a blend names the component before the message.
class TImpossibleWater : public TEngineError {
public:
    using TEngineError::TEngineError;
};

// Refuses (TImpossibleWater) the water LoadDataset has just put into the engine when its pH and carbonate
// measure describe no water: a total carbonate species below zero, or an alkalinity, acidity or total
// carbonate species beyond kMaxConcentration. Reads the facade's copy of the data set and the
// engine's ALK, ACI, KW, K1, K2, FM.
void RequirePossibleLoadedWater();

// Refuses the treated water (ALKF..CPPF, report units) with a concentration beyond
// kMaxConcentration and, unless `asComputed`, with a total carbonate species below zero or a pH
// outside 0 to 14. `asComputed` is for a negative dosage: its notes already say the chemical cannot
// be used, and its treated water is shown as computed, whatever it holds.
void RequirePossibleTreatedWater(bool asComputed);

// A dosage or amount beside the result, named for the message ("dosage", "lime dosage").
struct TNamedDosage {
    const char* Name;
    double Value; // mg/l of the chemical
};
// Raises pending floating-point faults, refuses non-finite values and refuses a dosage whose
// magnitude exceeds kMaxConcentration (a negative dosage within it passes, as computed).
void RequireDosages(std::initializer_list<TNamedDosage> dosages);

// A number for the operator: two decimals, U+2212 for a minus sign, and above 1e9 three significant
// digits with an exponent (3.4e+13).
std::string OperatorNumber(double value);
