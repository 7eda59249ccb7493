#include "ViewDatasetForm.h"

#include "CalvaroModel.h"
#include "CommandGuard.h"
#include "EngineFacade.h"
#include "ResultRows.h"
#include "ResultsOutput.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The characterised water as the result rows read it: the analysis from the data set as the
// characterisation left it, the derived values from the characterisation. The acidity is the
// CO3-referenced one, as the row's caption says (the data set keeps the HCO3 one).
TCalculationResult CharacterisedWater(const TWaterDataset& water, double precipitationPotential, double tds,
                                      double conductivity, double ionicStrength, double co3Acidity) {
    TCalculationResult shown;
    shown.PHF = water.Ph();
    shown.TF = water.Temperature();
    shown.ALKF = water.Alkalinity();
    shown.ACIF = co3Acidity;
    shown.CAF = water.Calcium();
    shown.MGF = water.Magnesium();
    shown.NAF = water.Sodium();
    shown.CLF = water.Chloride();
    shown.SO4F = water.Sulphate();
    shown.TDSF = tds;
    shown.CONF = conductivity;
    shown.MHUF = ionicStrength;
    shown.CPPF = precipitationPotential;
    return shown;
}

} // namespace

TFormViewDataset::TFormViewDataset(QWidget* owner, TWaterDataset* dataset)
    : QDialog(owner), FDataset(dataset) {
    setObjectName(QStringLiteral("FormViewDataset"));
    setWindowTitle(QStringLiteral("View data set"));
    // A resizable tool window of its own, not modal; it goes when closed.
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    BuildControls();
    setMinimumSize(450, 350);
    // The window grows to hold the indices under the water's rows.
    resize(QSize(450, 358).expandedTo(sizeHint()));
    if (owner) move(owner->geometry().center() - rect().center());
}

void TFormViewDataset::BuildControls() {
    auto* group = new QGroupBox(QStringLiteral("Water characteristics of present water"), this);
    group->setObjectName(QStringLiteral("GroupBoxCharacteristics"));
    QFont bold = group->font();
    bold.setBold(true);
    group->setFont(bold);
    auto* grid = new QGridLayout(group);
    grid->setVerticalSpacing(3);
    grid->setHorizontalSpacing(10);
    int row = 0;
    for (const TResultRowDefinition& resultRow : kResultRows) {
        QFont normal = group->font();
        normal.setBold(false);
        auto* caption = new QLabel(QString::fromLatin1(resultRow.Caption), group);
        caption->setFont(normal);
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* value = new QLabel(group);
        value->setObjectName(QString::fromLatin1(resultRow.ValueName));
        FValues[static_cast<std::size_t>(row)] = value;
        value->setFont(bold);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setMinimumWidth(90);
        auto* unit = new QLabel(QString::fromLatin1(resultRow.Unit), group);
        unit->setFont(normal);
        grid->addWidget(caption, row, 0);
        grid->addWidget(value, row, 1);
        grid->addWidget(unit, row, 2);
        ++row;
    }
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(row, 1);

    // The indices under the water's rows, in the same columns: caption, bold value, reading.
    auto* indices = new QGroupBox(QString::fromLatin1(kIndicesGroupTitle), this);
    indices->setObjectName(QStringLiteral("GroupBoxIndices"));
    indices->setFont(bold);
    auto* indexGrid = new QGridLayout(indices);
    indexGrid->setVerticalSpacing(3);
    indexGrid->setHorizontalSpacing(10);
    FIndexLabels = AddIndexRows(*indexGrid, indices, kIndexRowCount);
    QFont normal = indices->font();
    normal.setBold(false);
    for (std::size_t i = 0; i < FIndexLabels.size(); ++i) {
        const TIndexRowLabels& labels = FIndexLabels[i];
        labels.Caption->setFont(normal);
        labels.Caption->setText(IndexCaptionText(kIndexRows[i], normal));
        labels.Caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        labels.Value->setFont(bold);
        labels.Value->setMinimumWidth(90);
        labels.Reading->setFont(normal);
    }
    indexGrid->setColumnStretch(0, 1);
    indexGrid->setColumnStretch(2, 1);

    auto* print = new QPushButton(QStringLiteral("Print..."), this);
    print->setObjectName(QStringLiteral("ButtonPrint"));
    auto* exportButton = new QPushButton(QStringLiteral("Export"), this);
    exportButton->setObjectName(QStringLiteral("ButtonExport"));
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("ButtonClose"));
    connect(print, &QPushButton::clicked, this, &TFormViewDataset::ButtonPrintClick);
    connect(exportButton, &QPushButton::clicked, this, &TFormViewDataset::ButtonExportClick);
    connect(close, &QPushButton::clicked, this, &TFormViewDataset::ButtonCloseClick);
    for (QPushButton* button : {print, exportButton, close})
        button->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(print);
    buttons->addWidget(exportButton);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group, 1);
    layout->addWidget(indices);
    layout->addLayout(buttons);
}

