#include "UnderwaterResultsForm.h"

#include "CalvaroModel.h"
#include "Dialogs.h"
#include "EngineFacade.h"
#include "LocaleNumbers.h"
#include "ResultRows.h"
#include "ResultsOutput.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMetaObject>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <array>
#include <stdexcept>

namespace {

// Below the thirteen rows of every results page: the calcium carbonate that precipitates
// (negative: dissolves) on the way to the underground water.
constexpr const char* kCaCO3PrecCaption = "CaC03 precipitation :";
constexpr const char* kCaCO3PrecName = "LabelCaCO3Prec";
constexpr const char* kCaCO3PrecUnit = "mg/l as CaC03";

// The export rows after the caption: a name and the value as shown. Sulphate comes before chloride
// and the ionic strength before TDS, as in every other export.
struct TExportRow {
    const char* Item;
    const char* Name;
};
constexpr std::array<TExportRow, 14> kExportRows{{
    {"pH", "LabelPh"},
    {"Temperature", "LabelTemperature"},
    {"Alkalinity", "LabelAlkalinity"},
    {"Acidity", "LabelAcidity"},
    {"Calcium", "LabelCalcium"},
    {"Magnesium", "LabelMagnesium"},
    {"Sodium", "LabelSodium"},
    {"Sulphate", "LabelSulphate"},
    {"Chloride", "LabelChoride"},
    {"Ionic Strength", "LabelMhuf"},
    {"TDS", "LabelTds"},
    {"Conductivity", "LabelConductivity"},
    {"Precipitation Potential", "LabelPrecPotential"},
    {"CaCO3 Precipitation", "LabelCaCO3Prec"},
}};

constexpr QSize kMinimumSize(450, 350);

} // namespace

