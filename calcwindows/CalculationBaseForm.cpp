#include "CalculationBaseForm.h"

#include "CommandGuard.h"
#include "Dialogs.h"
#include "EngineFacade.h"
#include "GuardedTabWidget.h"
#include "HelpFile.h"
#include "LocaleNumbers.h"
#include "ResultRows.h"
#include "ResultsOutput.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QShowEvent>
#include <QStatusBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

const QString kCannotViewResults =
    QStringLiteral("Cannot view the results before all the values are correct.");
const QString kCalculationError = QStringLiteral("Error while running the calculation: ");
const QString kNoResult = QStringLiteral("Warning: No calculation result created!");
const QString kUpdateQuestion = QStringLiteral(
    "Would you like to update the active data set with the obtained values for further processing?");
// Dynamic properties of the number boxes: the status bar prompt and the caption errors name.
constexpr const char* kPromptProperty = "calcPrompt";
constexpr const char* kCaptionProperty = "calcCaption";

constexpr int kStatusPanelWidth = 350;

// A window that has calculated without storing its result is a fault of that window's code, not
// something the operator can act on: a debug build stops here; a release build goes on without the
// result (nothing is written back, exported or printed, and the window stays open).
bool ResultIsSet(const TCalculationResult* result) {
    Q_ASSERT_X(result, "TCalcForm", "the calculation succeeded without storing its result (SetCalcResult)");
    return result != nullptr;
}
constexpr QSize kMinimumWindowSize(400, 350);

// Half away from zero at `decimals` decimals (at most 7): 7.456 -> 7.46, -1.237 -> -1.24. The value
// is divided by the step (0.01, 0.0001), so a value whose double lies just below a half, such as an
// ionic strength of 0.00245 (0.0024499999...), goes down to 0.0024; a multiplication by 10000 would
// round that product up to exactly 24.5 and store 0.0025. The whole number of
// steps is then divided by the power of ten rather than multiplied by the step: the same decimal,
// as the nearest double (57 * 0.01 is 0.5700000000000001).
double RoundHalfAwayFromZero(double value, int decimals) {
    static constexpr double kSteps[] = {1, 0.1, 0.01, 0.001, 0.0001, 0.00001, 0.000001, 0.0000001};
    static constexpr double kPowers[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};
    const double scaled = value / kSteps[decimals];
    return std::trunc(scaled + (scaled < 0 ? -0.5 : 0.5)) / kPowers[decimals];
}

// The decimals the data set keeps of a treated water's values.
constexpr int kValueDecimals = 2;
constexpr int kIonicStrengthDecimals = 4;
// CO2 partial pressures run from 0.00005 to 1 atm. Seven decimals keep the rounding error at or
// below 0.1 % over that whole range (0.05e-6 on 5e-5), a tenth of what the pH's own rounding to
// 0.01 (about 1.2 %) does to the carbonate system, so a water entered by its CO2 partial pressure
// keeps its alkalinity.
constexpr int kPressureCO2Decimals = 7;

