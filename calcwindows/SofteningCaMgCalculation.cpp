#include "SofteningCaMgCalculation.h"

#include "CalculationRanges.h"
#include "EngineFacade.h"
#include "InputCheck.h"
#include "LocaleNumbers.h"
#include "SofteningMgCalculation.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include <limits>

namespace {

QString CalciumPrompt(const TWaterDataset* water) {
    const TWaterDataset values = water ? *water : TWaterDataset();
    const TInputRange range = CalculationRanges::SofteningCaMgCalcium(values);
    return QStringLiteral("Enter the desired Calcium value between %1 and Ca initial (%2) mg/l as CaC03.")
        .arg(FormatGeneral(range.Min), FormatGeneral(values.Calcium()));
}

bool CheckRange(QLineEdit* box, const TInputRange& range) {
    return CheckControlRange(box, range.Min, range.Max);
}

} // namespace

TSofteningCaMgCalc::TSofteningCaMgCalc(QWidget* owner) : TCalcForm(owner) {
    setWindowTitle(QStringLiteral("Softening to desired Ca and Mg inputs"));
    QGroupBox* group = createInputGroup(QStringLiteral("Softening to desired Ca and Mg inputs"));
    const QString unit = QStringLiteral("mg/l as CaC03");
    TxtCa = createNumberInput(group, QStringLiteral("Desired Ca value :"), unit, QString(),
                              QStringLiteral("TxtCa"));
    TxtMg = createNumberInput(group, QStringLiteral("Desired Mg value :"), unit, QString(),
                              QStringLiteral("TxtMg"));

    LabelLimeDosage =
        createResultRow(QStringLiteral("Lime dosage required :"), QStringLiteral("LabelLimeDosage"),
                        QStringLiteral("LabelLimeDosageUnits"));
    findChild<QLabel*>(QStringLiteral("LabelLimeDosageUnits"))->setText(QStringLiteral("mg/l as Ca(OH)2"));
    LabelAshDosage = createResultRow(QStringLiteral("Ash dosage required :"),
                                     QStringLiteral("LabelAshDosage"), QStringLiteral("LabelAshDosageUnits"));
    findChild<QLabel*>(QStringLiteral("LabelAshDosageUnits"))->setText(QStringLiteral("mg/l as Na2CO3"));
}

void TSofteningCaMgCalc::UpdatePrompts() {
    SetInputPrompt(TxtCa, CalciumPrompt(Dataset()));
    SetInputPrompt(TxtMg, MagnesiumSofteningPrompt(Dataset()));
}

bool TSofteningCaMgCalc::ValidateInputs() {
    UpdatePrompts();
    if (!Dataset()) {
        constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
        const bool calcium = CheckControlRange(TxtCa, kNaN, kNaN);
        const bool magnesium = CheckControlRange(TxtMg, kNaN, kNaN);
        return calcium && magnesium;
    }
    // Both checks run, so both fields are coloured.
    const bool calcium = CheckRange(TxtCa, CalculationRanges::SofteningCaMgCalcium(*Dataset()));
    const bool magnesium = CheckRange(TxtMg, CalculationRanges::SofteningCaMgMagnesium(*Dataset()));
    return calcium && magnesium;
}

void TSofteningCaMgCalc::setVisible(bool visible) {
    // The base fixes the window's width from the prompts when it is first shown.
    if (visible) UpdatePrompts();
    TCalcForm::setVisible(visible);
}

void TSofteningCaMgCalc::FormShow() {
    TCalcForm::FormShow();
    TxtCa->setText(FormatPattern(0, 1));
    TxtMg->setText(FormatPattern(0, 1));
    ValidateInputs();
}

bool TSofteningCaMgCalc::Calculate(const TWaterDataset& dataset) {
    LimeDosageRequired = 0;
    AshDosageRequired = 0;
    LabelLimeDosage->clear();
    LabelAshDosage->clear();
    const double desiredMagnesium = ReadNumber(TxtMg);
    const double desiredCalcium = ReadNumber(TxtCa);
    SetCalcResult(
        RunSofteningCaMg(dataset, LimeDosageRequired, AshDosageRequired, desiredCalcium, desiredMagnesium));
    LabelLimeDosage->setText(FormatValue(LimeDosageRequired));
    LabelAshDosage->setText(FormatValue(AshDosageRequired));
    ShowResults(CalcResult());
    return true;
}

void TSofteningCaMgCalc::WriteResults(TCsvWriter& writer) {
    TCalcForm::WriteResults(writer);
    AddRow(writer, {QStringLiteral("Lime dosage required"), FormatValue(LimeDosageRequired)});
    AddRow(writer, {QStringLiteral("Ash dosage required"), FormatValue(AshDosageRequired)});
}
