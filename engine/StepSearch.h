#pragma once
// The step search with which the engine solves its equations.
//
// It finds a positive x at which a mismatch f(x), which falls as x rises, reaches zero within an
// absolute tolerance of 0.001 (in the mismatch's own unit, mmol/l in every use):
//   1. start at x0 and evaluate f;
//   2. while f < 0: x = x * 0.1, evaluate;
//   3. if f > 0: step = x; repeat x = x + step, evaluate, until f <= 0;
//   4. while |f| > 0.001: x = x - step; step = step * 0.1; repeat x = x + step, evaluate,
//      until f <= 0.
// Most uses search over the hydrogen-ion activity h (mmol/l) from h = 10 (pH 2): step 2 raises the
// pH by whole units until the water is past the solution, steps 3 and 4 come back in ever finer
// steps. The result is the last x; whatever the evaluation computes keeps the values of the last
// evaluation.
//
// Guards, none of which a convergent search ever meets: a mismatch that is NaN or infinite ends
// the search at once with the fault behind it (other faults of the evaluations are raised when the
// search ends); a refinement whose step no longer
// changes x (below the resolution of a Double), or more than kStepSearchEvaluationCap evaluations,
// ends it with "The calculation did not converge.". A convergent search needs a few hundred
// evaluations at the most (about 330 decades of step 2 before x underflows, ten evaluations per
// decimal digit of refinement).

#include "FloatingPointFaults.h"

#include <cmath>

inline constexpr double kStepSearchTolerance = 0.001;
inline constexpr int kStepSearchEvaluationCap = 100000;

namespace StepSearchDetail {
// Evaluates the mismatch and applies the per-evaluation guards. A mismatch that is not finite
// ends the search at once with the fault behind it; a fault that left the mismatch finite is
// raised when the search ends.
template <class Mismatch> double Evaluate(Mismatch& mismatch, double x, int& evaluations) {
    if (++evaluations > kStepSearchEvaluationCap) RaiseNotConverged();
    const double f = mismatch(x);
    if (!std::isfinite(f)) RequireFinite(f);
    return f;
}
} // namespace StepSearchDetail

// Runs the step search from x0 with `mismatch` (double x -> double f) and returns the last x.
template <class Mismatch> double StepSearch(double x0, Mismatch&& mismatch) {
    using StepSearchDetail::Evaluate;
    int evaluations = 0;
    double x = x0;
    double f = Evaluate(mismatch, x, evaluations);
    while (f < 0) {
        x = x * 0.1;
        f = Evaluate(mismatch, x, evaluations);
    }
    double step = x;
    if (f > 0) {
        if (x + step == x) RaiseNotConverged(); // x is zero: stepping cannot move it
        do {
            x = x + step;
            f = Evaluate(mismatch, x, evaluations);
        } while (!(f <= 0));
    }
    while (std::fabs(f) > kStepSearchTolerance) {
        x = x - step;
        step = step * 0.1;
        if (x + step == x) RaiseNotConverged(); // the step no longer moves x
        do {
            x = x + step;
            f = Evaluate(mismatch, x, evaluations);
        } while (!(f <= 0));
    }
    RaiseFloatingPointFaults();
    return x;
}
