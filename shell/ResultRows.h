#pragma once
// The thirteen rows of a water's values that every results page shows, top to bottom: the
// calculation windows' results page, the underground results and the data set view. One table, so
// a caption, a control name, a unit or a number of decimals is written once.
//
// The on-screen units are written with the digit zero ("CaC03", "C03", "mgS04/l"), as the operators
// know them from the earlier versions. The exports use the letter O and keep rows of their own: their
// captions, order and units are not the screen's.

#include "CalvaroModel.h"

#include <array>
#include <cstddef>

class QGridLayout;
class QLabel;
class QString;
class QWidget;

struct TResultRowDefinition {
    const char* Caption;               // on screen, with its colon
    const char* ValueName;             // object name of the value label
    const char* Unit;                  // on screen; empty for the pH and the ionic strength
    double TCalculationResult::*Field; // the water's value shown in the row
    int Decimals;                      // of the pattern "###,##0.00" ("###,##0.0000" for four)
};

inline constexpr std::size_t kResultRowCount = 13;

inline constexpr std::array<TResultRowDefinition, kResultRowCount> kResultRows{{
    {"pH :", "LabelPh", "", &TCalculationResult::PHF, 2},
    {"Temperature :", "LabelTemperature", "degrees C", &TCalculationResult::TF, 2},
    {"Total alkalinity :", "LabelAlkalinity", "mg/l as CaC03", &TCalculationResult::ALKF, 2},
    {"C03 acidity :", "LabelAcidity", "mg/l as CaC03", &TCalculationResult::ACIF, 2},
    {"Total calcium :", "LabelCalcium", "mg/l as CaC03", &TCalculationResult::CAF, 2},
    {"Total magnesium :", "LabelMagnesium", "mg/l as CaC03", &TCalculationResult::MGF, 2},
    {"Total sodium :", "LabelSodium", "mgNa/l", &TCalculationResult::NAF, 2},
    {"Total chloride :", "LabelChoride", "mgCl/l", &TCalculationResult::CLF, 2},
    {"Total sulphate :", "LabelSulphate", "mgS04/l", &TCalculationResult::SO4F, 2},
    {"TDS  :", "LabelTds", "mg/l", &TCalculationResult::TDSF, 2},
    {"Conductivity :", "LabelConductivity", "mS/m", &TCalculationResult::CONF, 2},
    {"Ionic strength :", "LabelMhuf", "", &TCalculationResult::MHUF, 4},
    {"Precipitation potential :", "LabelPrecPotential", "mg/l as CaC03", &TCalculationResult::CPPF, 2},
}};

// The value labels of the thirteen rows, in table order.
using TResultValueLabels = std::array<QLabel*, kResultRowCount>;

// A right-aligned, selectable value label named `name`, wide enough for a value in the hundreds of
// thousands so that a large result is never cut off.
QLabel* CreateResultValueLabel(QWidget* parent, const QString& name);

// Lays the thirteen rows into `grid` from its first row on: caption, value label, unit.
TResultValueLabels AddResultRows(QGridLayout& grid, QWidget* parent);

// Writes each row's value of `water` into its label, in the row's pattern.
void ShowResultRows(const TResultValueLabels& values, const TCalculationResult& water);
