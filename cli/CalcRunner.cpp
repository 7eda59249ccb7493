#include "CalcRunner.h"

#include "CalcVersion.h"
#include "ProgramVersion.h"

#include "CommandTable.h"
#include "FileReadAhead.h"
#include "RecordWriter.h"

#include "CalvaroUtils.h"

#include "WaterTable.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <exception>
#include <fstream>
#include <functional>
#include <iostream>
#include <optional>

namespace {

class TUsageError : public std::exception {
public:
    explicit TUsageError(std::string message) : FMessage(std::move(message)) {}
    const char* what() const noexcept override { return FMessage.c_str(); }

private:
    std::string FMessage;
};

const std::string kFormat = "--format";
const std::string kTable = "--table";
// A table's name that stands for the standard input.
const std::string kStandardInput = "-";
// The error keys of a table's rows: the message, and the column and the cell at fault.
const std::vector<std::string> kTableErrorKeys = {"error", "errorColumn", "errorValue"};

struct TInvocation {
    const TCommand* Command = nullptr;
    bool Help = false;
    TOutputFormat Format = TOutputFormat::Json;
    TOptionValues Options;
    std::vector<std::string> Paths;
    std::optional<std::string> Table; // --table: the waters are its rows
};

// A number written with "." (never the locale's separator): the whole text must be the number.
// A number beyond the doubles (1e400, or 1e-400, which would silently become 0) is out of range.
double ParseNumber(const std::string& option, const std::string& text, bool& isNumber) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::general);
    isNumber = ptr == end && !text.empty();
    if (isNumber && ec == std::errc::result_out_of_range)
        throw TUsageError(option + " " + text +
                          " is out of the range of numbers: 0, or a magnitude from 4.9e-324 to 1.8e308.");
    isNumber = isNumber && ec == std::errc() && std::isfinite(value);
    return value;
}

double ParseOptionValue(const TOptionSpec& option, const std::string& text) {
    for (std::size_t i = 0; i < option.Choices.size(); ++i)
        if (option.Choices[i] == text) return static_cast<double>(i);
    if (option.Choices.empty() || option.NumberAccepted) {
        bool isNumber = false;
        const double number = ParseNumber(option.Name, text, isNumber);
        if (isNumber) return number;
    }
    std::string expected = option.Choices.empty() ? "a number written with \".\"" : "one of";
    for (std::size_t i = 0; i < option.Choices.size(); ++i)
        expected += (i == 0 ? " " : ", ") + option.Choices[i];
    if (!option.Choices.empty() && option.NumberAccepted)
        expected += " or 0.." + std::to_string(option.Choices.size() - 1);
    throw TUsageError(option.Name + " expects " + expected + ", not \"" + text + "\".");
}

// The one value of an option given once; a repeated option is refused (which of two values was
// meant cannot be told).
std::optional<std::string> SingleValue(const CLI::Option& option, const std::string& name) {
    const auto& results = option.results();
    if (results.empty()) return std::nullopt;
    if (results.size() > 1) throw TUsageError("Option " + name + " is given more than once.");
    return results.front();
}

// The parser of one command, built from its declaration: every option takes one value (all of
// them collected, so that a repetition can be refused), the files are the positional arguments,
// "--" ends the options. Unknown options are kept aside to be named in the refusal.
struct TCommandParser {
    CLI::App App;
    CLI::Option* Format = nullptr;
    CLI::Option* Table = nullptr;
    std::vector<CLI::Option*> Options; // in the order of the declaration
    std::vector<std::string> Files;

    explicit TCommandParser(const TCommand& command) : App(command.Description, command.Name) {
        App.allow_extras();
        App.set_help_flag("-h,--help");
        const auto addOption = [&](const std::string& name) {
            CLI::Option* option = App.add_option(name);
            option->expected(1);
            option->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
            return option;
        };
        Format = addOption(kFormat);
        Table = addOption(kTable);
        for (const auto& option : command.Options)
            Options.push_back(addOption(option.Name));
        App.add_option("files", Files);
    }

