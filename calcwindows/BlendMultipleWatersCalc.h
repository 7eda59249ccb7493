#pragma once
// TBlendMultipleCalcForm: the water that results from blending 2 to 20 waters in given fractions.
//
// Each water is entered on a page of its own in an embedded data set editor with a new data set,
// its share in the editor's "Fraction of water" box (%). The spin field sets the number of pages:
// each change adds or removes waters until there are as many as the field shows. The fractions, added in page
// order, must make exactly 100 %; the engine would blend any sum unchanged. The active data set takes no part
// and only receives the blend when the operator agrees on closing.

#include "CalculationBaseForm.h"

#include <vector>

class QSpinBox;
class QTabWidget;
class TEditorPromptRelay;
class TfrmWaterDataset;

class TBlendMultipleCalcForm : public TCalcForm {
    Q_OBJECT
public:
    explicit TBlendMultipleCalcForm(QWidget* owner = nullptr);

    // The embedded editors in page order (2 to 20), owned by the window.
    const std::vector<TfrmWaterDataset*>& DatasetFormList() const { return FDatasetFormList; }

    void SpinNumberWatersChange();

protected:
    bool Calculate(const TWaterDataset& dataset) override;
    bool ValidateInputs() override;
    void FormShow() override;

    // A new page "Water <index + 1>" with a new editor, appended to the list.
    void AddWater(int index);
    // The last page, its editor with it.
    void RemoveLastWater();

    bool EverythingShown = false;

private:
    QSpinBox* SpinNumberWaters;
    QTabWidget* PageControlDatasets;
    TEditorPromptRelay* FPromptRelay;
    std::vector<TfrmWaterDataset*> FDatasetFormList;
};
