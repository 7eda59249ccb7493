#include "CO2EquilibriumCalcForm.h"

#include "CalculationRanges.h"
#include "EngineFacade.h"
#include "InputCheck.h"
#include "LocaleNumbers.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace {

constexpr TInputRange kRange = CalculationRanges::PressureCO2;
constexpr double kAirPressureCO2 = 0.00035; // atm

// The caption label in front of a result value (same row, first column).
QLabel* CaptionOf(QLabel* value) {
    auto* grid = qobject_cast<QGridLayout*>(value->parentWidget()->layout());
    int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
    grid->getItemPosition(grid->indexOf(value), &row, &column, &rowSpan, &columnSpan);
    return qobject_cast<QLabel*>(grid->itemAtPosition(row, 0)->widget());
}

} // namespace

TCO2EquilibriumCalcForm::TCO2EquilibriumCalcForm(QWidget* owner, const QString& caption,
                                                 const QString& inputTitle)
    : TCalcForm(owner) {
    setWindowTitle(caption);
    QGroupBox* group = createInputGroup(inputTitle);
    TxtPartialPressure = createNumberInput(
        group, QStringLiteral("Partial pressure of C02 :"), QStringLiteral("atm"),
        QStringLiteral("Enter the partial pressure of C02 in the air between %1 and %2 atm.")
            .arg(FormatBound(kRange.Min), FormatBound(kRange.Max)),
        QStringLiteral("TxtPartialPressure"));

    createResultLine(QStringLiteral("LabelDescriptor"))->setText(QStringLiteral("CO2 addition/removal"));
    // The facade's text names the change in the place of a caption.
    LabelDelC02 =
        createResultRow(QString(), QStringLiteral("LabelDelC02"), QStringLiteral("LabelDelC02Units"));
    findChild<QLabel*>(QStringLiteral("LabelDelC02Units"))->setText(QStringLiteral("mgC02/l"));
    LabelEquilString = CaptionOf(LabelDelC02);
    LabelEquilString->setObjectName(QStringLiteral("LabelEquilString"));
}

bool TCO2EquilibriumCalcForm::ValidateInputs() {
    return CheckControlRange(TxtPartialPressure, kRange.Min, kRange.Max);
}

void TCO2EquilibriumCalcForm::FormShow() {
    TCalcForm::FormShow();
    TxtPartialPressure->setText(FormatPattern(kAirPressureCO2, 5));
}

void TCO2EquilibriumCalcForm::ClearEquilibrium() {
    EquilString.clear();
    DelC02 = 0;
    LabelEquilString->clear();
    LabelDelC02->clear();
}

bool TCO2EquilibriumCalcForm::CalculateEquilibrium(const TWaterDataset& dataset, double pressureCO2) {
    SetCalcResult(RunAirEquilibrium(dataset, DelC02, EquilString, pressureCO2));
    LabelEquilString->setText(TrimmedText(EquilString));
    LabelDelC02->setText(FormatValue(DelC02));
    ShowResults(CalcResult());
    return true;
}

void TCO2EquilibriumCalcForm::WriteResults(TCsvWriter& writer) {
    TCalcForm::WriteResults(writer);
    AddRow(writer, {TrimmedText(EquilString), FormatValue(DelC02)});
}
