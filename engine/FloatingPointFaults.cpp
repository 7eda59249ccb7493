#include "FloatingPointFaults.h"

#include <cfenv>
#include <cmath>

#if defined(__x86_64__) && defined(__SSE2__)
#include <xmmintrin.h>
#endif

namespace {

#if defined(__x86_64__) && defined(__SSE2__)
// On x86-64 every Double operation, libm's included, runs on SSE; the x87 unit is cleared too for
// any long double arithmetic. Reading and clearing the status words directly costs a fraction of
// fetestexcept/feclearexcept, which save and restore the whole x87 environment; the faults are
// read a few times in every characterisation.
constexpr unsigned kSseInvalid = 0x01, kSseDivByZero = 0x04, kSseOverflow = 0x08, kSseFlags = 0x3f;

unsigned RaisedFaults() {
    unsigned short x87;
    __asm__ volatile("fnstsw %0" : "=am"(x87));
    return (x87 | _mm_getcsr()) & (kSseInvalid | kSseDivByZero | kSseOverflow);
}
void ClearFaults() {
    _mm_setcsr(_mm_getcsr() & ~kSseFlags);
    __asm__ volatile("fnclex");
}
bool IsDivisionByZero(unsigned raised) {
    return raised & kSseDivByZero;
}
bool IsOverflow(unsigned raised) {
    return raised & kSseOverflow;
}
#else
unsigned RaisedFaults() {
    return static_cast<unsigned>(std::fetestexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW));
}
void ClearFaults() {
    std::feclearexcept(FE_ALL_EXCEPT);
}
bool IsDivisionByZero(unsigned raised) {
    return raised & FE_DIVBYZERO;
}
bool IsOverflow(unsigned raised) {
    return raised & FE_OVERFLOW;
}
#endif

} // namespace

void ClearFloatingPointFaults() {
    ClearFaults();
}

bool FloatingPointFaultRaised() {
    return RaisedFaults() != 0;
}

void RaiseFloatingPointFaults() {
    const unsigned raised = RaisedFaults();
    if (raised == 0) return;
    ClearFaults();
    if (IsDivisionByZero(raised)) throw TEngineError(kDivisionByZeroMessage);
    if (IsOverflow(raised)) throw TEngineError(kOverflowMessage);
    throw TEngineError(kInvalidOperationMessage);
}

void RequireFinite(double value) {
    if (std::isnan(value)) RaiseInvalidOperation();
    if (std::isinf(value)) RaiseOverflow();
}

// A fault that the arithmetic before it already raised (the division by zero that led to this
// NaN or infinity) is reported first: it is the cause.
void RaiseDivisionByZero() {
    ClearFaults();
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
    ClearFaults();
    throw TEngineError(kNotConvergedMessage);
}