QString StdToQ(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

TCalcForm::TCalcForm(QWidget* owner) : QDialog(owner) {
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    setSizeGripEnabled(false);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(9, 9, 9, 6);
    outer->addLayout(body, 1);

    createPages();
    body->addWidget(FTabControl, 1);
    createButtons();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(FButtonExport);
    buttons->addWidget(FButtonPrint);
    buttons->addStretch(1);
    buttons->addWidget(FButtonCancel);
    body->addLayout(buttons);
    createStatusBar();
    outer->addWidget(FStatusBar);
}

TCalcForm::~TCalcForm() = default;

void TCalcForm::createPages() {
    FTabControl = new TGuardedTabWidget(this);
    FTabControl->setObjectName(QStringLiteral("TabControl"));

    FTabSheetInputs = new QWidget;
    FTabSheetInputs->setObjectName(QStringLiteral("TabSheetInputs"));
    FInputsLayout = new QVBoxLayout(FTabSheetInputs);
    FInputsLayout->addStretch(1);
    FTabControl->addTab(FTabSheetInputs, QStringLiteral("Input"));

    FTabSheetResults = new QWidget;
    FTabSheetResults->setObjectName(QStringLiteral("TabSheetResults"));
    auto* resultsLayout = new QVBoxLayout(FTabSheetResults);
    FGroupBoxResults = new QGroupBox(QStringLiteral("Results after treatment"), FTabSheetResults);
    FGroupBoxResults->setObjectName(QStringLiteral("GroupBoxResults"));
    FResultsGrid = new QGridLayout(FGroupBoxResults);
    FResultsGrid->setColumnStretch(2, 1);
    FResultsGrid->setHorizontalSpacing(12);
    FResultsGrid->setVerticalSpacing(3);
    resultsLayout->addWidget(FGroupBoxResults);
    createIndexRows(resultsLayout);
    resultsLayout->addStretch(1);
    FTabControl->addTab(FTabSheetResults, QStringLiteral("Results"));
    createResultRows();

    FTabControl->SetGuard([this](int newIndex) { return GuardPageChange(newIndex); });
}

void TCalcForm::createResultRows() {
    FResultValues = AddResultRows(*FResultsGrid, FGroupBoxResults);
}

void TCalcForm::createIndexRows(QVBoxLayout* resultsLayout) {
    FGroupBoxIndices = new QGroupBox(QString::fromLatin1(kIndicesGroupTitle), FTabSheetResults);
    FGroupBoxIndices->setObjectName(QStringLiteral("GroupBoxIndices"));
    FIndicesGrid = new QGridLayout(FGroupBoxIndices);
    FIndicesGrid->setColumnStretch(2, 1);
    FIndicesGrid->setHorizontalSpacing(12);
    FIndicesGrid->setVerticalSpacing(3);
    FIndexLabels = AddIndexRows(*FIndicesGrid, FGroupBoxIndices, kTreatedIndexRowCount);
    resultsLayout->addWidget(FGroupBoxIndices);
}

void TCalcForm::createButtons() {
    auto makeButton = [this](const QString& text, const QString& name) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(name);
        // Return in an input box must not close the window or start an export.
        button->setAutoDefault(false);
        return button;
    };
    FButtonExport = makeButton(QStringLiteral("Export..."), QStringLiteral("ButtonExport"));
    FButtonPrint = makeButton(QStringLiteral("Print..."), QStringLiteral("ButtonPrint"));
    FButtonCancel = makeButton(QStringLiteral("Close"), QStringLiteral("ButtonCancel"));
    FButtonExport->hide();
    FButtonPrint->hide();
    connect(FButtonCancel, &QPushButton::clicked, this, Guarded(this, [this] { ButtonCancelClick(); }));
    connect(FButtonExport, &QPushButton::clicked, this, Guarded(this, [this] { ButtonExportClick(); }));
    connect(FButtonPrint, &QPushButton::clicked, this, Guarded(this, [this] { ButtonPrintClick(); }));
}

void TCalcForm::createStatusBar() {
    FStatusBar = new QStatusBar(this);
    FStatusBar->setObjectName(QStringLiteral("StatusBar"));
    FStatusBar->setSizeGripEnabled(false);
    FStatusPanel = new QLabel(FStatusBar);
    FStatusPanel->setObjectName(QStringLiteral("StatusPanel"));
    FStatusPanel->setAlignment(Qt::AlignCenter);
    FStatusPanel->setMinimumWidth(kStatusPanelWidth);
    FStatusBar->addWidget(FStatusPanel, 1);
}

// ---- building blocks for the concrete windows ----

QGroupBox* TCalcForm::createInputGroup(const QString& title, const QString& name) {
    auto* group = new QGroupBox(title, FTabSheetInputs);
    group->setObjectName(name);
    auto* grid = new QGridLayout(group);
    grid->setColumnStretch(3, 1);
    FInputsLayout->insertWidget(FInputsLayout->count() - 1, group);
    return group;
}

QLineEdit* TCalcForm::createNumberInput(QGroupBox* group, const QString& caption, const QString& unit,
                                        const QString& prompt, const QString& name) {
    auto* grid = static_cast<QGridLayout*>(group->layout());
    const int row = grid->rowCount();
    auto* label = new QLabel(caption, group);
    auto* box = new QLineEdit(group);
    box->setObjectName(name);
    label->setBuddy(box);
    grid->addWidget(label, row, 0);
    grid->addWidget(box, row, 1);
    if (!unit.isEmpty()) grid->addWidget(new QLabel(unit, group), row, 2);
    QString fieldName = caption;
    fieldName.remove(QRegularExpression(QStringLiteral("\\s*:\\s*$")));
    box->setProperty(kCaptionProperty, fieldName);
    SetInputPrompt(box, prompt);
    box->installEventFilter(this);
    FPromptedInputs.append(box);
    connect(box, &QLineEdit::textChanged, this, Guarded(this, [this] { OnChangeValidate(); }));
    return box;
}

