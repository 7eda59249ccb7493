#pragma once
// Registers every calculation window with the shell's calculation registry, by its menu index.
void RegisterCalculationWindows();
