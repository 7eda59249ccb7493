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
    if (raised & FE_DIVBYZERO) RaiseDivisionByZero();
    if (raised & FE_OVERFLOW) RaiseOverflow();
    RaiseInvalidOperation();
}

void RequireFinite(double value) {
    if (std::isnan(value)) RaiseInvalidOperation();
    if (std::isinf(value)) RaiseOverflow();
}

void RaiseDivisionByZero() {
    throw TEngineError(kDivisionByZeroMessage);
}
void RaiseInvalidOperation() {
    throw TEngineError(kInvalidOperationMessage);
}
void RaiseOverflow() {
    throw TEngineError(kOverflowMessage);
}
void RaiseNotConverged() {
    throw TEngineError(kNotConvergedMessage);
}
