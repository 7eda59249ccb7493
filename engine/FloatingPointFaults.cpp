#include "FloatingPointFaults.h"

#include <cfenv>
#include <cmath>

namespace {
constexpr int kFaultFlags = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;
}

void ClearFloatingPointFaults() {
    std::feclearexcept(FE_ALL_EXCEPT);
}

void RaiseFloatingPointFaults() {
    const int raised = std::fetestexcept(kFaultFlags);
    if (raised == 0) return;
    std::feclearexcept(FE_ALL_EXCEPT);
    if (raised & FE_DIVBYZERO) throw TEngineError(kDivisionByZeroMessage);
    if (raised & FE_OVERFLOW) throw TEngineError(kOverflowMessage);
    throw TEngineError(kInvalidOperationMessage);
}

void RequireFinite(double value) {
    if (std::isnan(value)) RaiseInvalidOperation();
    if (std::isinf(value)) RaiseOverflow();
}

// A fault that the arithmetic before it already raised (the division by zero that led to this
// NaN or infinity) is reported first: it is the cause.
void RaiseDivisionByZero() {
    std::feclearexcept(FE_ALL_EXCEPT);
    throw TEngineError(kDivisionByZeroMessage);
}
void RaiseInvalidOperation() {
    RaiseFloatingPointFaults();
    throw TEngineError(kInvalidOperationMessage);
}
void RaiseOverflow() {
    RaiseFloatingPointFaults();
    throw TEngineError(kOverflowMessage);
}
void RaiseNotConverged() {
    std::feclearexcept(FE_ALL_EXCEPT);
    throw TEngineError(kNotConvergedMessage);
}
