#include "ViewDatasetForm.h"

#include "CalvaroModel.h"
#include "CommandGuard.h"
#include "EngineFacade.h"
#include "LocaleNumbers.h"
#include "ResultsOutput.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

struct TViewRow {
    const char* Caption;
    const char* ValueName;
    const char* Unit;
};

// Screen order; the units carry the digit zero as the program has always shown them.
const TViewRow kRows[] = {
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
};

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
    resize(450, 358);
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
    for (const TViewRow& viewRow : kRows) {
        QFont normal = group->font();
        normal.setBold(false);
        auto* caption = new QLabel(QString::fromLatin1(viewRow.Caption), group);
        caption->setFont(normal);
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* value = new QLabel(group);
        value->setObjectName(QString::fromLatin1(viewRow.ValueName));
        value->setFont(bold);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setMinimumWidth(90);
        auto* unit = new QLabel(QString::fromLatin1(viewRow.Unit), group);
        unit->setFont(normal);
        grid->addWidget(caption, row, 0);
        grid->addWidget(value, row, 1);
        grid->addWidget(unit, row, 2);
        ++row;
    }
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(row, 1);

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
    // Writes the computed alkalinity and acidity into the data set itself.
    CharacteriseWater(*FDataset, precipitationPotential, tds, conductivity, ionicStrength, co3Acidity);
    FShown = true;
    const TWaterDataset& water = *FDataset;
    Value("LabelPh")->setText(FormatPattern(water.Ph(), 2));
    Value("LabelTemperature")->setText(FormatPattern(water.Temperature(), 2));
    Value("LabelAlkalinity")->setText(FormatPattern(water.Alkalinity(), 2));
    // The CO3-referenced acidity, as the row's caption says (the data set keeps the HCO3 one).
    Value("LabelAcidity")->setText(FormatPattern(co3Acidity, 2));
    Value("LabelCalcium")->setText(FormatPattern(water.Calcium(), 2));
    Value("LabelMagnesium")->setText(FormatPattern(water.Magnesium(), 2));
    Value("LabelSodium")->setText(FormatPattern(water.Sodium(), 2));
    Value("LabelChoride")->setText(FormatPattern(water.Chloride(), 2));
    Value("LabelSulphate")->setText(FormatPattern(water.Sulphate(), 2));
    Value("LabelTds")->setText(FormatPattern(tds, 2));
    Value("LabelConductivity")->setText(FormatPattern(conductivity, 2));
    Value("LabelMhuf")->setText(FormatPattern(ionicStrength, 4));
    Value("LabelPrecPotential")->setText(FormatPattern(precipitationPotential, 2));
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
