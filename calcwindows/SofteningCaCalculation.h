#pragma once
// TSofteningCaCalc: softening to a desired calcium with lime or with soda ash.
//
// The target's range follows the water: from the lowest calcium the chosen chemical can reach to
// the water's own calcium (ICA). For soda ash the lowest is 2 mg/l as CaCO3; for lime it is the
// minimum GetSofteningCaLimits reports for this very water. The lime run relies on the limits that
// call stores, so the window asks for them once, when it opens, with the data set it computes on;
// a target below the minimum never reaches the calculation.

#include "DosageCalcForm.h"

#include <limits>

class QComboBox;
class QLabel;
class QLineEdit;
struct TInputRange;

class TSofteningCaCalc : public TDosageCalcForm {
    Q_OBJECT
public:
    static constexpr int kLime = 0;
    static constexpr int kSodaAsh = 1;

    explicit TSofteningCaCalc(QWidget* owner = nullptr);

    // The lowest calcium lime can reach, mg/l as CaCO3; NaN until known (or when the water has none).
    double MinCaConcentration = std::numeric_limits<double>::quiet_NaN();

    void ComboSoftenMethodChange();
    void setVisible(bool visible) override;

protected:
    bool Calculate(const TWaterDataset& dataset) override;
    bool ValidateInputs() override;
    void FormShow() override;

private:
    bool IsLimeSelected() const;
    // The range of the target now: read from the data set and the method at each check.
    TInputRange TargetRange() const;
    QString Prompt() const;
    void FetchLimeMinimum();
    void ShowMinimumLine();

    QLineEdit* TxtInput;
    QComboBox* ComboSoftenMethod;
    QLabel* LabelMinCaDesc;
    QLabel* LabelMinConcentration;
    QLabel* LabelMinCaUnits;
    bool FLimitsAsked = false;
};
