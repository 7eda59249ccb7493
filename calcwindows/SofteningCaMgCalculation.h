#pragma once
// TSofteningCaMgCalc: combined softening to a desired calcium (2 mg/l as CaCO3 to the water's own
// calcium) and a desired magnesium (1 to the water's own magnesium) with lime and soda ash; both
// dosages are reported. Both fields are checked (and coloured) at every check.

#include "CalculationBaseForm.h"

class QLabel;
class QLineEdit;

class TSofteningCaMgCalc : public TCalcForm {
    Q_OBJECT
public:
    explicit TSofteningCaMgCalc(QWidget* owner = nullptr);
    void setVisible(bool visible) override;

protected:
    bool Calculate(const TWaterDataset& dataset) override;
    bool ValidateInputs() override;
    void FormShow() override;
    void WriteResults(TCsvWriter& writer) override;

    double LimeDosageRequired = 0; // mg/l as Ca(OH)2
    double AshDosageRequired = 0;  // mg/l as Na2CO3

private:
    void UpdatePrompts();

    QLineEdit* TxtCa;
    QLineEdit* TxtMg;
    QLabel* LabelLimeDosage;
    QLabel* LabelAshDosage;
};