QComboBox* TCalcForm::createChoiceInput(QGroupBox* group, const QString& caption, const QStringList& items,
                                        const QString& name, const QString& captionName) {
    auto* grid = static_cast<QGridLayout*>(group->layout());
    const int row = grid->rowCount();
    auto* label = new QLabel(caption, group);
    if (!captionName.isEmpty()) label->setObjectName(captionName);
    auto* combo = new QComboBox(group);
    combo->setObjectName(name);
    combo->setEditable(false);
    combo->addItems(items);
    combo->setCurrentIndex(0);
    label->setBuddy(combo);
    grid->addWidget(label, row, 0);
    grid->addWidget(combo, row, 1, 1, 2);
    return combo;
}

void TCalcForm::SetInputPrompt(QLineEdit* box, const QString& prompt) {
    box->setProperty(kPromptProperty, prompt);
    if (box->hasFocus()) SetStatusText(prompt);
}

QLabel* TCalcForm::createResultRow(const QString& caption, const QString& valueName,
                                   const QString& unitName) {
    const int row = FResultsGrid->rowCount();
    FResultsGrid->addWidget(new QLabel(caption, FGroupBoxResults), row, 0);
    QLabel* value = CreateResultValueLabel(FGroupBoxResults, valueName);
    FResultsGrid->addWidget(value, row, 1);
    if (!unitName.isEmpty()) {
        auto* unit = new QLabel(FGroupBoxResults);
        unit->setObjectName(unitName);
        FResultsGrid->addWidget(unit, row, 2);
    }
    return value;
}

QLabel* TCalcForm::createResultTextRow(const QString& caption, const QString& valueName) {
    const int row = FResultsGrid->rowCount();
    FResultsGrid->addWidget(new QLabel(caption, FGroupBoxResults), row, 0);
    auto* value = new QLabel(FGroupBoxResults);
    value->setObjectName(valueName);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    FResultsGrid->addWidget(value, row, 1, 1, 2);
    return value;
}

QLabel* TCalcForm::createResultLine(const QString& name) {
    auto* line = new QLabel(FGroupBoxResults);
    line->setObjectName(name);
    line->setTextInteractionFlags(Qt::TextSelectableByMouse);
    FResultsGrid->addWidget(line, FResultsGrid->rowCount(), 0, 1, 3);
    return line;
}

double TCalcForm::ReadNumber(const QLineEdit* box) {
    double value = 0;
    if (ParseLocaleNumber(box->text(), value)) return value;
    const QString field = box->property(kCaptionProperty).toString();
    throw std::runtime_error(QStringLiteral("%1: expected a number, got \"%2\"")
                                 .arg(field.isEmpty() ? box->objectName() : field, box->text())
                                 .toStdString());
}

QString TCalcForm::TrimmedText(const std::string& text) {
    const auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    const auto first = std::find_if_not(text.begin(), text.end(), isBlank);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), isBlank).base();
    return first < last ? StdToQ(std::string(first, last)) : QString();
}

QString TCalcForm::FormatValue(double value) {
    return FormatPattern(value, 2);
}

void TCalcForm::AddRow(TCsvWriter& writer, const QStringList& items) {
    AddResultRow(writer, items);
}

void TCalcForm::SetCalcResult(std::unique_ptr<TCalculationResult> result) {
    FCalcResult = std::move(result);
    FCalcIndices.reset();
    if (!FCalcResult) return;
    // The indices describe the treated water; a fault in them (a floating-point fault, a search
    // beyond its cap) leaves them undefined rather than failing a calculation that succeeded.
    try {
        FCalcIndices = WaterIndicesOfResult(*FCalcResult);
    } catch (const std::exception&) {
        FCalcIndices.reset();
    }
}

// ---- pages ----

bool TCalcForm::IsResultsPageShown() const {
    return FTabControl->currentIndex() == kResultsPage;
}

bool TCalcForm::GuardPageChange(int) {
    bool allowChange = false;
    TabControlChanging(allowChange);
    return allowChange;
}

void TCalcForm::TabControlChanging(bool& allowChange) {
    const bool leavingInputs = !IsResultsPageShown();
    bool refusedAsInvalid = false;
    if (!leavingInputs) {
        allowChange = true;
    } else if (!ValidateInputs()) {
        allowChange = false;
        refusedAsInvalid = true;
    } else {
        allowChange = RunCalculation();
    }
    SetExportVisible(allowChange && leavingInputs);
    // A failed calculation has already said why.
    if (refusedAsInvalid) Dialogs().ShowMessage(this, kCannotViewResults);
}

