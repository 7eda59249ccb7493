#pragma once
// TTempChangeCalcForm: the same water at another temperature (5 to 90 degrees Celsius): the amounts
// stay, the constants, the pH and the precipitation potential follow.

#include "CalculationBaseForm.h"

class QLineEdit;

class TTempChangeCalcForm : public TCalcForm {
    Q_OBJECT
public:
    explicit TTempChangeCalcForm(QWidget* owner = nullptr);

protected:
    bool Calculate(const TWaterDataset& dataset) override;
    bool ValidateInputs() override;
    void FormShow() override;

private:
    QLineEdit* TxtTemperature;
};
