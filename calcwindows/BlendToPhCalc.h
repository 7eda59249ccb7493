#pragma once
// TBlendToPhCalcForm: the fractions of two waters whose blend has a desired pH (1 to 14).
//
// The two waters are entered on the window's own pages, "Water 1" and "Water 2", each in an
// embedded data set editor with a new data set; the active data set takes no part and only
// receives the blend when the operator agrees on closing. The editors' top rows (the water
// fraction and the date) are pushed above their pages: the fractions are what this window finds.

#include "CalculationBaseForm.h"

class QLineEdit;
class QTabWidget;
class TEditorPromptRelay;
class TfrmWaterDataset;

class TBlendToPhCalcForm : public TCalcForm {
    Q_OBJECT
public:
    explicit TBlendToPhCalcForm(QWidget* owner = nullptr);

    TfrmWaterDataset* Form1 = nullptr; // water 1, owned by the window
    TfrmWaterDataset* Form2 = nullptr; // water 2, owned by the window

protected:
    bool Calculate(const TWaterDataset& dataset) override;
    bool ValidateInputs() override;
    void FormShow() override;
    void WriteResults(TCsvWriter& writer) override;

    // A new editor on page `index` of PageControlDatasets.
    TfrmWaterDataset* CreateDatasetForm(int index);

    bool EverythingShown = false;
    double PercentWaterA = 0; // fraction of water 1, %
    double PercentWaterB = 0; // fraction of water 2, %

private:
    QLineEdit* TxtInput;
    QTabWidget* PageControlDatasets;
    QLabel* LabelWaterPercA;
    QLabel* LabelWaterPercB;
    TEditorPromptRelay* FPromptRelay;
};
