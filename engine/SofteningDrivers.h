#pragma once
// MENDRIV drivers of the softening calculations: run the task, name and convert the dosage (mg/l
// as CaCO3 to mg/l of the chemical) and turn the treated water into report units. Softening sets
// no negative-dosage notes: a negative dosage is returned as computed.

#include "SofteningLimits.h"

#include <string>

// Lime to a desired calcium (mg/l as CaCO3), with the stored limits of the same water.
void DriveSofteningCaLime(double desiredCalcium, const TSofteningLimits& limits, double& dosage,
                          std::string& dosageUnits, std::string& dosageType);
// Soda ash to a desired calcium (mg/l as CaCO3).
void DriveSofteningCaSodaAsh(double desiredCalcium, double& dosage, std::string& dosageUnits,
                             std::string& dosageType);
// Lime to a desired magnesium (mg/l as CaCO3).
void DriveSofteningMg(double desiredMagnesium, double& dosage, std::string& dosageUnits,
                      std::string& dosageType);
// Lime and soda ash to a desired calcium and magnesium (mg/l as CaCO3); the dosages come back in
// mg/l as Ca(OH)2 and mg/l as Na2CO3, without texts.
void DriveSofteningCaMg(double desiredCalcium, double desiredMagnesium, double& limeDosage,
                        double& ashDosage);