    void Parse(const std::vector<std::string>& arguments) {
        // CLI11 takes the arguments last first.
        std::vector<std::string> reversed(arguments.rbegin(), arguments.rend() - 1);
        App.parse(reversed);
    }
};

// The option an ArgumentMismatch is about: CLI11 starts its message with the option's name.
std::string OptionOfMismatch(const CLI::ArgumentMismatch& mismatch, const TCommand& command) {
    std::vector<std::string> names = {kFormat, kTable};
    for (const auto& option : command.Options)
        names.push_back(option.Name);
    const char* message = mismatch.what();
    for (const auto& name : names)
        if (std::strncmp(message, name.c_str(), name.size()) == 0 && message[name.size()] == ':') return name;
    return "";
}

TInvocation ParseArguments(const std::vector<std::string>& arguments, const TCommandTable& commands) {
    if (arguments.empty()) throw TUsageError("No command given.");
    TInvocation call;
    call.Command = commands.Find(arguments[0]);
    if (call.Command == nullptr) throw TUsageError("Unknown command \"" + arguments[0] + "\".");
    const TCommand& command = *call.Command;

    TCommandParser parser(command);
    try {
        parser.Parse(arguments);
    } catch (const CLI::CallForHelp&) {
        call.Help = true;
        return call;
    } catch (const CLI::ArgumentMismatch& e) {
        // An option at the end, without its value.
        const std::string name = OptionOfMismatch(e, command);
        throw TUsageError(name.empty() ? std::string(e.what()) : "Option " + name + " needs a value.");
    } catch (const CLI::ParseError& e) {
        throw TUsageError(e.what());
    }

    for (std::string extra : parser.App.remaining()) {
        if (extra == "--") continue; // the end of the options
        extra = extra.substr(0, extra.find('='));
        throw TUsageError("Unknown option \"" + extra + "\" for " + command.Name + ".");
    }

    if (const auto format = SingleValue(*parser.Format, kFormat)) {
        if (*format == "json")
            call.Format = TOutputFormat::Json;
        else if (*format == "csv")
            call.Format = TOutputFormat::Csv;
        else
            throw TUsageError("--format expects json or csv, not \"" + *format + "\".");
    }
    for (std::size_t i = 0; i < command.Options.size(); ++i) {
        const TOptionSpec& option = command.Options[i];
        if (const auto value = SingleValue(*parser.Options[i], option.Name))
            call.Options.Set(option.Name, ParseOptionValue(option, *value));
        else if (option.Default)
            call.Options.Set(option.Name, *option.Default);
    }
    for (const auto& option : command.Options)
        if (!call.Options.Has(option.Name))
            throw TUsageError(command.Name + " needs " + option.Name + " " + option.Placeholder + ".");

    call.Paths = std::move(parser.Files);
    const int files = static_cast<int>(call.Paths.size());
    call.Table = SingleValue(*parser.Table, kTable);
    if (call.Table) {
        if (call.Table->empty())
            throw TUsageError("--table needs the name of a table, or - for standard input.");
        if (files > 0)
            throw TUsageError(command.Name +
                              " takes its waters from the table or from files, not from both.");
    } else if (command.PerFile) {
        if (files < 1) throw TUsageError(command.Name + " needs at least one file.");
    } else if (files < command.MinFiles || files > command.MaxFiles) {
        const std::string wanted =
            command.MinFiles == command.MaxFiles
                ? "exactly " + std::to_string(command.MinFiles)
                : std::to_string(command.MinFiles) + " to " + std::to_string(command.MaxFiles);
        throw TUsageError(command.Name + " needs " + wanted + " files, not " + std::to_string(files) + ".");
    }
    return call;
}

// What a record is computed from: data set files, one row of a table, or several rows (a blend).
struct TRecordInput {
    const std::vector<std::string>* Paths = nullptr;
    const std::string* Table = nullptr;
    const TWaterTableRow* Row = nullptr;
    const std::vector<std::int64_t>* Rows = nullptr;
};

