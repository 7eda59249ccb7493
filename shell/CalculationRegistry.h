#pragma once
// The calculations of the Calculations menu, by index, and which window opens for each. The table
// below is the one list of calculation indices: the main window builds its menu from it and the
// calculation windows register under its names (RegisterCalculationWindows in calcwindows/), so
// the shell knows the indices but not the window classes.

#include <functional>
#include <span>
#include <vector>

class QDialog;
class QWidget;
class TWaterDataset;

// The calculation indices (ShowCalculationForm's argument, the menu items' "Calc<index>").
namespace CalculationIndex {
inline constexpr int kStabilisation = 2;
inline constexpr int kAirEquilibrium = 4;
inline constexpr int kTemperatureChange = 5;
inline constexpr int kConcentrationChange = 6;
inline constexpr int kPhAdjustment = 7;
inline constexpr int kUndergroundWater = 8;
inline constexpr int kDeficientWater = 9;
inline constexpr int kSofteningCa = 11;
inline constexpr int kSofteningMg = 12;
inline constexpr int kSofteningCaMg = 13;
inline constexpr int kDosingCurve = 14;
inline constexpr int kBlendToPh = 31;
inline constexpr int kBlendMultiple = 32;
} // namespace CalculationIndex

// Where a calculation's item stands: in the Calculations menu itself or in one of its submenus.
enum class TCalculationMenu { Calculations, Softening, Blending };

struct TCalculationItem {
    int Index;
    TCalculationMenu Menu;
    const char* Text;       // the menu item's text
    bool NeedsValidDataset; // disabled while the active data set is invalid (blending brings its own waters)
};

// Every calculation in the order of the menu.
std::span<const TCalculationItem> CalculationItems();

// Creates the window for `dataset` (not owned by the window), owned by `owner`.
using TCalcFormFactory = std::function<QDialog*(QWidget* owner, TWaterDataset* dataset)>;

void RegisterCalculationForm(int calcIndex, TCalcFormFactory factory);
// The new window for an index, or nullptr when no window is registered for it.
QDialog* CreateCalculationForm(int calcIndex, QWidget* owner, TWaterDataset* dataset);
// The indices that have a window, in increasing order.
std::vector<int> RegisteredCalculationIndices();
