#pragma once
// DOSTASK: the dosing tasks of pH adjustment and stabilisation.
//
// Each task reads the loaded water and its equilibrium state, writes the treated water ALKF..CPPF
// (ALKF..CLF in engine units) and returns the dosage in mg/l as CaCO3 (the chemical's equivalents
// in mmol/l times 50). The driver turns it into mg/l of the chemical.

// pH adjustment to the target pH p. Each chemical keeps one quantity of the carbonate system, so
// the treated water follows in closed form.
void AdjustPhCo2(double p, double& dosage);         // keeps the alkalinity
void AdjustPhLime(double p, double& dosage);        // keeps the total carbonate, adds calcium
void AdjustPhSodaAsh(double p, double& dosage);     // keeps the acidity, adds 2 sodium per mmol
void AdjustPhCausticSoda(double p, double& dosage); // keeps the total carbonate, adds sodium
void AdjustPhHcl(double p, double& dosage);         // keeps the total carbonate, adds chloride
void AdjustPhBicarbonate(double p, double& dosage); // keeps the HCO3-referenced acidity, adds sodium

// Stabilisation to a desired precipitation potential (mg/l as CaCO3). Each works back from the
// water that has deposited the desired CaCO3 and is then saturated with calcite. They also write
// CAFREE, and report the desired potential itself as CPPF.
void StabiliseCo2(double desiredPotential, double& dosage);
void StabiliseLime(double desiredPotential, double& dosage);
void StabiliseSodaAsh(double desiredPotential, double& dosage);
// Hydrochloric acid, or caustic soda as a negative amount of acid (the driver's factor -40).
void StabiliseStrongAcid(double desiredPotential, bool causticSoda, double& dosage);
