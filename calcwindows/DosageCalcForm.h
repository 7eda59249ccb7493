#pragma once
// TDosageCalcForm: a calculation window that reports a chemical dosage beside the treated water
// (pH adjustment, stabilisation, deficient water). The facade operation fills the dosage fields
// through its out parameters; they are cleared before each run, shown below the thirteen result
// rows and exported after the base rows.

#include "CalculationBaseForm.h"

#include <string>

class TDosageCalcForm : public TCalcForm {
    Q_OBJECT
public:
    enum class TNotes { Shown, None };
    TDosageCalcForm(QWidget* owner, TNotes notes);

protected:
    // Step 1 of Calculate: the dosage fields and their labels emptied.
    void ClearDosage();
    // After the facade call: the dosage fields into their labels.
    void ShowDosage();
    void WriteResults(TCsvWriter& writer) override;

    double DosageRequired = 0;
    std::string DosageUnits;
    std::string DosageType;
    // The negative-dosage notes; the facade leaves them as passed for a dosage of zero or more.
    std::string Note1;
    std::string Note2;

private:
    TNotes FNotes;
    QLabel* FLabelDosageType;
    QLabel* FLabelDosage;
    QLabel* FLabelDosageUnits;
    QLabel* FLabelNote1 = nullptr;
    QLabel* FLabelNote2 = nullptr;
};