// Writes the outputs, one record each (or several, for a command that writes a record per point).
class TOutputRun {
public:
    TOutputRun(const TInvocation& invocation, TRecordWriter& writer,
               const std::vector<TRecordTrailer>& trailers)
        : FCommand(*invocation.Command), FOptions(invocation.Options), FWriter(writer), FTrailers(trailers) {}

    // One output of files; returns false when it was refused or failed. `readWater`, where
    // given, reads the one water of a per-file command (a file read ahead).
    bool Run(const std::vector<std::string>& paths,
             std::function<std::unique_ptr<TWaterDataset>()> readWater = nullptr) {
        FInput = TRecordInput();
        FInput.Paths = &paths;
        TCommandCall call(paths, FOptions, [this](TCommandCall& c) { NextRecord(c); });
        if (readWater) call.ReadWaterWith(std::move(readWater));
        return Compute(call);
    }
    // One output of a table's row. A refused row gives its error record: the message, and the
    // column and the cell the reader found at fault.
    bool RunRow(const std::string& table, TWaterTableRow& row) {
        FInput = TRecordInput();
        FInput.Table = &table;
        FInput.Row = &row;
        if (!row.IsWater()) {
            BeginRecord();
            FWriter.ErrorText("error", row.Error);
            if (!row.ErrorColumn.empty()) FWriter.ErrorText("errorColumn", row.ErrorColumn);
            if (!row.ErrorValue.empty()) FWriter.ErrorText("errorValue", row.ErrorValue);
            FWriter.EndRecord();
            return false;
        }
        FRowWaters.assign(1, &*row.Dataset);
        TCommandCall call(FRowWaters, FOptions, [this](TCommandCall& c) { NextRecord(c); });
        return Compute(call);
    }
    // One output of several rows of a table (a blend); a refused row refuses the output, named.
    bool RunRows(const std::string& table, std::vector<TWaterTableRow>& rows) {
        FInput = TRecordInput();
        FInput.Table = &table;
        std::vector<std::int64_t> numbers;
        FRowWaters.clear();
        for (auto& row : rows) {
            numbers.push_back(row.Row);
            if (row.IsWater()) FRowWaters.push_back(&*row.Dataset);
        }
        FInput.Rows = &numbers;
        for (const auto& row : rows)
            if (!row.IsWater())
                return Fail("Row " + std::to_string(row.Row) + " (line " + std::to_string(row.Line) +
                            "): " + row.Error);
        TCommandCall call(FRowWaters, FOptions, [this](TCommandCall& c) { NextRecord(c); });
        return Compute(call);
    }
    // A table that cannot be read (further): one error record for it.
    bool FailTable(const std::string& table, const std::string& message) {
        FInput = TRecordInput();
        FInput.Table = &table;
        return Fail(message);
    }

private:
    bool Compute(TCommandCall& call) {
        BeginRecord();
        std::string failure;
        try {
            FCommand.Run(call, FWriter);
            EndRecord(call);
            return true;
        } catch (const std::exception& e) {
            failure = e.what();
        }
        FWriter.AbortRecord();
        return Fail(failure);
    }
    bool Fail(const std::string& message) {
        BeginRecord();
        FWriter.ErrorText("error", message);
        FWriter.EndRecord();
        return false;
    }
    void NextRecord(TCommandCall& call) {
        EndRecord(call);
        BeginRecord();
    }
    // "input" (or "inputs"); for a table its name, then "row" and "line" and the carried columns
    // under "columns", or "rows" for a blend of rows.
    void BeginRecord() {
        FWriter.BeginRecord();
        if (FInput.Table != nullptr) {
            FWriter.Text("input", *FInput.Table);
            if (FInput.Row != nullptr) {
                FWriter.Integer("row", FInput.Row->Row);
                FWriter.Integer("line", FInput.Row->Line);
                if (!FInput.Row->Carried.empty()) {
                    FWriter.BeginObject("columns");
                    for (const auto& [name, cell] : FInput.Row->Carried)
                        FWriter.Text(name, cell);
                    FWriter.EndObject();
                }
            }
            if (FInput.Rows != nullptr) FWriter.Integers("rows", *FInput.Rows);
        } else if (FCommand.PerFile) {
            FWriter.Text("input", FInput.Paths->front());
        } else {
            FWriter.Texts("inputs", *FInput.Paths);
        }
    }
    void EndRecord(TCommandCall& call) {
        if (!call.Subject().Empty())
            for (const TRecordTrailer trailer : FTrailers)
                trailer(FWriter, call.Subject());
        call.ClearSubject();
        FWriter.EndRecord();
    }

