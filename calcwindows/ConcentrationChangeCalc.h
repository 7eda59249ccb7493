#pragma once
// TConcentrationChangeCalcForm: the water after evaporation of a percentage of its volume (0 to 95 %):
// every dissolved amount and the ionic strength rise by 100 / (100 - percentage).

#include "CalculationBaseForm.h"

class QLineEdit;

class TConcentrationChangeCalcForm : public TCalcForm {
    Q_OBJECT
public:
    explicit TConcentrationChangeCalcForm(QWidget* owner = nullptr);

protected:
    bool Calculate(const TWaterDataset& dataset) override;
    bool ValidateInputs() override;
    void FormShow() override;

private:
    QLineEdit* TxtInput;
};
