#pragma once
// Floating-point faults as errors.
//
// C++ arithmetic does not stop on a division by zero, an invalid operation or an overflow: it
// yields infinities and NaNs that would reach the operator as numbers, or keep a search running
// forever. The engine therefore
//   - checks the arguments of its logarithms, powers and square roots (Log10, PowerOf,
//     SquareRoot), which raise "Invalid floating point operation" for a non-positive base;
//   - lets ordinary arithmetic run and reads the processor's sticky exception flags: the facade
//     clears them when an operation starts, every search checks them after each evaluation, and the
//     facade checks them once more before it hands a result out (RaiseFloatingPointFaults);
//   - finally refuses any non-finite value in a result (RequireFinite).
// Underflow and inexact results are ordinary and ignored.

#include "EngineError.h"

// Forgets earlier faults; called when a facade operation starts.
void ClearFloatingPointFaults();

// True when a division by zero, an invalid operation or an overflow happened since the last clear.
bool FloatingPointFaultRaised();

// Throws TEngineError when a division by zero, an invalid operation or an overflow happened
// since the last clear. A division by zero is named first: it is where a NaN or overflow starts.
void RaiseFloatingPointFaults();

// Throws TEngineError("Invalid floating point operation") for NaN and ("Floating point overflow")
// for an infinity.
void RequireFinite(double value);

[[noreturn]] void RaiseDivisionByZero();
[[noreturn]] void RaiseInvalidOperation();
[[noreturn]] void RaiseOverflow();
[[noreturn]] void RaiseNotConverged();
