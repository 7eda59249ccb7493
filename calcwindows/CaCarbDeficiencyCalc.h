#pragma once
// TCaCarbDeficiencyCalcForm: the lime that conditions a water deficient in calcium or carbonate
// species to a desired calcium (RunCaCarbonateDeficiency). On closing with a result it offers to
// stabilise the conditioned water with CO2 in a stabilisation window working on the same copy.

#include "DosageCalcForm.h"

class QLineEdit;

class TCaCarbDeficiencyCalcForm : public TDosageCalcForm {
    Q_OBJECT
public:
    explicit TCaCarbDeficiencyCalcForm(QWidget* owner = nullptr);

    void ButtonCancelClick() override;

protected:
    bool Calculate(const TWaterDataset& dataset) override;
    bool ValidateInputs() override;
    void FormShow() override;

private:
    QLineEdit* TxtInput;
};
