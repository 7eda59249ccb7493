#pragma once
// TAirEquibCalcForm: the water brought into equilibrium with a CO2 partial pressure (atm):
// alkalinity and the ions stay, the carbonate system follows the gas.

#include "CO2EquilibriumCalcForm.h"

class TAirEquibCalcForm : public TCO2EquilibriumCalcForm {
    Q_OBJECT
public:
    explicit TAirEquibCalcForm(QWidget* owner = nullptr);

protected:
    bool Calculate(const TWaterDataset& dataset) override;

    double Pc02 = 0; // the partial pressure of the last run, atm
};
