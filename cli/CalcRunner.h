#pragma once
// calvaro-calc as a function: the executable's main() is this call, and tests run it in-process.
//
//   calvaro-calc COMMAND [OPTIONS] FILE.clv [FILE.clv ...]
//   calvaro-calc --help | --version
//
// The command is looked up in the table of declarations (CommandTable.h); its options and files
// are parsed by a CLI11 parser built from that declaration.
//
// Exit status: 0 when every output succeeded, 1 when an input was refused or its calculation
// failed (its output is then {"input": ..., "error": ...} and the other inputs still run), 2 for a
// usage error (unknown command or option, missing, repeated or malformed value, wrong number of
// files), with the usage text on the error stream, 3 when the output could not be written (a full
// disk, a closed output), with a message on the error stream; no further input is then computed.

#include "ProgramVersion.h"
#include "RecordTrailers.h"

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitInputFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitOutputFailed = 3;

// How the files of a command of one water per file are read. The records are the same either way.
enum class TFileReading {
    // Ahead of their turn on a second thread (FileReadAhead.h) when there are several files and
    // the process may run on two processors or more; otherwise each in its turn.
    Automatic,
    // Ahead of their turn on a second thread, whatever the files and processors.
    Ahead,
    // Each file when its output is computed.
    InTurn,
};

// `arguments` without the program name.
int RunCalvaroCalc(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
// The same with other commands and record trailers than CalcCommands() and RecordTrailers().
int RunCalvaroCalc(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                   const TCommandTable& commands, const std::vector<TRecordTrailer>& trailers,
                   TFileReading reading = TFileReading::Automatic);

// "calvaro-calc 5.0.0.1": the program's name and the project version as the desktop program's
// about box shows it (four numbers).
std::string CalcVersionLine();

// The usage text of the commands (CalcCommands() by default).
std::string CalcUsage();
std::string CalcUsage(const TCommandTable& commands);
