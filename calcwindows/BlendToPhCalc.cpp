#include "BlendToPhCalc.h"

#include "BlendingLayout.h"
#include "CalculationRanges.h"
#include "EmbeddedDatasetEditors.h"
#include "EngineFacade.h"
#include "InputCheck.h"
#include "LocaleNumbers.h"
#include "WaterDatasetForm.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

namespace {
constexpr TInputRange kRange = CalculationRanges::BlendTargetPh;
}

TBlendToPhCalcForm::TBlendToPhCalcForm(QWidget* owner) : TCalcForm(owner) {
    setWindowTitle(QStringLiteral("Blend to specified pH calculation"));
    setWindowFlags((windowFlags() & ~Qt::WindowType_Mask) | Qt::Tool);

    QGroupBox* inputs = createInputGroup(QString());
    inputs->setFlat(true);
    TxtInput = createNumberInput(
        inputs, QStringLiteral("Blend to specifed pH"), QString(),
        QStringLiteral("Enter a pH between %1 and %2").arg(FormatBound(kRange.Min), FormatBound(kRange.Max)),
        QStringLiteral("TxtInput"));
    NameCaptionOf(TxtInput, QStringLiteral("Label31"));

    QGroupBox* frame =
        createInputGroup(QStringLiteral("Waters to blend"), QStringLiteral("GroupBoxDatasets"));
    PageControlDatasets = AddDatasetPages(frame, TfrmWaterDataset::kTopRowsHeight);
    for (int i = 0; i < 2; ++i) {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("TabSheetWater%1").arg(i + 1));
        PageControlDatasets->addTab(page, QStringLiteral("Water %1").arg(i + 1));
    }

    LabelWaterPercA =
        createResultRow(QStringLiteral("Fraction of water 1 needed :"), QStringLiteral("LabelWaterPercA"),
                        QStringLiteral("LabelWaterPercAUnit"));
    findChild<QLabel*>(QStringLiteral("LabelWaterPercAUnit"))->setText(QStringLiteral("%"));
    LabelWaterPercB =
        createResultRow(QStringLiteral("Fraction of water 2 needed :"), QStringLiteral("LabelWaterPercB"),
                        QStringLiteral("LabelWaterPercBUnit"));
    findChild<QLabel*>(QStringLiteral("LabelWaterPercBUnit"))->setText(QStringLiteral("%"));

    FPromptRelay = new TEditorPromptRelay(
        StatusBar(), [this](const QString& text) { SetStatusText(text); }, this);
}

TfrmWaterDataset* TBlendToPhCalcForm::CreateDatasetForm(int index) {
    TfrmWaterDataset* editor = CreateEmbeddedEditor(this, PageControlDatasets->widget(index), StatusBar(),
                                                    TfrmWaterDataset::kTopRowsHeight);
    FPromptRelay->Watch(editor);
    return editor;
}

void TBlendToPhCalcForm::FormShow() {
    TxtInput->setText(FormatPattern(0, 1));
    EverythingShown = false;
    if (!Form1) {
        // Each editor is built while its own page is the one shown.
        PageControlDatasets->setCurrentIndex(0);
        Form1 = CreateDatasetForm(0);
        PageControlDatasets->setCurrentIndex(1);
        Form2 = CreateDatasetForm(1);
        PageControlDatasets->setCurrentIndex(0);
    }
    TCalcForm::FormShow();
    EverythingShown = true;
}

bool TBlendToPhCalcForm::ValidateInputs() {
    const bool phValid = CheckControlRange(TxtInput, kRange.Min, kRange.Max);
    if (!EverythingShown) return false;
    // Both editors are checked, so both colour their boxes.
    const bool water1Valid = Form1->ValidateDataset();
    const bool water2Valid = Form2->ValidateDataset();
    return phValid && water1Valid && water2Valid;
}

bool TBlendToPhCalcForm::Calculate(const TWaterDataset&) {
    PercentWaterA = 0;
    PercentWaterB = 0;
    LabelWaterPercA->clear();
    LabelWaterPercB->clear();
    const double targetPh = ReadNumber(TxtInput);
    Form1->ApplyModelUpdates();
    Form2->ApplyModelUpdates();
    SetCalcResult(RunBlendToPh(*Form1->Dataset(), *Form2->Dataset(), PercentWaterA, PercentWaterB, targetPh));
    LabelWaterPercA->setText(FormatValue(PercentWaterA));
    LabelWaterPercB->setText(FormatValue(PercentWaterB));
    ShowResults(CalcResult());
    return true;
}

void TBlendToPhCalcForm::WriteResults(TCsvWriter& writer) {
    TCalcForm::WriteResults(writer);
    AddRow(writer, {QStringLiteral("Fraction of Water 1 Needed"), FormatValue(PercentWaterA)});
    AddRow(writer, {QStringLiteral("Fraction of Water 2 Needed"), FormatValue(PercentWaterB)});
}
