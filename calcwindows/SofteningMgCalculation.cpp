#include "SofteningMgCalculation.h"

#include "CalculationRanges.h"
#include "EngineFacade.h"
#include "InputCheck.h"
#include "LocaleNumbers.h"

#include <QGroupBox>
#include <QLineEdit>

#include <limits>

QString MagnesiumSofteningPrompt(const TWaterDataset* water) {
    const TWaterDataset values = water ? *water : TWaterDataset();
    const TInputRange range = CalculationRanges::SofteningMg(values);
    return QStringLiteral("Enter the desired Magnesium value between %1 and Mg initial (%2) mg/l as CaC03.")
        .arg(FormatGeneral(range.Min), FormatGeneral(values.Magnesium()));
}

TSofteningMgCalc::TSofteningMgCalc(QWidget* owner) : TDosageCalcForm(owner, TNotes::None) {
    setWindowTitle(QStringLiteral("Softening to desired Mg input"));
    QGroupBox* group = createInputGroup(QStringLiteral("Softening to desired Mg input"));
    TxtInput = createNumberInput(group, QStringLiteral("Desired Mg value :"), QStringLiteral("mg/l as CaC03"),
                                 QString(), QStringLiteral("TxtInput"));
}

bool TSofteningMgCalc::ValidateInputs() {
    SetInputPrompt(TxtInput, MagnesiumSofteningPrompt(Dataset()));
    if (!Dataset())
        return CheckControlRange(TxtInput, CalculationRanges::SofteningMg(TWaterDataset()).Min,
                                 std::numeric_limits<double>::quiet_NaN());
    const TInputRange range = CalculationRanges::SofteningMg(*Dataset());
    return CheckControlRange(TxtInput, range.Min, range.Max);
}

void TSofteningMgCalc::setVisible(bool visible) {
    // The base fixes the window's width from the prompts when it is first shown.
    if (visible) SetInputPrompt(TxtInput, MagnesiumSofteningPrompt(Dataset()));
    TDosageCalcForm::setVisible(visible);
}

void TSofteningMgCalc::FormShow() {
    TDosageCalcForm::FormShow();
    TxtInput->setText(FormatPattern(0, 1));
    ValidateInputs();
}

bool TSofteningMgCalc::Calculate(const TWaterDataset& dataset) {
    ClearDosage();
    const double desiredMagnesium = ReadNumber(TxtInput);
    SetCalcResult(RunSofteningMg(dataset, DosageRequired, DosageUnits, DosageType, desiredMagnesium));
    ShowDosage();
    ShowResults(CalcResult());
    return true;
}
