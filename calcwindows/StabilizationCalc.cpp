#include "StabilizationCalc.h"

#include "CalculationRanges.h"
#include "DosingCurveCalc.h"
#include "EngineFacade.h"
#include "InputCheck.h"
#include "LocaleNumbers.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace {
constexpr TInputRange kRange = CalculationRanges::DesiredPotential;
}

TStabilizationCalcForm::TStabilizationCalcForm(QWidget* owner) : TDosageCalcForm(owner, TNotes::Shown) {
    setWindowTitle(QStringLiteral("Stabilisation calculation"));
    QGroupBox* group = createInputGroup(QStringLiteral("Stabilisation inputs"));
    TxtPrecipPotential = createNumberInput(
        group, QStringLiteral("Desired precipitation potential :"), QStringLiteral("mg/l as CaC03"),
        QStringLiteral("Enter the desired precipitation potential between %1 and %2 mg/l as CaC03.")
            .arg(FormatBound(kRange.Min), FormatBound(kRange.Max)),
        QStringLiteral("TxtPrecipPotential"));
    ComboDosageChemical =
        createChoiceInput(group, QStringLiteral("Desired dosing chemical :"),
                          {QStringLiteral("CO2"), QStringLiteral("Lime"), QStringLiteral("Soda ash"),
                           QStringLiteral("Caustic soda"), QStringLiteral("Hydrochloric acid")},
                          QStringLiteral("ComboDosageChemical"), QStringLiteral("LabelDosingChem"));
    LabelDosingChem = findChild<QLabel*>(QStringLiteral("LabelDosingChem"));
    CreateCurveButton(ResultsSheet(), [this] { ButtonCurveClick(); });
}

void TStabilizationCalcForm::HideDosingCombo() {
    ComboDosageChemical->setCurrentIndex(0);
    LabelDosingChem->hide();
    ComboDosageChemical->hide();
}

bool TStabilizationCalcForm::ValidateInputs() {
    return CheckControlRange(TxtPrecipPotential, kRange.Min, kRange.Max);
}

void TStabilizationCalcForm::FormShow() {
    TDosageCalcForm::FormShow();
    TxtPrecipPotential->setText(FormatPattern(0, 1));
}

bool TStabilizationCalcForm::Calculate(const TWaterDataset& dataset) {
    ClearDosage();
    const double desiredPotential = ReadNumber(TxtPrecipPotential);
    SetCalcResult(RunStabilisation(dataset, ComboDosageChemical->currentIndex(), desiredPotential,
                                   DosageRequired, DosageUnits, DosageType, Note1, Note2));
    FCurveChemical = ComboDosageChemical->currentIndex();
    FCurveTarget = ReadNumber(TxtPrecipPotential);
    ShowDosage();
    ShowResults(CalcResult());
    return true;
}

void TStabilizationCalcForm::ButtonCurveClick() {
    OpenDosingCurve(this, Dataset(), FCurveChemical,
                    TDosingCurveTarget{TDosingCurveTarget::TKind::Potential, FCurveTarget, DosageRequired});
}
