#pragma once
// TPhAdjustmentCalcForm: the dosage of one of six chemicals that brings the water to a desired pH
// (RunPhAdjustment).

#include "DosageCalcForm.h"

class QComboBox;
class QLineEdit;

class TPhAdjustmentCalcForm : public TDosageCalcForm {
    Q_OBJECT
public:
    explicit TPhAdjustmentCalcForm(QWidget* owner = nullptr);

protected:
    bool Calculate(const TWaterDataset& dataset) override;
    bool ValidateInputs() override;
    void FormShow() override;

private:
    // The dosing curve of the last calculation's chemical and target.
    void ButtonCurveClick();
    int FCurveChemical = 0;
    double FCurveTarget = 0;

    QLineEdit* TxtInput;
    // Its item index is the facade's chemical code: 0 CO2 ... 5 bicarbonate of soda.
    QComboBox* ComboDosageChemical;
};
