#include "CalculationWindows.h"

#include "CalculationRegistry.h"

void RegisterCalculationWindows() {
    // Each calculation window adds its RegisterCalculationForm(index, factory) line here.
}