    const TCommand& FCommand;
    const TOptionValues& FOptions;
    TRecordWriter& FWriter;
    const std::vector<TRecordTrailer>& FTrailers;
    TRecordInput FInput;
    std::vector<TWaterDataset*> FRowWaters;
};

bool ReadsAhead(TFileReading reading, std::size_t files) {
    switch (reading) {
    case TFileReading::Ahead:
        return true;
    case TFileReading::InTurn:
        return false;
    case TFileReading::Automatic:
        break;
    }
    // A handful of files is read in less time than the reader thread takes to start.
    return files >= 16 && TFileReadAhead::UsableProcessors() >= 2;
}

// The outputs of a command of one water per file, in the order of the files. Returns false when
// any output failed.
bool RunPerFile(const TInvocation& call, TOutputRun& run, const TRecordWriter& writer, TFileReading reading) {
    bool allSucceeded = true;
    std::vector<std::string> one(1);
    std::optional<TFileReadAhead> ahead;
    if (ReadsAhead(reading, call.Paths.size())) ahead.emplace(call.Paths);
    for (std::size_t index = 0; index < call.Paths.size(); ++index) {
        one.front() = call.Paths[index];
        if (ahead) {
            allSucceeded = run.Run(one, [&ahead, index] {
                return DatasetFromFileBytes(ahead->Bytes(index));
            }) && allSucceeded;
            ahead->Release(index);
        } else {
            allSucceeded = run.Run(one) && allSucceeded;
        }
        if (writer.WriteError() != 0) break; // the output is lost: computing more is of no use
    }
    return allSucceeded;
}

// The outputs of a table's rows: one per row for a command of one water, in row order, streamed;
// one of all its rows for a blend. Returns false when any output failed.
bool RunTable(const TInvocation& call, TOutputRun& run, const TRecordWriter& writer) {
    const std::string& table = *call.Table;
    std::ifstream file;
    std::istream* in = &std::cin;
    if (table != kStandardInput) {
        file.open(table, std::ios::binary);
        if (!file) return run.FailTable(table, "Cannot open file \"" + table + "\": " + std::strerror(errno));
        in = &file;
    }
    try {
        TWaterTableReader reader(*in);
        if (call.Command->PerFile) {
            bool allSucceeded = true;
            TWaterTableRow row;
            while (reader.Next(row)) {
                allSucceeded = run.RunRow(table, row) && allSucceeded;
                if (writer.WriteError() != 0) break; // the output is lost: computing more is of no use
            }
            return allSucceeded;
        }
        // A blend holds its rows, at most one more than it takes.
        const TCommand& command = *call.Command;
        std::vector<TWaterTableRow> rows;
        for (TWaterTableRow row; static_cast<int>(rows.size()) <= command.MaxFiles && reader.Next(row);)
            rows.push_back(std::move(row));
        const int count = static_cast<int>(rows.size());
        if (count < command.MinFiles || count > command.MaxFiles) {
            const std::string wanted =
                command.MinFiles == command.MaxFiles
                    ? "exactly " + std::to_string(command.MinFiles)
                    : std::to_string(command.MinFiles) + " to " + std::to_string(command.MaxFiles);
            const std::string found = count > command.MaxFiles
                                          ? "more than " + std::to_string(command.MaxFiles)
                                          : std::to_string(count);
            return run.FailTable(table, command.Name + " takes " + wanted + " waters; the table has " +
                                            found + " rows.");
        }
        return run.RunRows(table, rows);
    } catch (const TWaterTableError& e) {
        return run.FailTable(table, e.what());
    }
}

