#include "BlendMultipleWatersCalc.h"

#include "BlendingLayout.h"
#include "CalculationRanges.h"
#include "Dialogs.h"
#include "EmbeddedDatasetEditors.h"
#include "EngineFacade.h"
#include "WaterDatasetForm.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>
#include <QTabWidget>

#include <algorithm>

namespace {

using CalculationRanges::kMaximumBlendWaters;
using CalculationRanges::kMinimumBlendWaters;

// The spin field's text as a whole number; a text that is no number counts as the minimum.
int TypedNumberOfWaters(const QSpinBox* spin) {
    bool ok = false;
    const int value = spin->cleanText().toInt(&ok);
    return ok ? value : kMinimumBlendWaters;
}

} // namespace

TBlendMultipleCalcForm::TBlendMultipleCalcForm(QWidget* owner) : TCalcForm(owner) {
    setWindowTitle(QStringLiteral("Determine water condition after blending"));

    QGroupBox* inputs = createInputGroup(QString());
    inputs->setFlat(true);
    auto* grid = static_cast<QGridLayout*>(inputs->layout());
    auto* caption = new QLabel(QStringLiteral("Number of waters to blend :"), inputs);
    caption->setObjectName(QStringLiteral("Label31"));
    SpinNumberWaters = new QSpinBox(inputs);
    SpinNumberWaters->setObjectName(QStringLiteral("SpinNumberWaters"));
    SpinNumberWaters->setRange(kMinimumBlendWaters, kMaximumBlendWaters);
    SpinNumberWaters->setValue(kMinimumBlendWaters);
    // Room for two digits beside the arrows, whatever the style's arrow width.
    SpinNumberWaters->setMinimumWidth(
        SpinNumberWaters->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 48);
    SpinNumberWaters->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    caption->setBuddy(SpinNumberWaters);
    grid->addWidget(caption, 0, 0);
    grid->addWidget(SpinNumberWaters, 0, 1);

    QGroupBox* frame =
        createInputGroup(QStringLiteral("Waters to blend"), QStringLiteral("GroupBoxDatasets"));
    PageControlDatasets = AddDatasetPages(frame, 0);

    FPromptRelay = new TEditorPromptRelay(
        StatusBar(), [this](const QString& text) { SetStatusText(text); }, this);
    connect(SpinNumberWaters, &QSpinBox::textChanged, this, [this] { SpinNumberWatersChange(); });
}

void TBlendMultipleCalcForm::AddWater(int index) {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheetWater%1").arg(index + 1));
    PageControlDatasets->addTab(page, QStringLiteral("Water %1").arg(index + 1));
    TfrmWaterDataset* editor = CreateEmbeddedEditor(this, page, StatusBar(), 0);
    editor->ShowWaterFraction();
    FPromptRelay->Watch(editor);
    FDatasetFormList.push_back(editor);
}

void TBlendMultipleCalcForm::RemoveLastWater() {
    if (FDatasetFormList.empty()) return;
    const int last = PageControlDatasets->count() - 1;
    QWidget* page = PageControlDatasets->widget(last);
    PageControlDatasets->removeTab(last);
    FDatasetFormList.pop_back();
    delete page; // the editor and its data set with it
}

void TBlendMultipleCalcForm::FormShow() {
    EverythingShown = false;
    if (FDatasetFormList.empty()) {
        AddWater(0);
        AddWater(1);
    }
    TCalcForm::FormShow();
    EverythingShown = true;
}

void TBlendMultipleCalcForm::SpinNumberWatersChange() {
    if (!EverythingShown) return;
    // A typed jump (2 to 5) arrives as one change, so the pages follow until there are as many
    // waters as the field shows, never more than the engine's blend tables hold nor fewer than 2.
    const int wanted =
        std::clamp(TypedNumberOfWaters(SpinNumberWaters), kMinimumBlendWaters, kMaximumBlendWaters);
    while (static_cast<int>(FDatasetFormList.size()) < wanted)
        AddWater(static_cast<int>(FDatasetFormList.size()));
    while (static_cast<int>(FDatasetFormList.size()) > wanted)
        RemoveLastWater();
}

bool TBlendMultipleCalcForm::ValidateInputs() {
    if (!EverythingShown) return false;
    bool allValid = true;
    std::vector<double> fractions;
    for (TfrmWaterDataset* editor : FDatasetFormList) {
        editor->ApplyModelUpdates();
        fractions.push_back(editor->Dataset()->Fraction());
        // Every editor is checked, so all colour their boxes.
        allValid = editor->ValidateDataset() && allValid;
    }
    if (allValid && !CalculationRanges::BlendFractionsComplete(fractions)) {
        const QString message = QString::fromLatin1(CalculationRanges::kBlendFractionsMessage);
        Dialogs().ShowMessage(this, message);
        SetStatusText(message);
        return false;
    }
    return allValid;
}

bool TBlendMultipleCalcForm::Calculate(const TWaterDataset&) {
    std::vector<const TWaterDataset*> waters;
    for (TfrmWaterDataset* editor : FDatasetFormList)
        waters.push_back(editor->Dataset());
    SetCalcResult(RunBlendMultiple(waters));
    ShowResults(CalcResult());
    return true;
}