TUgWaterResultsForm::TUgWaterResultsForm(QWidget* owner, TWaterDataset* dataset)
    : QDialog(owner), FDataset(dataset) {
    setObjectName(QStringLiteral("UgWaterResultsForm"));
    setWindowTitle(QStringLiteral("Underground water results"));
    setWindowFlags((windowFlags() & ~Qt::WindowType_Mask) | Qt::Tool);
    setMinimumSize(kMinimumSize);
    setSizeGripEnabled(true);

    auto* layout = new QVBoxLayout(this);
    createRows();
    createIndexRows();
    auto makeButton = [this](const QString& text, const QString& name) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(name);
        button->setAutoDefault(false);
        return button;
    };
    FButtonExport = makeButton(QStringLiteral("Export"), QStringLiteral("ButtonExport"));
    FButtonPrint = makeButton(QStringLiteral("Print..."), QStringLiteral("ButtonPrint"));
    FButtonClose = makeButton(QStringLiteral("Close"), QStringLiteral("ButtonClose"));
    connect(FButtonExport, &QPushButton::clicked, this, [this] { ButtonExportClick(); });
    connect(FButtonPrint, &QPushButton::clicked, this, [this] { ButtonPrintClick(); });
    connect(FButtonClose, &QPushButton::clicked, this, [this] { ButtonCloseClick(); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(FButtonExport);
    buttons->addWidget(FButtonPrint);
    buttons->addStretch(1);
    buttons->addWidget(FButtonClose);
    layout->addLayout(buttons);
}

TUgWaterResultsForm::~TUgWaterResultsForm() = default;

void TUgWaterResultsForm::createRows() {
    auto* group = new QGroupBox(QStringLiteral("Results after treatment"), this);
    group->setObjectName(QStringLiteral("GroupBoxResults"));
    auto* grid = new QGridLayout(group);
    grid->setColumnStretch(2, 1);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(3);
    FResultValues = AddResultRows(*grid, group);
    for (QLabel* value : FResultValues)
        FValues[value->objectName()] = value;
    const int gridRow = static_cast<int>(kResultRowCount);
    QLabel* precipitated = CreateResultValueLabel(group, QString::fromLatin1(kCaCO3PrecName));
    grid->addWidget(new QLabel(QString::fromLatin1(kCaCO3PrecCaption), group), gridRow, 0);
    grid->addWidget(precipitated, gridRow, 1);
    grid->addWidget(new QLabel(QString::fromLatin1(kCaCO3PrecUnit), group), gridRow, 2);
    FValues[precipitated->objectName()] = precipitated;
    static_cast<QVBoxLayout*>(layout())->addWidget(group, 1);
}

void TUgWaterResultsForm::createIndexRows() {
    auto* group = new QGroupBox(QString::fromLatin1(kIndicesGroupTitle), this);
    group->setObjectName(QStringLiteral("GroupBoxIndices"));
    auto* grid = new QGridLayout(group);
    grid->setColumnStretch(2, 1);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(3);
    FIndexLabels = AddIndexRows(*grid, group, kTreatedIndexRowCount);
    for (const TIndexRowLabels& labels : FIndexLabels) {
        FValues[labels.Value->objectName()] = labels.Value;
        FValues[labels.Reading->objectName()] = labels.Reading;
    }
    static_cast<QVBoxLayout*>(layout())->addWidget(group);
    // The index values line up under the water's.
    auto* results = findChild<QGroupBox*>(QStringLiteral("GroupBoxResults"));
    AlignCaptionColumns({static_cast<QGridLayout*>(results->layout()), grid});
}

void TUgWaterResultsForm::SetValue(const QString& labelName, double value, int decimals) {
    FValues.at(labelName)->setText(FormatPattern(value, decimals));
}

QString TUgWaterResultsForm::ValueText(const QString& labelName) const {
    const auto found = FValues.find(labelName);
    return found == FValues.end() ? QString() : found->second->text();
}

void TUgWaterResultsForm::FormShow() {
    if (FCalcResult2) return;
    if (!FDataset) throw std::logic_error("the underground water results were opened without a water");
    double caco3Precipitated = 0;
    auto underground = RunUndergroundWater(*FDataset, caco3Precipitated, PartialPressure);
    // The underground water's indices, while the engine still holds its constants; a fault in them
    // leaves them undefined rather than the window empty.
    std::optional<TWaterIndices> indices;
    try {
        indices = WaterIndicesOfResult(*underground);
    } catch (const std::exception&) {
        indices.reset();
    }
    // The dissolved solids are those of the water as it came in.
    double precipitationPotential = 0, tds = 0, conductivity = 0, ionicStrength = 0, co3Acidity = 0;
    CharacteriseWater(*FDataset, precipitationPotential, tds, conductivity, ionicStrength, co3Acidity);

    // The underground water's analysis, beside the dissolved solids of the water as it came in.
    TCalculationResult shown = *underground;
    shown.MHUF = ionicStrength;
    shown.TDSF = tds;
    shown.CONF = conductivity;
    shown.CPPF = precipitationPotential;
    ShowResultRows(FResultValues, shown);
    SetValue(QString::fromLatin1(kCaCO3PrecName), caco3Precipitated, 2);
    FIndices = indices;
    ShowIndexRows(FIndexLabels, FIndices);
    FCalcResult2 = std::move(underground);
}

void TUgWaterResultsForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous() || FCalcResult2) return;
    try {
        FormShow();
    } catch (const std::exception& error) {
        ShowErrorBox(this, error);
        // Rejected once the window is up: nothing of this water is shown half computed.
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
    }
}

void TUgWaterResultsForm::WriteResults(TCsvWriter& writer) const {
    AddResultRow(writer, {windowTitle()});
    for (const auto& row : kExportRows)
        AddResultRow(writer, {QString::fromLatin1(row.Item), ValueText(QString::fromLatin1(row.Name))});
    WriteIndexRows(writer, FIndices, kTreatedIndexRowCount);
}

void TUgWaterResultsForm::ButtonExportClick() {
    try {
        ExportResults(this, [this](TCsvWriter& writer) { WriteResults(writer); });
    } catch (const std::exception& error) {
        ShowErrorBox(this, error);
    }
}

void TUgWaterResultsForm::ButtonPrintClick() {
    try {
        PrintResults(this, windowTitle(), [this](TCsvWriter& writer) { WriteResults(writer); });
    } catch (const std::exception& error) {
        ShowErrorBox(this, error);
    }
}