// The message of exit status 3: the output could not be written, for the reason `error` gives.
void ReportLostOutput(std::ostream& err, int error) {
    err << "calvaro-calc: the output could not be written: " << std::strerror(error) << ".\n";
}

void Pad(std::string& line, std::size_t width) {
    if (line.size() < width) line.resize(width, ' ');
}

} // namespace

std::string CalcVersionLine() {
    return "calvaro-calc " + NormaliseVersion(CALVARO_CALC_PROJECT_VERSION);
}

std::string CalcUsage() {
    return CalcUsage(CalcCommands());
}

std::string CalcUsage(const TCommandTable& commands) {
    std::string usage = "usage: calvaro-calc COMMAND [OPTIONS] FILE.clv [FILE.clv ...]\n"
                        "       calvaro-calc --help | --version\n\nCommands:\n";
    for (const auto& command : commands.Commands()) {
        std::string line = "  " + command.Name;
        for (const auto& option : command.Options) {
            const std::string text = option.Name + " " + option.Placeholder;
            line += " " + (option.Default ? "[" + text + "]" : text);
        }
        Pad(line, 52);
        usage += line + " " + command.Description + "\n";
    }
    usage += "\nOptions of every command:\n"
             "  --format json|csv   json (default): one object per line; csv: a header row, then one row "
             "per output\n"
             "  --table FILE.csv    the waters are the rows of a lab table, not files (- reads standard "
             "input):\n"
             "                      one output per row, or for blend and blend-ph one of all its rows\n"
             "  --                  what follows is a file, even when it begins with \"-\"\n"
             "  --help, -h          this text\n"
             "  --version, -v       the program's version (alone, without a command)\n\n"
             "Numbers are written with \".\". Exit status: 0 all outputs computed, 1 an input refused or "
             "failed,\n2 usage error, 3 the output could not be written (full disk, closed output).\n";
    return usage;
}

int RunCalvaroCalc(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    return RunCalvaroCalc(arguments, out, err, CalcCommands(), RecordTrailers());
}

int RunCalvaroCalc(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                   const TCommandTable& commands, const std::vector<TRecordTrailer>& trailers,
                   TFileReading reading) {
    // The usage text or the version line, said to be lost as the records are when the write fails.
    const auto printText = [&](const std::string& text) {
        errno = 0;
        out << text << std::flush;
        if (out) return kExitSuccess;
        ReportLostOutput(err, errno != 0 ? errno : EIO);
        return kExitOutputFailed;
    };
    const auto printUsage = [&] { return printText(CalcUsage(commands)); };
    if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) return printUsage();
    if (arguments.size() == 1 && (arguments[0] == "--version" || arguments[0] == "-v"))
        return printText(CalcVersionLine() + "\n");
    TInvocation call;
    try {
        call = ParseArguments(arguments, commands);
    } catch (const TUsageError& e) {
        err << "calvaro-calc: " << e.what() << "\n\n" << CalcUsage(commands);
        return kExitUsage;
    }
    if (call.Help) return printUsage();

    const auto writer = MakeRecordWriter(call.Format, out, call.Table ? kTableErrorKeys : kDefaultErrorKeys);
    TOutputRun run(call, *writer, trailers);
    bool allSucceeded = true;
    if (call.Table) {
        allSucceeded = RunTable(call, run, *writer);
    } else if (call.Command->PerFile) {
        allSucceeded = RunPerFile(call, run, *writer, reading);
    } else {
        allSucceeded = run.Run(call.Paths);
    }
    writer->Finish();
    if (const int error = writer->WriteError(); error != 0) {
        ReportLostOutput(err, error);
        return kExitOutputFailed;
    }
    return allSucceeded ? kExitSuccess : kExitInputFailed;
}
