#include "SofteningCaCalculation.h"

#include "CalculationRanges.h"
#include "Dialogs.h"
#include "EngineFacade.h"
#include "InputCheck.h"
#include "LocaleNumbers.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include <cmath>
#include <exception>
#include <stdexcept>

namespace {

const QString kUnit = QStringLiteral("mg/l as CaC03");

QString CalciumPrompt(const QString& lowerBound, double initialCalcium) {
    return QStringLiteral("Enter the desired Calcium value between %1 and Ca initial (%2) mg/l as CaC03.")
        .arg(lowerBound, FormatGeneral(initialCalcium));
}

} // namespace

TSofteningCaCalc::TSofteningCaCalc(QWidget* owner) : TDosageCalcForm(owner, TNotes::None) {
    setWindowTitle(QStringLiteral("Softening to desired Ca input"));
    QGroupBox* group = createInputGroup(QStringLiteral("Softening to desired Ca input"));
    TxtInput = createNumberInput(group, QStringLiteral("Desired Ca concentration :"), kUnit, QString(),
                                 QStringLiteral("TxtInput"));
    ComboSoftenMethod =
        createChoiceInput(group, QStringLiteral("Soften using:"),
                          {QStringLiteral("Lime - Ca(OH)2"), QStringLiteral("Soda Ash - Na2CO3")},
                          QStringLiteral("ComboSoftenMethod"));

    auto* grid = static_cast<QGridLayout*>(group->layout());
    const int row = grid->rowCount();
    LabelMinCaDesc = new QLabel(QStringLiteral("Minimum Ca concentration ="), group);
    LabelMinCaDesc->setObjectName(QStringLiteral("LabelMinCaDesc"));
    LabelMinConcentration = new QLabel(group);
    LabelMinConcentration->setObjectName(QStringLiteral("LabelMinConcentration"));
    LabelMinConcentration->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    LabelMinCaUnits = new QLabel(kUnit, group);
    LabelMinCaUnits->setObjectName(QStringLiteral("LabelMinCaUnits"));
    for (QLabel* label : {LabelMinCaDesc, LabelMinConcentration, LabelMinCaUnits}) {
        // Hidden for soda ash, the line keeps its room: the inputs above do not jump sideways.
        QSizePolicy policy = label->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        label->setSizePolicy(policy);
    }
    grid->addWidget(LabelMinCaDesc, row, 0);
    grid->addWidget(LabelMinConcentration, row, 1);
    grid->addWidget(LabelMinCaUnits, row, 2);

    connect(ComboSoftenMethod, &QComboBox::currentIndexChanged, this, [this] { ComboSoftenMethodChange(); });
}

bool TSofteningCaCalc::IsLimeSelected() const {
    return ComboSoftenMethod->currentIndex() == kLime;
}

TInputRange TSofteningCaCalc::TargetRange() const {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    if (!Dataset()) return {kNaN, kNaN};
    // NaN bounds accept nothing: without a known minimum no lime target is let through.
    return IsLimeSelected() ? TInputRange{MinCaConcentration, Dataset()->Calcium()}
                            : CalculationRanges::SofteningCaSodaAsh(*Dataset());
}

QString TSofteningCaCalc::Prompt() const {
    const TWaterDataset water = Dataset() ? *Dataset() : TWaterDataset();
    const double calcium = water.Calcium();
    if (!IsLimeSelected())
        return CalciumPrompt(FormatGeneral(CalculationRanges::SofteningCaSodaAsh(water).Min), calcium);
    if (std::isfinite(MinCaConcentration)) return CalciumPrompt(FormatGeneral(MinCaConcentration), calcium);
    // Before the window opens the minimum is not asked for yet; the prompt is only measured then,
    // and the water's calcium with two decimals is at least as wide as any minimum below it.
    if (!FLimitsAsked) return CalciumPrompt(FormatPattern(calcium, 2), calcium);
    return QStringLiteral("Lime cannot be used: the lowest calcium it reaches is not known.");
}

bool TSofteningCaCalc::ValidateInputs() {
    SetInputPrompt(TxtInput, Prompt());
    const TInputRange range = TargetRange();
    return CheckControlRange(TxtInput, range.Min, range.Max);
}

void TSofteningCaCalc::setVisible(bool visible) {
    // The base fixes the window's width from the prompts when it is first shown.
    if (visible) SetInputPrompt(TxtInput, Prompt());
    TDosageCalcForm::setVisible(visible);
}

void TSofteningCaCalc::FormShow() {
    TDosageCalcForm::FormShow();
    TxtInput->setText(FormatPattern(0, 1));
    FetchLimeMinimum();
    ShowMinimumLine();
    ValidateInputs();
}

void TSofteningCaCalc::FetchLimeMinimum() {
    if (FLimitsAsked) return;
    FLimitsAsked = true;
    try {
        if (!Dataset()) throw std::logic_error("the window was opened without a data set");
        double CAMIN = 0, ALKMIN = 0, ACIMIN = 0, HMIN = 0, LIMEINV = 0;
        GetSofteningCaLimits(*Dataset(), CAMIN, ALKMIN, ACIMIN, HMIN, LIMEINV);
        MinCaConcentration = CalculationRanges::MinimumLimeCalcium(CAMIN);
    } catch (const std::exception& error) {
        // Limits the facade still holds belong to another water; lime stays refused for this one.
        MinCaConcentration = std::numeric_limits<double>::quiet_NaN();
        Dialogs().ShowMessage(this, QStringLiteral("Error while running the calculation: ") +
                                        QString::fromStdString(error.what()));
    }
}

void TSofteningCaCalc::ShowMinimumLine() {
    LabelMinConcentration->setText(std::isfinite(MinCaConcentration) ? FormatValue(MinCaConcentration)
                                                                     : QString());
    const bool lime = IsLimeSelected();
    LabelMinCaDesc->setVisible(lime);
    LabelMinConcentration->setVisible(lime);
    LabelMinCaUnits->setVisible(lime);
}

void TSofteningCaCalc::ComboSoftenMethodChange() {
    ShowMinimumLine();
    // The lower bound changes with the method: the typed target is judged again at once.
    ValidateInputs();
}

bool TSofteningCaCalc::Calculate(const TWaterDataset& dataset) {
    ClearDosage();
    const double desiredCalcium = ReadNumber(TxtInput);
    if (IsLimeSelected()) {
        if (!std::isfinite(MinCaConcentration))
            throw std::runtime_error("the lowest calcium lime can reach is not known for this water");
        SetCalcResult(RunSofteningCaLime(dataset, DosageRequired, DosageUnits, DosageType, desiredCalcium));
    } else {
        SetCalcResult(
            RunSofteningCaSodaAsh(dataset, DosageRequired, DosageUnits, DosageType, desiredCalcium));
    }
    ShowDosage();
    ShowResults(CalcResult());
    return true;
}
