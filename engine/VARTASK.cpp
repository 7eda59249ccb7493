// VARTASK: air and underground equilibrium, temperature and concentration change.

#include "VARTASK.h"

#include "CONSDEC.h"
#include "DETPAR.h"
#include "EngineState.h"
#include "StepSearch.h"
#include "WATCHEM.h"

namespace {
constexpr double kCO2MolarMass = 44; // mg per mmol
} // namespace

void EquilibrateWithAir(double pressureCO2, double& co2Amount) {
    auto& E = Engine;
    E.ALKF = E.ALK;
    E.CAF = E.CA;
    E.MGF = E.MG;
    E.NAF = E.NA;
    E.SO4F = E.SO4;
    E.CLF = E.CL;
    E.MHUF = E.MU;
    E.TF = E.T;
    E.PHF = PhFromAlkalinityAndPco2(E.ALKF, pressureCO2);
    E.ACIF = AcidityFromAlkalinity(E.ALKF, E.PHF);
    E.TDSF = TdsFromIonicStrength(E.MHUF);
    E.CONF = ConductivityFromIonicStrength(E.MHUF);
    E.CPPF = PrecipitationPotential(E.PHF, E.ALKF, E.CAF, E.ACIF);
    // One mmol of CO2 adds two units of acidity.
    co2Amount = (E.ACIF - E.ACI) / 2 * kCO2MolarMass;
}

void UndergroundEquilibrium(double pressureCO2, double& caco3Precipitated) {
    auto& E = Engine;
    // Calcite that dissolves or precipitates keeps alkalinity - 2 calcium.
    const double m = E.ALK - 2 * E.CA;
    const double a = E.KH * pressureCO2;
    double c3 = 0, b = 0;
    const double h = StepSearch(10.0, [&](double h) {
        E.HACT = h;
        E.HCONC = h / E.FM;
        c3 = E.K1 * E.K2 * a / (h * h);
        b = E.K1 * a / h;
        const double CaT = E.FCA * E.FCO3 * E.KACT[kSlotCalcite] * h * h / (E.K1 * E.K2 * a);
        // The hydrogen and hydroxide ions do not enter this balance.
        return (2 * c3 + b - 2 * CaT) - m;
    });
    E.PHF = PhOfActivity(h);
    E.HCONC = h / 1000;
    E.ACIF = 2 * a + b - E.KW / h;
    E.ALKF = 2 * c3 + b + E.KW / h;
    const double P = E.ALK - E.ALKF; // mmol/l of charge
    E.CAF = E.CA - P / 2;
    E.CPPF = 0; // saturated
    caco3Precipitated = P * Units::kCaCO3Charge;
    E.MGF = E.MG;
    E.NAF = E.NA;
    E.SO4F = E.SO4;
    E.CLF = E.CL;
    E.MHUF = E.MU;
    E.TF = E.T;
    E.TDSF = TdsFromIonicStrength(E.MHUF);
    E.CONF = ConductivityFromIonicStrength(E.MHUF);
    ToReportUnits();
}

void ChangeTemperature(double newTemperature) {
    auto& E = Engine;
    E.TF = newTemperature;
    ComputeConstants(newTemperature, E.KTHERM);
    // Alkalinity, acidity and the ions are conserved.
    E.ALKF = E.ALK;
    E.ACIF = E.ACI;
    E.CAF = E.CA;
    E.MGF = E.MG;
    E.NAF = E.NA;
    E.SO4F = E.SO4;
    E.CLF = E.CL;
    RefreshConstants(E.CAF, E.MGF, E.NAF, E.SO4F, E.CLF, E.MU, newTemperature);
    E.MHUF = E.MU;
    E.PHF = PhFromAlkalinityAndAcidity(E.ALKF, E.ACIF);
    E.TDSF = TdsFromIonicStrength(E.MHUF);
    E.CONF = ConductivityFromIonicStrength(E.MHUF);
    E.CPPF = PrecipitationPotential(E.PHF, E.ALKF, E.CAF, E.ACIF);
}

void ConcentrateByEvaporation(double e) {
    auto& E = Engine;
    // Every dissolved amount and the ionic strength rise by 100 / (100 - e).
    E.ALKF = E.ALK * 100 / (100 - e);
    E.ACIF = E.ACI * 100 / (100 - e);
    E.CAF = E.CA * 100 / (100 - e);
    E.MGF = E.MG * 100 / (100 - e);
    E.NAF = E.NA * 100 / (100 - e);
    E.SO4F = E.SO4 * 100 / (100 - e);
    E.CLF = E.CL * 100 / (100 - e);
    E.MHUF = E.MU * 100 / (100 - e);
    E.TF = E.T;
    RefreshConstants(E.CAF, E.MGF, E.NAF, E.SO4F, E.CLF, E.MHUF, E.T);
    E.PHF = PhFromAlkalinityAndAcidity(E.ALKF, E.ACIF);
    E.TDSF = TdsFromIonicStrength(E.MHUF);
    E.CONF = ConductivityFromIonicStrength(E.MHUF);
    E.CPPF = PrecipitationPotential(E.PHF, E.ALKF, E.CAF, E.ACIF);
}
