#pragma once
// The thirteen rows of a water's values that every results page shows, top to bottom: the
// calculation windows' results page, the underground results and the data set view. One table, so
// a caption, a control name, a unit or a number of decimals is written once.
//
// The on-screen units are written with the digit zero ("CaC03", "C03", "mgS04/l"), as the operators
// know them from the earlier versions. The exports use the letter O and keep rows of their own: their
// captions, order and units are not the screen's.

#include "CalvaroModel.h"
#include "EngineFacade.h"

#include <array>
#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

class QFont;
class QGridLayout;
class QLabel;
class QString;
class QWidget;
class TCsvWriter;

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

// ---- Scaling and corrosion indices ----
// The indices of a water beside its precipitation potential, one row each: caption, value with
// two decimals in the locale ("–" where the water does not define the index) and a one-word
// reading. The view window shows all six; the results of a calculation the first four, those of
// the treated water's carbonate balance. The export rows follow every row the window wrote before
// them: caption, value (an empty field where not defined), reading (empty for the saturation pH,
// which has none).

struct TIndexRowDefinition {
    const char* Caption;                         // as exported; the screen adds " :"
    const char* ValueName;                       // object name of the value label
    const char* ReadingName;                     // object name of the reading label
    std::optional<double> TWaterIndices::*Field; // the index shown in the row
    std::string (*Reading)(double);              // its one-word reading; none for the saturation pH
};

inline constexpr std::size_t kIndexRowCount = 6;
// The rows of a calculation's results page: saturation index, saturation pH, Langelier, Ryznar.
inline constexpr std::size_t kTreatedIndexRowCount = 4;

inline constexpr std::array<TIndexRowDefinition, kIndexRowCount> kIndexRows{{
    {"Saturation index", "LabelSaturationIndex", "LabelSaturationIndexReading",
     &TWaterIndices::SaturationIndex, &SaturationIndexReading},
    {"Saturation pH", "LabelSaturationPh", "LabelSaturationPhReading", &TWaterIndices::SaturationPh, nullptr},
    {"Langelier index", "LabelLangelierIndex", "LabelLangelierIndexReading", &TWaterIndices::LangelierIndex,
     &LangelierReading},
    {"Ryznar index", "LabelRyznarIndex", "LabelRyznarIndexReading", &TWaterIndices::RyznarIndex,
     &RyznarReading},
    {"Larson-Skold index", "LabelLarsonSkoldIndex", "LabelLarsonSkoldIndexReading",
     &TWaterIndices::LarsonSkoldIndex, &LarsonSkoldReading},
    {"Aggressive index", "LabelAggressiveIndex", "LabelAggressiveIndexReading",
     &TWaterIndices::AggressiveIndex, &AggressiveIndexReading},
}};

inline constexpr const char* kIndicesGroupTitle = "Scaling and corrosion indices";

struct TIndexRowLabels {
    QLabel* Caption;
    QLabel* Value;
    QLabel* Reading;
};
using TIndexLabels = std::vector<TIndexRowLabels>;

// The caption on screen: with its colon, and with the en dash in "Larson–Skold" where the
// label's font has one.
QString IndexCaptionText(const TIndexRowDefinition& row, const QFont& font);
// The value on screen: two decimals in the locale, "–" (or "-" where the font lacks the
// dash) when the index is not defined.
QString IndexValueText(const std::optional<double>& value, const QFont& font);
// The reading of a defined index; empty for an undefined one and for the saturation pH.
QString IndexReadingText(const TIndexRowDefinition& row, const std::optional<double>& value);

// Lays the first `count` index rows into `grid` from its first row on: caption, value, reading.
TIndexLabels AddIndexRows(QGridLayout& grid, QWidget* parent, std::size_t count);
// Writes each row's index into its labels; without indices (none computed yet) every row shows
// the undefined sign.
void ShowIndexRows(const TIndexLabels& labels, const std::optional<TWaterIndices>& indices);
// Gives the caption column of every grid the width of the widest caption among them, so that the
// values of frames stacked one under the other stand in one column. Call it once all rows exist.
void AlignCaptionColumns(std::initializer_list<QGridLayout*> grids);
// One export row per index, the first `count` of them.
void WriteIndexRows(TCsvWriter& writer, const std::optional<TWaterIndices>& indices, std::size_t count);
