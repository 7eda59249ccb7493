#include "UnderwaterResultsForm.h"

#include "CalvaroModel.h"
#include "Dialogs.h"
#include "EngineFacade.h"
#include "LocaleNumbers.h"
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

struct TRowDefinition {
    const char* Caption; // on screen
    const char* Name;    // value label
    const char* Unit;    // on screen
};

// The thirteen rows of every results page, then the calcium carbonate that precipitates (negative:
// dissolves) on the way to the underground water.
constexpr std::array<TRowDefinition, 14> kRows{{
    {"pH :", "LabelPh", ""},
    {"Temperature :", "LabelTemperature", "degrees C"},
    {"Total alkalinity :", "LabelAlkalinity", "mg/l as CaC03"},
    {"C03 acidity :", "LabelAcidity", "mg/l as CaC03"},
    {"Total calcium :", "LabelCalcium", "mg/l as CaC03"},
    {"Total magnesium :", "LabelMagnesium", "mg/l as CaC03"},
    {"Total sodium :", "LabelSodium", "mgNa/l"},
    {"Total chloride :", "LabelChoride", "mgCl/l"},
    {"Total sulphate :", "LabelSulphate", "mgS04/l"},
    {"TDS  :", "LabelTds", "mg/l"},
    {"Conductivity :", "LabelConductivity", "mS/m"},
    {"Ionic strength :", "LabelMhuf", ""},
    {"Precipitation potential :", "LabelPrecPotential", "mg/l as CaC03"},
    {"CaC03 precipitation :", "LabelCaCO3Prec", "mg/l as CaC03"},
}};

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
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        const auto& row = kRows[i];
        const int gridRow = static_cast<int>(i);
        auto* value = new QLabel(group);
        value->setObjectName(QString::fromLatin1(row.Name));
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        value->setMinimumWidth(value->fontMetrics().horizontalAdvance(FormatPattern(-888888.88, 2)) + 4);
        grid->addWidget(new QLabel(QString::fromLatin1(row.Caption), group), gridRow, 0);
        grid->addWidget(value, gridRow, 1);
        grid->addWidget(new QLabel(QString::fromLatin1(row.Unit), group), gridRow, 2);
        FValues[value->objectName()] = value;
    }
    static_cast<QVBoxLayout*>(layout())->addWidget(group, 1);
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
    // The dissolved solids are those of the water as it came in.
    double precipitationPotential = 0, tds = 0, conductivity = 0, ionicStrength = 0, co3Acidity = 0;
    CharacteriseWater(*FDataset, precipitationPotential, tds, conductivity, ionicStrength, co3Acidity);

    const TCalculationResult& r = *underground;
    SetValue(QStringLiteral("LabelAlkalinity"), r.ALKF, 2);
    SetValue(QStringLiteral("LabelAcidity"), r.ACIF, 2);
    SetValue(QStringLiteral("LabelCalcium"), r.CAF, 2);
    SetValue(QStringLiteral("LabelMagnesium"), r.MGF, 2);
    SetValue(QStringLiteral("LabelSodium"), r.NAF, 2);
    SetValue(QStringLiteral("LabelSulphate"), r.SO4F, 2);
    SetValue(QStringLiteral("LabelChoride"), r.CLF, 2);
    SetValue(QStringLiteral("LabelPh"), r.PHF, 2);
    SetValue(QStringLiteral("LabelTemperature"), r.TF, 2);
    SetValue(QStringLiteral("LabelMhuf"), ionicStrength, 4);
    SetValue(QStringLiteral("LabelTds"), tds, 2);
    SetValue(QStringLiteral("LabelConductivity"), conductivity, 2);
    SetValue(QStringLiteral("LabelPrecPotential"), precipitationPotential, 2);
    SetValue(QStringLiteral("LabelCaCO3Prec"), caco3Precipitated, 2);
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
