#pragma once
// The one error type of the chemistry engine and its facade, with the fixed texts of the faults.

#include <stdexcept>

// A calculation that cannot finish: a floating-point fault ("Floating point division by zero",
// "Invalid floating point operation", "Floating point overflow"), a search that does not converge,
// or an input the calculation refuses (an unknown chemical, a target it cannot reach).
class TEngineError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr const char* kDivisionByZeroMessage = "Floating point division by zero";
inline constexpr const char* kInvalidOperationMessage = "Invalid floating point operation";
inline constexpr const char* kOverflowMessage = "Floating point overflow";
inline constexpr const char* kNotConvergedMessage = "The calculation did not converge.";
