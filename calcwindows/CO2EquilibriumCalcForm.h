#pragma once
// TCO2EquilibriumCalcForm: what the air-equilibrium and underground-water windows share. One input,
// the CO2 partial pressure (0.00005 to 1 atm, "0.00035" at start, about that of the air), and the
// equilibrium with it (RunAirEquilibrium) as the calculation: the treated water and, below the
// thirteen rows, how much CO2 is added or expelled, named by the facade's text.

#include "CalculationBaseForm.h"

#include <string>

class QLabel;
class QLineEdit;

class TCO2EquilibriumCalcForm : public TCalcForm {
    Q_OBJECT
public:
    TCO2EquilibriumCalcForm(QWidget* owner, const QString& caption, const QString& inputTitle);

protected:
    bool ValidateInputs() override;
    void FormShow() override;
    void WriteResults(TCsvWriter& writer) override;

    // Step 1 of Calculate: the CO2 change and its labels emptied.
    void ClearEquilibrium();
    // Runs the equilibrium with `pressureCO2` (atm) and shows it.
    bool CalculateEquilibrium(const TWaterDataset& dataset, double pressureCO2);

    QLineEdit* TxtPartialPressure;
    double DelC02 = 0;       // CO2 to add or expel, mg CO2/l (a magnitude)
    std::string EquilString; // "CO2 addition", "Water in equilibrium" or "CO2 expelled"

private:
    QLabel* LabelEquilString;
    QLabel* LabelDelC02;
};
