#pragma once
// TSofteningMgCalc: magnesium softening with lime to a desired magnesium, from 1 mg/l as CaCO3 to
// the water's own magnesium (IMG, read at each check).

#include "DosageCalcForm.h"

class QLineEdit;

class TSofteningMgCalc : public TDosageCalcForm {
    Q_OBJECT
public:
    explicit TSofteningMgCalc(QWidget* owner = nullptr);
    void setVisible(bool visible) override;

protected:
    bool Calculate(const TWaterDataset& dataset) override;
    bool ValidateInputs() override;
    void FormShow() override;

private:
    QLineEdit* TxtInput;
};

// "Enter the desired Magnesium value between 1 and Mg initial (IMG) mg/l as CaC03." for a water;
// the magnesium window and the magnesium of the combined window share it.
QString MagnesiumSofteningPrompt(const TWaterDataset* water);