QLabel* TFormViewDataset::Value(const char* name) const {
    return findChild<QLabel*>(QString::fromLatin1(name));
}

QString TFormViewDataset::ValueText(const QString& labelName) const {
    const auto* label = findChild<QLabel*>(labelName);
    return label ? label->text() : QString();
}

void TFormViewDataset::FormShow() {
    if (FShown || !FDataset) return;
    double precipitationPotential = 0, tds = 0, conductivity = 0, ionicStrength = 0, co3Acidity = 0;
    TWaterIndices indices;
    // Writes the computed alkalinity and acidity into the data set itself; the indices come from the
    // same load, so they describe the water whose potential is shown.
    CharacteriseWater(*FDataset, precipitationPotential, tds, conductivity, ionicStrength, co3Acidity,
                      indices);
    FShown = true;
    ShowResultRows(FValues, CharacterisedWater(*FDataset, precipitationPotential, tds, conductivity,
                                               ionicStrength, co3Acidity));
    FIndices = indices;
    ShowIndexRows(FIndexLabels, FIndices);
    // The view does not look at the data set again: the window may close before it.
    FDataset = nullptr;
}

void TFormViewDataset::showEvent(QShowEvent* event) {
    if (!FShown) RunCommand(this, [this] { FormShow(); });
    QDialog::showEvent(event);
}

void TFormViewDataset::WriteResults(TCsvWriter& writer) const {
    const auto value = [this](const char* name) { return Value(name)->text(); };
    const QString caCO3 = QStringLiteral("mg/l CaCO3");
    AddResultRow(writer, {windowTitle()});
    AddResultRow(writer, {QStringLiteral("pH"), value("LabelPh")});
    AddResultRow(writer,
                 {QStringLiteral("Temperature"), value("LabelTemperature"), QStringLiteral("degrees C")});
    AddResultRow(writer, {QStringLiteral("Alkalinity"), value("LabelAlkalinity"), caCO3});
    AddResultRow(writer, {QStringLiteral("Acidity"), value("LabelAcidity"), caCO3});
    AddResultRow(writer, {QStringLiteral("Calcium"), value("LabelCalcium"), caCO3});
    AddResultRow(writer, {QStringLiteral("Magnesium"), value("LabelMagnesium"), caCO3});
    AddResultRow(writer, {QStringLiteral("Sodium"), value("LabelSodium"), QStringLiteral("mgNa/l")});
    AddResultRow(writer, {QStringLiteral("Sulphate"), value("LabelSulphate"), QStringLiteral("mgSO4/l")});
    AddResultRow(writer, {QStringLiteral("Chloride"), value("LabelChoride"), QStringLiteral("mgCl/l")});
    AddResultRow(writer, {QStringLiteral("Ionic strength"), value("LabelMhuf")});
    AddResultRow(writer, {QStringLiteral("TDS"), value("LabelTds"), QStringLiteral("mg/l")});
    AddResultRow(writer,
                 {QStringLiteral("Conductivity"), value("LabelConductivity"), QStringLiteral("mS/m")});
    AddResultRow(writer, {QStringLiteral("Precipitation potential"), value("LabelPrecPotential"), caCO3});
    WriteIndexRows(writer, FIndices, kIndexRowCount);
}

void TFormViewDataset::ButtonExportClick() {
    RunCommand(this, [this] { ExportResults(this, [this](TCsvWriter& writer) { WriteResults(writer); }); });
}

void TFormViewDataset::ButtonPrintClick() {
    RunCommand(this, [this] {
        PrintResults(this, windowTitle(), [this](TCsvWriter& writer) { WriteResults(writer); });
    });
}

void TFormViewDataset::ButtonCloseClick() {
    close();
}
