#pragma once
// calvaro-calc as a function: the executable's main() is this call, and tests run it in-process.
//
//   calvaro-calc COMMAND [OPTIONS] FILE.clv [FILE.clv ...]
//
// Exit status: 0 when every output succeeded, 1 when an input was refused or its calculation
// failed (its output is then {"input": ..., "error": ...} and the other inputs still run), 2 for a
// usage error (unknown command or option, missing or malformed value, wrong number of files), with
// the usage text on the error stream.

#include <ostream>
#include <string>
#include <vector>

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitInputFailed = 1;
inline constexpr int kExitUsage = 2;

// `arguments` without the program name.
int RunCalvaroCalc(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

// The usage text.
std::string CalcUsage();
