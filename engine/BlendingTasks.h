#pragma once
// Blending tasks: several waters in given fractions, or two waters to a target pH.
//
// Mixing is conservative: alkalinity, acidity, the major ions, temperature and ionic strength of a
// blend are the fraction-weighted sums of its components'. Its pH is not mixed: it follows from the
// blended alkalinity and acidity, or it is the target and the fraction follows.
//
// The components come from the blend tables of the engine state (LoadBlendComponent). The tasks
// work on value copies of the tables, so the ionic strengths they adjust never reach the tables;
// only the acidity of each component (BACI) is written back.
//
// The constants are those of the last component's temperature throughout: the blend's pH and
// precipitation potential use them, while its reported temperature is the weighted mean.

#include "EngineState.h"

// Value copies of the blend tables, entry N for component N (1..20), engine units.
struct TBlendComponents {
    TBlendTable PH{};   // pH
    TBlendTable ALK{};  // alkalinity, mmol/l
    TBlendTable FRAC{}; // percent
    TBlendTable MU{};   // ionic strength (the tasks' working copy)
    TBlendTable T{};    // degrees Celsius
    TBlendTable CL{};   // mmol/l
    TBlendTable SO4{};  // mmol/l
    TBlendTable NA{};   // mmol/l
    TBlendTable MG{};   // mmol/l
    TBlendTable CA{};   // mmol/l
};
TBlendComponents CopyOfBlendTables();

// For each component 1..n in order: the constants at its temperature and for its ions (its working
// ionic strength takes the ions' value above 0.025), then its acidity into Engine.BACI.
void ComponentAcidity(int n, TBlendComponents& components);

// Blends components 1..n with the weights FRAC / 100, not normalised.
void BlendWaters(int n, TBlendComponents components);

// The fraction of water 1 (components 1 and 2, alkalinity BALK and acidity BACI) whose mixture has
// the pH p with the current constants: the solution of (Acy - hc + oh) * P = (Alk - oh + hc) * Q,
// P = 2 K2/h + 1, Q = 2 h/K1 + 1. 0.5 for identical carbonate systems; a zero denominator (waters
// that differ but whose balance does not change with the fraction) is a division by zero.
double BlendFractionOfWater1(double p);

// Blends components 1 and 2 to the pH p; the fraction of water 1 is not limited to 0..1. Returns
// the percentages of water 1 and water 2. A fraction so far outside 0..1 that the blend would hold
// a negative amount of an ion is refused with an error naming the percentages. Waters that differ
// but whose balance does not change with the fraction are a division by zero.
void BlendToPh(TBlendComponents components, double p, double& percentWater1, double& percentWater2);

// MENDRIV drivers: run the task on the blend tables and turn the blended water into report units.
// Blends dose nothing, so they set no texts.
void DriveBlendMultiple(int count);
void DriveBlendToPh(double targetPh, double& percentWater1, double& percentWater2);
