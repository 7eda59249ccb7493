#pragma once
// Which window opens for a calculation index of the Calculations menu. The calculation windows
// register themselves at start-up (RegisterCalculationWindows in calcwindows/), so the shell knows
// the indices but not the window classes.

#include <functional>

class QDialog;
class QWidget;
class TWaterDataset;

// Creates the window for `dataset` (not owned by the window), owned by `owner`.
using TCalcFormFactory = std::function<QDialog*(QWidget* owner, TWaterDataset* dataset)>;

void RegisterCalculationForm(int calcIndex, TCalcFormFactory factory);
// The new window for an index, or nullptr when no window is registered for it.
QDialog* CreateCalculationForm(int calcIndex, QWidget* owner, TWaterDataset* dataset);
