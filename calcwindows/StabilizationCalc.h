#pragma once
// TStabilizationCalcForm: the dosage of one of five chemicals that gives the water a desired
// calcium carbonate precipitation potential (RunStabilisation).

#include "DosageCalcForm.h"

class QComboBox;
class QLabel;
class QLineEdit;

class TStabilizationCalcForm : public TDosageCalcForm {
    Q_OBJECT
public:
    explicit TStabilizationCalcForm(QWidget* owner = nullptr);

    // Restricts the window to CO2: the chemical choice is hidden and the code stays 0.
    void HideDosingCombo();

protected:
    bool Calculate(const TWaterDataset& dataset) override;
    bool ValidateInputs() override;
    void FormShow() override;

private:
    // The dosing curve of the last calculation's chemical and target.
    void ButtonCurveClick();
    int FCurveChemical = 0;
    double FCurveTarget = 0;

    QLineEdit* TxtPrecipPotential;
    QLabel* LabelDosingChem;
    // Its item index is the facade's chemical code: 0 CO2 ... 4 hydrochloric acid.
    QComboBox* ComboDosageChemical;
};