bool TCalcForm::RunCalculation() {
    if (!IsResultsPageShown() && !ValidateInputs()) {
        FTabSheetResults->setEnabled(false);
        return false;
    }
    bool succeeded = false;
    try {
        if (!FDataset) throw std::logic_error("the window was opened without a data set");
        succeeded = Calculate(*FDataset);
    } catch (const std::exception& error) {
        Dialogs().ShowMessage(this, kCalculationError + StdToQ(error.what()));
        succeeded = false;
    }
    if (succeeded) FTabSheetResults->setEnabled(true);
    return succeeded;
}

void TCalcForm::SetExportVisible(bool visible) {
    FButtonExport->setVisible(visible);
    FButtonPrint->setVisible(visible);
}

// ---- virtual operations ----

void TCalcForm::SetStatusText(const QString& text) {
    FStatusPanel->setText(text);
}

void TCalcForm::ShowResults(const TCalculationResult* result) {
    if (!result) {
        Dialogs().ShowMessage(this, kNoResult);
        return;
    }
    ShowResultRows(FResultValues, *result);
    ShowIndexRows(FIndexLabels, FCalcIndices);
}

void TCalcForm::ApplyResultToDataset(const TCalculationResult* result) {
    if (!ResultIsSet(result) || !FDataset) return;
    const auto value = [](double v) { return RoundHalfAwayFromZero(v, kValueDecimals); };
    // The engine's acidity is referenced to CO3; the data set's acidity is referenced to HCO3,
    // which is what the engine reads back when the carbonate system is given by acidity. Total
    // carbonate and CO2 partial pressure are the treated water's too, so the data set describes
    // the treated water whichever carbonate measure it is entered by. The partial pressure comes
    // first: it is the only value still computed here, and a fault leaves the data set untouched.
    const double pressureCO2 = RoundHalfAwayFromZero(PressureCO2OfResult(*result), kPressureCO2Decimals);
    TWaterDataset& data = *FDataset;
    data.SetAlkalinity(value(result->ALKF));
    data.SetAcidity(value((result->ACIF - result->ALKF) / 2));
    data.SetCarbonateSpecies(value((result->ALKF + result->ACIF) / 2));
    data.SetPressureCO2(pressureCO2);
    data.SetCalcium(value(result->CAF));
    data.SetMagnesium(value(result->MGF));
    data.SetSodium(value(result->NAF));
    data.SetSulphate(value(result->SO4F));
    data.SetChloride(value(result->CLF));
    data.SetPh(value(result->PHF));
    data.SetTemperature(value(result->TF));
    data.SetIonicStrength(RoundHalfAwayFromZero(result->MHUF, kIonicStrengthDecimals));
    data.SetTDS(value(result->TDSF));
    data.SetConductivity(value(result->CONF));
    data.SetWaterCharacterIndex(result->WATCHAR);
    data.SetCarbonCharacterIndex(result->CARBSYSORDER);
}

void TCalcForm::WriteResults(TCsvWriter& writer) {
    const TCalculationResult& r = *FCalcResult;
    const QString asCaCO3 = QStringLiteral("mg/l CaCO3");
    AddRow(writer, {windowTitle()});
    AddRow(writer, {QStringLiteral("pH"), FormatValue(r.PHF), QString()});
    AddRow(writer, {QStringLiteral("Temperature"), FormatValue(r.TF), QStringLiteral("degrees C")});
    AddRow(writer, {QStringLiteral("Total alkalinity"), FormatValue(r.ALKF), asCaCO3});
    AddRow(writer, {QStringLiteral("Acidity"), FormatValue(r.ACIF), asCaCO3});
    AddRow(writer, {QStringLiteral("Calcium"), FormatValue(r.CAF), asCaCO3});
    AddRow(writer, {QStringLiteral("Magnesium"), FormatValue(r.MGF), asCaCO3});
    AddRow(writer, {QStringLiteral("Sodium"), FormatValue(r.NAF), QStringLiteral("mgNa/l")});
    AddRow(writer, {QStringLiteral("Sulphate"), FormatValue(r.SO4F), QStringLiteral("mgSO4/l")});
    AddRow(writer, {QStringLiteral("Chloride"), FormatValue(r.CLF), QStringLiteral("mgCl/l")});
    AddRow(writer, {QStringLiteral("Ionic strength"), FormatPattern(r.MHUF, kIonicStrengthDecimals)});
    AddRow(writer, {QStringLiteral("TDS"), FormatValue(r.TDSF), QStringLiteral("mg/l")});
    AddRow(writer, {QStringLiteral("Conductivity"), FormatValue(r.CONF), QStringLiteral("mS/m")});
    AddRow(writer, {QStringLiteral("Precipitation potential"), FormatValue(r.CPPF), asCaCO3});
}

