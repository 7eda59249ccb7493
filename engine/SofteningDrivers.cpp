// MENDRIV drivers of the softening calculations.

#include "SofteningDrivers.h"

#include "CONSDEC.h"
#include "MENDRIV.h"
#include "SofteningTasks.h"

void DriveSofteningCaLime(double desiredCalcium, const TSofteningLimits& limits, double& dosage,
                          std::string& dosageUnits, std::string& dosageType) {
    dosage = SoftenCaLime(desiredCalcium, limits);
    NameDosage(Chemicals::kLime, dosage, dosageUnits, dosageType);
    ToReportUnits();
}

void DriveSofteningCaSodaAsh(double desiredCalcium, double& dosage, std::string& dosageUnits,
                             std::string& dosageType) {
    dosage = SoftenCaSodaAsh(desiredCalcium);
    NameDosage(Chemicals::kSodaAsh, dosage, dosageUnits, dosageType);
    ToReportUnits();
}

void DriveSofteningMg(double desiredMagnesium, double& dosage, std::string& dosageUnits,
                      std::string& dosageType) {
    dosage = SoftenMg(desiredMagnesium);
    NameDosage(Chemicals::kLime, dosage, dosageUnits, dosageType);
    ToReportUnits();
}

void DriveSofteningCaMg(double desiredCalcium, double desiredMagnesium, double& limeDosage,
                        double& ashDosage) {
    const TLimeAndSodaAsh dosages = SoftenCaMg(desiredCalcium, desiredMagnesium);
    limeDosage = dosages.Lime * (Chemicals::kLime.Factor / Units::kCaCO3Charge);
    ashDosage = dosages.SodaAsh * (Chemicals::kSodaAsh.Factor / Units::kCaCO3Charge);
    ToReportUnits();
}
