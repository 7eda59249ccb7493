#include "CaCarbDeficiencyCalc.h"

#include "CalculationRanges.h"
#include "Dialogs.h"
#include "EngineFacade.h"
#include "InputCheck.h"
#include "LocaleNumbers.h"
#include "StabilizationCalc.h"

#include <QGroupBox>
#include <QLineEdit>

#include <exception>

namespace {
constexpr TInputRange kRange = CalculationRanges::DeficientCalcium;
}

TCaCarbDeficiencyCalcForm::TCaCarbDeficiencyCalcForm(QWidget* owner) : TDosageCalcForm(owner, TNotes::None) {
    setWindowTitle(QStringLiteral("Ca and carbonate species deficient water"));
    QGroupBox* group = createInputGroup(QStringLiteral("Ca and carbonate species deficient water input"));
    // The prompt suggests more than the range demands: 35 is the advice, 30 the hard limit.
    TxtInput = createNumberInput(group, QStringLiteral("Desired Ca value :"), QStringLiteral("mg/l as CaC03"),
                                 QStringLiteral("Suggested minimum of 35 mg/l as CaC03."),
                                 QStringLiteral("TxtInput"));
}

bool TCaCarbDeficiencyCalcForm::ValidateInputs() {
    return CheckControlRange(TxtInput, kRange.Min, kRange.Max);
}

void TCaCarbDeficiencyCalcForm::FormShow() {
    TDosageCalcForm::FormShow();
    TxtInput->setText(FormatPattern(0, 1));
}

bool TCaCarbDeficiencyCalcForm::Calculate(const TWaterDataset& dataset) {
    ClearDosage();
    const double desiredCalcium = ReadNumber(TxtInput);
    SetCalcResult(RunCaCarbonateDeficiency(dataset, DosageType, DosageUnits, DosageRequired, desiredCalcium));
    ShowDosage();
    ShowResults(CalcResult());
    return true;
}

void TCaCarbDeficiencyCalcForm::ButtonCancelClick() {
    if (!IsResultsPageShown() ||
        !Dialogs().AskYesNo(this, QStringLiteral("Would you like to stabilise the water using CO2?"))) {
        TDosageCalcForm::ButtonCancelClick();
        return;
    }
    // The stabilisation window works on the conditioned water in the same copy; the opener takes
    // the copy over only if that window ends with OK, after its own update question.
    try {
        ApplyResultToDataset(CalcResult());
    } catch (const std::exception& error) {
        Dialogs().ShowMessage(this, QStringLiteral("Error while running the calculation: ") +
                                        QString::fromStdString(error.what()));
        return;
    }
    hide();
    TStabilizationCalcForm stabilisation(parentWidget());
    stabilisation.SetDataset(Dataset());
    stabilisation.HideDosingCombo();
    done(Dialogs().ExecModal(stabilisation));
}
