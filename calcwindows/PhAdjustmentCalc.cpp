#include "PhAdjustmentCalc.h"

#include "CalculationRanges.h"
#include "DosingCurveCalc.h"
#include "EngineFacade.h"
#include "InputCheck.h"
#include "LocaleNumbers.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>

namespace {
constexpr TInputRange kRange = CalculationRanges::TargetPh;
}

TPhAdjustmentCalcForm::TPhAdjustmentCalcForm(QWidget* owner) : TDosageCalcForm(owner, TNotes::Shown) {
    setWindowTitle(QStringLiteral("pH adjustment calculation"));
    QGroupBox* group = createInputGroup(QStringLiteral("pH adjustment inputs"));
    TxtInput = createNumberInput(group, QStringLiteral("Desired pH :"), QString(),
                                 QStringLiteral("Enter the desired pH between %1 and %2.")
                                     .arg(FormatBound(kRange.Min), FormatBound(kRange.Max)),
                                 QStringLiteral("TxtInput"));
    ComboDosageChemical =
        createChoiceInput(group, QStringLiteral("Desired dosing chemical :"),
                          {QStringLiteral("CO2"), QStringLiteral("Lime"), QStringLiteral("Soda ash"),
                           QStringLiteral("Caustic soda"), QStringLiteral("Hydrochloric acid"),
                           QStringLiteral("Bicarbonate of soda")},
                          QStringLiteral("ComboDosageChemical"));
    CreateCurveButton(ResultsSheet(), [this] { ButtonCurveClick(); });
}

bool TPhAdjustmentCalcForm::ValidateInputs() {
    return CheckControlRange(TxtInput, kRange.Min, kRange.Max);
}

void TPhAdjustmentCalcForm::FormShow() {
    TDosageCalcForm::FormShow();
    TxtInput->setText(FormatPattern(0, 1));
}

bool TPhAdjustmentCalcForm::Calculate(const TWaterDataset& dataset) {
    ClearDosage();
    const double targetPh = ReadNumber(TxtInput);
    SetCalcResult(RunPhAdjustment(dataset, ComboDosageChemical->currentIndex(), targetPh, DosageRequired,
                                  DosageUnits, DosageType, Note1, Note2));
    FCurveChemical = ComboDosageChemical->currentIndex();
    FCurveTarget = ReadNumber(TxtInput);
    ShowDosage();
    ShowResults(CalcResult());
    return true;
}

void TPhAdjustmentCalcForm::ButtonCurveClick() {
    OpenDosingCurve(this, Dataset(), FCurveChemical,
                    TDosingCurveTarget{TDosingCurveTarget::TKind::Ph, FCurveTarget, DosageRequired});
}
