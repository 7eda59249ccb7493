#pragma once
// The limits of lime softening for one water: how far lime can bring its calcium down, and the
// water at that point. Computed by SofteningCaLimits (SofteningTasks.h); the lime task softens
// from them.

struct TSofteningLimits {
    double CAMIN = 0;   // lowest calcium reachable with lime, mg/l as Ca, a whole number
    double ALKMIN = 0;  // alkalinity at that point, mmol/l
    double ACIMIN = 0;  // acidity at that point, mmol/l
    double HMIN = 0;    // hydrogen-ion activity at that point, mmol/l
    double LIMEINV = 0; // ALK - 2*CA of the untreated water, mmol/l

    // Ionic strength at the lowest-calcium point: a lime target of exactly CAMIN reports it.
    double MUMIN = 0;
};
