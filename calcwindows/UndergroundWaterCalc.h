#pragma once
// TUndergroundWaterCalcForm: the water in equilibrium with a CO2 partial pressure (its results page
// shows the equilibrium with that pressure, as the air window does) and, on closing, the
// underground water in equilibrium with the same pressure and with calcium carbonate, in its own
// results window.
//
// Close, on either page: the underground results window (computed with the typed pressure, in
// range or not), this window's rows then show the underground water, then the usual close. The
// write-back on Yes takes this window's own result, the equilibrium of the last turn to the
// results page. An error on the way (a pressure that is not a number, a failing calculation)
// reaches the error box and leaves this window open.

#include "CO2EquilibriumCalcForm.h"

class TUndergroundWaterCalcForm : public TCO2EquilibriumCalcForm {
    Q_OBJECT
public:
    explicit TUndergroundWaterCalcForm(QWidget* owner = nullptr);

    void ButtonCancelClick() override;

protected:
    bool Calculate(const TWaterDataset& dataset) override;

private:
    // The results window shown and closed; false when an error abandoned the closing.
    bool ShowUndergroundWater();
};
