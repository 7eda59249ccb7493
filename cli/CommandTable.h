#pragma once
// The commands of calvaro-calc, as declarations.
//
// A command is a TCommand: its name, its options (TOptionSpec: name, placeholder, the names it
// accepts, whether it may be left out), how many files it takes, a line for the usage text and
// the function that computes one output. The runner builds the command's CLI11 parser from the
// declaration, so a new command is one more TCommand added to the table; nothing else in the
// runner changes.
//
// Each command group lives in its own file <Group>Commands.cpp and defines
// Register<Group>Commands(TCommandTable&), which adds its commands. The groups are listed once, in
// cli/CMakeLists.txt (CALVARO_CLI_COMMAND_GROUPS); the build generates the call of every group's
// registration, so adding a group touches no other group's file.

#include "CalvaroModel.h"
#include "EngineFacade.h"
#include "RecordWriter.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
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
    // An option with a default may be left out (shown as [--points N] in the usage text); one
    // without must be given.
    std::optional<double> Default;
};

// A number: --ph X.
inline TOptionSpec NumberOption(std::string name, std::string placeholder = "X") {
    return {std::move(name), std::move(placeholder), {}, true, std::nullopt};
}
// A number that may be left out for its default: [--points N].
inline TOptionSpec NumberOption(std::string name, std::string placeholder, double defaultValue) {
    return {std::move(name), std::move(placeholder), {}, true, defaultValue};
}
// One name of a list, or (when numberAccepted) its position: --chemical C.
inline TOptionSpec ChoiceOption(std::string name, std::string placeholder, std::vector<std::string> choices,
                                bool numberAccepted) {
    return {std::move(name), std::move(placeholder), std::move(choices), numberAccepted, std::nullopt};
}

// The option values of one run, parsed: numbers as given, a name as its position in the list.
class TOptionValues {
public:
    void Set(const std::string& name, double value) { FValues[name] = value; }
    bool Has(const std::string& name) const { return FValues.count(name) != 0; }
    double Number(const std::string& name) const { return FValues.at(name); }

private:
    std::map<std::string, double> FValues;
};

// What a record says about a water: the objects that close every record with a water are
// computed from it (see RecordTrailers in CalcRunner.cpp).
struct TRecordSubject {
    const TWaterDataset* Water = nullptr;      // characterise: the water after its characterisation
    std::optional<TCalculationResult> Treated; // a run operation: the treated water
    std::optional<TWaterIndices> Indices;      // the water's indices, when computed with it
    bool Empty() const { return Water == nullptr && !Treated; }
};

// One output being computed: the files it is computed from (one for most commands, several for
// blends), the options, and the record under way. The waters come through Water() and Waters(),
// so that where they come from (data set files, later rows of a table) is the runner's business.
class TCommandCall {
public:
    // The waters of data set files, loaded when the command asks for them.
    TCommandCall(const std::vector<std::string>& paths, const TOptionValues& options,
                 std::function<void(TCommandCall&)> nextRecord);
    // Waters already read (the rows of a table), in order; they outlive the call.
    TCommandCall(const std::vector<TWaterDataset*>& waters, const TOptionValues& options,
                 std::function<void(TCommandCall&)> nextRecord);

    const std::vector<std::string>& Paths; // empty for waters already read

    // The water of a per-file command is read by `read` (the data set of Paths.front(), nullptr
    // for an empty file, or the loader's error) instead of being loaded from its file: for files
    // read ahead. Water() checks it as it checks a loaded one.
    void ReadWaterWith(std::function<std::unique_ptr<TWaterDataset>()> read) { FReadWater = std::move(read); }
    const TOptionValues& Options;

    // The one water of a per-file command, loaded and checked as the data set editor would
    // check it; it lives as long as the call. Throws TRefusal (or the loader's error).
    TWaterDataset& Water();
    // Every water of a blend, each checked; a refusal names the file it comes from.
    std::vector<const TWaterDataset*> Waters();

    // The record describes this water (characterised) or this treated water.
    void Describe(const TWaterDataset& water);
    void Describe(const TWaterDataset& water, const TWaterIndices& indices);
    void Describe(const TCalculationResult& treated);
    // A treated water whose indices were computed while its state was loaded (a curve's point).
    void Describe(const TCalculationResult& treated, const TWaterIndices& indices);
    const TRecordSubject& Subject() const { return FSubject; }
    void ClearSubject() { FSubject = TRecordSubject(); }

    // Closes the record written so far (with its subject's objects) and begins the next record of
    // the same input, for a command that writes several records per input (a curve's points).
    void NextRecord() { FNextRecord(*this); }

private:
    std::function<void(TCommandCall&)> FNextRecord;
    const std::vector<TWaterDataset*>* FGiven = nullptr;
    std::function<std::unique_ptr<TWaterDataset>()> FReadWater;
    std::vector<std::unique_ptr<TWaterDataset>> FWaters;
    TRecordSubject FSubject;
};

struct TCommand {
    std::string Name;
    std::vector<TOptionSpec> Options;
    std::string Description; // one line for the usage text
    // Files: a command with PerFile computes one output per file (at least one file); otherwise
    // one output from MinFiles..MaxFiles files.
    bool PerFile = true;
    int MinFiles = 1;
    int MaxFiles = 1;
    // Computes one output and writes its fields after "input" (or "inputs"). Throws with an
    // operator's message when the input is refused or the calculation fails.
    std::function<void(TCommandCall&, TRecordWriter&)> Run;
};

// A command of one water per file, one output each: its name, options, line of usage and the
// function that computes an output.
TCommand PerFileCommand(std::string name, std::vector<TOptionSpec> options, std::string description,
                        std::function<void(TCommandCall&, TRecordWriter&)> run);

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
