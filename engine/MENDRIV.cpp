// MENDRIV: the drivers of the calculations.

#include "MENDRIV.h"

void NameDosage(const TDosageChemical& chemical, double factor, double& dosage, std::string& unitsText,
                std::string& typeText) {
    unitsText = chemical.UnitsText;
    typeText = chemical.TypeText;
    dosage = dosage * (factor / 50);
}

void NoteNegativeDosage(double dosage, std::string& note1, std::string& note2) {
    if (dosage < 0) {
        note1 = kNegativeDosageNote1;
        note2 = kNegativeDosageNote2;
    }
}