void TCalcForm::WriteAllResults(TCsvWriter& writer) {
    // The window's rows, its own included, then the treated water's indices where the page shows them.
    WriteResults(writer);
    if (!FGroupBoxIndices->isHidden()) WriteIndexRows(writer, FCalcIndices, kTreatedIndexRowCount);
}

void TCalcForm::FormShow() {
    FTabControl->RequestCurrentIndex(kInputPage);
    SetExportVisible(false);
    ValidateInputs();
}

// ---- handlers ----

bool TCalcForm::ApplyAndAccept() {
    try {
        ApplyResultToDataset(FCalcResult.get());
    } catch (const std::exception& error) {
        Dialogs().ShowMessage(this, kCalculationError + StdToQ(error.what()));
        return false;
    }
    done(QDialog::Accepted);
    return true;
}

void TCalcForm::ButtonCancelClick() {
    if (IsResultsPageShown() && Dialogs().AskYesNo(this, kUpdateQuestion)) {
        ApplyAndAccept();
        return;
    }
    done(QDialog::Rejected);
}

void TCalcForm::ButtonOkClick() {
    bool calculated = false;
    try {
        calculated = FDataset && Calculate(*FDataset);
    } catch (const std::exception& error) {
        Dialogs().ShowMessage(this, kCalculationError + StdToQ(error.what()));
        return;
    }
    if (!calculated || !ResultIsSet(FCalcResult.get())) return;
    ApplyAndAccept();
}

void TCalcForm::ButtonExportClick() {
    // Export and Print are only shown with the results page, where a result is always set.
    if (!ResultIsSet(FCalcResult.get())) return;
    try {
        ExportResults(this, [this](TCsvWriter& writer) { WriteAllResults(writer); });
    } catch (const std::exception& error) {
        ShowErrorBox(this, error);
    }
}

void TCalcForm::ButtonPrintClick() {
    if (!ResultIsSet(FCalcResult.get())) return;
    try {
        PrintResults(this, windowTitle(), [this](TCsvWriter& writer) { WriteAllResults(writer); });
    } catch (const std::exception& error) {
        ShowErrorBox(this, error);
    }
}

void TCalcForm::FormHelp() {
    ShowHelpContents(this);
}

// ---- events ----

void TCalcForm::setVisible(bool visible) {
    if (visible && !FSized) {
        // The concrete window's controls exist by now; fix the size before Qt centres the window.
        FSized = true;
        ensurePolished();
        // The concrete window's result rows are in place: the index values line up under theirs.
        AlignCaptionColumns({FResultsGrid, FIndicesGrid});
        layout()->activate();
        QSize size = sizeHint().expandedTo(minimumSizeHint()).expandedTo(kMinimumWindowSize);
        size.setWidth(std::max(size.width(), WidestPromptWidth()));
        setFixedSize(size);
    }
    QDialog::setVisible(visible);
}

int TCalcForm::WidestPromptWidth() const {
    // Every prompt fits the status bar without being cut off.
    int widest = 0;
    for (const QLineEdit* box : FPromptedInputs) {
        const QString prompt = box->property(kPromptProperty).toString();
        widest = std::max(widest, FStatusPanel->fontMetrics().horizontalAdvance(prompt));
    }
    return widest + 40;
}

void TCalcForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

bool TCalcForm::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box && FPromptedInputs.contains(box)) {
        if (event->type() == QEvent::FocusIn)
            SetStatusText(box->property(kPromptProperty).toString());
        else if (event->type() == QEvent::FocusOut)
            SetStatusText(QString());
    }
    return QDialog::eventFilter(watched, event);
}

void TCalcForm::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Cancel)) {
        // Escape is the Close button; only the title-bar close box cancels without a question.
        event->accept();
        ButtonCancelClick();
        return;
    }
    if (event->matches(QKeySequence::HelpContents)) {
        event->accept();
        FormHelp();
        return;
    }
    QDialog::keyPressEvent(event);
}
