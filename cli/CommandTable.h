#pragma once
// The commands of calvaro-calc.
//
// Each command group lives in its own file <Group>Commands.cpp and defines
// Register<Group>Commands(TCommandTable&), which adds its commands. The groups are listed once, in
// cli/CMakeLists.txt (CALVARO_CLI_COMMAND_GROUPS); the build generates the call of every group's
// registration, so adding a group touches no other group's file.

#include "RecordWriter.h"

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// What an option takes: a number written with "." or one name of a list (or its position).
struct TOptionSpec {
    std::string Name;        // "--ph"
    std::string Placeholder; // "X", "C"
    // Names the option accepts, at their positions; empty for a number. A number is accepted too
    // when NumberAccepted (the chemical's index); it is then checked against the list's length by
    // the command, as a value out of range.
    std::vector<std::string> Choices;
    bool NumberAccepted = true;
};

// The option values of one run, parsed: numbers as given, a name as its position in the list.
class TOptionValues {
public:
    void Set(const std::string& name, double value) { FValues[name] = value; }
    bool Has(const std::string& name) const { return FValues.count(name) != 0; }
    double Number(const std::string& name) const { return FValues.at(name); }

private:
    std::map<std::string, double> FValues;
};

// One output: the files it is computed from (one for most commands, several for blends).
struct TCommandCall {
    const std::vector<std::string>& Paths;
    const TOptionValues& Options;
};

struct TCommand {
    std::string Name;
    std::vector<TOptionSpec> Options; // all required
    std::string Description;          // one line for the usage text
    // Files: a command with PerFile computes one output per file (at least one file); otherwise
    // one output from MinFiles..MaxFiles files.
    bool PerFile = true;
    int MinFiles = 1;
    int MaxFiles = 1;
    // Computes one output and writes its fields after "input" (or "inputs"). Throws with an
    // operator's message when the input is refused or the calculation fails.
    std::function<void(const TCommandCall&, TRecordWriter&)> Run;
};

class TCommandTable {
public:
    void Add(TCommand command) { FCommands.push_back(std::move(command)); }
    const TCommand* Find(std::string_view name) const;
    const std::vector<TCommand>& Commands() const { return FCommands; }

private:
    std::vector<TCommand> FCommands;
};

// The table with every group's commands, in the order of the groups.
const TCommandTable& CalcCommands();

// Calls every group's registration (generated from CALVARO_CLI_COMMAND_GROUPS).
void RegisterAllCommandGroups(TCommandTable& table);
